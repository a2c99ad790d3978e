#include "winapi/windows/Win32.h"

#include <windows.h>

namespace qorb::win32 {
namespace {
const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
HMODULE Handle(uintptr_t module) { return reinterpret_cast<HMODULE>(module); }
}  // namespace

uint32_t LastError() noexcept { return ::GetLastError(); }
void SetLastError(uint32_t Code) noexcept { ::SetLastError(Code); }

std::u16string ErrorText(uint32_t Code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code,
      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string result(reinterpret_cast<const char16_t*>(text), length);
  if (text) ::LocalFree(text);
  while (!result.empty() && (result.back() == u'\n' || result.back() == u'\r')) result.pop_back();
  return result;
}

uintptr_t LoadModule(const char16_t* Path, uint32_t Flags) noexcept {
  return reinterpret_cast<uintptr_t>(::LoadLibraryExW(Wide(Path), nullptr, Flags));
}

bool FreeLibrary(uintptr_t Module) noexcept { return ::FreeLibrary(Handle(Module)); }

void* ProcAddress(uintptr_t Module, const char* Name) noexcept {
  return reinterpret_cast<void*>(::GetProcAddress(Handle(Module), Name));
}

std::u16string ModuleFileName(uintptr_t Module) {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(Handle(Module), reinterpret_cast<wchar_t*>(path.data()), size);
    if (length == 0) return {};
    if (length < size) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

uintptr_t ModuleHolding(const void* Address) noexcept {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(Address), &module))
    return 0;
  return reinterpret_cast<uintptr_t>(module);
}

uintptr_t ImageEnd(uintptr_t Module) noexcept {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Module + static_cast<uintptr_t>(dos->e_lfanew));
  return Module + nt->OptionalHeader.SizeOfImage;
}

void* FindResourceOf(uintptr_t Module, const char16_t* Name, const char16_t* Type) noexcept {
  return ::FindResourceW(Handle(Module), Wide(Name), Wide(Type));
}

void* LoadResource(uintptr_t Module, void* Resource) noexcept {
  return ::LoadResource(Handle(Module), static_cast<HRSRC>(Resource));
}

uint32_t SizeofResource(uintptr_t Module, void* Resource) noexcept {
  return ::SizeofResource(Handle(Module), static_cast<HRSRC>(Resource));
}

void* LockResource(void* Data) noexcept { return ::LockResource(Data); }

uint32_t FileVersionInfoSize(const char16_t* Path, uint32_t* Handle) noexcept {
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(Wide(Path), &handle);
  if (Handle) *Handle = handle;
  return size;
}

bool FileVersionInfo(const char16_t* Path, uint32_t Handle, uint32_t Length, void* Data) noexcept {
  return ::GetFileVersionInfoW(Wide(Path), Handle, Length, Data);
}

bool QueryVersionValue(const void* Block, const char16_t* SubBlock, void** Buffer, unsigned* Length) noexcept {
  UINT length = 0;
  const BOOL found = ::VerQueryValueW(Block, Wide(SubBlock), Buffer, &length);
  if (Length) *Length = length;
  return found;
}

}  // namespace qorb::win32
