#include "vcl/Colors.h"

#include <mutex>

#include "rtl/OwnMutex.h"
#include "winapi/SysColors.h"

namespace {

TMutex styleLock;
TStyleColorMap styleMap;

bool IsSystem(TColor Color) noexcept { return Color < 0; }

}  // namespace

void SetStyleColorMap(TStyleColorMap Map) noexcept {
  std::lock_guard<TMutex> guard(styleLock);
  styleMap = Map;
}

TColor ColorToRGB(TColor Color) noexcept {
  if (!IsSystem(Color)) return Color;
  TStyleColorMap map;
  {
    std::lock_guard<TMutex> guard(styleLock);
    map = styleMap;
  }
  if (map.Assigned()) {
    const TColor styled = map(Color);
    if (!IsSystem(styled)) return styled;
  }
  return static_cast<TColor>(GetSysColor(Color & 0xFF));
}
