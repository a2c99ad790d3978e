#pragma once
// Colours as 32-bit signed values: 0x00BBGGRR for a plain colour, 0xFF0000nn
// for the system colour element nn, and 0x1FFFFFFF for "the default colour"
// of whatever the value is handed to.
#include <cstdint>

#include "rtl/Method.h"

using TColor = int32_t;

constexpr TColor ColorOf(uint32_t Value) noexcept { return static_cast<TColor>(Value); }

constexpr TColor clDefault = ColorOf(0x1FFFFFFF);

constexpr TColor clBlack = ColorOf(0x000000);
constexpr TColor clMaroon = ColorOf(0x000080);
constexpr TColor clGreen = ColorOf(0x008000);
constexpr TColor clOlive = ColorOf(0x008080);
constexpr TColor clNavy = ColorOf(0x800000);
constexpr TColor clPurple = ColorOf(0x800080);
constexpr TColor clTeal = ColorOf(0x808000);
constexpr TColor clGray = ColorOf(0x808080);
constexpr TColor clSilver = ColorOf(0xC0C0C0);
constexpr TColor clRed = ColorOf(0x0000FF);
constexpr TColor clLime = ColorOf(0x00FF00);
constexpr TColor clYellow = ColorOf(0x00FFFF);
constexpr TColor clBlue = ColorOf(0xFF0000);
constexpr TColor clFuchsia = ColorOf(0xFF00FF);
constexpr TColor clAqua = ColorOf(0xFFFF00);
constexpr TColor clWhite = ColorOf(0xFFFFFF);

constexpr TColor clMenu = ColorOf(0xFF000004);
constexpr TColor clWindow = ColorOf(0xFF000005);
constexpr TColor clWindowFrame = ColorOf(0xFF000006);
constexpr TColor clMenuText = ColorOf(0xFF000007);
constexpr TColor clWindowText = ColorOf(0xFF000008);
constexpr TColor clHighlight = ColorOf(0xFF00000D);
constexpr TColor clHighlightText = ColorOf(0xFF00000E);
constexpr TColor clBtnFace = ColorOf(0xFF00000F);
constexpr TColor clBtnShadow = ColorOf(0xFF000010);
constexpr TColor clGrayText = ColorOf(0xFF000011);
constexpr TColor clBtnText = ColorOf(0xFF000012);
constexpr TColor clBtnHighlight = ColorOf(0xFF000014);
constexpr TColor clInfoText = ColorOf(0xFF000017);
constexpr TColor clInfoBk = ColorOf(0xFF000018);

// A system colour becomes its current value: the style's, while a style is
// in force, else the platform's (GetSysColor). Any other value comes back
// unchanged.
TColor ColorToRGB(TColor Color) noexcept;

// The style in force for painting controls, as an application that styles
// its windows sets it: maps a system colour to the style's colour. Unset
// (the default, and an empty map): the platform's system colours.
using TStyleColorMap = TMethodOf<TColor(TColor)>;
void SetStyleColorMap(TStyleColorMap Map) noexcept;
