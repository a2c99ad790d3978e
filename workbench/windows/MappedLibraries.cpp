#include "workbench/MappedLibraries.h"

#include <windows.h>
#include <psapi.h>

#include <string>

// EnumProcessModules lists the program first and the rest in load order.
std::vector<std::filesystem::path> MappedLibraryFiles() {
  std::vector<HMODULE> modules(256);
  DWORD needed = 0;
  const HANDLE self = ::GetCurrentProcess();
  while (::EnumProcessModules(self, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed) &&
         needed > modules.size() * sizeof(HMODULE))
    modules.resize(needed / sizeof(HMODULE) + 16);
  modules.resize(needed / sizeof(HMODULE));
  std::vector<std::filesystem::path> files;
  std::wstring name(MAX_PATH * 2, L'\0');
  for (size_t i = 1; i < modules.size(); ++i) {
    const DWORD n = ::GetModuleFileNameW(modules[i], name.data(), static_cast<DWORD>(name.size()));
    if (n > 0 && n < name.size()) files.emplace_back(name.substr(0, n));
  }
  return files;
}
