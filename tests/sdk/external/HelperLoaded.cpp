// The host loads a plug-in with LoadLibraryW and its full path, and the
// loader then looks for what the plug-in imports beside the program, never
// beside the plug-in: a library of the plug-in's own is loaded by hand, by
// full path, from the plug-in's folder, and given back after use.
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "HelperLink.h"

namespace {

struct TFreeLibrary {
  void operator()(HMODULE m) const noexcept { FreeLibrary(m); }
};
using TLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, TFreeLibrary>;

std::wstring OwnFolder() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&HelperAnswer), &self))
    return {};
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
  const std::wstring file(path, n < MAX_PATH ? n : 0);
  return file.substr(0, file.find_last_of(L"\\/") + 1);
}

}  // namespace

int HelperAnswer() {
  // The altered search order: what the helper needs is looked for beside it.
  const TLibrary helper(
      LoadLibraryExW((OwnFolder() + L"libExternalHelper.bin").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!helper) return -1;
  using TAnswer = int (*)();
  const auto answer =
      reinterpret_cast<TAnswer>(reinterpret_cast<void*>(GetProcAddress(helper.get(), "ExternalHelperAnswer")));
  return answer ? answer() : -1;
}
