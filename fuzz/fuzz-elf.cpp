// The ELF probe on arbitrary bytes: an answer, never a crash; what it
// accepts lies within the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "winapi/ElfImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qorb::winapi::ElfImage image;
  const DWORD err = qorb::winapi::ReadElfImage({data, size}, image);
  if (err != ERROR_SUCCESS) {
    if (err != ERROR_BAD_EXE_FORMAT || !image.exports.empty() || image.rsrcSize != 0) std::abort();
    return 0;
  }
  if (image.rsrcOffset > size || image.rsrcSize > size - image.rsrcOffset) std::abort();
  size_t total = 0;
  for (const auto& [name, value] : image.exports) total += name.size() + (value & 1);
  volatile size_t sink = total;
  (void)sink;
  return 0;
}
