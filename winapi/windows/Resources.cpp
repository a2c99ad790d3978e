#include "winapi/Resources.h"

#include "winapi/ModuleCallObserver.h"
#include "winapi/windows/Win32.h"

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::FindResource);
  timer.Report().Module = module;
  return static_cast<HRSRC>(qorb::win32::FindResourceOf(module, name, type));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::LoadResource);
  timer.Report().Module = module;
  return qorb::win32::LoadResource(module, resource);
}

DWORD SizeofResource(HMODULE module, HRSRC resource) noexcept { return qorb::win32::SizeofResource(module, resource); }

LPVOID LockResource(HGLOBAL data) noexcept { return qorb::win32::LockResource(data); }
