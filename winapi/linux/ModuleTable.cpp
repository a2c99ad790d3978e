#include "rtl/linux/ModuleSpan.h"
#include "rtl/OwnMutex.h"
#include "winapi/ModuleTable.h"
#include "winapi/SideHeap.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <filesystem>
#include <new>

namespace qorb::winapi {
namespace {

constexpr HMODULE kProbeTag = 1;

std::atomic<size_t> loaderWalks{0};

HMODULE ExecutableBase() noexcept {
  static const HMODULE base = [] {
    void* self = dlopen(nullptr, RTLD_NOW);
    DlModuleInfo info;
    const HMODULE b = self && DlModule(self, info) ? info.base : 0;
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

// The name of the module the loader has at exactly this address, if any.
bool LinkedModuleName(HMODULE base, std::string& path) {
  if (base == ExecutableBase()) {
    path = ExecutablePath();
    return !path.empty();
  }
  Dl_info info{};
  CountLoaderWalk();
  if (dladdr(reinterpret_cast<const void*>(base), &info) == 0) return false;
  if (reinterpret_cast<HMODULE>(info.dli_fbase) != base) return false;
  path = FullPath(info.dli_fname ? info.dli_fname : "");
  return !path.empty();
}

// Whether the dynamic section asks the loader to write to read-only segments.
bool HasTextRelocations(const ElfW(Dyn)* dyn) noexcept {
  for (; dyn && dyn->d_tag != DT_NULL; ++dyn) {
    if (dyn->d_tag == DT_TEXTREL) return true;
    if (dyn->d_tag == DT_FLAGS && (dyn->d_un.d_val & DF_TEXTREL)) return true;
  }
  return false;
}

// Under the table's lock.
DWORD ResourcesOf(ModuleRecord& r, const ResourceReader& read) {
  if (r.mappedResources.data()) {
    const std::optional<ResImage> view = ResImage::View(r.mappedResources);
    return read(view ? &*view : nullptr);
  }
  if (!r.image) {
    if (const DWORD err = LoadFileImage(r.path, r.image); err != ERROR_SUCCESS) return err;
  }
  return read(r.image->resources ? &*r.image->resources : nullptr);
}

}  // namespace

void CountLoaderWalk() noexcept { loaderWalks.fetch_add(1, std::memory_order_relaxed); }

size_t LoaderWalks() noexcept { return loaderWalks.load(std::memory_order_relaxed); }

// One lock for our dlopen and dlclose calls and our reads of the loader's
// records: a record read directly is then ordered after the dlopen that
// made it and before the dlclose that frees it, as ThreadSanitizer sees it.
TRecursiveMutex& LoaderLock() {
  static TRecursiveMutex lock;
  return lock;
}

bool DlModule(void* dl, DlModuleInfo& out) {
  const std::lock_guard<TRecursiveMutex> loader(LoaderLock());
  link_map* map = nullptr;
  if (dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0 || !map) return false;
  const ElfW(Phdr)* phdr = nullptr;
  // Answers the number of program headers.
  const int count = dlinfo(dl, RTLD_DI_PHDR, &phdr);
  if (count <= 0 || !phdr) return false;
  const TModuleSpan span = LoadedSpan(map->l_addr, phdr, static_cast<size_t>(count));
  if (!span.End) return false;
  out.base = span.Start;
  out.end = span.End;
  out.bias = map->l_addr;
  out.textRelocations = HasTextRelocations(map->l_ld);
  out.phdr = phdr;
  out.phnum = static_cast<size_t>(count);
  out.path = map->l_name ? map->l_name : "";
  return true;
}

bool MapsReadOnly(const DlModuleInfo& loaded, uint64_t offset, uint64_t address, uint64_t size) noexcept {
  if (loaded.textRelocations) return false;
  const auto* ph = static_cast<const ElfW(Phdr)*>(loaded.phdr);
  for (size_t i = 0; i < loaded.phnum; ++i) {
    const ElfW(Phdr)& p = ph[i];
    if (p.p_type != PT_LOAD || (p.p_flags & PF_W) || !(p.p_flags & PF_R)) continue;
    if (address < p.p_vaddr || address - p.p_vaddr > p.p_filesz || size > p.p_filesz - (address - p.p_vaddr))
      continue;
    return p.p_offset + (address - p.p_vaddr) == offset;
  }
  return false;
}

// Whether the loader's record names the file path (the executable's
// record has no name: it keeps whatever it was first known by).
static bool SameLoaderName(const void* linkMap, const std::string& path) noexcept {
  const char* name = static_cast<const link_map*>(linkMap)->l_name;
  if (!name || !*name || path == name) return true;
  // A relative name is kept in full.
  return name[0] != '/' && path.ends_with(name);
}

bool DlModuleAt(const void* address, HMODULE& base, const void*& linkMap) noexcept {
  dl_find_object found{};
  if (!address || _dl_find_object(const_cast<void*>(address), &found) != 0) return false;
  base = reinterpret_cast<HMODULE>(found.dlfo_map_start);
  linkMap = found.dlfo_link_map;
  return true;
}

// Absolute, with no empty, "." or ".." component and no trailing slash.
static bool IsNormalAbsolute(std::string_view path) noexcept {
  if (!path.starts_with('/') || (path.size() > 1 && path.ends_with('/'))) return false;
  for (const std::string_view odd : {"//", "/./", "/../"})
    if (path.find(odd) != std::string_view::npos) return false;
  return !path.ends_with("/.") && !path.ends_with("/..");
}

std::string FullPath(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty() || IsNormalAbsolute(path)) return path;
  const fs::path p(path);
  if (p.is_absolute()) return p.lexically_normal().string();
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  if (ec) return path;
  return (cwd / p).lexically_normal().string();
}

ModuleTable::ModuleTable()
    : records_(&SideHeap()), loadedByPath_(&SideHeap()), probedByPath_(&SideHeap()), unloaded_(&SideHeap()) {}

ModuleTable& ModuleTable::Instance() {
  static ModuleTable table;
  return table;
}

ModuleRecord* ModuleTable::Find(HMODULE module) {
  if (module == 0) module = ExecutableBase();
  const auto it = records_.find(module);
  if (it != records_.end() && it->second.kind != ModuleKind::Linked) return &it->second;
  if (module & kProbeTag) return nullptr;

  // Something else may have unloaded it, or put another module there: the
  // loader's index tells at once; only a module met anew is asked its name.
  HMODULE base = 0;
  const void* linkMap = nullptr;
  if (!DlModuleAt(reinterpret_cast<const void*>(module), base, linkMap) || base != module) {
    if (it != records_.end()) records_.erase(it);
    return nullptr;
  }
  // The loader may give a new module the record of one it unloaded: the
  // same record at the same address is the same module only by its name.
  if (it != records_.end() && it->second.linkMap == linkMap && SameLoaderName(linkMap, it->second.path))
    return &it->second;
  std::string path;
  if (!LinkedModuleName(module, path)) {
    if (it != records_.end()) records_.erase(it);
    return nullptr;
  }
  ModuleRecord& r = records_[module];
  if (r.path != path) r = ModuleRecord{};
  r.kind = ModuleKind::Linked;
  r.path = std::move(path);
  r.linkMap = linkMap;
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
  // Keyed by this record's own path: an equal key of another record would
  // stay behind, pointing into that record, when the value is replaced.
  probedByPath_.erase(r.path);
  probedByPath_.emplace(r.path, handle);
  return handle;
}

HMODULE ModuleTable::ShareByPath(const std::string& path, ModuleKind kind) {
  const std::lock_guard lock(mu_);
  auto& index = kind == ModuleKind::Probe ? probedByPath_ : loadedByPath_;
  const auto it = index.find(path);
  if (it == index.end()) return 0;
  const auto r = records_.find(it->second);
  if (r == records_.end() || r->second.kind != kind) return 0;
  ++r->second.refs;
  return it->second;
}

void ModuleTable::AddLoaded(HMODULE base, HMODULE end, std::string path, void* dl, void*& surplus,
                            std::shared_ptr<const FileImage> image, std::span<const uint8_t> mappedResources) {
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
  if (mappedResources.data()) {
    r.image.reset();
    r.mappedResources = mappedResources;
  } else if (image) {
    r.image = std::move(image);
  }
  r.kind = ModuleKind::Loaded;
  r.path = std::move(path);
  r.dl = dl;
  r.end = end;
  r.linkMap = nullptr;
  r.refs = 1;
  // Keyed by this record's own path, never an equal one of another record.
  loadedByPath_.erase(r.path);
  loadedByPath_.emplace(r.path, base);
}

bool ModuleTable::LoadedResources(const std::string& path, const ResourceReader& read, DWORD& result) {
  const std::lock_guard lock(mu_);
  const auto it = loadedByPath_.find(path);
  if (it == loadedByPath_.end()) return false;
  const auto r = records_.find(it->second);
  if (r == records_.end() || r->second.kind != ModuleKind::Loaded) return false;
  if (!r->second.mappedResources.data() && !r->second.image) return false;
  result = ResourcesOf(r->second, read);
  return true;
}

DWORD ModuleTable::Release(HMODULE module, void*& toClose, ModuleRange* going) {
  toClose = nullptr;
  if (module == 0) return ERROR_INVALID_HANDLE;
  const std::lock_guard lock(mu_);
  const auto it = records_.find(module);
  // We hold no reference to a linked module, so there is none to drop.
  if (it == records_.end() || it->second.kind == ModuleKind::Linked) return ERROR_INVALID_HANDLE;
  if (--it->second.refs == 0) {
    ModuleRecord& r = it->second;
    toClose = r.dl;
    for (auto* index : {&loadedByPath_, &probedByPath_})
      if (const auto p = index->find(r.path); p != index->end() && p->second == module) index->erase(p);
    if (r.kind == ModuleKind::Loaded && r.end > module) {
      if (going) *going = {module, r.end - 1, r.path};
      RememberUnloaded(module, r.end - 1, std::move(r.path));
    }
    records_.erase(it);
  }
  return ERROR_SUCCESS;
}

void ModuleTable::RememberUnloaded(uintptr_t first, uintptr_t last, std::string path) {
  // Earlier ranges that overlap keep only what lies outside the new one.
  auto it = unloaded_.upper_bound(first);
  if (it != unloaded_.begin()) --it;
  while (it != unloaded_.end() && it->first <= last) {
    if (it->second.last < first) {
      ++it;
      continue;
    }
    const uintptr_t oldFirst = it->first;
    UnloadedRange old = std::move(it->second);
    it = unloaded_.erase(it);
    if (old.last > last) unloaded_.emplace(last + 1, UnloadedRange{old.last, old.path});
    if (oldFirst < first) unloaded_.emplace(oldFirst, UnloadedRange{first - 1, std::move(old.path)});
  }
  unloaded_.insert_or_assign(first, UnloadedRange{last, std::move(path)});
}

bool ModuleTable::FindUnloaded(uintptr_t address, std::string& path) {
  const std::lock_guard lock(mu_);
  auto it = unloaded_.upper_bound(address);
  if (it == unloaded_.begin()) return false;
  --it;
  if (address > it->second.last) return false;
  path = it->second.path;
  return true;
}

DWORD ModuleResources(HMODULE module, const ResourceReader& read) {
  return ModuleTable::Instance().With(module, [&](ModuleRecord& r) { return ResourcesOf(r, read); });
}

}  // namespace qorb::winapi
