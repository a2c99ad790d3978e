#include "otahelper/Qorb.Main.Theming.h"

#include "rtl/ComPtr.h"
#include "toolsapi/Globals.h"
#include "toolsapi/ThemingServices.h"

TColor QorbThemeColor(TColor AColor, TColor AFallback) {
  // Asked anew on every call, so a theme switch shows at once.
  ComPtr<IOTAIDEThemingServices> theming;
  if (!Supports(BorlandIDEServices, theming)) return AFallback;
  if (!theming->GetIDEThemingEnabled()) return AFallback;
  TCustomStyleServices* style = theming->GetStyleServices();
  if (!style) return AFallback;
  return style->GetSystemColor(AColor);
}

TColor QorbThemeColor(TColor AColor) { return QorbThemeColor(AColor, AColor); }
