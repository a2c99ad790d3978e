#include "workbench/LibrarySearch.h"

#include <link.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "workbench/LinkInfo.h"

namespace fs = std::filesystem;

namespace {

// Names of the libraries in the process now: file names and sonames.
int CollectLoaded(dl_phdr_info* info, size_t, void* data) {
  if (info->dlpi_name && *info->dlpi_name)
    static_cast<std::set<std::string>*>(data)->insert(fs::path(info->dlpi_name).filename().string());
  return 0;
}

}  // namespace

std::set<std::string> LoadedLibraryNames() {
  std::set<std::string> names;
  dl_iterate_phdr(&CollectLoaded, &names);
  // The loader also matches a library's soname, which may differ from the file.
  std::set<std::string> sonames;
  for (const std::string& n : names)
    if (const size_t so = n.find(".so."); so != std::string::npos) sonames.insert(n.substr(0, so + 3));
  names.insert(sonames.begin(), sonames.end());
  return names;
}

std::string LibraryKey(const std::string& Name) { return Name; }

namespace {

// "libfoo.so.1 (libc6,x86-64) => /lib/x86_64-linux-gnu/libfoo.so.1"
std::map<std::string, std::string> ReadLoaderCache() {
  std::map<std::string, std::string> cache;
  for (const char* program : {"/sbin/ldconfig", "/usr/sbin/ldconfig"}) {
    if (::access(program, X_OK) != 0) continue;
    const std::string command = std::string(program) + " -p 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), &::pclose);
    if (!pipe) continue;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe.get())) {
      const std::string text(line);
      const size_t arrow = text.find(" => ");
      const size_t paren = text.find(" (");
      if (arrow == std::string::npos || paren == std::string::npos || paren > arrow) continue;
      if (text.find("x86-64", paren) > arrow) continue;
      std::string name = text.substr(0, paren);
      name.erase(0, name.find_first_not_of(" \t"));
      std::string path = text.substr(arrow + 4);
      while (!path.empty() && (path.back() == '\n' || path.back() == ' ')) path.pop_back();
      cache.emplace(std::move(name), std::move(path));
    }
    break;
  }
  return cache;
}

const std::map<std::string, std::string>& LoaderCache() {
  static const std::map<std::string, std::string> cache = ReadLoaderCache();
  return cache;
}

}  // namespace

std::optional<TFoundLibrary> SearchNeededLibrary(const std::string& name, const fs::path& file, const TLinkInfo& info,
                                                 const std::set<std::string>& loaded,
                                                 std::vector<std::string>& searched) {
  if (name.find('/') != std::string::npos) {
    fs::path p = fs::path(name).is_absolute() ? fs::path(name) : fs::current_path() / name;
    searched.push_back(p.parent_path().string());
    if (IsLoadableLibrary(p)) return TFoundLibrary{p, false};
    return std::nullopt;
  }
  if (loaded.count(name)) return TFoundLibrary{{}, true};
  const fs::path origin = file.parent_path();
  auto tryFolders = [&](const std::vector<std::string>& folders, bool trusted) -> std::optional<TFoundLibrary> {
    for (const std::string& folder : folders) {
      searched.push_back(folder);
      const fs::path candidate = fs::path(folder) / name;
      if (IsLoadableLibrary(candidate)) return TFoundLibrary{candidate, trusted};
    }
    return std::nullopt;
  };
  if (info.RunPath.empty() && !info.RPath.empty())
    if (auto f = tryFolders(ExpandSearchPath(info.RPath, origin), false)) return f;
  if (const char* env = std::getenv("LD_LIBRARY_PATH"))
    if (auto f = tryFolders(ExpandSearchPath(env, origin), false)) return f;
  if (!info.RunPath.empty())
    if (auto f = tryFolders(ExpandSearchPath(info.RunPath, origin), false)) return f;
  searched.push_back("ld.so.cache");
  if (const auto it = LoaderCache().find(name); it != LoaderCache().end() && IsLoadableLibrary(it->second))
    return TFoundLibrary{it->second, true};
  return tryFolders({"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64", "/usr/lib64", "/lib", "/usr/lib"},
                    true);
}

std::vector<std::string> ExpandSearchPath(const std::string& List, const fs::path& Origin) {
  std::vector<std::string> folders;
  std::stringstream in(List);
  std::string item;
  while (std::getline(in, item, ':')) {
    for (const char* token : {"${ORIGIN}", "$ORIGIN"}) {
      for (size_t at = item.find(token); at != std::string::npos; at = item.find(token, at))
        item.replace(at, std::strlen(token), Origin.string());
    }
    // An empty entry is the current folder, as for the loader.
    folders.push_back(item.empty() ? fs::current_path().string() : item);
  }
  return folders;
}
