#include "workbench/LibrarySearch.h"

#include "workbench/LinkInfo.h"

namespace fs = std::filesystem;

bool IsLoadableLibrary(const fs::path& candidate) {
  std::error_code ec;
  if (!fs::is_regular_file(candidate, ec)) return false;
  TLinkInfo info;
  std::string error;
  return ReadLinkInfo(candidate, {}, info, error) && info.NotALibrary.empty();
}

std::optional<TMissingLibrary> FindMissingLibrary(const fs::path& File) {
  const std::set<std::string> loaded = LoadedLibraryNames();
  std::set<std::string> seen;
  std::vector<fs::path> pending{File};
  while (!pending.empty()) {
    const fs::path file = pending.back();
    pending.pop_back();
    TLinkInfo info;
    std::string error;
    if (!ReadLinkInfo(file, {}, info, error) || !info.NotALibrary.empty()) continue;
    for (const std::string& name : info.Needed) {
      if (!seen.insert(LibraryKey(name)).second) continue;
      std::vector<std::string> searched;
      const std::optional<TFoundLibrary> found = SearchNeededLibrary(name, file, info, loaded, searched);
      if (!found) return TMissingLibrary{name, file, std::move(searched)};
      if (!found->Trusted) pending.push_back(found->Path);
    }
  }
  return std::nullopt;
}
