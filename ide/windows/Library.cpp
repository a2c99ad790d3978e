#include <windows.h>

#include <utility>

#include "ide/Library.h"

TLibrary TLibrary::Open(const std::filesystem::path& Path, std::string& Error) {
  TLibrary lib;
  Error.clear();
  // A bare file name would make the loader search its paths: keep the path.
  const std::filesystem::path file = std::filesystem::absolute(Path);
  lib.handle_ = ::LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!lib.handle_) {
    const DWORD code = ::GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    Error = file.string() + ": " +
            (length ? std::filesystem::path(std::wstring(text, length)).string() : "error " + std::to_string(code));
    if (text) ::LocalFree(text);
    while (!Error.empty() && (Error.back() == '\n' || Error.back() == '\r')) Error.pop_back();
  }
  return lib;
}

// GetProcAddress looks in the module's own export table only.
void* TLibrary::OwnExport(const char* Name) const noexcept {
  if (!handle_ || !Name) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), Name));
}

void TLibrary::Close() noexcept {
  if (void* h = std::exchange(handle_, nullptr)) ::FreeLibrary(static_cast<HMODULE>(h));
}

bool IsLibraryMapped(const std::filesystem::path& Path) noexcept {
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(Path, ec);
  return !ec && ::GetModuleHandleW(file.c_str()) != nullptr;
}
