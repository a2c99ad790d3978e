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
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "winapi/ImageCache.h"
#include "winapi/WinTypes.h"

namespace qorb::winapi {

// The one lock of this layer: held around every dlopen, dlclose and walk of
// the loader's records, and guarding the handle table. The loader orders
// its work with locks of its own that ThreadSanitizer cannot see, and one
// lock for both leaves no order between two to get wrong. Re-entrant, since
// a library's start-up code runs inside dlopen and may use this layer.
std::recursive_mutex& LoaderLock();

enum class ModuleKind { Probe, Loaded, Linked };

struct ModuleRecord {
  ModuleKind kind = ModuleKind::Linked;
  std::string path;  // full path, UTF-8
  void* dl = nullptr;
  unsigned refs = 0;
  bool executable = false;  // the program itself, which dlopen knows by no name
  std::shared_ptr<const FileImage> image;  // read on first need, kept with the module
};

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
  // Counts a dlopen of the module at base. When the module was already
  // loaded through us, surplus receives the extra dlopen reference to close.
  void AddLoaded(HMODULE base, std::string path, void* dl, void*& surplus);
  // Drops a reference. When it was the last of a loaded library, toClose
  // receives its dlopen handle (to be closed outside the lock).
  DWORD Release(HMODULE module, void*& toClose);

 private:
  ModuleRecord* Find(HMODULE module);

  std::recursive_mutex& mu_ = LoaderLock();
  std::map<HMODULE, ModuleRecord> records_;
  uint64_t probes_ = 0;
};

// The load address of a dlopen handle's module, or 0; path (when given)
// receives the file name the loader knows it by.
HMODULE DlModule(void* dl, std::string* path);

// The full form of a path, relative ones taken from the current folder.
std::string FullPath(const std::string& path);

// The image of the module's file (module 0: the executable), read on first
// use and kept with the module until it is freed.
DWORD ModuleImage(HMODULE module, std::shared_ptr<const FileImage>& out);

}  // namespace qorb::winapi
