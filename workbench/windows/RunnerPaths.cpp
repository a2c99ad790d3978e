#include "workbench/RunnerPaths.h"

#include <windows.h>

#include <memory>

namespace {
struct TProcessHeapFree {
  void operator()(char* p) const noexcept { HeapFree(GetProcessHeap(), 0, p); }
};
}  // namespace

// Wine's kernel32 exports the conversion; Windows has no such export.
std::optional<std::string> UnixPathUnderWine(const std::filesystem::path& Path) {
  using TUnixName = char*(__cdecl*)(const wchar_t*);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto unixName =
      kernel ? reinterpret_cast<TUnixName>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
             : nullptr;
  if (!unixName) return std::nullopt;
  // The answer is on the process heap.
  const std::unique_ptr<char, TProcessHeapFree> name(unixName(Path.wstring().c_str()));
  if (!name) return std::nullopt;
  return std::string(name.get());
}
