#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "VclTest.h"
#include "vcl/PngDecode.h"
#include "vcl/PngImage.h"

namespace {

using PngImageTest = GdiLeakCheck;

void LoadBitmap(const char* fixture, TBitmap& bitmap) {
  TPngImage png;
  png.LoadFromFile(FixturePath(fixture));
  bitmap.Assign(png);
}

// What SavePngFile wrote, read back.
void SaveAndLoad(const TBitmap& source, TBitmap& back) {
  const auto file = std::filesystem::temp_directory_path() / ("qorb-png-" + std::to_string(::getpid()) + ".png");
  SavePngFile(source, Utf8ToUtf16(file.string()));
  TPngImage png;
  png.LoadFromFile(Utf8ToUtf16(file.string()));
  std::filesystem::remove(file);
  back.Assign(png);
}

// 32 by 32, transparent white background, a 4 by 4 block of (200,100,50)
// at alpha 128 in the top-left corner and an opaque (30,60,90) square from
// 8 to 23 in both directions. Saved, it comes back as it was.
TEST_F(PngImageTest, TransparentIconBecomesStraightAlphaBitmap) {
  TBitmap b, back;
  LoadBitmap("icon32-alpha.png", b);
  ASSERT_EQ(b.Width(), 32);
  ASSERT_EQ(b.Height(), 32);
  EXPECT_EQ(b.AlphaFormat(), afDefined);
  SaveAndLoad(b, back);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      Bytes expected = {255, 255, 255, 0};  // premultiplied would be black
      if (x >= 8 && x < 24 && y >= 8 && y < 24) expected = {90, 60, 30, 255};
      if (x < 4 && y < 4) expected = {50, 100, 200, 128};  // premultiplied would be about half
      ASSERT_EQ(Pixel(b, x, y), expected) << "at " << x << "," << y;
      ASSERT_EQ(Pixel(back, x, y), expected) << "saved, at " << x << "," << y;
    }
  // Alpha that is not declared is not written: the picture comes back opaque.
  b.SetAlphaFormat(afIgnored);
  SaveAndLoad(b, back);
  EXPECT_EQ(Pixel(back, 0, 0), (Bytes{50, 100, 200}));
}

// Alpha only where the image has it: palette transparency counts.
TEST_F(PngImageTest, OtherColourTypes) {
  const struct {
    const char* Fixture;
    int X, Y;
    Bytes Expected;
  } cases[] = {
      {"rgb-3x2.png", 1, 1, {7, 128, 250}},
      {"gray-2x2.png", 1, 0, {64, 64, 64}},
      {"palette-trns-4x1.png", 1, 0, {60, 50, 40, 100}},
      {"palette-trns-4x1.png", 3, 0, {220, 210, 200, 255}},
  };
  for (const auto& c : cases) {
    TBitmap b;
    LoadBitmap(c.Fixture, b);
    EXPECT_EQ(Pixel(b, c.X, c.Y), c.Expected) << c.Fixture;
    EXPECT_EQ(b.AlphaFormat(), c.Expected.size() == 4 ? afDefined : afIgnored) << c.Fixture;
  }
}

TEST_F(PngImageTest, ReadsFromThePositionAndKeepsTheImageOnBadData) {
  const Bytes rgb = ReadFixture("rgb-3x2.png");
  TMemoryStream stream;
  stream.WriteBuffer("junk", 4);
  stream.WriteBuffer(rgb.data(), static_cast<int64_t>(rgb.size()));
  stream.SetPosition(4);
  TPngImage png;
  png.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());

  auto expectRejected = [&](const Bytes& bytes, const std::string& what) {
    stream.Clear();
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    EXPECT_THROW(png.LoadFromStream(stream), EPNGError) << what;
    EXPECT_EQ(png.Width(), 3) << what;
  };
  const Bytes good = ReadFixture("icon32-alpha.png");
  // Every cut up to the end chunk (whose four CRC bytes libspng does not
  // insist on) loses part of the file.
  for (size_t n = 0; n + 12 <= good.size(); ++n)
    expectRejected(Bytes(good.begin(), good.begin() + static_cast<long>(n)), "cut at " + std::to_string(n));
  expectRejected(Bytes{'h', 'e', 'l', 'l', 'o'}, "text");
  Bytes badCrc = good;
  badCrc[40] ^= 0x01;  // inside the image data
  expectRejected(badCrc, "flipped bit");
  EXPECT_THROW(png.LoadFromFile(FixturePath("no-such-file.png")), EFOpenError);
  EXPECT_EQ(png.Width(), 3);
  EXPECT_THROW(TPngImage().SaveToStream(stream), EPNGError);
}

// A few bytes can claim gigabytes of pixels.
TEST_F(PngImageTest, OversizedHeadersAreRefusedBeforeAllocating) {
  Bytes bomb = ReadFixture("icon32-alpha.png");
  auto decode = [&](uint32_t width, uint32_t height) {
    for (int i = 0; i < 4; ++i) {
      bomb[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
      bomb[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    return DecodePng(bomb.data(), bomb.size(), {kPngDefaultMaxPixels, true});
  };
  // Each side within limits, the product not.
  EXPECT_EQ(decode(1u << 14, 1u << 13).error, "image too large");
  // A claim within limits but without the data for it fails on the data.
  const PngDecodeResult r = decode(4096, 4096);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.error, "image too large");
}

// The stream PNG images are read from.
TEST(MemoryStreamTest, ReadWriteAndSeek) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  EXPECT_EQ(s.Seek(-4, soCurrent), 2);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);
  EXPECT_STREQ(buf, "cdef");
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
  // Writing past the end: the gap reads as zero.
  s.Seek(2, soEnd);
  s.WriteBuffer("Z", 1);
  ASSERT_EQ(s.Size(), 9);
  EXPECT_EQ(std::memcmp(s.Memory(), "abcdef\0\0Z", 9), 0);
  // Positions that would overflow are refused.
  EXPECT_THROW(s.Seek(-10, soEnd), EStreamError);
  EXPECT_THROW(s.Seek(INT64_MAX, soCurrent), EStreamError);
  s.SetPosition(INT64_MAX);
  EXPECT_THROW(s.Write("x", 1), EWriteError);
  EXPECT_EQ(s.Read(buf, 1), 0);
}

}  // namespace
