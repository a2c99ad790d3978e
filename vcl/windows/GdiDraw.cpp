#include "vcl/windows/GdiDraw.h"

#include <windows.h>

#include <type_traits>

namespace qorb::gdi {
namespace {

struct DcDelete {
  void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};
using DcPtr = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;

struct ObjectDelete {
  void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
using ObjectPtr = std::unique_ptr<void, ObjectDelete>;

// An object selected into a DC for a scope; the DC gets its old one back.
class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~TSelection() {
    if (old_) ::SelectObject(dc_, old_);
  }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;
  bool Valid() const noexcept { return old_ != nullptr && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

struct TDib::TImpl {
  // Declared in this order so that the bitmap is let go of before the DC.
  DcPtr Dc;
  ObjectPtr Bitmap;
  std::unique_ptr<TSelection> Selected;
  uint32_t* Bits = nullptr;
};

TDib::TDib(int Width, int Height) {
  if (Width <= 0 || Height <= 0) return;
  auto impl = std::make_unique<TImpl>();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = -Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  impl->Bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  impl->Dc.reset(::CreateCompatibleDC(nullptr));
  if (!impl->Bitmap || !impl->Dc || !bits) return;
  impl->Selected = std::make_unique<TSelection>(impl->Dc.get(), impl->Bitmap.get());
  if (!impl->Selected->Valid()) return;
  impl->Bits = static_cast<uint32_t*>(bits);
  impl_ = std::move(impl);
  width_ = Width;
  height_ = Height;
}

TDib::~TDib() = default;

uint32_t* TDib::Row(int Y) const noexcept {
  ::GdiFlush();
  return impl_->Bits + static_cast<ptrdiff_t>(Y) * width_;
}

struct TGdiFont::TImpl {
  // As in TDib: the selection goes first, the font before the DC.
  DcPtr Dc;
  ObjectPtr Font;
  std::unique_ptr<TSelection> Selected;
  int Height = 0;
};

TGdiFont::TGdiFont(const TFontSpec& Spec) {
  auto impl = std::make_unique<TImpl>();
  LOGFONTW lf{};
  lf.lfHeight = Spec.Height;
  lf.lfWeight = Spec.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = Spec.Italic;
  lf.lfUnderline = Spec.Underline;
  lf.lfStrikeOut = Spec.StrikeOut;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  const auto* face = reinterpret_cast<const wchar_t*>(Spec.Face);
  for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  impl->Font.reset(::CreateFontIndirectW(&lf));
  impl->Dc.reset(::CreateCompatibleDC(nullptr));
  if (!impl->Font || !impl->Dc) return;
  impl->Selected = std::make_unique<TSelection>(impl->Dc.get(), impl->Font.get());
  TEXTMETRICW tm{};
  if (!impl->Selected->Valid() || !::GetTextMetricsW(impl->Dc.get(), &tm)) return;
  impl->Height = tm.tmHeight;
  impl_ = std::move(impl);
}

TGdiFont::~TGdiFont() = default;

int TGdiFont::Height() const noexcept { return impl_ ? impl_->Height : 0; }

int TGdiFont::Width(const char16_t* Text, int Length) const noexcept {
  SIZE size{};
  if (!impl_ || Length <= 0 ||
      !::GetTextExtentPoint32W(impl_->Dc.get(), reinterpret_cast<const wchar_t*>(Text), Length, &size))
    return 0;
  return size.cx;
}

bool TGdiFont::Coverage(TDib& Mask, int X, int Y, const char16_t* Text, int Length) const noexcept {
  if (!impl_ || !Mask.Valid()) return false;
  HDC dc = Mask.impl_->Dc.get();
  const TSelection font(dc, impl_->Font.get());
  if (!font.Valid()) return false;
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  return ::ExtTextOutW(dc, X, Y, 0, nullptr, reinterpret_cast<const wchar_t*>(Text), static_cast<UINT>(Length),
                       nullptr);
}

bool Blend(TDib& Target, int X, int Y, int W, int H, const TDib& Source) {
  if (!Target.Valid() || !Source.Valid()) return false;
  HDC dc = Target.impl_->Dc.get();
  ::SetStretchBltMode(dc, COLORONCOLOR);
  const BLENDFUNCTION over{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return ::AlphaBlend(dc, X, Y, W, H, Source.impl_->Dc.get(), 0, 0, Source.Width(), Source.Height(), over);
}

bool Line(TDib& Mask, int X0, int Y0, int X1, int Y1, int Width) {
  if (!Mask.Valid()) return false;
  const LOGBRUSH white{BS_SOLID, RGB(255, 255, 255), 0};
  ObjectPtr pen(Width <= 1 ? ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255))
                           : ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                                            static_cast<DWORD>(Width), &white, 0, nullptr));
  if (!pen) return false;
  HDC dc = Mask.impl_->Dc.get();
  const TSelection selected(dc, pen.get());
  if (!selected.Valid()) return false;
  return ::MoveToEx(dc, X0, Y0, nullptr) && ::LineTo(dc, X1, Y1);
}

}  // namespace qorb::gdi
