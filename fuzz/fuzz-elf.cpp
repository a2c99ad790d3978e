// The ELF probe on arbitrary bytes: an answer, never a crash; what it
// accepts lies within the bytes. Reading only the ranges the probe needs
// gives the same answer as reading everything.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "winapi/ElfImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qorb::winapi::ElfImage image;
  const DWORD err = qorb::winapi::ReadElfImage({data, size}, image);

  qorb::winapi::ElfImage sparse;
  qorb::winapi::SparseFile file;
  const qorb::winapi::RangeReader read = [&](size_t offset, size_t length, uint8_t* into) {
    if (offset > size || length > size - offset) std::abort();
    std::memcpy(into, data + offset, length);
    return true;
  };
  const DWORD sparseErr = qorb::winapi::ReadElfImage(read, size, sparse, file);
  if (sparseErr != err || sparse.exports != image.exports || sparse.rsrcOffset != image.rsrcOffset ||
      sparse.rsrcSize != image.rsrcSize)
    std::abort();

  if (err != ERROR_SUCCESS) {
    if (err != ERROR_BAD_EXE_FORMAT || !image.exports.empty() || image.rsrcSize != 0) std::abort();
    return 0;
  }
  if (image.rsrcOffset > size || image.rsrcSize > size - image.rsrcOffset) std::abort();
  if (image.rsrcSize != 0 && std::memcmp(file.bytes.get() + image.rsrcOffset, data + image.rsrcOffset, image.rsrcSize))
    std::abort();
  size_t total = 0;
  for (const auto& [name, value] : image.exports) total += name.size() + (value & 1);
  volatile size_t sink = total;
  (void)sink;
  return 0;
}
