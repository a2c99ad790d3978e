#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestPaths.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"

namespace {

std::string BytesOf(HMODULE module, LPCWSTR name, LPCWSTR type = RT_RCDATA) {
  const HRSRC res = FindResourceW(module, name, type);
  if (!res) return "<missing " + std::to_string(GetLastError()) + ">";
  const HGLOBAL loaded = LoadResource(module, res);
  const void* data = LockResource(loaded);
  const DWORD size = SizeofResource(module, res);
  if (!data) return "<no data>";
  return std::string(static_cast<const char*>(data), size);
}

std::u16string TextOf(HMODULE module, LPCWSTR name) {
  const std::string bytes = BytesOf(module, name);
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* path) : h_(LoadLibraryW(W(path).c_str())) {}
  ~LoadedLibrary() {
    if (h_) FreeLibrary(h_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  HMODULE get() const { return h_; }

 private:
  HMODULE h_;
};

}  // namespace

TEST(Resources, NamesMatchWithoutRegardToCase) {
  const LoadedLibrary lib(QORB_FIXTURE_CTOR);
  ASSERT_NE(lib.get(), 0u);
  const std::u16string greeting(u"Hello from a fixture\0", 21);
  EXPECT_EQ(TextOf(lib.get(), u"QorbGreeting"), greeting);
  EXPECT_EQ(TextOf(lib.get(), u"QORBGREETING"), greeting);
  EXPECT_EQ(TextOf(lib.get(), u"qorbgreeting"), greeting);
  EXPECT_EQ(BytesOf(lib.get(), u"payload"), "payload read from a file\n");
  // Ordinals, given as numbers or as "#n"; a type by name works as well.
  EXPECT_EQ(BytesOf(lib.get(), MAKEINTRESOURCEW(42)), std::string("forty-two", 9));
  EXPECT_EQ(BytesOf(lib.get(), u"#42"), std::string("forty-two", 9));
  EXPECT_EQ(BytesOf(lib.get(), u"Payload", u"#10"), "payload read from a file\n");
}

TEST(Resources, MissingResourcesSayWhatIsMissing) {
  const LoadedLibrary lib(QORB_FIXTURE_CTOR);
  ASSERT_NE(lib.get(), 0u);
  SetLastError(0);
  EXPECT_EQ(FindResourceW(lib.get(), u"QorbGreetings", RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(FindResourceW(lib.get(), MAKEINTRESOURCEW(43), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(FindResourceW(lib.get(), MAKEINTRESOURCEW(1), RT_VERSION), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(FindResourceW(lib.get(), nullptr, RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  const LoadedLibrary bare(QORB_FIXTURE_NORES);
  ASSERT_NE(bare.get(), 0u);
  SetLastError(0);
  EXPECT_EQ(FindResourceW(bare.get(), u"QorbGreeting", RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
}

TEST(Resources, ResourceHandlesAreCheckedAgainstTheirModule) {
  const LoadedLibrary lib(QORB_FIXTURE_CTOR);
  const LoadedLibrary other(QORB_FIXTURE_VERSION);
  ASSERT_NE(lib.get(), 0u);
  ASSERT_NE(other.get(), 0u);
  const HRSRC res = FindResourceW(lib.get(), u"Payload", RT_RCDATA);
  ASSERT_NE(res, nullptr);
  SetLastError(0);
  EXPECT_EQ(LoadResource(other.get(), res), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SizeofResource(other.get(), res), 0u);
  EXPECT_EQ(LoadResource(lib.get(), nullptr), nullptr);
  int notAResource = 0;
  EXPECT_EQ(LoadResource(lib.get(), reinterpret_cast<HRSRC>(&notAResource)), nullptr);
  EXPECT_EQ(FindResourceW(HMODULE{0x2000}, u"Payload", RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Resources, TheExecutableIsAModuleWithResources) {
  const std::u16string text(u"from the executable\0", 20);
  EXPECT_EQ(TextOf(0, u"ExeText"), text);
  EXPECT_EQ(TextOf(HInstance(), u"exetext"), text);
}

TEST(Resources, ALyingResourceSectionYieldsNoResources) {
  // Probing still works: the ELF file itself is sound.
  const HMODULE probe = LoadLibraryExW(W(QORB_FIXTURE_LYING_RSRC_SO).c_str(), nullptr, 1);
  ASSERT_NE(probe, 0u);
  SetLastError(0);
  EXPECT_EQ(FindResourceW(probe, MAKEINTRESOURCEW(1), RT_VERSION), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(probe));
}
