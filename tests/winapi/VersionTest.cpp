#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "winapi/ImageCache.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"
#include "winapi/Version.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> VersionBlockOf(const std::string& path) {
  DWORD handle = 99;
  const DWORD size = GetFileVersionInfoSizeW(W(path).c_str(), &handle);
  EXPECT_EQ(handle, 0u);
  std::vector<uint8_t> block(size);
  if (size == 0 || !GetFileVersionInfoW(W(path).c_str(), 0, size, block.data())) block.clear();
  return block;
}

// The string at path, exactly as stored (up to its terminating zero), or
// "<none>" when the query fails.
std::u16string StringAt(const std::vector<uint8_t>& block, const char16_t* path, UINT* lengthOut = nullptr) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path, &value, &length)) return u"<none>";
  if (lengthOut) *lengthOut = length;
  return std::u16string(static_cast<const char16_t*>(value));
}

}  // namespace

TEST(Version, FixedInfoTranslationsAndRawStrings) {
  const std::vector<uint8_t> block = VersionBlockOf(QORB_FIXTURE_VERSION);
  ASSERT_FALSE(block.empty()) << GetLastError();

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, value, sizeof fixed);
  EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00020000u);  // 2.0
  EXPECT_EQ(fixed.dwFileVersionLS, 0x00010007u);  // 1.7
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00030001u);

  ASSERT_TRUE(VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 8u);
  WORD table[4];
  std::memcpy(table, value, sizeof table);
  EXPECT_EQ(table[0], 0x0409);
  EXPECT_EQ(table[1], 1200);
  EXPECT_EQ(table[2], 0x0407);
  EXPECT_EQ(table[3], 1252);

  // Blanks and tab stay: trimming is the caller's business. The length
  // counts characters and the terminating zero.
  UINT chars = 0;
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\040904b0\\ProductName", &chars), u"  Padded Product \t");
  EXPECT_EQ(chars, 19u);
  // Keys match without regard to case: the block is written 040904B0.
  EXPECT_EQ(StringAt(block, u"\\STRINGFILEINFO\\040904B0\\productname"), u"  Padded Product \t");
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\040904b0\\FileVersion"), u"two-oh-one (build seven)");
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\040904b0\\Comments", &chars), u"");
  EXPECT_LE(chars, 1u);

  // Values only the second translation has are there, and only there.
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\040904b0\\LegalCopyright"), u"<none>");
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\040704e4\\LegalCopyright"), u"Nur auf Deutsch");
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\040704e4\\ProductName"), u"Deutsches Produkt");
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\04090000\\ProductName"), u"<none>");
  EXPECT_EQ(StringAt(block, u"\\StringFileInfo\\040904b0\\ProductNam"), u"<none>");
}

TEST(Version, FilesWithoutVersionSayWhy) {
  struct Case {
    const char* path;
    DWORD error;
  };
  const Case cases[] = {
      {QORB_FIXTURE_TEXT "/inside.so", ERROR_PATH_NOT_FOUND},
      {QORB_FIXTURE_NORES, ERROR_RESOURCE_DATA_NOT_FOUND},
      {QORB_FIXTURE_CTOR, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {QORB_FIXTURE_TEXT, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_EMPTY, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_LYING_RSRC_SO, ERROR_RESOURCE_DATA_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    SetLastError(0);
    DWORD handle = 5;
    EXPECT_EQ(GetFileVersionInfoSizeW(W(c.path).c_str(), &handle), 0u);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(handle, 0u);
    uint8_t buf[64];
    EXPECT_FALSE(GetFileVersionInfoW(W(c.path).c_str(), 0, sizeof buf, buf));
  }
  ScratchDir dir;
  EXPECT_EQ(GetFileVersionInfoSizeW(W((dir / "gone.so").string()).c_str(), nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileVersionInfoSizeW(u"", nullptr), 0u);
  EXPECT_EQ(GetFileVersionInfoSizeW(nullptr, nullptr), 0u);
}

TEST(Version, AShortBufferGetsACutBlockThatQueriesStayInside) {
  DWORD size = GetFileVersionInfoSizeW(W(QORB_FIXTURE_VERSION).c_str(), nullptr);
  ASSERT_GT(size, 200u);
  for (DWORD cut : {size - 1, size / 2, DWORD{100}, DWORD{6}}) {
    SCOPED_TRACE(cut);
    // Exactly the given size on the heap, so a read past it is caught.
    std::vector<uint8_t> block(cut);
    ASSERT_TRUE(GetFileVersionInfoW(W(QORB_FIXTURE_VERSION).c_str(), 0, cut, block.data()));
    for (const char16_t* path : {u"\\", u"\\VarFileInfo\\Translation", u"\\StringFileInfo\\040704e4\\Comments",
                                 u"\\StringFileInfo\\040904b0\\ProductName"}) {
      void* value = nullptr;
      UINT length = 0;
      if (VerQueryValueW(block.data(), path, &value, &length)) {
        const auto* at = static_cast<const uint8_t*>(value);
        EXPECT_GE(at, block.data());
        EXPECT_LE(at, block.data() + block.size());
      }
    }
  }
  uint8_t tiny[4];
  SetLastError(0);
  EXPECT_FALSE(GetFileVersionInfoW(W(QORB_FIXTURE_VERSION).c_str(), 0, sizeof tiny, tiny));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(Version, ProbeVersionAndResourcesShareOneReadOfTheFile) {
  ScratchDir dir;
  const fs::path copy = dir / "plugin.dll";
  fs::copy_file(QORB_FIXTURE_VERSION, copy);
  const std::u16string path = W(copy.string());
  const size_t before = qorb::winapi::FileImageReads();

  // What loading a plug-in asks of its file.
  const HMODULE probe = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(probe, 0u);
  EXPECT_NE(GetProcAddress(probe, "FixturePlain"), nullptr);
  FreeLibrary(probe);
  const HMODULE lib = LoadLibraryW(path.c_str());
  ASSERT_NE(lib, 0u);
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  std::vector<uint8_t> block(size);
  EXPECT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  EXPECT_NE(FindResourceW(lib, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION), nullptr);
  FreeLibrary(lib);
  EXPECT_EQ(qorb::winapi::FileImageReads(), before + 1);

  // A changed file is read again.
  WriteAll(copy, ReadAll(copy) + std::string(64, '\0'));
  EXPECT_EQ(GetFileVersionInfoSizeW(path.c_str(), nullptr), size);
  EXPECT_EQ(qorb::winapi::FileImageReads(), before + 2);
}
