#include "ide/WorkbenchSession.h"

#include <ostream>

#include "ide/FollowMessages.h"
#include "ide/IDE.h"
#include "ide/LoadProfile.h"
#include "ide/StrictCauses.h"

TWorkbenchSession::TWorkbenchSession(const TCommandLine& Options) : options_(Options) {}

TWorkbenchSession::~TWorkbenchSession() = default;

std::string TWorkbenchSession::Error() const { return link_ ? link_->Error() : std::string(); }

std::filesystem::path TWorkbenchSession::PackageToLoad(const std::filesystem::path& Package) {
  if (options_.PluginFolder.empty()) return Package;
  if (!link_) link_ = std::make_unique<TPluginFolderLink>(Package, options_.PluginFolder);
  return link_->Package();
}

void TWorkbenchSession::Started(TIDE& Ide, std::ostream& Err) {
  log_ = Ide.ModuleCalls();
  if (options_.Strict) errorLines_.Watch(Ide);
  if (options_.Follow) FollowMessages(Ide, Err);
}

void TWorkbenchSession::Loaded() {
  if (log_) loadedEntries_ = log_->Entries().size();
}

TLoadOutcome TWorkbenchSession::LoadOutcome() const {
  if (!log_) return {};
  return [this](const std::filesystem::path& File) -> std::optional<std::string> {
    for (const TModuleCallEntry& e : log_->Entries())
      if (e.Call == qorb::winapi::ModuleCall::Load && e.Path == File.string())
        return e.Succeeded ? std::string() : (e.LoaderError.empty() ? std::string("no reason given") : e.LoaderError);
    return std::nullopt;
  };
}

void TWorkbenchSession::ShuttingDown() {
  shutdownStart_ = std::chrono::steady_clock::now();
  if (log_) shutdownEntries_ = log_->Entries().size();
}

int TWorkbenchSession::Finish(const std::filesystem::path& PluginFolder,
                              const std::vector<TSkippedFile>& NotLoaded, std::ostream& Out, std::ostream& Err) {
  if (options_.Profile && log_) {
    const std::vector<TModuleCallEntry> all = log_->Entries();
    const std::vector<TModuleCallEntry> loading(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(loadedEntries_));
    const std::vector<TModuleCallEntry> shutDown(all.begin() + static_cast<std::ptrdiff_t>(shutdownEntries_), all.end());
    Out << '\n' << FormatLoadProfile(BuildLoadProfile(loading, shutDown, PluginFolder, shutdownStart_)) << std::flush;
  }
  if (!options_.Strict) return 0;
  TStrictInputs inputs;
  inputs.NotLoaded = NotLoaded;
  inputs.ErrorLines = errorLines_.Lines();
  // Exceptions caught at a foreign-code boundary join here once the runtime
  // reports them to the IDE.
  const std::vector<std::string> causes = StrictCauses(inputs);
  for (const std::string& c : causes) Err << "qorb-ide: strict: " << c << '\n';
  return causes.empty() ? 0 : 1;
}
