#include "ide/Library.h"

#include <dlfcn.h>
#include <link.h>

#include <utility>

TLibrary TLibrary::Open(const std::filesystem::path& Path, std::string& Error) {
  TLibrary lib;
  Error.clear();
  // A bare file name would make the loader search its paths: keep the path.
  const std::filesystem::path file = Path.has_parent_path() ? Path : std::filesystem::path(".") / Path;
  lib.handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib.handle_) {
    const char* text = dlerror();
    Error = text ? text : "unknown error";
  }
  return lib;
}

void* TLibrary::OwnExport(const char* Name) const noexcept {
  if (!handle_ || !Name) return nullptr;
  void* sym = dlsym(handle_, Name);
  if (!sym) return nullptr;
  link_map* own = nullptr;
  link_map* owner = nullptr;
  Dl_info info;
  if (dlinfo(handle_, RTLD_DI_LINKMAP, &own) != 0 ||
      !dladdr1(sym, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) || owner != own)
    return nullptr;
  return sym;
}

void TLibrary::Close() noexcept {
  if (void* h = std::exchange(handle_, nullptr)) dlclose(h);
}

bool IsLibraryMapped(const std::filesystem::path& Path) noexcept {
  std::error_code ec;
  std::filesystem::path file = std::filesystem::absolute(Path, ec);
  if (ec) return false;
  void* h = dlopen(file.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (!h) return false;
  dlclose(h);  // drops the reference RTLD_NOLOAD took
  return true;
}
