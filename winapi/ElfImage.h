#pragma once
// What the loader needs to know of an ELF file, read from its bytes without
// mapping or running anything: whether it is a library this process could
// load, its exported dynamic symbols and where its resource section lies.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>

#include "winapi/WinTypes.h"

namespace qorb::winapi {

struct ElfImage {
  // Defined, visible dynamic symbols by name, with their values.
  std::unordered_map<std::string, uint64_t> exports;
  // The section .rsrc within the file's bytes; absent when rsrcSize is 0.
  size_t rsrcOffset = 0;
  size_t rsrcSize = 0;
};

// ERROR_SUCCESS for a 64-bit little-endian x86-64 shared object whose
// tables are sound; ERROR_BAD_EXE_FORMAT for anything else.
DWORD ReadElfImage(std::span<const uint8_t> file, ElfImage& out);

}  // namespace qorb::winapi
