#pragma once
// Loading libraries and asking about them, with Windows' names and rules.
// A handle is the load address of a loaded module, or a tagged number for a
// file that was only probed (LoadLibraryExW with DONT_RESOLVE_DLL_REFERENCES).
// Unknown and stale handles fail with ERROR_INVALID_HANDLE.
#include "winapi/WinTypes.h"

// Loads and initialises a library (RTLD_NOW | RTLD_LOCAL). Loading the same
// library again returns the same handle and counts one more reference.
// Fails with 0 and ERROR_MOD_NOT_FOUND (missing file or dependency) or
// ERROR_BAD_EXE_FORMAT (not a loadable x86-64 library).
HMODULE LoadLibraryW(LPCWSTR fileName) noexcept;

// With DONT_RESOLVE_DLL_REFERENCES the file is only read: nothing is mapped
// and none of its code runs, yet GetProcAddress answers for its exports
// (with an address that must not be called). Otherwise as LoadLibraryW.
HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags) noexcept;

// An export of the module itself by its (ANSI) name; null and
// ERROR_PROC_NOT_FOUND when the module does not export it.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName) noexcept;

// Drops one reference; the last one unloads the library.
BOOL FreeLibrary(HMODULE module) noexcept;

// The full path of the module's file (module 0: the executable). A path
// longer than the buffer comes back cut to size - 1 units and a zero; the
// result is then size, with ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) noexcept;

#include <cstddef>
#include <string>

namespace qorb::winapi {
// The handle of the module that holds address, or 0.
HMODULE ModuleFromAddress(const void* address) noexcept;

// The file name of the library loaded through LoadLibraryW that was last
// unloaded from a range (first to last mapped byte) holding address; false
// when none was, or when a library loaded since holds address now.
bool FindUnloadedModule(const void* address, std::string& path);

// How many times this layer has asked the loader something that walks all
// mapped modules. Loading and questioning a library asks nothing of the
// kind, so the count stays put however many are loaded.
size_t LoaderWalks() noexcept;
}  // namespace qorb::winapi

// The module the calling code is linked into. Internal linkage gives every
// module its own copy, so the address resolved is one of the caller's.
static inline HMODULE HInstance() noexcept {
  return qorb::winapi::ModuleFromAddress(reinterpret_cast<const void*>(&HInstance));
}
