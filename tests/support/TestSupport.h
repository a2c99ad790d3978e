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
// Wine keeps a library whose load failed mapped until the process ends,
// and a mapped file cannot be deleted: such a folder is renamed as given
// up, and a later test's scratch folder removes it.
struct ScratchDir {
  std::filesystem::path path;
  explicit ScratchDir(const char* prefix = "qorb-test") {
    // Once a process: what this process gives up stays held until it ends.
    [[maybe_unused]] static const bool removed = (RemoveGivenUp(), true);
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
    if (ec) std::filesystem::rename(path, path.string() + kGivenUp, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path / name; }

 private:
  static constexpr const char* kGivenUp = ".given-up";
  static void RemoveGivenUp() {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(std::filesystem::temp_directory_path(ec), ec), end;
         !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.starts_with("qorb") && name.ends_with(kGivenUp)) {
        std::error_code busy;  // its process may still hold it
        std::filesystem::remove_all(it->path(), busy);
      }
    }
  }
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
