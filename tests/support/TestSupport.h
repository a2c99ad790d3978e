#pragma once
// What several suites need around libraries and files: a scratch folder of
// a test's own, a library loaded for a scope, and (from the IDE) whether a
// library is still mapped into the process.
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include "ide/Library.h"  // IsLibraryMapped
#include "rtl/UnicodeString.h"
#include "winapi/Modules.h"

// A fresh folder under the temporary folder, removed with the object.
struct ScratchDir {
  std::filesystem::path path;
  explicit ScratchDir(const char* prefix = "qorb-test") {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
      path = std::filesystem::temp_directory_path() / (std::string(prefix) + "-" + std::to_string(seed()));
      std::error_code ec;
      if (std::filesystem::create_directory(path, ec)) return;
    }
    throw std::runtime_error("no scratch folder could be made");
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

// LoadLibraryW for a scope.
struct ScopedLibrary {
  HMODULE h;
  explicit ScopedLibrary(const std::string& path) : h(LoadLibraryW(Utf8ToUtf16(path).c_str())) {}
  ScopedLibrary(const ScopedLibrary&) = delete;
  ScopedLibrary& operator=(const ScopedLibrary&) = delete;
  ~ScopedLibrary() {
    if (h) FreeLibrary(h);
  }
  operator HMODULE() const { return h; }
};
