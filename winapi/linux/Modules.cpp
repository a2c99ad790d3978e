#include "winapi/Modules.h"

#include <dlfcn.h>

#include <algorithm>
#include <new>
#include <string>

#include "rtl/OwnMutex.h"
#include "rtl/UnicodeString.h"
#include "winapi/ImageCache.h"
#include "winapi/LastError.h"
#include "winapi/ModuleCallObserver.h"
#include "winapi/ModuleFileName.h"
#include "winapi/ModuleTable.h"
#include "winapi/ModuleUnloadWatch.h"

using qorb::winapi::ElfImage;
using qorb::winapi::FileImage;
using qorb::winapi::ModuleKind;
using qorb::winapi::ModuleRecord;
using qorb::winapi::ModuleTable;

namespace {

// The file read (or the shared earlier read) of a sound x86-64 library;
// otherwise null with the last error set as the loader would set it.
std::shared_ptr<const FileImage> ReadLibraryImage(const std::string& path) {
  std::shared_ptr<const FileImage> image;
  DWORD err = qorb::winapi::LoadFileImage(path, image);
  if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) err = ERROR_MOD_NOT_FOUND;
  if (err == ERROR_SUCCESS) err = image->elfError;
  if (err == ERROR_SUCCESS) return image;
  SetLastError(err);
  return nullptr;
}

// One module per file, as the loader keeps it: a file loaded or probed
// already answers with its module, counted once more.
HMODULE Probe(const std::string& path) {
  std::string full = qorb::winapi::FullPath(path);
  for (const ModuleKind kind : {ModuleKind::Loaded, ModuleKind::Probe})
    if (const HMODULE shared = ModuleTable::Instance().ShareByPath(full, kind)) return shared;
  std::shared_ptr<const FileImage> image = ReadLibraryImage(path);
  if (!image) return 0;
  return ModuleTable::Instance().AddProbe(std::move(full), std::move(image));
}

// The file's resources where the loader mapped them: the same bytes as in
// the file, for as long as the module stays loaded, so no copy is kept.
// Checked against the headers the loader went by, not only the file's.
std::span<const uint8_t> MappedResources(const FileImage* image, const qorb::winapi::DlModuleInfo& loaded) {
  if (!image || !image->resources || image->elf.rsrcAddress == 0) return {};
  const ElfImage& elf = image->elf;
  if (!qorb::winapi::MapsReadOnly(loaded, elf.rsrcOffset, elf.rsrcAddress, elf.rsrcSize)) return {};
  return {reinterpret_cast<const uint8_t*>(loaded.bias + elf.rsrcAddress), elf.rsrcSize};
}

