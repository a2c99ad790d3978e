#include "winapi/Modules.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "rtl/OwnMutex.h"
#include "rtl/UnicodeString.h"
#include "winapi/LastError.h"
#include "winapi/ModuleCallObserver.h"
#include "winapi/ModuleFileName.h"
#include "winapi/ModuleUnloadWatch.h"
#include "winapi/windows/Win32.h"

namespace {

// Loads made through us, per module: the last FreeLibrary of them is the
// one that can unmap the module, and the unload watcher hears of it first.
// Libraries that went, by range, so that a call into code that is gone can
// name its file.
struct TModules {
  TMutex Lock;
  std::map<HMODULE, int> Loads;
  std::vector<qorb::winapi::ModuleRange> Unloaded;
};
TModules& Modules() {
  static TModules modules;
  return modules;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR fileName) noexcept { return LoadLibraryExW(fileName, nullptr, 0); }

HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags) noexcept {
  if (!fileName || file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  try {
    const bool probe = flags & DONT_RESOLVE_DLL_REFERENCES;
    // Declared first: the report refers to them until the timer goes.
    const std::string path = Utf16ToUtf8(std::u16string_view(fileName));
    std::string loaderError;
    qorb::winapi::ModuleCallTimer timer(probe ? qorb::winapi::ModuleCall::Probe : qorb::winapi::ModuleCall::Load);
    // As the caller asked: the real IDE adds no flag either, and an author
    // must meet the loader's real search order here.
    const HMODULE module = qorb::win32::LoadModule(fileName, flags);
    if (module) {
      const std::lock_guard lock(Modules().Lock);
      ++Modules().Loads[module];
    } else {
      // The system's words for why, as the loader's text is on Linux.
      const DWORD error = GetLastError();
      loaderError = Utf16ToUtf8(SysErrorMessage(error));
      SetLastError(error);
    }
    timer.Answered(path, module, loaderError);
    return module;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) noexcept {
  return reinterpret_cast<FARPROC>(qorb::win32::ProcAddress(module, procName));
}

BOOL FreeLibrary(HMODULE module) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::Free);
  timer.Report().Module = module;
  try {
    qorb::winapi::ModuleRange going;
    bool last = false;
    {
      const std::lock_guard lock(Modules().Lock);
      const auto it = Modules().Loads.find(module);
      if (it != Modules().Loads.end() && --it->second == 0) {
        Modules().Loads.erase(it);
        last = true;
      }
    }
    if (last && qorb::win32::ModuleHolding(reinterpret_cast<const void*>(module)) == module) {
      going = {module, qorb::win32::ImageEnd(module) - 1, Utf16ToUtf8(qorb::win32::ModuleFileName(module))};
      qorb::winapi::NotifyModuleUnloading(going);
    }
    if (!qorb::win32::FreeLibrary(module)) return FALSE;
    timer.Report().Succeeded = true;
    if (going.last && qorb::win32::ModuleHolding(reinterpret_cast<const void*>(module)) != module) {
      timer.Report().Unloaded = true;
      const std::lock_guard lock(Modules().Lock);
      Modules().Unloaded.push_back(std::move(going));
    }
    return TRUE;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) noexcept {
  try {
    const std::u16string name = qorb::win32::ModuleFileName(module);
    if (name.empty()) return 0;
    return CopyModuleFileName(name, fileName, size);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

namespace qorb::winapi {

HMODULE ModuleFromAddress(const void* address) noexcept { return qorb::win32::ModuleHolding(address); }

bool FindUnloadedModule(const void* address, std::string& path) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  {
    const std::lock_guard lock(Modules().Lock);
    // The latest first: a later library may have taken the same addresses.
    const auto it = std::find_if(Modules().Unloaded.rbegin(), Modules().Unloaded.rend(),
                                 [&](const auto& m) { return at >= m.first && at <= m.last; });
    if (it == Modules().Unloaded.rend()) return false;
    path = it->path;
  }
  return !ModuleFromAddress(address);
}

// The system's loader keeps its own lists; nothing of ours walks them.
size_t LoaderWalks() noexcept { return 0; }

}  // namespace qorb::winapi
