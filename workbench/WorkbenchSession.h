#pragma once
// What qorb-ide does for a plug-in author around an ordinary run: the
// plug-in folder in place (--plugins), lines as they arrive (--follow), the
// loader's own reasons for files not loaded, the load profile (--profile)
// and the strict exit status (--strict).
#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <vector>

#include "workbench/CommandLine.h"
#include "workbench/LeftAlive.h"
#include "workbench/LoadedModules.h"
#include "workbench/ModuleCallLog.h"
#include "workbench/PluginFolderLink.h"
#include "workbench/StrictCauses.h"

class TIDE;

class TWorkbenchSession {
 public:
  explicit TWorkbenchSession(const TCommandLine& Options);
  TWorkbenchSession(const TWorkbenchSession&) = delete;
  TWorkbenchSession& operator=(const TWorkbenchSession&) = delete;
  ~TWorkbenchSession();

  // Empty when the session could be arranged; else why not.
  std::string Error() const;
  // The package to load in place of Package (the linked one for --plugins).
  std::filesystem::path PackageToLoad(const std::filesystem::path& Package);
  // Before the package loads.
  void Started(TIDE& Ide, std::ostream& Err);
  // Once it is loaded and the loop is idle.
  void Loaded();
  // Subscriptions and registered interfaces whose code lay in a plug-in
  // library when it was unloaded.
  const std::vector<TLeftHold>& LeftHolds() const noexcept { return leftHolds_; }
  // What the log saw of the host's normal loads.
  TLoadOutcome LoadOutcome() const;
  void ShuttingDown();
  // After the IDE shut down: the profile to Out, strict causes to Err.
  // Answers 1 when the run fails for --strict, else 0.
  int Finish(const std::filesystem::path& PluginFolder, const std::vector<TLoadedModule>& Loaded,
             const std::vector<TSkippedFile>& NotLoaded, const std::vector<TSkippedFile>& PassedOver,
             std::ostream& Out, std::ostream& Err);

 private:
  const TCommandLine& options_;
  const TIDE* ide_ = nullptr;
  std::unique_ptr<TPluginFolderLink> link_;
  // First in, last out: unloading is reported to it until the IDE is gone.
  std::unique_ptr<TModuleCallLog> ownLog_;
  TModuleCallLog* log_ = nullptr;  // ownLog_; null when someone else (a test) observes module calls
  TErrorLines errorLines_;
  std::vector<TLeftHold> leftHolds_;  // main thread
  size_t loadedEntries_ = 0;
  size_t shutdownEntries_ = 0;
  std::chrono::steady_clock::time_point shutdownStart_{};
};
