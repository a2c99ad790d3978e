#pragma once
// Helpers of the winapi tests: UTF-16 paths, scratch folders, loaded
// libraries, and failures that must name their reason.
#include <dlfcn.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "rtl/UnicodeString.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"

namespace fs = std::filesystem;

inline std::u16string W(const std::string& utf8) { return Utf8ToUtf16(utf8); }

// A fresh folder under the temporary folder, removed with the object.
struct ScratchDir {
  fs::path path;
  ScratchDir() {
    std::string tmpl = (fs::temp_directory_path() / "qorb-winapi-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path = tmpl;
  }
  ~ScratchDir() { fs::remove_all(path); }
  fs::path operator/(const std::string& name) const { return path / name; }
};

struct Library {
  HMODULE h;
  explicit Library(const std::string& path) : h(LoadLibraryW(W(path).c_str())) {}
  Library(const Library&) = delete;
  ~Library() {
    if (h) FreeLibrary(h);
  }
  operator HMODULE() const { return h; }
};

inline bool IsMapped(const char* path) {
  void* h = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
  if (h) dlclose(h);
  return h != nullptr;
}

// Whether f, called with the last error cleared, fails with error.
template <class F>
bool FailsWith(DWORD error, F f) {
  SetLastError(0);
  return !f() && GetLastError() == error;
}
