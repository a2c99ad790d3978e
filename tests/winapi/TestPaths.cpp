#include "TestPaths.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "rtl/UnicodeString.h"

std::u16string W(const std::string& utf8) { return Utf8ToUtf16(utf8); }
std::string Narrow(const std::u16string& s) { return Utf16ToUtf8(s); }

ScratchDir::ScratchDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "qorb-winapi-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
