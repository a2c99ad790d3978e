#pragma once
// Paths for the winapi tests: fixture paths as UTF-16 and scratch files.
#include <filesystem>
#include <string>

std::u16string W(const std::string& utf8);
std::string Narrow(const std::u16string& s);

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadAll(const std::filesystem::path& p);
void WriteAll(const std::filesystem::path& p, const std::string& bytes);
