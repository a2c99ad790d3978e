#include "workbench/PassedOverFiles.h"

#include "winapi/FileMask.h"
#include "workbench/NotLoadedReasons.h"
#include "winapi/Modules.h"

namespace fs = std::filesystem;

namespace {

// Read, not loaded: none of its code runs.
bool ExportsInitPlugin(const fs::path& file) {
  const HMODULE probe = LoadLibraryExW(file.u16string().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!probe) return false;
  const bool init = GetProcAddress(probe, "InitPlugin") != nullptr;
  FreeLibrary(probe);
  return init;
}

void InSubFolder(const fs::path& folder, const fs::path& sub, std::vector<TSkippedFile>& out) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(sub, ec), end; !ec && it != end; it.increment(ec)) {
    if (!MatchesDllMask(it->path().filename().u16string()) || !it->is_regular_file(ec)) continue;
    out.push_back({it->path().lexically_relative(folder),
                   NotLoadedReason(TNotLoaded::InSubFolder, folder.filename().string())});
  }
}

}  // namespace

std::vector<TSkippedFile> PassedOverFilesIn(const fs::path& Folder) {
  std::vector<TSkippedFile> files;
  std::error_code ec;
  for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    if (it->is_directory(ec)) {
      InSubFolder(Folder, path, files);
      continue;
    }
    if (MatchesDllMask(path.filename().u16string()) || !it->is_regular_file(ec)) continue;
    if (ExportsInitPlugin(path))
      files.push_back({path.filename(), NotLoadedReason(TNotLoaded::NotNamedDll)});
  }
  return files;
}

std::string FormatPassedOverFiles(const std::vector<TSkippedFile>& Files) {
  if (Files.empty()) return {};
  std::string out = "Passed over:\n";
  for (const TSkippedFile& f : Files) out += "  " + f.Path.string() + ": " + f.Reason + "\n";
  return out;
}
