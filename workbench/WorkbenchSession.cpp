#include "workbench/WorkbenchSession.h"

#include <ostream>
#include <thread>

#include "workbench/PluginCheck.h"
#include "workbench/FollowMessages.h"
#include "ide/IDE.h"
#include "workbench/LeftoverNames.h"
#include "workbench/LoadProfile.h"
#include "workbench/ProcessGuard.h"
#include "workbench/StrictCauses.h"

TWorkbenchSession::TWorkbenchSession(const TCommandLine& Options) : options_(Options) {
  // A test may observe module calls itself; then there is no profile.
  if (!qorb::winapi::CurrentModuleCallObserver()) {
    ownLog_ = std::make_unique<TModuleCallLog>();
    log_ = ownLog_.get();
  }
}

TWorkbenchSession::~TWorkbenchSession() = default;

std::string TWorkbenchSession::Error() const { return link_ ? link_->Error() : std::string(); }

std::filesystem::path TWorkbenchSession::PackageToLoad(const std::filesystem::path& Package) {
  if (options_.PluginFolder.empty()) return Package;
  if (!link_) link_ = std::make_unique<TPluginFolderLink>(Package, options_.PluginFolder);
  return link_->Package();
}

void TWorkbenchSession::Started(TIDE& Ide, std::ostream& Err) {
  ide_ = &Ide;
  Ide.SetLeftoverNaming({MenuLeftovers, DanglingMenuItems, WindowOwners, GdiObjectOwners});
  if (log_)
    log_->OnUnloaded = [this, ide = &Ide, mainThread = std::this_thread::get_id()](const std::string& Path) {
      // The menu is the main thread's; the IDE may be gone before the log.
      if (std::this_thread::get_id() != mainThread || TIDE::Current() != ide) return;
      ide->LibraryUnloaded(Path);
      for (TLeftHold& h : HoldsLeftIn(Path)) leftHolds_.push_back(std::move(h));
    };
  if (options_.Strict) errorLines_.Watch(Ide);
  if (options_.Follow) FollowMessages(Ide, Err);
}

void TWorkbenchSession::Loaded() {
  if (log_) loadedEntries_ = log_->Entries().size();
}

namespace {

// "EClass: message" of what the file's InitPlugin raised, as the runtime
// told the IDE; empty when it raised nothing.
std::string InitPluginRaised(const TIDE& Ide, const std::filesystem::path& File) {
  for (const TForeignExceptionNote& n : Ide.ForeignExceptions().Seen())
    if (n.What == u"InitPlugin" && std::filesystem::path(n.Subject.ToUtf8()).filename() == File.filename())
      return n.ClassName.ToUtf8() + ": " + n.Message.ToUtf8();
  return {};
}

std::string OneLine(const TForeignExceptionNote& n) {
  std::string line = n.ClassName.ToUtf8() + ": " + n.Message.ToUtf8() + " (in " + n.What.ToUtf8();
  if (!n.Subject.IsEmpty()) line += " of " + n.Subject.ToUtf8();
  return line + ")";
}

}  // namespace

TLoadOutcome TWorkbenchSession::LoadOutcome() const {
  if (!log_ || !ide_) return {};
  return [this](const std::filesystem::path& File) -> std::optional<TLoadResult> {
    for (const TModuleCallEntry& e : log_->Entries())
      if (e.Call == qorb::winapi::ModuleCall::Load && e.Path == File.string()) {
        if (e.Succeeded) return TLoadResult{{}, InitPluginRaised(*ide_, File)};
        return TLoadResult{e.LoaderError.empty() ? std::string("no reason given") : e.LoaderError, {}};
      }
    return std::nullopt;
  };
}

void TWorkbenchSession::ShuttingDown() {
  shutdownStart_ = std::chrono::steady_clock::now();
  if (log_) shutdownEntries_ = log_->Entries().size();
}

int TWorkbenchSession::Finish(const std::filesystem::path& PluginFolder, const std::vector<TLoadedModule>& Loaded,
                              const std::vector<TSkippedFile>& NotLoaded,
                              const std::vector<TSkippedFile>& PassedOver, std::ostream& Out, std::ostream& Err) {
  if (options_.Profile && log_) {
    const std::vector<TModuleCallEntry> all = log_->Entries();
    const std::vector<TModuleCallEntry> loading(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(loadedEntries_));
    const std::vector<TModuleCallEntry> shutDown(all.begin() + static_cast<std::ptrdiff_t>(shutdownEntries_), all.end());
    Out << '\n' << FormatLoadProfile(BuildLoadProfile(loading, shutDown, PluginFolder, shutdownStart_)) << std::flush;
  }
  if (!options_.Strict) return 0;
  TStrictInputs inputs;
  inputs.NotLoaded = NotLoaded;
  inputs.PassedOver = PassedOver;
  inputs.ErrorLines = errorLines_.Lines();
  if (ide_)
    for (const TForeignExceptionNote& n : ide_->ForeignExceptions().Seen()) inputs.CaughtExceptions.push_back(OneLine(n));
  for (const TLoadedModule& m : Loaded)
    for (const std::string& mistake : ResourceMistakes(CheckPluginFile(m.Path)))
      inputs.ResourceMistakes.push_back(m.Path.filename().string() + ": " + mistake);
  ReclaimFaultHandling();
  inputs.FaultHandlingTaken = FaultHandlingTaken();
  for (const TLeftHold& h : leftHolds_) inputs.LeftBehind.push_back(DescribeLeftHold(h));
  const std::vector<std::string> causes = StrictCauses(inputs);
  for (const std::string& c : causes) Err << "qorb-ide: strict: " << c << '\n';
  return causes.empty() ? 0 : 1;
}
