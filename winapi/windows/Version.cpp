#include "winapi/Version.h"

#include "winapi/ModuleCallObserver.h"
#include "winapi/windows/Win32.h"

DWORD GetFileVersionInfoSizeW(LPCWSTR fileName, DWORD* handle) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::VersionSize);
  if (fileName) timer.Report().WidePath = fileName;
  return qorb::win32::FileVersionInfoSize(fileName, handle);
}

BOOL GetFileVersionInfoW(LPCWSTR fileName, DWORD handle, DWORD length, LPVOID data) noexcept {
  qorb::winapi::ModuleCallTimer timer(qorb::winapi::ModuleCall::VersionRead);
  if (fileName) timer.Report().WidePath = fileName;
  return qorb::win32::FileVersionInfo(fileName, handle, length, data);
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, UINT* length) noexcept {
  return qorb::win32::QueryVersionValue(block, subBlock, buffer, length);
}
