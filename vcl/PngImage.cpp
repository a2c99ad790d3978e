#include "vcl/PngImage.h"

#include <cstring>

#include "rtl/Format.h"
#include "vcl/Bitmap.h"
#include "vcl/MemoryStream.h"
#include "vcl/PngDecode.h"
#include "vcl/PngEncode.h"

const uint8_t* TPngImage::RgbaRow(int Row) const {
  if (Row < 0 || Row >= Height()) throw EInvalidGraphicOperation(Format(u"Scan line index %d out of range", {Row}));
  return pixels_.Row(static_cast<uint32_t>(Row));
}

void TPngImage::LoadFromStream(TMemoryStream& Stream) {
  const int64_t available = Stream.Size() - Stream.Position();
  if (available <= 0) throw EPNGError(UnicodeString(u"Invalid PNG data: no data"));
  const auto* start = static_cast<const uint8_t*>(Stream.Memory()) + Stream.Position();
  PngDecodeResult decoded = DecodePng(start, static_cast<size_t>(available));
  if (!decoded.ok()) throw EPNGError(Format(u"Invalid PNG data: %s", {UnicodeString::FromUtf8(decoded.error)}));
  pixels_ = std::move(decoded.pixels);
  Stream.Seek(0, soEnd);
}

void TPngImage::SaveToStream(TMemoryStream& Stream) const {
  PngEncodeResult encoded = EncodePng(pixels_);
  if (!encoded.ok()) throw EPNGError(Format(u"Cannot write PNG: %s", {UnicodeString::FromUtf8(encoded.error)}));
  Stream.WriteBuffer(encoded.bytes.data(), static_cast<int64_t>(encoded.bytes.size()));
}

void TPngImage::LoadFromFile(std::u16string_view FileName) {
  TMemoryStream stream;
  stream.LoadFromFile(FileName);
  LoadFromStream(stream);
}

void TPngImage::SaveToFile(std::u16string_view FileName) const {
  TMemoryStream stream;
  SaveToStream(stream);
  stream.SaveToFile(FileName);
}

void TPngImage::Assign(const TPersistent& Source) {
  if (&Source == this) return;
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&Source)) {
    AssignBitmap(*bitmap);
    return;
  }
  const auto* src = dynamic_cast<const TPngImage*>(&Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  PngPixels copy;
  copy.width = src->pixels_.width;
  copy.height = src->pixels_.height;
  copy.hasAlpha = src->pixels_.hasAlpha;
  if (src->pixels_.rgba) {
    copy.rgba = std::make_unique_for_overwrite<uint8_t[]>(copy.ByteCount());
    std::memcpy(copy.rgba.get(), src->pixels_.rgba.get(), copy.ByteCount());
  }
  pixels_ = std::move(copy);
}

void TPngImage::AssignBitmap(const TBitmap& Source) {
  PngPixels p;
  if (!Source.Empty()) {
    const bool is32 = Source.PixelFormat() == pf32bit;
    p.width = static_cast<uint32_t>(Source.Width());
    p.height = static_cast<uint32_t>(Source.Height());
    p.hasAlpha = is32 && Source.AlphaFormat() == afDefined;
    p.rgba = std::make_unique_for_overwrite<uint8_t[]>(p.ByteCount());
    for (int y = 0; y < Source.Height(); ++y) {
      const uint8_t* s = Source.ScanLine(y);
      uint8_t* d = p.Row(static_cast<uint32_t>(y));
      for (int x = 0; x < Source.Width(); ++x, s += is32 ? 4 : 3, d += 4) {
        d[0] = s[2];
        d[1] = s[1];
        d[2] = s[0];
        d[3] = p.hasAlpha ? s[3] : 255;
      }
    }
  }
  pixels_ = std::move(p);
}

void SavePngFile(const TBitmap& Bitmap, std::u16string_view FileName) {
  TPngImage png;
  png.Assign(Bitmap);
  png.SaveToFile(FileName);
}
