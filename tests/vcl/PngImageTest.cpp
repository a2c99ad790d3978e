#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "GdiLeakCheck.h"
#include "TestImages.h"
#include "vcl/Bitmap.h"
#include "vcl/MemoryStream.h"
#include "vcl/PngDecode.h"
#include "vcl/PngImage.h"

namespace {

using PngImageTest = GdiLeakCheck;

using Bytes = std::vector<uint8_t>;

Bytes BitmapPixel(const TBitmap& b, int x, int y) {
  const int n = b.PixelFormat() == pf32bit ? 4 : 3;
  const uint8_t* p = b.ScanLine(y) + x * n;
  return Bytes(p, p + n);
}

void LoadBitmap(const char* fixture, TBitmap& bitmap) {
  TMemoryStream stream;
  FillStream(stream, ReadFixture(fixture));
  TPngImage png;
  png.LoadFromStream(stream);
  bitmap.Assign(png);
}

// 32 by 32, transparent white background, a 4 by 4 block of (200,100,50)
// at alpha 128 in the top-left corner and an opaque (30,60,90) square from
// 8 to 23 in both directions.
TEST_F(PngImageTest, TransparentIconBecomesStraightAlphaBitmap) {
  TBitmap b;
  LoadBitmap("icon32-alpha.png", b);
  ASSERT_EQ(b.Width(), 32);
  ASSERT_EQ(b.Height(), 32);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.AlphaFormat(), afDefined);
  BITMAP bm{};
  ASSERT_NE(GetObjectW(b.Handle(), sizeof bm, &bm), 0);
  EXPECT_EQ(bm.bmBitsPixel, 32);

  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      Bytes expected;
      if (x >= 8 && x < 24 && y >= 8 && y < 24)
        expected = {90, 60, 30, 255};
      else if (x < 4 && y < 4)
        expected = {50, 100, 200, 128};  // premultiplied would be about half
      else
        expected = {255, 255, 255, 0};  // premultiplied would be black
      ASSERT_EQ(BitmapPixel(b, x, y), expected) << "at " << x << "," << y;
    }
  }
}

TEST_F(PngImageTest, ImagesWithoutAlphaBecome24Bit) {
  TBitmap rgb;
  LoadBitmap("rgb-3x2.png", rgb);
  EXPECT_EQ(rgb.PixelFormat(), pf24bit);
  EXPECT_EQ(rgb.AlphaFormat(), afIgnored);
  EXPECT_EQ(BitmapPixel(rgb, 0, 0), (Bytes{0, 0, 255}));
  EXPECT_EQ(BitmapPixel(rgb, 2, 0), (Bytes{255, 0, 0}));
  EXPECT_EQ(BitmapPixel(rgb, 1, 1), (Bytes{7, 128, 250}));

  TBitmap gray;
  LoadBitmap("gray-2x2.png", gray);
  EXPECT_EQ(gray.PixelFormat(), pf24bit);
  EXPECT_EQ(BitmapPixel(gray, 1, 0), (Bytes{64, 64, 64}));
  EXPECT_EQ(BitmapPixel(gray, 0, 1), (Bytes{128, 128, 128}));
}

TEST_F(PngImageTest, PaletteTransparencyBecomesPerPixelAlpha) {
  TBitmap b;
  LoadBitmap("palette-trns-4x1.png", b);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.AlphaFormat(), afDefined);
  EXPECT_EQ(BitmapPixel(b, 0, 0), (Bytes{30, 20, 10, 0}));
  EXPECT_EQ(BitmapPixel(b, 1, 0), (Bytes{60, 50, 40, 100}));
  EXPECT_EQ(BitmapPixel(b, 3, 0), (Bytes{220, 210, 200, 255}));
}

