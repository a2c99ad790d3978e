#include "ide/IDEStyle.h"

#include "winapi/SysColors.h"

namespace {
constexpr TColor RGB(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }
constexpr bool IsSystemColor(TColor c) { return (static_cast<uint32_t>(c) & 0xFF000000u) == 0xFF000000u; }
}  // namespace

TColor TIDEStyle::GetSystemColor(TColor Color) const {
  if (!IsSystemColor(Color)) return Color;
  const size_t element = static_cast<uint32_t>(Color) & 0xFFu;
  return element < kElements ? elements_[element] : static_cast<TColor>(GetSysColor(static_cast<int>(element)));
}

TColor TIDEStyle::IdeColor(TIDEColorId Id) const noexcept {
  return Id < kPurposes ? purposes_[Id] : purposes_[icWindowText];
}

std::unique_ptr<TIDEStyle> TIDEStyle::Light() {
  std::array<TColor, kElements> elements{};
  for (size_t i = 0; i < kElements; ++i) elements[i] = static_cast<TColor>(GetSysColor(static_cast<int>(i)));
  const std::array<TColor, kPurposes> purposes{
      elements[COLOR_WINDOWTEXT], RGB(200, 0, 0),         elements[COLOR_HIGHLIGHT], elements[COLOR_HIGHLIGHTTEXT],
      RGB(0, 102, 204),           elements[COLOR_GRAYTEXT], RGB(160, 100, 0)};
  return std::make_unique<TIDEStyle>(UnicodeString(u"Light"), elements, purposes);
}

std::unique_ptr<TIDEStyle> TIDEStyle::Dark() {
  std::array<TColor, kElements> elements{};
  for (size_t i = 0; i < kElements; ++i) elements[i] = static_cast<TColor>(GetSysColor(static_cast<int>(i)));
  elements[COLOR_MENU] = RGB(43, 43, 43);
  elements[COLOR_WINDOW] = RGB(30, 30, 30);
  elements[COLOR_WINDOWFRAME] = RGB(80, 80, 80);
  elements[COLOR_MENUTEXT] = RGB(220, 220, 220);
  elements[COLOR_WINDOWTEXT] = RGB(220, 220, 220);
  elements[COLOR_HIGHLIGHT] = RGB(38, 79, 120);
  elements[COLOR_HIGHLIGHTTEXT] = RGB(255, 255, 255);
  elements[COLOR_BTNFACE] = RGB(45, 45, 48);
  elements[COLOR_BTNSHADOW] = RGB(30, 30, 30);
  elements[COLOR_GRAYTEXT] = RGB(140, 140, 140);
  elements[COLOR_BTNTEXT] = RGB(220, 220, 220);
  elements[COLOR_BTNHIGHLIGHT] = RGB(70, 70, 70);
  elements[COLOR_INFOTEXT] = RGB(220, 220, 220);
  elements[COLOR_INFOBK] = RGB(60, 60, 60);
  const std::array<TColor, kPurposes> purposes{
      elements[COLOR_WINDOWTEXT], RGB(255, 107, 107),       elements[COLOR_HIGHLIGHT], elements[COLOR_HIGHLIGHTTEXT],
      RGB(86, 156, 214),          elements[COLOR_GRAYTEXT], RGB(230, 180, 80)};
  return std::make_unique<TIDEStyle>(UnicodeString(u"Dark"), elements, purposes);
}
