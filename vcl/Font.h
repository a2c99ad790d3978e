#pragma once
// A font description: face name, size, colour and style. Size is in points
// at the font's pixels per inch (96); Height is in pixels, negative for the
// character height (the em), positive for the cell height.
#include "rtl/UnicodeString.h"
#include "vcl/Classes.h"
#include "vcl/Colors.h"
#include "vcl/Set.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

class TFont : public TPersistent {
 public:
  TFont() = default;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  const UnicodeString& Name() const noexcept { return FName; }
  void SetName(const UnicodeString& AName);
  int Height() const noexcept { return FHeight; }
  void SetHeight(int AHeight);
  // -MulDiv(Height, 72, PixelsPerInch); setting it sets Height.
  int Size() const noexcept;
  void SetSize(int ASize);
  TColor Color() const noexcept { return FColor; }
  void SetColor(TColor AColor);
  TFontStyles Style() const noexcept { return FStyle; }
  void SetStyle(TFontStyles AStyle);
  int PixelsPerInch() const noexcept { return FPixelsPerInch; }

  // From another TFont: every attribute, one change notification.
  void Assign(const TPersistent& Source) override;
  // Called after every change.
  TNotifyEvent OnChange;

 private:
  void Changed();

  UnicodeString FName = u"Segoe UI";
  int FHeight = -12;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  int FPixelsPerInch = 96;
};
