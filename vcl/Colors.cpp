#include "vcl/Colors.h"

#include "winapi/SysColors.h"

TColor ColorToRGB(TColor Color) noexcept {
  if (Color < 0) return static_cast<TColor>(GetSysColor(Color & 0xFF));
  return Color;
}
