#pragma once
// A shared library the IDE loaded, unloaded when the object goes.
#include <filesystem>
#include <string>

class TLibrary {
 public:
  TLibrary() noexcept = default;
  // Loads with every symbol resolved now and kept local to the library.
  // On failure the result is not open and Error holds the loader's text.
  static TLibrary Open(const std::filesystem::path& Path, std::string& Error);

  TLibrary(TLibrary&& o) noexcept;
  TLibrary& operator=(TLibrary&& o) noexcept;
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;
  ~TLibrary() { Close(); }

  bool IsOpen() const noexcept { return handle_ != nullptr; }
  // An export defined by this library itself (not one of its
  // dependencies'); null when there is none.
  void* OwnExport(const char* Name) const noexcept;
  void Close() noexcept;

 private:
  void* handle_ = nullptr;
};

// Whether the library at Path is mapped in the process now. Does not load
// it.
bool IsLibraryMapped(const std::filesystem::path& Path) noexcept;
