#include "workbench/LibrarySearch.h"

#include <windows.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "workbench/LinkInfo.h"
#include "workbench/MappedLibraries.h"

namespace fs = std::filesystem;

// The order the loader searches for a library a plug-in needs, as the
// host loads plug-ins (by full path, with the altered search order): the
// plug-in's own folder, the system folder, the Windows folder, the current
// folder, then PATH. A library loaded already by that name is used as it
// is; the system's API sets are the system's own.
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::set<std::string> LoadedNames() {
  std::set<std::string> names;
  for (const fs::path& p : MappedLibraryFiles()) names.insert(Lower(p.filename().string()));
  return names;
}

fs::path SystemFolder(UINT (*WINAPI ask)(LPWSTR, UINT)) {
  wchar_t path[MAX_PATH];
  const UINT n = ask(path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? fs::path(std::wstring(path, n)) : fs::path();
}

bool Usable(const fs::path& candidate) {
  std::error_code ec;
  if (!fs::is_regular_file(candidate, ec)) return false;
  TLinkInfo info;
  std::string error;
  return ReadLinkInfo(candidate, {}, info, error) && info.NotALibrary.empty();
}

struct TFound {
  fs::path Path;
  bool Trusted = false;  // the system's, or loaded already
};

std::optional<TFound> Search(const std::string& name, const fs::path& file, const std::set<std::string>& loaded,
                             std::vector<std::string>& searched) {
  const std::string lower = Lower(name);
  if (loaded.count(lower) || lower.rfind("api-ms-win-", 0) == 0 || lower.rfind("ext-ms-", 0) == 0)
    return TFound{{}, true};
  const fs::path system = SystemFolder(&::GetSystemDirectoryW);
  const fs::path windows = SystemFolder(&::GetWindowsDirectoryW);
  std::vector<std::pair<fs::path, bool>> folders{{file.parent_path(), false}, {system, true}, {windows, true}};
  std::error_code ec;
  folders.emplace_back(fs::current_path(ec), false);
  if (const char* path = std::getenv("PATH"))
    for (const std::string& folder : ExpandSearchPath(path, file.parent_path())) folders.emplace_back(folder, false);
  for (const auto& [folder, trusted] : folders) {
    if (folder.empty()) continue;
    searched.push_back(folder.string());
    if (const fs::path candidate = folder / name; Usable(candidate)) return TFound{candidate, trusted};
  }
  return std::nullopt;
}

}  // namespace

// PATH's entries, split at ';'; nothing in them is expanded.
std::vector<std::string> ExpandSearchPath(const std::string& List, const fs::path&) {
  std::vector<std::string> folders;
  std::stringstream in(List);
  std::string item;
  while (std::getline(in, item, ';'))
    if (!item.empty()) folders.push_back(item);
  return folders;
}

std::optional<TMissingLibrary> FindMissingLibrary(const fs::path& File) {
  const std::set<std::string> loaded = LoadedNames();
  std::set<std::string> seen;
  std::vector<fs::path> pending{File};
  while (!pending.empty()) {
    const fs::path file = pending.back();
    pending.pop_back();
    TLinkInfo info;
    std::string error;
    if (!ReadLinkInfo(file, {}, info, error) || !info.NotALibrary.empty()) continue;
    for (const std::string& name : info.Needed) {
      if (!seen.insert(Lower(name)).second) continue;
      std::vector<std::string> searched;
      const std::optional<TFound> found = Search(name, file, loaded, searched);
      if (!found) return TMissingLibrary{name, file, std::move(searched)};
      if (!found->Trusted) pending.push_back(found->Path);
    }
  }
  return std::nullopt;
}
