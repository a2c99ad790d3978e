#pragma once
// What the loader needs to know of an ELF file, read from its bytes without
// mapping or running anything: whether it is a library this process could
// load, its exported dynamic symbols and where its resource section lies.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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
  // Where a load maps .rsrc, relative to the load bias; 0 unless a
  // read-only segment maps exactly those file bytes, so that a loaded
  // module's resources can be read in place.
  uint64_t rsrcAddress = 0;
};

// ERROR_SUCCESS for a 64-bit little-endian x86-64 shared object whose
// tables are sound; ERROR_BAD_EXE_FORMAT for anything else.
DWORD ReadElfImage(std::span<const uint8_t> file, ElfImage& out);

// Reads size bytes at offset into `into`; false when it cannot.
using RangeReader = std::function<bool(size_t offset, size_t size, uint8_t* into)>;

// The file's bytes as far as they were read: laid out as in the file, with
// only the ranges the image needed ever written.
// A SparseFile passed in with room enough is reused rather than allocated.
struct SparseFile {
  std::unique_ptr<uint8_t[]> bytes;
  size_t size = 0;
  size_t capacity = 0;
};

// The same from a file of fileSize bytes, reading only the ranges the image
// needs, each once: the header (with the rest of the first page, where the
// program headers and usually the dynamic symbols lie), the program and
// section headers, the section names, the dynamic symbols with their names
// and the section .rsrc. A file that is no x86-64 library costs one read.
DWORD ReadElfImage(const RangeReader& read, size_t fileSize, ElfImage& out, SparseFile& file);

}  // namespace qorb::winapi
