// The crash report's demangler on arbitrary names (a plug-in's symbol table
// is the plug-in author's): it stays inside its buffer, ends what it writes
// with a zero, and terminates.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "workbench/SignalSafeDemangle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  for (size_t room : {size_t{1}, size_t{16}, size_t{256}}) {
    std::string out(room + 1, '\x7f');
    if (DemangleSignalSafe(name.c_str(), out.data(), room) && std::memchr(out.data(), 0, room) == nullptr) std::abort();
    // Never past the room it was given.
    if (out[room] != '\x7f') std::abort();
  }
  return 0;
}
