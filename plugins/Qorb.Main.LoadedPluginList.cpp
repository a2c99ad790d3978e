#include "plugins/Qorb.Main.LoadedPluginList.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "host/HostModule.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "rtl/ForeignCall.h"
#include "rtl/PathDelim.h"
#include "winapi/FileMask.h"
#include "winapi/Modules.h"

TLoadedPluginList* LoadedPluginList = nullptr;

namespace {

std::filesystem::path PathOf(const UnicodeString& Path) { return std::filesystem::path(std::u16string(Path.view())); }

bool IsFolder(const UnicodeString& path) {
  std::error_code ec;
  return std::filesystem::is_directory(PathOf(path), ec);
}

// Every "*.dll" file directly in Dir, as full paths, in listing order.
std::vector<UnicodeString> ListPluginFiles(const UnicodeString& Dir) {
  std::vector<UnicodeString> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(PathOf(Dir), ec), end; !ec && it != end; it.increment(ec)) {
    const std::u16string name = it->path().filename().u16string();
    if (!MatchesDllMask(name)) continue;
    // The listing tells most entries' kind; links are followed.
    std::error_code kind;
    if (!it->is_regular_file(kind)) continue;
    files.push_back(Dir + UnicodeString(name));
  }
  return files;
}

// A library's start-up and clean-up code runs inside the loader, where a
// fault cannot be contained; what was being done is still told.
HMODULE LoadPluginLibrary(const UnicodeString& Path) {
  const TForeignActivity loading({u"loading", nullptr, Path.c_str()});
  return LoadLibraryW(Path.c_str());
}

void FreePluginLibrary(HMODULE h) {
  const TForeignActivity unloading({u"unloading", reinterpret_cast<const void*>(h)});
  FreeLibrary(h);
}

// Releases a library on every way out of a scope.
class TLibraryGuard {
 public:
  explicit TLibraryGuard(HMODULE h) : h_(h) {}
  ~TLibraryGuard() {
    if (h_) FreePluginLibrary(h_);
  }
  TLibraryGuard(const TLibraryGuard&) = delete;
  TLibraryGuard& operator=(const TLibraryGuard&) = delete;
  HMODULE get() const { return h_; }
  HMODULE release() { return std::exchange(h_, HMODULE{}); }

 private:
  HMODULE h_;
};

bool ExportsInitPlugin(const UnicodeString& Path) {
  // Maps nothing and runs none of the library's code.
  TLibraryGuard probe(LoadLibraryExW(Path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
  return probe.get() && GetProcAddress(probe.get(), kInitPluginExport) != nullptr;
}

}  // namespace

TLoadedPluginList::TLoadedPluginList()
    : FPluginLock(std::make_unique<TCriticalSection>()), FGraphics(std::make_unique<TQorbPluginGraphics>()) {}

TLoadedPluginList::~TLoadedPluginList() {
  UnloadPlugins();
  FGraphics.reset();
  FPluginLock.reset();
}

UnicodeString TLoadedPluginList::GetPluginDir() {
  UnicodeString dir = HostModuleFolder();
  if (dir.IsEmpty() || dir[static_cast<size_t>(dir.Length()) - 1] != PathDelim) dir += PathDelimText;
  return dir + u"Plugins" + PathDelimText;
}

void TLoadedPluginList::LoadPlugins(const TGetInterface& AGetInterface) {
  const UnicodeString dir = GetPluginDir();
  if (!IsFolder(dir)) return;
  TLock lock(*FPluginLock);
  for (const UnicodeString& path : ListPluginFiles(dir)) LoadOne(path, AGetInterface);
}

void TLoadedPluginList::LoadOne(const UnicodeString& Path, const TGetInterface& AGetInterface) {
  if (!ExportsInitPlugin(Path)) return;
  TLibraryGuard library(LoadPluginLibrary(Path));
  if (!library.get()) return;
  auto init = reinterpret_cast<TInitPlugin>(GetProcAddress(library.get(), kInitPluginExport));
  auto shutdown = reinterpret_cast<TShutdown>(GetProcAddress(library.get(), kShutdownExport));
  if (!init || !shutdown) return;
  try {
    CallForeign({u"InitPlugin", reinterpret_cast<const void*>(init), Path.c_str()}, [&] { init(&AGetInterface); });
  } catch (...) {
    try {
      CallForeign({u"Shutdown", reinterpret_cast<const void*>(shutdown), Path.c_str()}, shutdown);
    } catch (...) {
    }
    return;  // the guard unloads the library
  }

  TLoadedPlugin plugin;
  plugin.Module = library.get();
  plugin.ShutdownProc = shutdown;
  AssignModuleTexts(plugin, GetQorbVersionInfo(Path));
  plugin.FilePath = Path;
  plugin.Graphic = FGraphics->GetGraphic(plugin.Module);
  FItems.push_back(std::move(plugin));
  library.release();
}

void TLoadedPluginList::UnloadPlugins() {
  TLock lock(*FPluginLock);
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
    if (!it->ShutdownProc) continue;
    try {
      CallForeign({u"Shutdown", reinterpret_cast<const void*>(it->ShutdownProc), it->FilePath.c_str()},
                  it->ShutdownProc);
    } catch (...) {
    }
  }
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if (it->Module != 0) FreePluginLibrary(static_cast<HMODULE>(it->Module));
  FItems.clear();
}

DynArray<TLoadedPlugin> TLoadedPluginList::GetLoadedPlugins() {
  DynArray<TLoadedPlugin> result;
  TLock lock(*FPluginLock);
  size_t n = 0;
  for (const auto& item : FItems)
    if (item.Module != 0) ++n;
  result.SetLength(n);
  size_t k = 0;
  for (const auto& item : FItems)
    if (item.Module != 0) result[k++] = item;
  return result;
}

void LoadedPluginListInitialization() {
  LoadedPluginList = std::make_unique<TLoadedPluginList>().release();
}

void LoadedPluginListFinalization() {
  std::unique_ptr<TLoadedPluginList> list(LoadedPluginList);
  LoadedPluginList = nullptr;
}