HMODULE Load(const std::string& path, std::string& loaderError) {
  // The loader takes a damaged file badly (a truncated one faults inside
  // dlopen), so a file named by path must pass our reading first. The read
  // is the one the probe and the version functions share.
  std::shared_ptr<const FileImage> image;
  if (path.find('/') != std::string::npos) {
    // A file probed and still held is that module: the loader runs none of
    // its code and resolves nothing it needs.
    if (const HMODULE probed = ModuleTable::Instance().ShareByPath(qorb::winapi::FullPath(path), ModuleKind::Probe))
      return probed;
    if (!(image = ReadLibraryImage(path))) return 0;
  }
  std::lock_guard<TRecursiveMutex> loader(qorb::winapi::LoaderLock());
  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    // A sound file that still fails lacks a dependency.
    if (const char* text = dlerror()) loaderError = text;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  void* surplus = nullptr;
  try {
    qorb::winapi::DlModuleInfo loaded;
    if (!qorb::winapi::DlModule(dl, loaded)) {
      dlclose(dl);
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    // A name with a folder is the file itself; a bare one the loader found.
    const std::string& file = path.find('/') != std::string::npos ? path : loaded.path;
    ModuleTable::Instance().AddLoaded(loaded.base, loaded.end, qorb::winapi::FullPath(file), dl, surplus,
                                      image, MappedResources(image.get(), loaded));
    if (surplus) dlclose(surplus);
    return loaded.base;
  } catch (...) {
    dlclose(dl);
    throw;
  }
}

std::string PathArgument(LPCWSTR fileName) {
  return Utf16ToUtf8(std::u16string_view(fileName));
}

bool BelongsTo(const void* address, const ModuleRecord& r, HMODULE module) {
  if (r.kind == ModuleKind::Loaded) {
    const auto at = reinterpret_cast<HMODULE>(address);
    return at >= module && at < r.end;
  }
  HMODULE base = 0;
  const void* linkMap = nullptr;
  return qorb::winapi::DlModuleAt(address, base, linkMap) && base == module;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR fileName) noexcept { return LoadLibraryExW(fileName, nullptr, 0); }

HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags) noexcept {
  if (!fileName || file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!*fileName) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  try {
    const bool probe = flags & DONT_RESOLVE_DLL_REFERENCES;
    // Declared first: the report refers to them until the timer goes.
    const std::string path = PathArgument(fileName);
    std::string loaderError;
    qorb::winapi::ModuleCallTimer timer(probe ? qorb::winapi::ModuleCall::Probe : qorb::winapi::ModuleCall::Load);
    const HMODULE module = probe ? Probe(path) : Load(path, loaderError);
    timer.Answered(path, module, loaderError);
    return module;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) noexcept {
  // Ordinals do not exist in ELF files.
  if (!procName || IS_INTRESOURCE(procName)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  if (module == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  try {
    void* found = nullptr;
    const DWORD err = ModuleTable::Instance().With(module, [&](ModuleRecord& r) -> DWORD {
      switch (r.kind) {
        case ModuleKind::Probe: {
          const auto it = r.image->elf.exports.find(procName);
          if (it == r.image->elf.exports.end()) return ERROR_PROC_NOT_FOUND;
          // Looks like an address inside the module; nobody may call it.
          const HMODULE fake = module + it->second;
          found = reinterpret_cast<void*>(fake ? fake : module);
          return ERROR_SUCCESS;
        }
        case ModuleKind::Loaded:
          found = dlsym(r.dl, procName);
          break;
        case ModuleKind::Linked: {
          std::lock_guard<TRecursiveMutex> loader(qorb::winapi::LoaderLock());
          void* dl = dlopen(r.executable ? nullptr : r.path.c_str(), RTLD_NOW | RTLD_NOLOAD);
          if (!dl) return ERROR_INVALID_HANDLE;
          found = dlsym(dl, procName);
          dlclose(dl);
          break;
        }
      }
      // dlsym also searches the module's dependencies; GetProcAddress does not.
      if (!found || !BelongsTo(found, r, module)) {
        found = nullptr;
        return ERROR_PROC_NOT_FOUND;
      }
      return ERROR_SUCCESS;
    });
    if (err != ERROR_SUCCESS) {
      SetLastError(err);
      return nullptr;
    }
    return reinterpret_cast<FARPROC>(found);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

BOOL FreeLibrary(HMODULE module) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::Free);
  timer.Report().Module = module;
  void* toClose = nullptr;
  qorb::winapi::ModuleRange going;
  const DWORD err = ModuleTable::Instance().Release(module, toClose, &going);
  if (err != ERROR_SUCCESS) {
    SetLastError(err);
    return FALSE;
  }
  timer.Report().Succeeded = true;
  if (toClose) {
    if (going.last) qorb::winapi::NotifyModuleUnloading(going);
    std::lock_guard<TRecursiveMutex> loader(qorb::winapi::LoaderLock());
    dlclose(toClose);
    if (qorb::winapi::CurrentModuleCallObserver())
      timer.Report().Unloaded = !qorb::winapi::IsModuleMappedAt(module);
  }
  return TRUE;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) noexcept {
  try {
    std::string path;
    const DWORD err = ModuleTable::Instance().With(module, [&](ModuleRecord& r) -> DWORD {
      path = r.path;
      return ERROR_SUCCESS;
    });
    if (err != ERROR_SUCCESS) {
      SetLastError(err);
      return 0;
    }
    return CopyModuleFileName(Utf8ToUtf16(path), fileName, size);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

namespace qorb::winapi {

HMODULE ModuleFromAddress(const void* address) noexcept {
  HMODULE base = 0;
  const void* linkMap = nullptr;
  return DlModuleAt(address, base, linkMap) ? base : 0;
}

bool FindUnloadedModule(const void* address, std::string& path) {
  return ModuleTable::Instance().FindUnloaded(reinterpret_cast<uintptr_t>(address), path) &&
         !ModuleFromAddress(address);
}

}  // namespace qorb::winapi
