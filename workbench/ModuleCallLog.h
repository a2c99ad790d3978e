#pragma once
// Everything the platform layer reports about module calls while the log is
// installed, in the order the calls ended: what qorb-ide's load profile and
// its reasons for files not loaded are read from. One at a time.
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory_resource>
#include <mutex>
#include <string>
#include <vector>

#include "rtl/OwnMutex.h"
#include "winapi/ModuleCallObserver.h"

struct TModuleCallEntry {
  qorb::winapi::ModuleCall Call;
  std::string Path;  // full path as given, or the module's when only that was known
  HMODULE Module = 0;
  std::chrono::steady_clock::time_point Start;
  std::chrono::nanoseconds Elapsed{};
  bool Succeeded = false;
  std::string LoaderError;
  bool Unloaded = false;
};

class TModuleCallLog final : public qorb::winapi::ModuleCallObserver {
 public:
  // Installs itself; raises std::logic_error when another observer is
  // installed.
  TModuleCallLog();
  ~TModuleCallLog();
  TModuleCallLog(const TModuleCallLog&) = delete;
  TModuleCallLog& operator=(const TModuleCallLog&) = delete;

  std::vector<TModuleCallEntry> Entries() const;
  // The loader's text for the last failed load of File; empty if none.
  std::string LoaderError(const std::filesystem::path& File) const;

  // Runs when a library's code has left the process (its full path), on
  // the thread that freed it, after the call. Set before any library goes.
  std::function<void(const std::string& Path)> OnUnloaded;

  void OnModuleCall(const qorb::winapi::ModuleCallReport& Report) noexcept override;

 private:
  // Kept apart from the loader's heap, as everything kept per library.
  struct Stored {
    qorb::winapi::ModuleCall Call;
    std::pmr::string Path;
    HMODULE Module;
    std::chrono::steady_clock::time_point Start;
    std::chrono::nanoseconds Elapsed;
    bool Succeeded;
    std::pmr::string LoaderError;
    bool Unloaded;
  };
  static TModuleCallEntry Copy(const Stored& s);

  mutable TMutex lock_;
  // In blocks that stay where they are: a vector grown past the side heap's
  // blocks would be mapped afresh and copied over at every doubling.
  std::pmr::deque<Stored> entries_;
  // Paths of loaded modules by handle, for calls that name only the handle.
  std::pmr::vector<std::pair<HMODULE, std::pmr::string>> loaded_;
};
