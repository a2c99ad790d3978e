#include "workbench/pictures/MenuPicture.h"

#include <algorithm>
#include <vector>

#include "ide/IDE.h"
#include "ide/MainMenu.h"
#include "ide/PictureFile.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Menus.h"
#include "vcl/PngImage.h"

namespace {

// The platform's menu metrics at 96 dots per inch.
constexpr int kBarHeight = 20;
constexpr int kBarPadding = 7;
constexpr int kRowHeight = 22;
constexpr int kSeparatorHeight = 9;
constexpr int kTextLeft = 32;   // after the check and image column
constexpr int kTextRight = 24;  // before the sub-menu arrow column
constexpr TColor kOpenBackground = ColorOf(0xFFE8CC);  // the open top-level item
constexpr TColor kBorder = ColorOf(0xCCCCCC);

// The caption as shown: accelerator marks gone, "&&" kept as "&".
std::u16string Shown(const UnicodeString& caption) {
  std::u16string out;
  const std::u16string_view c = caption.view();
  for (size_t i = 0; i < c.size(); ++i) {
    if (c[i] == u'&' && i + 1 < c.size()) ++i;
    else if (c[i] == u'&') continue;
    out += c[i];
  }
  return out;
}

std::vector<const TMenuItem*> VisibleItems(const TMenuItem& parent) {
  std::vector<const TMenuItem*> items;
  for (int i = 0; i < parent.Count(); ++i)
    if (parent.Items(i)->Visible()) items.push_back(parent.Items(i));
  return items;
}

void UseMenuFont(TCanvas& canvas, TColor color) {
  canvas.Font()->SetName(UnicodeString(u"Segoe UI"));
  canvas.Font()->SetSize(9);
  canvas.Font()->SetColor(color);
}

}  // namespace

void PaintMainMenu(const TMainMenu& Menu, std::u16string_view Open, TBitmap& Bitmap) {
  const TMenuItem* opened = Open.empty() ? nullptr : FindMenuItemByPath(Menu, Open);
  const std::vector<const TMenuItem*> top = VisibleItems(*Menu.Items());

  // Measure on a scratch canvas first: the picture's size follows the text.
  TBitmap scratch(1, 1);
  TCanvas measure(scratch);
  UseMenuFont(measure, clMenuText);
  std::vector<int> lefts;
  int x = 0, openLeft = 0;
  for (const TMenuItem* item : top) {
    lefts.push_back(x);
    if (item == opened) openLeft = x;
    x += measure.TextWidth(Shown(item->Caption())) + 2 * kBarPadding;
  }
  const int barWidth = x;
  const std::vector<const TMenuItem*> rows = opened ? VisibleItems(*opened) : std::vector<const TMenuItem*>{};
  int dropWidth = 0, dropHeight = 0;
  for (const TMenuItem* row : rows) {
    dropHeight += row->IsLine() ? kSeparatorHeight : kRowHeight;
    if (!row->IsLine()) dropWidth = std::max(dropWidth, measure.TextWidth(Shown(row->Caption())));
  }
  const bool dropDown = opened && !rows.empty();
  dropWidth += kTextLeft + kTextRight + 2;
  dropHeight += 4;

  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(std::max(barWidth, dropDown ? openLeft + dropWidth : 0) + 1,
                 kBarHeight + (dropDown ? dropHeight : 0));
  TCanvas canvas(Bitmap);
  canvas.Brush()->SetColor(clWindow);
  canvas.FillRect(Rect(0, 0, Bitmap.Width(), Bitmap.Height()));
  canvas.Brush()->SetColor(clMenu);
  canvas.FillRect(Rect(0, 0, Bitmap.Width(), kBarHeight));
  for (size_t i = 0; i < top.size(); ++i) {
    const std::u16string text = Shown(top[i]->Caption());
    const int width = measure.TextWidth(text) + 2 * kBarPadding;
    if (top[i] == opened) {
      canvas.Brush()->SetColor(kOpenBackground);
      canvas.FillRect(Rect(lefts[i], 0, lefts[i] + width, kBarHeight));
    }
    canvas.Brush()->SetStyle(bsClear);
    UseMenuFont(canvas, top[i]->Enabled() ? clMenuText : clGrayText);
    canvas.TextOut(lefts[i] + kBarPadding, (kBarHeight - canvas.TextHeight(text)) / 2, text);
    canvas.Brush()->SetStyle(bsSolid);
  }
  if (!dropDown) return;

  const TRect box = Rect(openLeft, kBarHeight, openLeft + dropWidth, kBarHeight + dropHeight);
  canvas.Brush()->SetColor(kBorder);
  canvas.FillRect(box);
  canvas.Brush()->SetColor(clMenu);
  canvas.FillRect(Rect(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1));
  int y = box.Top + 2;
  for (const TMenuItem* row : rows) {
    if (row->IsLine()) {
      canvas.Brush()->SetColor(kBorder);
      canvas.FillRect(Rect(box.Left + kTextLeft - 4, y + kSeparatorHeight / 2, box.Right - 2, y + kSeparatorHeight / 2 + 1));
      y += kSeparatorHeight;
      continue;
    }
    const std::u16string text = Shown(row->Caption());
    canvas.Brush()->SetStyle(bsClear);
    UseMenuFont(canvas, row->Enabled() ? clMenuText : clGrayText);
    canvas.TextOut(box.Left + kTextLeft, y + (kRowHeight - canvas.TextHeight(text)) / 2, text);
    canvas.Brush()->SetStyle(bsSolid);
    if (row->Count() > 0) {
      // The sub-menu arrow: a small triangle pointing right.
      canvas.Brush()->SetColor(row->Enabled() ? clMenuText : clGrayText);
      const int ax = box.Right - kTextRight / 2 - 2, ay = y + kRowHeight / 2;
      for (int col = 0; col < 4; ++col) canvas.FillRect(Rect(ax + col, ay - 3 + col, ax + col + 1, ay + 4 - col));
    }
    y += kRowHeight;
  }
}

void SaveMainMenuPicture(TIDE& Ide) {
  if (Ide.PicturesDirectory().empty()) return;
  const std::filesystem::path file = Ide.PicturesDirectory() / "menu.png";
  WritePicture(Ide, file, [&] {
    TBitmap bitmap;
    PaintMainMenu(Ide.MainMenu(), u"Qorb", bitmap);
    SavePngFile(bitmap, Utf8ToUtf16(file.string()));
  });
}
