#include "ide/UnloadedModuleLookup.h"

#include <dlfcn.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace qorb::ide {
namespace {

struct Range {
  std::string path;
  uintptr_t begin, end;
};

std::mutex& Lock() {
  static std::mutex m;
  return m;
}

std::vector<Range>& Ranges() {
  static std::vector<Range> r;
  return r;
}

}  // namespace

void RememberUnloadedModule(std::string_view Path, const void* Begin, const void* End) {
  const std::lock_guard lock(Lock());
  Ranges().push_back({std::string(Path), reinterpret_cast<uintptr_t>(Begin), reinterpret_cast<uintptr_t>(End)});
}

bool FindUnloadedModule(const void* address, std::string& path) {
  if (!address) return false;
  Dl_info info{};
  if (dladdr(address, &info) != 0) return false;  // something is mapped there now
  const auto a = reinterpret_cast<uintptr_t>(address);
  const std::lock_guard lock(Lock());
  // The latest first: an address range can be reused by a later library.
  for (auto it = Ranges().rbegin(); it != Ranges().rend(); ++it)
    if (a >= it->begin && a < it->end) {
      path = it->path;
      return true;
    }
  return false;
}

}  // namespace qorb::ide
