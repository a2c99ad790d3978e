#include "winapi/ModuleTable.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <filesystem>
#include <new>

namespace qorb::winapi {
namespace {

constexpr HMODULE kProbeTag = 1;

HMODULE ExecutableBase() noexcept {
  static const HMODULE base = [] {
    void* self = dlopen(nullptr, RTLD_NOW);
    const HMODULE b = self ? DlModule(self, nullptr) : 0;
    if (self) dlclose(self);
    return b;
  }();
  return base;
}

std::string ExecutablePath() {
  std::string buf(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0) return {};
  buf.resize(static_cast<size_t>(n));
  return buf;
}

// The module the loader has at exactly this address, if any.
bool LinkedModuleAt(HMODULE base, std::string& path) {
  Dl_info info{};
  if (base == 0 || dladdr(reinterpret_cast<const void*>(base), &info) == 0) return false;
  if (reinterpret_cast<HMODULE>(info.dli_fbase) != base) return false;
  if (base == ExecutableBase()) {
    path = ExecutablePath();
  } else {
    path = FullPath(info.dli_fname ? info.dli_fname : "");
  }
  return !path.empty();
}

}  // namespace

namespace {

struct DlSearch {
  void* map = nullptr;
  HMODULE base = 0;
  std::string* path = nullptr;
};

int MatchDlModule(dl_phdr_info* info, size_t, void* arg) {
  auto* search = static_cast<DlSearch*>(arg);
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type != PT_LOAD) continue;
    const void* first = reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
    Dl_info dli{};
    void* map = nullptr;
    if (dladdr1(first, &dli, &map, RTLD_DL_LINKMAP) == 0 || map != search->map) return 0;
    search->base = reinterpret_cast<HMODULE>(dli.dli_fbase);
    if (search->path && info->dlpi_name) *search->path = info->dlpi_name;
    return 1;
  }
  return 0;
}

}  // namespace

// The loader's own records are read only through dl_iterate_phdr and
// dladdr1: link_map fields read directly race with other threads' dlopen as
// far as ThreadSanitizer can see, though the loader's lock orders them.
std::recursive_mutex& LoaderLock() {
  static std::recursive_mutex lock;
  return lock;
}

HMODULE DlModule(void* dl, std::string* path) {
  std::lock_guard<std::recursive_mutex> loader(LoaderLock());
  DlSearch search;
  search.path = path;
  if (dlinfo(dl, RTLD_DI_LINKMAP, &search.map) != 0 || !search.map) return 0;
  dl_iterate_phdr(MatchDlModule, &search);
  return search.base;
}

std::string FullPath(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty()) return path;
  const fs::path p(path);
  if (p.is_absolute()) return p.lexically_normal().string();
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  if (ec) return path;
  return (cwd / p).lexically_normal().string();
}

ModuleTable& ModuleTable::Instance() {
  static ModuleTable table;
  return table;
}

ModuleRecord* ModuleTable::Find(HMODULE module) {
  if (module == 0) module = ExecutableBase();
  const auto it = records_.find(module);
  if (it != records_.end() && it->second.kind != ModuleKind::Linked) return &it->second;
  if (module & kProbeTag) return nullptr;

  // Something else may have unloaded it, or put another module there.
  std::string path;
  if (!LinkedModuleAt(module, path)) {
    if (it != records_.end()) records_.erase(it);
    return nullptr;
  }
  if (it != records_.end() && it->second.path == path) return &it->second;
  ModuleRecord& r = records_[module];
  r = ModuleRecord{};
  r.path = std::move(path);
  r.executable = module == ExecutableBase();
  return &r;
}

HMODULE ModuleTable::AddProbe(std::string path, std::shared_ptr<const FileImage> image) {
  const std::lock_guard lock(mu_);
  const HMODULE handle = (static_cast<HMODULE>(++probes_) << 4) | kProbeTag;
  ModuleRecord& r = records_[handle];
  r.kind = ModuleKind::Probe;
  r.path = std::move(path);
  r.refs = 1;
  r.image = std::move(image);
  return handle;
}

void ModuleTable::AddLoaded(HMODULE base, std::string path, void* dl, void*& surplus) {
  surplus = nullptr;
  const std::lock_guard lock(mu_);
  ModuleRecord& r = records_[base];
  if (r.kind == ModuleKind::Loaded) {
    ++r.refs;
    surplus = dl;
    return;
  }
  // First load through us (perhaps of a module we had only met as linked).
  if (r.path != path) r.image.reset();
  r.kind = ModuleKind::Loaded;
  r.path = std::move(path);
  r.dl = dl;
  r.refs = 1;
}

DWORD ModuleTable::Release(HMODULE module, void*& toClose) {
  toClose = nullptr;
  if (module == 0) return ERROR_INVALID_HANDLE;
  const std::lock_guard lock(mu_);
  const auto it = records_.find(module);
  // We hold no reference to a linked module, so there is none to drop.
  if (it == records_.end() || it->second.kind == ModuleKind::Linked) return ERROR_INVALID_HANDLE;
  if (--it->second.refs == 0) {
    toClose = it->second.dl;
    records_.erase(it);
  }
  return ERROR_SUCCESS;
}

DWORD ModuleImage(HMODULE module, std::shared_ptr<const FileImage>& out) {
  out.reset();
  return ModuleTable::Instance().With(module, [&](ModuleRecord& r) -> DWORD {
    if (!r.image) {
      if (const DWORD err = LoadFileImage(r.path, r.image); err != ERROR_SUCCESS) return err;
    }
    out = r.image;
    return ERROR_SUCCESS;
  });
}

}  // namespace qorb::winapi
