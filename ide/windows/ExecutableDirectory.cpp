#include "ide/ExecutableDirectory.h"

#include <string>

#include "winapi/Modules.h"

std::filesystem::path ExecutableDirectory() {
  std::u16string path(1024, u'\0');
  const DWORD n = GetModuleFileNameW(0, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return std::filesystem::current_path();
  path.resize(n);
  return std::filesystem::path(path).parent_path();
}
