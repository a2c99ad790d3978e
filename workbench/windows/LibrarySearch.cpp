#include "workbench/LibrarySearch.h"

#include <windows.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "ide/ExecutableDirectory.h"
#include "workbench/LinkInfo.h"
#include "workbench/MappedLibraries.h"

namespace fs = std::filesystem;

// The order the loader searches for a library a plug-in needs, as the
// host loads plug-ins (LoadLibraryW with the full path, no flag): the
// program's folder (the IDE's, never the plug-in's), the system folder, the
// Windows folder, the current folder, then PATH. A library loaded already
// by that name is used as it is; the system's API sets are the system's
// own.
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

fs::path SystemFolder(UINT (*WINAPI ask)(LPWSTR, UINT)) {
  wchar_t path[MAX_PATH];
  const UINT n = ask(path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? fs::path(std::wstring(path, n)) : fs::path();
}

}  // namespace

std::set<std::string> LoadedLibraryNames() {
  std::set<std::string> names;
  for (const fs::path& p : MappedLibraryFiles()) names.insert(Lower(p.filename().string()));
  return names;
}

std::string LibraryKey(const std::string& Name) { return Lower(Name); }

std::optional<TFoundLibrary> SearchNeededLibrary(const std::string& name, const fs::path& file, const TLinkInfo&,
                                                 const std::set<std::string>& loaded,
                                                 std::vector<std::string>& searched) {
  const std::string lower = Lower(name);
  if (loaded.count(lower) || lower.rfind("api-ms-win-", 0) == 0 || lower.rfind("ext-ms-", 0) == 0)
    return TFoundLibrary{{}, true};
  const fs::path system = SystemFolder(&::GetSystemDirectoryW);
  const fs::path windows = SystemFolder(&::GetWindowsDirectoryW);
  std::vector<std::pair<fs::path, bool>> folders{{ExecutableDirectory(), false}, {system, true}, {windows, true}};
  std::error_code ec;
  folders.emplace_back(fs::current_path(ec), false);
  if (const char* path = std::getenv("PATH"))
    for (const std::string& folder : ExpandSearchPath(path, file.parent_path())) folders.emplace_back(folder, false);
  for (const auto& [folder, trusted] : folders) {
    if (folder.empty()) continue;
    searched.push_back(folder.string());
    if (const fs::path candidate = folder / name; IsLoadableLibrary(candidate)) return TFoundLibrary{candidate, trusted};
  }
  return std::nullopt;
}

// PATH's entries, split at ';'; nothing in them is expanded.
std::vector<std::string> ExpandSearchPath(const std::string& List, const fs::path&) {
  std::vector<std::string> folders;
  std::stringstream in(List);
  std::string item;
  while (std::getline(in, item, ';'))
    if (!item.empty()) folders.push_back(item);
  return folders;
}
