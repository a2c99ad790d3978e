#include "presentation/Qorb.Main.Branding.h"

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "plugins/Qorb.Main.PluginGraphics.h"
#include "rtl/ComPtr.h"
#include "toolsapi/AboutBoxServices.h"
#include "toolsapi/Globals.h"
#include "toolsapi/SplashScreenServices.h"
#include "vcl/Bitmap.h"
#include "winapi/Gdi.h"
#include "winapi/Modules.h"
#include "winapi/MulDiv.h"

// The maker's web address: a setting of the build.
#ifndef QORB_MAKER_WEB_ADDRESS
#define QORB_MAKER_WEB_ADDRESS u"https://tessary-systems.example/qorb"
#endif

namespace {

constexpr char16_t kTitle[] = u"Qorb Tool-Suite for Delphi";
constexpr char16_t kFirstLine[] =
    u"Plugin host for the Qorb tool suite: shared services, options pages and the Qorb menu for all Qorb plugins "
    u"in the IDE.";
constexpr char16_t kLineBreak[] = u"\r\n";
constexpr int kLogoSize = 24;
constexpr TColor kLogoBackground = ColorOf(0xFF00FF);

// The About box draws from this handle for as long as the entry exists.
int32_t aboutBoxIndex = -1;
unique_hbitmap aboutBoxLogo;

// A new 24 by 24 logo from the package's own resource; empty when the
// resource is missing, is no PNG with alpha, or is smaller than the logo.
unique_hbitmap MakeLogo() {
  const std::unique_ptr<TBitmap> decoded = LoadPngResourceBitmap(HInstance(), UnicodeString(u"QORBSUITELOGO"));
  if (!decoded) return {};
  if (decoded->PixelFormat() != pf32bit || decoded->AlphaFormat() != afDefined) return {};
  if (decoded->Width() < kLogoSize || decoded->Height() < kLogoSize) return {};
  TBitmap logo;
  logo.SetPixelFormat(pf24bit);
  logo.SetSize(kLogoSize, kLogoSize);
  ReduceLogo(*decoded, logo, kLogoBackground);
  return unique_hbitmap(logo.ReleaseHandle());
}

}  // namespace

void ReduceLogo(const TBitmap& Source, TBitmap& Dest, TColor Background) {
  if (Source.PixelFormat() != pf32bit || Dest.PixelFormat() != pf24bit)
    throw EInvalidGraphicOperation(u"The logo is reduced from 32 to 24 bits per pixel");
  const TColor rgb = ColorToRGB(Background);
  const uint8_t bgRed = rgb & 0xFF, bgGreen = (rgb >> 8) & 0xFF, bgBlue = (rgb >> 16) & 0xFF;
  const int ws = Source.Width(), hs = Source.Height(), wd = Dest.Width(), hd = Dest.Height();
  for (int y = 0; y < hd; ++y) {
    const int y0 = MulDiv(y, hs, hd), y1 = MulDiv(y + 1, hs, hd);
    uint8_t* out = Dest.ScanLine(y);
    for (int x = 0; x < wd; ++x, out += 3) {
      const int x0 = MulDiv(x, ws, wd), x1 = MulDiv(x + 1, ws, wd);
      // 64 bits, so that a huge picture cannot overflow; the sums are the
      // same wherever 32 bits would have held them.
      int64_t n = 0, sa = 0, sb = 0, sg = 0, sr = 0;
      for (int sy = y0; sy >= 0 && sy < y1 && sy < hs; ++sy) {
        const uint8_t* in = Source.ScanLine(sy);
        for (int sx = x0; sx >= 0 && sx < x1 && sx < ws; ++sx) {
          const uint8_t* p = in + 4 * sx;
          const int a = p[3];
          ++n;
          sa += a;
          sb += p[0] * a;
          sg += p[1] * a;
          sr += p[2] * a;
        }
      }
      if (n > 0 && sa >= 128 * n) {
        out[0] = static_cast<uint8_t>(sb / sa);
        out[1] = static_cast<uint8_t>(sg / sa);
        out[2] = static_cast<uint8_t>(sr / sa);
      } else {
        out[0] = bgBlue;
        out[1] = bgGreen;
        out[2] = bgRed;
      }
    }
  }
}

UnicodeString BrandingDescription(const TQorbVersionInfo& Info) {
  UnicodeString text(kFirstLine);
  for (const UnicodeString* line : {&Info.Company, &Info.Copyright}) {
    if (line->IsEmpty()) continue;
    text += kLineBreak;
    text += line->view();
  }
  text += kLineBreak;
  text += QORB_MAKER_WEB_ADDRESS;
  return text;
}

void RegisterBranding() {
  const TQorbVersionInfo info = GetQorbVersionInfo(UnicodeStringRef());
  const UnicodeString title(kTitle);

  if (SplashScreenServices) {
    // The IDE copies the picture; the handle goes when this scope ends,
    // also when the call raised.
    if (const unique_hbitmap logo = MakeLogo())
      SplashScreenServices->AddPluginBitmap(title, logo.get(), false, info.Version, UnicodeString());
  }

  ComPtr<IOTAAboutBoxServices> aboutBox;
  if (Supports(BorlandIDEServices, aboutBox)) {
    aboutBoxLogo = MakeLogo();
    aboutBoxIndex = aboutBox->AddPluginInfo(title, BrandingDescription(info), aboutBoxLogo.get(), false,
                                            info.Version, UnicodeString(), false);
  }
}

void UnregisterBranding() {
  if (aboutBoxIndex >= 0) {
    try {
      ComPtr<IOTAAboutBoxServices> aboutBox;
      if (Supports(BorlandIDEServices, aboutBox)) aboutBox->RemovePluginInfo(aboutBoxIndex);
    } catch (...) {
      // The entry goes with the IDE anyway; the logo is still ours to free.
    }
  }
  aboutBoxIndex = -1;
  aboutBoxLogo.reset();
}
