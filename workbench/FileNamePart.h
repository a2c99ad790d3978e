#pragma once
// The file name at the end of a path, in place: reports made while a fault
// ends the process may not allocate. Either separator the platform accepts
// ends a folder.
#include <string_view>

#include "rtl/PathDelim.h"

inline const char* FileNamePart(const char* Path) noexcept {
  const char* name = Path;
  for (const char* c = Path; *c; ++c)
    for (const char16_t* d = PathDelims; *d; ++d)
      if (static_cast<char16_t>(*c) == *d) name = c + 1;
  return name;
}

inline std::string_view FileNamePart(std::string_view Path) noexcept {
  size_t at = 0;
  for (size_t i = 0; i < Path.size(); ++i)
    for (const char16_t* d = PathDelims; *d; ++d)
      if (static_cast<char16_t>(Path[i]) == *d) at = i + 1;
  return Path.substr(at);
}
