#pragma once
// Where the platform's loader would find the libraries a file needs, by its
// rules. Linux: the file's RPATH (when it has no RUNPATH), LD_LIBRARY_PATH,
// its RUNPATH, the loader's cache, then the standard folders; $ORIGIN is
// the folder of the file asking. Windows: see windows/LibrarySearch.cpp. A
// library already in the process by that name is used as it is. Nothing is
// loaded.
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct TLinkInfo;

struct TMissingLibrary {
  std::string Name;                   // as the needing file names it
  std::filesystem::path NeededBy;     // the file whose DT_NEEDED names it
  std::vector<std::string> Searched;  // folders tried, in order ("ld.so.cache" for the cache)
};

// The first library in File's dependency tree that cannot be found, or
// none. Libraries found through the cache or the standard folders are
// trusted to bring their own dependencies.
std::optional<TMissingLibrary> FindMissingLibrary(const std::filesystem::path& File);

// Splits a search path list (Linux: at ':', expanding $ORIGIN / ${ORIGIN}
// to Origin; Windows: at ';').
std::vector<std::string> ExpandSearchPath(const std::string& List, const std::filesystem::path& Origin);

// A file the platform's loader would take as a library of this machine.
bool IsLoadableLibrary(const std::filesystem::path& Candidate);

// The platform's part of the walk above.
struct TFoundLibrary {
  std::filesystem::path Path;
  bool Trusted = false;  // the system's own, or in the process already
};
// Names of the libraries in the process now, as the loader compares them.
std::set<std::string> LoadedLibraryNames();
// A needed library's name as the loader compares it (Windows: in any case).
std::string LibraryKey(const std::string& Name);
// Where the loader would find Name, needed by NeededBy (whose link
// information is Info); every folder tried goes to Searched.
std::optional<TFoundLibrary> SearchNeededLibrary(const std::string& Name, const std::filesystem::path& NeededBy,
                                                 const TLinkInfo& Info, const std::set<std::string>& Loaded,
                                                 std::vector<std::string>& Searched);
