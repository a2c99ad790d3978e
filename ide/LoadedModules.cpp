#include "ide/LoadedModules.h"

#include <link.h>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "rtl/Format.h"
#include "rtl/UnicodeString.h"
#include "winapi/FileMask.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"
#include "winapi/Version.h"

namespace fs = std::filesystem;

namespace {

int CollectPath(dl_phdr_info* info, size_t, void* data) {
  if (info->dlpi_name && *info->dlpi_name) static_cast<std::vector<fs::path>*>(data)->emplace_back(info->dlpi_name);
  return 0;
}

// A value of the block's first translation, as written.
std::u16string VersionString(const std::vector<uint8_t>& block, std::u16string_view key) {
  void* value = nullptr;
  unsigned len = 0;
  if (!VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &value, &len) || len < 4) return {};
  const auto* words = static_cast<const uint16_t*>(value);
  const UnicodeString path = Format(u"\\StringFileInfo\\%.4x%.4x\\%s", {words[0], words[1], key});
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &len) || len == 0) return {};
  return std::u16string(static_cast<const char16_t*>(value));
}

// Why the host would have passed over File: what its exports say, read
// without mapping it.
std::string SkipReason(const fs::path& File) {
  const std::u16string name = File.u16string();
  const HMODULE probe = LoadLibraryExW(name.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!probe) {
    // The system's texts may name the file as "%1".
    std::string text = Utf16ToUtf8(SysErrorMessage(GetLastError()));
    if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, File.filename().string());
    return "not a library this IDE can load: " + text;
  }
  const bool init = GetProcAddress(probe, "InitPlugin") != nullptr;
  const bool shutdown = GetProcAddress(probe, "Shutdown") != nullptr;
  FreeLibrary(probe);
  if (!init && !shutdown) return "exports neither InitPlugin nor Shutdown";
  if (!init) return "exports no InitPlugin";
  if (!shutdown) return "exports no Shutdown";
  return "did not stay loaded: a library it needs is missing, or its InitPlugin raised";
}

}  // namespace

std::vector<TLoadedModule> LoadedModulesIn(const fs::path& Folder) {
  std::vector<fs::path> mapped;
  dl_iterate_phdr(&CollectPath, &mapped);
  std::error_code ec;
  const fs::path folder = fs::weakly_canonical(Folder, ec);
  std::vector<TLoadedModule> modules;
  // Most modules share a few folders: each is resolved once.
  std::unordered_map<std::string, bool> inFolder;
  for (const fs::path& path : mapped) {
    // The folder as the host named it: a plug-in may be a link to a file
    // kept elsewhere.
    const auto [at, added] = inFolder.try_emplace(path.parent_path().string(), false);
    if (added) at->second = fs::weakly_canonical(path.parent_path(), ec) == folder;
    if (!at->second) continue;
    TLoadedModule m;
    m.Path = path;
    const std::u16string file = path.u16string();
    DWORD handle = 0;
    if (const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle)) {
      std::vector<uint8_t> block(size);
      if (GetFileVersionInfoW(file.c_str(), 0, size, block.data())) {
        m.ProductName = VersionString(block, u"ProductName");
        m.Version = VersionString(block, u"FileVersion");
        m.Company = VersionString(block, u"CompanyName");
      }
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

std::vector<TSkippedFile> SkippedFilesIn(const fs::path& Folder, const std::vector<TLoadedModule>& Loaded) {
  std::error_code ec;
  std::unordered_set<std::string> loaded;
  for (const TLoadedModule& m : Loaded) loaded.insert(m.Path.filename().string());
  std::vector<TSkippedFile> skipped;
  for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::u16string name = it->path().filename().u16string();
    if (!MatchesDllMask(name)) continue;
    if (!it->is_regular_file(ec)) continue;
    if (loaded.count(it->path().filename().string())) continue;
    skipped.push_back({it->path(), SkipReason(it->path())});
  }
  return skipped;
}

std::string FormatSkippedFiles(const std::vector<TSkippedFile>& Files) {
  if (Files.empty()) return {};
  std::string out = "Not loaded:\n";
  for (const TSkippedFile& f : Files) out += "  " + f.Path.filename().string() + ": " + f.Reason + "\n";
  return out;
}
