#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "WinapiTest.h"
#include "winapi/ResImage.h"
#include "winapi/Resources.h"

using qorb::winapi::ResImage;

namespace {

std::string Err(DWORD error) { return "<" + std::to_string(error) + ">"; }

std::string BytesOf(HMODULE module, LPCWSTR name, LPCWSTR type = RT_RCDATA) {
  SetLastError(0);
  const HRSRC res = FindResourceW(module, name, type);
  if (!res) return Err(GetLastError());
  const void* data = LockResource(LoadResource(module, res));
  return data ? std::string(static_cast<const char*>(data), SizeofResource(module, res)) : "<no data>";
}

std::string Utf16Bytes(std::u16string_view s) {
  return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

// A .res image as llvm-rc writes it: a leading empty entry, then entries of
// sizes, type and name, four DWORDs and data, each padded to a DWORD.
std::vector<uint8_t> Image() {
  std::vector<uint8_t> out;
  auto put32 = [&](uint32_t v) {
    out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  };
  auto entry = [&](std::vector<uint8_t> ids, const std::string& data) {
    put32(uint32_t(data.size()));
    put32(uint32_t(8 + ids.size() + 16));
    out.insert(out.end(), ids.begin(), ids.end());
    for (uint32_t v : {0u, 0x0409u << 16 | 0x30, 0u, 0u}) put32(v);
    out.insert(out.end(), data.begin(), data.end());
    out.resize((out.size() + 3) / 4 * 4);
  };
  entry({0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0}, "");
  entry({0xFF, 0xFF, 10, 0, 'I', 0, 'C', 0, 'O', 0, 'N', 0, 0, 0, 0, 0}, "\x89PNG....");  // RCDATA "ICON"
  entry({'C', 0, 'U', 0, 0, 0, 0, 0, 0xFF, 0xFF, 7, 0}, "seven");                         // "CU" 7
  return out;
}

}  // namespace

TEST(Resources, FoundByNameInAnyCaseOrByOrdinalAlsoInTheExecutable) {
  const ScopedLibrary lib(QORB_FIXTURE_CTOR);
  ASSERT_NE(lib.h, 0u);
  for (const char16_t* name : {u"QorbGreeting", u"QORBGREETING", u"qorbgreeting"})
    EXPECT_EQ(BytesOf(lib, name), Utf16Bytes(std::u16string_view(u"Hello from a fixture\0", 21)));
  EXPECT_EQ(BytesOf(lib, MAKEINTRESOURCEW(42)), "forty-two");
  EXPECT_EQ(BytesOf(lib, u"#42"), "forty-two");
  EXPECT_EQ(BytesOf(lib, u"Payload", u"#10"), "payload read from a file\n");
  // Module 0 is the executable, which carries resources of its own.
  const std::string exeText = Utf16Bytes(std::u16string_view(u"from the executable\0", 20));
  EXPECT_EQ(BytesOf(0, u"ExeText"), exeText);
  EXPECT_EQ(BytesOf(HInstance(), u"exetext"), exeText);
}

TEST(Resources, MissingResourcesSayWhatIsMissingAndHandlesAreChecked) {
  const ScopedLibrary lib(QORB_FIXTURE_CTOR), other(QORB_FIXTURE_VERSIONED), bare(QORB_FIXTURE_NORES);
  ASSERT_TRUE(lib.h && other.h && bare.h);
  EXPECT_EQ(BytesOf(lib, u"QorbGreetings"), Err(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(BytesOf(lib, MAKEINTRESOURCEW(43)), Err(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(BytesOf(lib, MAKEINTRESOURCEW(1), RT_VERSION), Err(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_EQ(BytesOf(lib, nullptr), Err(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(BytesOf(bare, u"QorbGreeting"), Err(ERROR_RESOURCE_DATA_NOT_FOUND));
  EXPECT_EQ(BytesOf(HMODULE{0x2000}, u"Payload"), Err(ERROR_INVALID_HANDLE));

  const HRSRC res = FindResourceW(lib, u"Payload", RT_RCDATA);
  ASSERT_NE(res, nullptr);
  EXPECT_TRUE(FailsWith(ERROR_INVALID_HANDLE, [&] { return LoadResource(other, res); }));
  EXPECT_EQ(SizeofResource(other, res), 0u);
  int notAResource = 0;
  EXPECT_EQ(LoadResource(lib, reinterpret_cast<HRSRC>(&notAResource)), nullptr);
  EXPECT_EQ(LoadResource(lib, nullptr), nullptr);

  // A .rsrc section whose sizes lie gives no resources; the ELF file itself
  // is sound, so it can still be probed.
  const HMODULE lying = LoadLibraryExW(W(QORB_FIXTURE_LYING_RSRC_SO).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(lying, 0u);
  EXPECT_EQ(BytesOf(lying, MAKEINTRESOURCEW(1), RT_VERSION), Err(ERROR_RESOURCE_DATA_NOT_FOUND));
  EXPECT_TRUE(FreeLibrary(lying));
}

TEST(ResImage, LyingSizesRejectTheImage) {
  auto padded = Image();
  padded.insert(padded.end(), 12, 0);  // section padding is fine
  const auto image = ResImage::Parse(padded);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Entries().size(), 2u);

  const size_t second = 32;  // after the leading empty entry
  auto patched = [](size_t at, uint32_t v) {
    auto b = Image();
    std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  EXPECT_FALSE(ResImage::Parse(patched(second, 0x7FFFFFF0)));      // DataSize
  EXPECT_FALSE(ResImage::Parse(patched(second, 0xFFFFFFFF)));      // DataSize wrapping
  EXPECT_FALSE(ResImage::Parse(patched(second + 4, 0xFFFFFFF0)));  // HeaderSize
  EXPECT_FALSE(ResImage::Parse(patched(second + 4, 12)));          // no room for its fields
  auto open = Image();
  for (size_t i = second + 12; i < second + 40; ++i) open[i] = 'A';  // a name that never ends in its header
  EXPECT_FALSE(ResImage::Parse(open));
  auto tail = Image();
  tail.insert(tail.end(), {1, 0, 0, 0});  // bytes after the last entry that are no padding
  EXPECT_FALSE(ResImage::Parse(tail));
}

TEST(ResImage, EveryCutIsReadSafely) {
  const auto good = Image();
  for (size_t n = 0; n < good.size(); ++n) {
    // On the heap at its exact size, so any read past the cut is caught.
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    const auto image = ResImage::Parse(cut);
    if (!image) continue;
    // What survives a cut is whole entries only (their padding may go).
    for (const auto& e : image->Entries()) EXPECT_LE(e.offset + e.size, n);
  }
}
