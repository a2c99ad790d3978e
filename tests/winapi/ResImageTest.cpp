// Resource images built by hand, sound and lying.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "winapi/ResImage.h"

using qorb::winapi::ResId;
using qorb::winapi::ResImage;

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  const size_t at = out.size();
  out.resize(at + 4);
  std::memcpy(out.data() + at, &v, 4);
}

void PutId(std::vector<uint8_t>& out, const ResId& id) {
  if (id.isOrdinal) {
    out.insert(out.end(), {0xFF, 0xFF, uint8_t(id.ordinal & 0xFF), uint8_t(id.ordinal >> 8)});
    return;
  }
  for (char16_t c : id.text) out.insert(out.end(), {uint8_t(c & 0xFF), uint8_t(c >> 8)});
  out.insert(out.end(), {0, 0});
}

// One entry as llvm-rc writes it: header, data, padding to a DWORD.
void PutEntry(std::vector<uint8_t>& out, const ResId& type, const ResId& name, const std::string& data) {
  std::vector<uint8_t> header;
  PutId(header, type);
  PutId(header, name);
  while (header.size() % 4) header.push_back(0);
  Put32(out, static_cast<uint32_t>(data.size()));
  Put32(out, static_cast<uint32_t>(8 + header.size() + 16));
  out.insert(out.end(), header.begin(), header.end());
  Put32(out, 0);                  // DataVersion
  Put32(out, 0x0409u << 16 | 0x30);  // MemoryFlags, LanguageId
  Put32(out, 0);                  // Version
  Put32(out, 0);                  // Characteristics
  out.insert(out.end(), data.begin(), data.end());
  while (out.size() % 4) out.push_back(0);
}

std::vector<uint8_t> Image() {
  std::vector<uint8_t> out;
  PutEntry(out, ResId::Ordinal(0), ResId::Ordinal(0), "");
  PutEntry(out, ResId::Ordinal(10), ResId::Text(u"QORBPLUGINICON"), "\x89PNG....");
  PutEntry(out, ResId::Text(u"CUSTOM"), ResId::Ordinal(7), "seven");
  return out;
}

std::string DataOf(const ResImage& image, const ResId& type, const ResId& name) {
  DWORD error = 0;
  const auto* e = image.Find(type, name, error);
  if (!e) return "<" + std::to_string(error) + ">";
  return std::string(reinterpret_cast<const char*>(image.Data(*e)), e->size);
}

}  // namespace

TEST(ResImage, FindsEntriesByOrdinalOrNameInAnyCase) {
  auto bytes = Image();
  bytes.insert(bytes.end(), 12, 0);  // section padding
  const auto image = ResImage::Parse(bytes);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Entries().size(), 2u);
  EXPECT_EQ(DataOf(*image, ResId::Ordinal(10), ResId::Text(u"QorbPluginIcon")), "\x89PNG....");
  EXPECT_EQ(DataOf(*image, ResId::Text(u"custom"), ResId::Ordinal(7)), "seven");
  EXPECT_EQ(DataOf(*image, ResId::Text(u"custom"), ResId::Text(u"7")), "<1814>");
  EXPECT_EQ(DataOf(*image, ResId::Ordinal(16), ResId::Ordinal(1)), "<1813>");
  EXPECT_EQ(image->Entries()[0].language, 0x0409);
}

TEST(ResImage, LyingSizesRejectTheImage) {
  const auto good = Image();
  const size_t second = 32;  // after the leading empty entry
  auto patched = [&](size_t at, uint32_t v) {
    auto b = good;
    std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  EXPECT_FALSE(ResImage::Parse(patched(second, 0x7FFFFFF0)));      // DataSize
  EXPECT_FALSE(ResImage::Parse(patched(second, 0xFFFFFFFF)));      // DataSize wrapping
  EXPECT_FALSE(ResImage::Parse(patched(second + 4, 0xFFFFFFF0)));  // HeaderSize
  EXPECT_FALSE(ResImage::Parse(patched(second + 4, 12)));          // header without room for its fields
  // A name that never ends within its header.
  auto open = good;
  for (size_t i = second + 12; i < second + 60; ++i) open[i] = 'A';  // to the header's end
  EXPECT_FALSE(ResImage::Parse(open));
  // Bytes after the last entry that are no padding.
  auto tail = good;
  tail.insert(tail.end(), {1, 0, 0, 0});
  EXPECT_FALSE(ResImage::Parse(tail));
}

TEST(ResImage, EveryCutIsReadSafely) {
  const auto good = Image();
  ASSERT_TRUE(ResImage::Parse(good));
  for (size_t n = 0; n < good.size(); ++n) {
    // On the heap at its exact size, so any read past the cut is caught.
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    const auto image = ResImage::Parse(cut);
    if (!image) continue;
    // What survives a cut is whole entries only (their padding may go).
    for (const auto& e : image->Entries()) EXPECT_LE(e.offset + e.size, n);
  }
}
