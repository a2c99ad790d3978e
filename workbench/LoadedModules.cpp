#include "workbench/LoadedModules.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "workbench/LibrarySearch.h"
#include "workbench/MappedLibraries.h"
#include "workbench/NotAFile.h"
#include "workbench/NotLoadedReasons.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "rtl/UnicodeString.h"
#include "winapi/FileMask.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"

namespace fs = std::filesystem;

namespace {

// The folders the loader searched for what it did not find.
std::string NotFoundDetail(const fs::path& File) {
  const std::optional<TMissingLibrary> missing = FindMissingLibrary(fs::absolute(File));
  if (!missing) return {};
  std::string text = " (searched for " + missing->Name + ":";
  for (const std::string& s : missing->Searched) text += " " + s;
  return text + ")";
}

// Why the host would have passed over File: what its exports say, read
// without mapping it.
std::string SkipReason(const fs::path& File, const TLoadOutcome& Outcome) {
  const std::u16string name = File.u16string();
  const HMODULE probe = LoadLibraryExW(name.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!probe) {
    // The system's texts may name the file as "%1".
    std::string text = Utf16ToUtf8(SysErrorMessage(GetLastError()));
    if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, File.filename().string());
    return NotLoadedReason(TNotLoaded::NotALibrary, text);
  }
  const bool init = GetProcAddress(probe, "InitPlugin") != nullptr;
  const bool shutdown = GetProcAddress(probe, "Shutdown") != nullptr;
  FreeLibrary(probe);
  if (!init && !shutdown) return NotLoadedReason(TNotLoaded::NoExports);
  if (!init) return NotLoadedReason(TNotLoaded::NoInitPlugin);
  if (!shutdown) return NotLoadedReason(TNotLoaded::NoShutdown);
  if (const std::optional<TLoadResult> loaded = Outcome ? Outcome(File) : std::nullopt) {
    if (!loaded->LoaderError.empty())
      return NotLoadedReason(TNotLoaded::LoaderRefused, loaded->LoaderError + NotFoundDetail(File));
    return NotLoadedReason(TNotLoaded::InitPluginRaised,
                           loaded->InitPluginRaised.empty() ? "" : " " + loaded->InitPluginRaised);
  }
  return NotLoadedReason(TNotLoaded::DidNotStayLoaded);
}

}  // namespace

std::vector<TLoadedModule> LoadedModulesIn(const fs::path& Folder, TModuleTexts Texts) {
  const std::vector<fs::path> mapped = MappedLibraryFiles();
  std::error_code ec;
  const fs::path folder = fs::weakly_canonical(Folder, ec);
  std::vector<TLoadedModule> modules;
  // Most modules share a few folders: each is resolved once.
  std::unordered_map<std::string, bool> inFolder;
  for (const fs::path& path : mapped) {
    // A helper library beside the plug-ins is mapped as their dependency;
    // the host loads only *.dll files as plug-ins.
    if (!MatchesDllMask(path.filename().u16string())) continue;
    // The folder as the host named it: a plug-in may be a link to a file
    // kept elsewhere.
    const auto [at, added] = inFolder.try_emplace(path.parent_path().string(), false);
    if (added) at->second = fs::weakly_canonical(path.parent_path(), ec) == folder;
    if (!at->second) continue;
    TLoadedModule m;
    m.Path = path;
    if (Texts == TModuleTexts::Read) {
      const TQorbVersionInfo info = GetQorbVersionInfo(UnicodeString(path.u16string()));
      m.ProductName = info.ProductName.view();
      m.Version = info.Version.view();
      m.Company = info.Company.view();
    }
    modules.push_back(std::move(m));
  }
  return modules;
}

std::string FormatLoadedModules(const std::vector<TLoadedModule>& Modules) {
  if (Modules.empty()) return {};
  std::string out = "Plug-ins:\n";
  for (const TLoadedModule& m : Modules) {
    out += "  " + (m.ProductName.empty() ? m.Path.filename().string() : Utf16ToUtf8(m.ProductName));
    if (!m.Version.empty()) out += "  " + Utf16ToUtf8(m.Version);
    if (!m.Company.empty()) out += "  " + Utf16ToUtf8(m.Company);
    out += "\n    " + m.Path.string() + "\n";
  }
  return out;
}

std::vector<TSkippedFile> SkippedFilesIn(const fs::path& Folder, const std::vector<TLoadedModule>& Loaded,
                                         const TLoadOutcome& Outcome) {
  std::error_code ec;
  std::unordered_set<std::string> loaded;
  for (const TLoadedModule& m : Loaded) loaded.insert(m.Path.filename().string());
  std::vector<TSkippedFile> skipped;
  for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::u16string name = it->path().filename().u16string();
    if (!MatchesDllMask(name)) continue;
    if (it->is_directory(ec)) continue;  // a sub-folder, not a plug-in
    if (loaded.count(it->path().filename().string())) continue;
    std::string notAFile = NotAFileReason(it->path());
    skipped.push_back({it->path(), notAFile.empty() ? SkipReason(it->path(), Outcome) : std::move(notAFile)});
  }
  return skipped;
}

std::string FormatSkippedFiles(const std::vector<TSkippedFile>& Files) {
  if (Files.empty()) return {};
  std::string out = "Not loaded:\n";
  for (const TSkippedFile& f : Files) out += "  " + f.Path.filename().string() + ": " + f.Reason + "\n";
  return out;
}
