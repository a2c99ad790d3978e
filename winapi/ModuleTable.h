#pragma once
// Internal: the handles this layer gave out, and what each stands for.
//  - Probe: a file only read (LoadLibraryExW with DONT_RESOLVE_DLL_REFERENCES);
//    its handle is an odd number, never an address.
//  - Loaded: a library loaded through LoadLibraryW; its handle is its load
//    address and it holds one dlopen reference.
//  - Linked: any other module of the process (the executable, libraries it
//    links, libraries loaded by someone else) met through its load address,
//    for instance from HInstance(). It is checked against the loader on every
//    use, since we hold no reference to it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <memory_resource>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "rtl/OwnMutex.h"
#include "winapi/ImageCache.h"
#include "winapi/ModuleUnloadWatch.h"
#include "winapi/WinTypes.h"

namespace qorb::winapi {

// The one lock of this layer: held around every dlopen, dlclose and walk of
// the loader's records, and guarding the handle table. The loader orders
// its work with locks of its own that ThreadSanitizer cannot see, and one
// lock for both leaves no order between two to get wrong. Re-entrant, since
// a library's start-up code runs inside dlopen and may use this layer.
TRecursiveMutex& LoaderLock();

enum class ModuleKind { Probe, Loaded, Linked };

struct ModuleRecord {
  ModuleKind kind = ModuleKind::Linked;
  std::string path;  // full path, UTF-8
  void* dl = nullptr;
  HMODULE end = 0;          // loaded: one past the last mapped byte
  const void* linkMap = nullptr;  // linked: the loader's record it was met through
  unsigned refs = 0;
  bool executable = false;  // the program itself, which dlopen knows by no name
  // Loaded: the section .rsrc as mapped, when the file's image said it can
  // be read in place; the image is then not kept.
  std::span<const uint8_t> mappedResources;
  std::shared_ptr<const FileImage> image;  // read on first need, kept with the module
};

// Called with a module's resources, or null when it has no sound resource
// section; what it is given is valid only during the call.
using ResourceReader = std::function<DWORD(const ResImage*)>;

class ModuleTable {
 public:
  static ModuleTable& Instance();

  // Runs f(record) under the table's lock. Module 0 is the executable.
  // ERROR_INVALID_HANDLE for a handle that names no module.
  template <class F>
  DWORD With(HMODULE module, F&& f) {
    const std::lock_guard lock(mu_);
    ModuleRecord* r = Find(module);
    if (!r) return ERROR_INVALID_HANDLE;
    return f(*r);
  }

  HMODULE AddProbe(std::string path, std::shared_ptr<const FileImage> image);
  // The loader keeps one module per file: the module of this kind already
  // made from the file at the full path, with one more reference; 0 when
  // there is none.
  HMODULE ShareByPath(const std::string& path, ModuleKind kind);
  // Counts a dlopen of the module mapped at [base, end). When the module was
  // already loaded through us, surplus receives the extra dlopen reference
  // to close. image: the file's, when it was just read for the load;
  // mappedResources: its .rsrc where the load mapped it, when it may be
  // read in place.
  void AddLoaded(HMODULE base, HMODULE end, std::string path, void* dl, void*& surplus,
                 std::shared_ptr<const FileImage> image = nullptr,
                 std::span<const uint8_t> mappedResources = {});
  // Drops a reference. When it was the last of a loaded library, toClose
  // receives its dlopen handle (to be closed outside the lock) and the
  // library's name and range are kept as unloaded.
  DWORD Release(HMODULE module, void*& toClose, ModuleRange* going = nullptr);

  // When a module loaded through us from this full path, result is what
  // read answered for its resources.
  bool LoadedResources(const std::string& path, const ResourceReader& read, DWORD& result);

  // The most recently unloaded module whose range held address.
  bool FindUnloaded(uintptr_t address, std::string& path);

 private:
  struct UnloadedRange {
    uintptr_t last;  // inclusive
    std::string path;
  };

  ModuleRecord* Find(HMODULE module);
  void RememberUnloaded(uintptr_t first, uintptr_t last, std::string path);

  ModuleTable();

  TRecursiveMutex& mu_ = LoaderLock();
  // Kept apart from the loader's heap (see SideHeap.h).
  std::pmr::map<HMODULE, ModuleRecord> records_;
  // Keys are the paths of the records, which stay put while indexed.
  std::pmr::unordered_map<std::string_view, HMODULE> loadedByPath_;
  std::pmr::unordered_map<std::string_view, HMODULE> probedByPath_;
  uint64_t probes_ = 0;
  // Disjoint ranges by first byte: a later unload cuts what it covers out of
  // earlier ones, so each address answers with its latest module.
  std::pmr::map<uintptr_t, UnloadedRange> unloaded_;
};

// Where a dlopen handle's module lies and what the loader calls it; the
// loader's record is read directly, at the same cost however many modules
// are mapped.
struct DlModuleInfo {
  HMODULE base = 0;  // first mapped byte, as dladdr reports dli_fbase
  HMODULE end = 0;   // one past the last
  uintptr_t bias = 0;  // what the loader adds to the file's addresses
  // The loader may have written to its read-only segments.
  bool textRelocations = false;
  // The program headers as loaded (the loader's copy, valid while loaded).
  const void* phdr = nullptr;
  size_t phnum = 0;
  std::string path;  // as the loader knows it; empty for the executable
};
bool DlModule(void* dl, DlModuleInfo& out);

// Whether the loaded module maps file bytes [offset, offset + size) at
// address (relative to its bias) with a segment that is readable and was
// never writable.
bool MapsReadOnly(const DlModuleInfo& loaded, uint64_t offset, uint64_t address, uint64_t size) noexcept;

// The module mapped at address as the loader's address index answers it:
// its first byte and its loader record, or false. Costs the logarithm of
// the module count, not a walk.
bool DlModuleAt(const void* address, HMODULE& base, const void*& linkMap) noexcept;

// Calls into the loader whose cost grows with the number of mapped modules
// (dladdr, dl_iterate_phdr), counted so tests can see that loading makes none.
void CountLoaderWalk() noexcept;

// The full form of a path, relative ones taken from the current folder.
std::string FullPath(const std::string& path);

// The module's resources (module 0: the executable), under the table's
// lock: a loaded module's read where they are mapped, any other's from the
// image of its file, read on first use and kept with the module until it
// is freed. Fails as reading the file fails.
DWORD ModuleResources(HMODULE module, const ResourceReader& read);

}  // namespace qorb::winapi