TEST_F(PngImageTest, BrokenDataRaisesAndKeepsTheImage) {
  const Bytes good = ReadFixture("icon32-alpha.png");
  TPngImage png;
  TMemoryStream stream;
  FillStream(stream, ReadFixture("rgb-3x2.png"));
  png.LoadFromStream(stream);

  auto expectRejected = [&](const Bytes& bytes, const std::string& what) {
    FillStream(stream, bytes);
    EXPECT_THROW(png.LoadFromStream(stream), EPNGError) << what;
    EXPECT_EQ(png.Width(), 3) << what;
    EXPECT_EQ(png.Height(), 2) << what;
    EXPECT_FALSE(png.HasAlpha()) << what;
  };

  // Every cut up to the end chunk (whose four CRC bytes libspng does not
  // insist on) loses part of the file.
  for (size_t n = 0; n + 12 <= good.size(); ++n)
    expectRejected(Bytes(good.begin(), good.begin() + static_cast<long>(n)), "cut at " + std::to_string(n));
  expectRejected(Bytes{'h', 'e', 'l', 'l', 'o'}, "text");

  Bytes badCrc = good;
  badCrc[40] ^= 0x01;  // inside the image data
  expectRejected(badCrc, "flipped bit");

  // A stream positioned at its end holds no image.
  FillStream(stream, good);
  stream.Seek(0, soEnd);
  EXPECT_THROW(png.LoadFromStream(stream), EPNGError);
}

TEST_F(PngImageTest, OversizedHeadersAreRefusedBeforeAllocating) {
  Bytes bomb = ReadFixture("icon32-alpha.png");
  SetHeaderSize(bomb, 100000, 100000);
  TMemoryStream stream;
  FillStream(stream, bomb);
  TPngImage png;
  EXPECT_THROW(png.LoadFromStream(stream), EPNGError);

  // Each side within limits, the product not.
  SetHeaderSize(bomb, 1u << 14, 1u << 13);
  auto r = DecodePng(bomb.data(), bomb.size());
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error, "image too large");
  EXPECT_EQ(r.pixels.rgba, nullptr);

  // A claim within limits but without the data for it fails on the data.
  SetHeaderSize(bomb, 4096, 4096);
  r = DecodePng(bomb.data(), bomb.size());
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.error, "image too large");
}

TEST_F(PngImageTest, LoadsFromTheStreamPosition) {
  const Bytes good = ReadFixture("gray-2x2.png");
  TMemoryStream stream;
  stream.WriteBuffer("junk", 4);
  stream.WriteBuffer(good.data(), static_cast<int64_t>(good.size()));
  stream.SetPosition(4);
  TPngImage png;
  png.LoadFromStream(stream);
  EXPECT_EQ(png.Width(), 2);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(png.RgbaRow(1)[4], 255);
  EXPECT_THROW(png.RgbaRow(2), EInvalidGraphicOperation);
}

TEST_F(PngImageTest, BitmapRoundTripKeepsStraightAlpha) {
  TBitmap source;
  LoadBitmap("icon32-alpha.png", source);

  const auto dir = std::filesystem::temp_directory_path() / ("qorb-png-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::u16string file = Utf8ToUtf16((dir / "icon.png").string());
  SavePngFile(source, file);

  TPngImage png;
  png.LoadFromFile(file);
  std::filesystem::remove_all(dir);
  EXPECT_TRUE(png.HasAlpha());
  TBitmap back;
  back.Assign(png);
  ASSERT_EQ(back.Width(), 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(BitmapPixel(back, x, y), BitmapPixel(source, x, y)) << x << "," << y;

  // Alpha that is not declared is not written: the picture comes back opaque.
  source.SetAlphaFormat(afIgnored);
  png.Assign(source);
  EXPECT_FALSE(png.HasAlpha());
  TMemoryStream stream;
  png.SaveToStream(stream);
  stream.SetPosition(0);
  TPngImage opaque;
  opaque.LoadFromStream(stream);
  back.Assign(opaque);
  EXPECT_EQ(back.PixelFormat(), pf24bit);
  EXPECT_EQ(BitmapPixel(back, 0, 0), (Bytes{50, 100, 200}));
}

TEST_F(PngImageTest, EmptyImagesAndMissingFiles) {
  TPngImage empty;
  EXPECT_TRUE(empty.Empty());
  TMemoryStream stream;
  EXPECT_THROW(empty.SaveToStream(stream), EPNGError);
  EXPECT_EQ(stream.Size(), 0);

  TBitmap b(5, 5);
  b.Assign(empty);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);

  TPngImage copy;
  copy.LoadFromFile(FixturePath("palette-trns-4x1.png"));
  TPngImage other;
  other.Assign(copy);
  copy.Assign(empty);
  EXPECT_EQ(other.Width(), 4);
  EXPECT_TRUE(other.HasAlpha());
  EXPECT_EQ(other.RgbaRow(0)[7], 100);
  EXPECT_THROW(other.LoadFromFile(FixturePath("no-such-file.png")), EFOpenError);
  EXPECT_EQ(other.Width(), 4);
}

}  // namespace
