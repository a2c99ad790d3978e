#include "examples/about/AboutPicture.h"

#include <algorithm>

#include "examples/about/AboutText.h"
#include "vcl/Canvas.h"
#include "vcl/Colors.h"

namespace {

constexpr int kWidth = 480;
constexpr int kMargin = 16;
constexpr int kRowHeight = 44;
constexpr int kIconSize = 32;
constexpr int kTitleBar = 30;
constexpr TColor kTitleBarColor = ColorOf(0x7A4A1E);  // dark blue
constexpr TColor kLinkColor = ColorOf(0xCC6600);

void Text(TCanvas& canvas, int x, int y, const std::u16string& text, int size, TColor color, TFontStyles style = {}) {
  canvas.Font()->SetSize(size);
  canvas.Font()->SetColor(color);
  canvas.Font()->SetStyle(style);
  canvas.TextOut(x, y, text);
}

}  // namespace

std::unique_ptr<TBitmap> DrawAboutDialog(const TAboutData& AData) {
  const TAboutWords words = AboutWords(AData);
  const int rows = std::max<int>(1, static_cast<int>(AData.Plugins.size()));
  const int listTop = kTitleBar + 170;
  const int height = listTop + rows * kRowHeight + 60;

  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  picture->SetSize(kWidth, height);
  TCanvas canvas(*picture);
  canvas.Font()->SetName(u"Segoe UI");
  canvas.Brush()->SetColor(ColorToRGB(clBtnFace));
  canvas.FillRect(Rect(0, 0, kWidth, height));

  canvas.Brush()->SetColor(kTitleBarColor);
  canvas.FillRect(Rect(0, 0, kWidth, kTitleBar));
  canvas.Brush()->SetStyle(bsClear);
  Text(canvas, 10, 6, words.Title, 10, clWhite);

  int y = kTitleBar + kMargin;
  Text(canvas, kMargin, y, AData.ProductName, 14, clWindowText, {fsBold});
  y += 34;
  Text(canvas, kMargin, y, words.VersionLabel + u" " + AData.Version, 9, clWindowText);
  y += 20;
  Text(canvas, kMargin, y, AData.Company, 9, clWindowText);
  y += 20;
  Text(canvas, kMargin, y, AData.Copyright, 9, clWindowText);
  y += 20;
  Text(canvas, kMargin, y, AData.Website, 9, kLinkColor, {fsUnderline});

  Text(canvas, kMargin, listTop - 22, words.PluginsHeading, 9, clWindowText, {fsBold});
  canvas.Brush()->SetColor(ColorToRGB(clWindow));
  canvas.Pen()->SetColor(ColorToRGB(clBtnShadow));
  canvas.Rectangle(kMargin, listTop, kWidth - kMargin, listTop + rows * kRowHeight + 2);
  canvas.Brush()->SetStyle(bsClear);

  if (AData.Plugins.empty()) Text(canvas, kMargin + 10, listTop + 14, words.NoPlugins, 9, clGrayText);
  int rowTop = listTop + 1;
  for (const TAboutPlugin& plugin : AData.Plugins) {
    const int iconTop = rowTop + (kRowHeight - kIconSize) / 2;
    if (plugin.Icon) canvas.StretchDraw(Bounds(kMargin + 6, iconTop, kIconSize, kIconSize), *plugin.Icon);
    const int textLeft = kMargin + 6 + kIconSize + 10;
    Text(canvas, textLeft, rowTop + 5, plugin.Name, 9, clWindowText, {fsBold});
    std::u16string detail = plugin.Version;
    if (!plugin.WebURL.empty()) detail += (detail.empty() ? u"" : u"  -  ") + plugin.WebURL;
    Text(canvas, textLeft, rowTop + 23, detail, 8, clGrayText);
    rowTop += kRowHeight;
  }

  const TRect button = Bounds(kWidth - kMargin - 90, height - 42, 90, 26);
  canvas.Brush()->SetColor(ColorToRGB(clBtnFace));
  canvas.Pen()->SetColor(ColorToRGB(clBtnShadow));
  canvas.Rectangle(button);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetStyle({});
  canvas.Font()->SetColor(clBtnText);
  canvas.TextOut(button.Left + (button.Width() - canvas.TextWidth(words.Close)) / 2,
                 button.Top + (button.Height() - canvas.TextHeight(words.Close)) / 2, words.Close);
  return picture;
}
