#include "rtl/AddressInfo.h"

#include <windows.h>

#include <csignal>

std::string ModulePathOf(const void* Address) {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(Address), &module))
    return {};
  wchar_t path[MAX_PATH * 2];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH * 2);
  if (length == 0) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

TFaultRecord UnmappedAccess(uintptr_t Pc, uintptr_t Address) noexcept {
  TFaultRecord fault;
  fault.Signal = SIGSEGV;
  fault.Code = static_cast<int>(EXCEPTION_ACCESS_VIOLATION);
  fault.Pc = Pc;
  fault.Address = Address;
  return fault;
}
