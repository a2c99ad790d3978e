#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "VersionQueries.h"
#include "WinapiTest.h"
#include "winapi/ImageCache.h"
#include "winapi/Resources.h"
#include "winapi/Version.h"
#include "winapi/VersionBlock.h"

// What the host makes of these (trimmed, first translation, fixed version
// first) is tested with the host, the raw texts found by keys on both
// platforms (the agreement test); here the stand-in's own list of a
// node's keys.
TEST(Version, ChildKeysInStoredOrderFoundInAnyCase) {
  const std::vector<uint8_t> block = VersionBlockOf(W(QORB_FIXTURE_VERSIONED));
  ASSERT_FALSE(block.empty()) << GetLastError();
  const std::span<const uint8_t> bytes(block.data(), qorb::winapi::VersionBlockLength(block));
  using Keys = std::vector<std::u16string>;
  EXPECT_EQ(qorb::winapi::VersionChildKeys(bytes, u"\\StringFileInfo"), (Keys{u"040904B0", u"040704E4"}));
  EXPECT_EQ(qorb::winapi::VersionChildKeys(bytes, u"\\stringfileinfo\\040704e4"),
            (Keys{u"ProductName", u"CompanyName", u"FileVersion", u"LegalCopyright", u"FileDescription"}));
  EXPECT_TRUE(qorb::winapi::VersionChildKeys(bytes, u"\\StringFileInfo\\04090000").empty());
}

TEST(Version, EveryShortBufferGetsACutBlockThatQueriesStayInside) {
  const std::u16string path = W(QORB_FIXTURE_VERSIONED);
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 200u);
  uint8_t tiny[4];
  EXPECT_TRUE(FailsWith(ERROR_INSUFFICIENT_BUFFER, [&] { return GetFileVersionInfoW(path.c_str(), 0, 4, tiny); }));
  for (DWORD cut = 6; cut < size; ++cut) {
    std::vector<uint8_t> block(cut);  // at its exact size, so a read past it is caught
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, cut, block.data()));
    for (const char16_t* query : {u"\\", u"\\VarFileInfo\\Translation"}) {
      void* value = nullptr;
      UINT length = 0;
      if (!VerQueryValueW(block.data(), query, &value, &length)) continue;
      const auto* at = static_cast<const uint8_t*>(value);
      EXPECT_TRUE(at >= block.data() && at + length <= block.data() + cut) << cut;
    }
    TextAt(block, u"\\StringFileInfo\\040904b0\\ProductName");  // read to its zero, under ASan's eye
    for (const std::u16string& key : qorb::winapi::VersionChildKeys(block, u"\\StringFileInfo"))
      qorb::winapi::VersionChildKeys(block, u"\\StringFileInfo\\" + key);
  }
}

TEST(Version, ProbeVersionAndResourcesShareOneReadOfTheFileUntilItChanges) {
  ScratchDir dir;
  fs::copy_file(QORB_FIXTURE_VERSIONED, dir / "plugin.dll");
  const std::u16string path = W((dir / "plugin.dll").string());
  const size_t before = qorb::winapi::FileImageReads();

  // What loading a plug-in asks of its file.
  const HMODULE probe = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  EXPECT_NE(GetProcAddress(probe, "FixturePlain"), nullptr);
  EXPECT_TRUE(FreeLibrary(probe));
  {
    const ScopedLibrary lib((dir / "plugin.dll").string());
    EXPECT_FALSE(VersionBlockOf(path).empty());
    EXPECT_NE(FindResourceW(lib, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION), nullptr);
  }
  EXPECT_EQ(qorb::winapi::FileImageReads(), before + 1);

  std::ofstream(dir / "plugin.dll", std::ios::binary | std::ios::app) << std::string(64, '\0');
  EXPECT_FALSE(VersionBlockOf(path).empty());
  EXPECT_EQ(qorb::winapi::FileImageReads(), before + 2);
}

// A real block damaged: lengths that lie are not followed.
TEST(VersionBlock, LengthsThatLieAreNotFollowed) {
  const std::vector<uint8_t> block = VersionBlockOf(W(QORB_FIXTURE_VERSIONED));
  auto find = [](const std::vector<uint8_t>& bytes, std::u16string_view path) {
    const void* value = nullptr;
    UINT length = 0;
    return qorb::winapi::QueryVersionValue(bytes, path, value, length);
  };
  const std::u16string_view name = u"\\StringFileInfo\\040904b0\\ProductName";
  ASSERT_TRUE(find(block, name));
  EXPECT_TRUE(find(block, u"\\\\StringFileInfo\\040904b0\\\\ProductName\\"));  // extra separators change nothing

  // The node of ProductName, found by its key.
  const std::u16string_view key = u"ProductName";
  const auto* keyBytes = reinterpret_cast<const uint8_t*>(key.data());
  const auto keyAt = std::search(block.begin(), block.end(), keyBytes, keyBytes + key.size() * 2);
  ASSERT_NE(keyAt, block.end());
  const size_t at = keyAt - block.begin() - 6;
  const uint16_t nodeLength = uint16_t(block[at] | block[at + 1] << 8);
  auto damaged = [&](size_t offset, uint16_t v) {
    auto copy = block;
    std::memcpy(copy.data() + offset, &v, 2);
    return copy;
  };
  ASSERT_TRUE(find(damaged(at, nodeLength), name));             // the same length again changes nothing
  EXPECT_FALSE(find(damaged(at + 2, 200), name));               // value beyond its node
  EXPECT_FALSE(find(damaged(at, 4000), name));                  // node beyond its parent
  EXPECT_FALSE(find(damaged(at, 0), name));                     // a node of length 0 ends the search
  EXPECT_FALSE(find(damaged(at + nodeLength - 2, 'x'), name));  // a text without its zero
  {
    // A string-table value whose node claims binary data is still read as
    // text: found only with its zero, and never longer than up to it.
    auto binary = damaged(at + 4, 0);
    const void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(qorb::winapi::QueryVersionValue(binary, name, value, length));
    EXPECT_GT(length, 0u);
    EXPECT_LE(length, std::u16string(static_cast<const char16_t*>(value)).size() + 1);
    binary[at + nodeLength - 2] = 'x';
    binary[at + nodeLength - 1] = 0;
    EXPECT_FALSE(find(binary, name));
  }
  const auto longRoot = damaged(0, uint16_t(block.size() + 4));
  EXPECT_FALSE(find(longRoot, u"\\"));
  EXPECT_EQ(qorb::winapi::VersionBlockLength(longRoot), 0u);
  // Fixed information only when whole: its signature, and all its bytes.
  EXPECT_TRUE(find(block, u"\\"));
  EXPECT_FALSE(find(damaged(40, 0), u"\\"));
  EXPECT_FALSE(find(damaged(2, 40), u"\\"));
}
