#include "workbench/pictures/MessageViewPicture.h"

#include <algorithm>
#include <vector>

#include "ide/IDE.h"
#include "ide/MessageGroup.h"
#include "ide/ThemingServices.h"
#include "ide/UIServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/PngImage.h"

namespace {

constexpr int kMargin = 4;
constexpr int kRowGap = 2;
constexpr int kMinWidth = 240;
constexpr int kOfferedWidth = 1000;

struct TViewColors {
  TColor Background;
  TColor Text;
};

TViewColors ViewColors(TIDE& ide) {
  if (TThemingServices* theming = ide.Services().Service<TThemingServices>()) {
    const TIDEStyle& style = theming->PaintingStyle();
    return {style.GetSystemColor(clWindow), style.GetSystemColor(clWindowText)};
  }
  return {ColorToRGB(clWindow), ColorToRGB(clWindowText)};
}

void SetViewFont(TIDE& ide, TCanvas& canvas) {
  if (TUIServices* ui = ide.Services().Service<TUIServices>()) {
    UnicodeString name;
    ui->GetIDEFontName(name);
    canvas.Font()->SetName(name);
    canvas.Font()->SetSize(ui->GetIDEFontSize());
  }
}

struct TRow {
  ComPtr<IOTACustomMessage> Line;
  ComPtr<INTACustomDrawMessage> Custom;
  UnicodeString Text;
  int Width = 0;
  int Height = 0;
};

}  // namespace

void PaintMessageGroup(TIDE& Ide, const TMessageGroup& Group, TBitmap& Bitmap) {
  const TViewColors colors = ViewColors(Ide);
  TCanvas measure;
  SetViewFont(Ide, measure);
  const int textHeight = measure.TextHeight(u"Wp");

  std::vector<TRow> rows;
  int width = kMinWidth;
  int height = 2 * kMargin;
  for (const ComPtr<IOTACustomMessage>& line : Group.Lines()) {
    TRow row;
    row.Line = line;
    row.Custom = line.As<INTACustomDrawMessage>();
    if (row.Custom) {
      TRect r;
      row.Custom->CalcRect(r, &measure, kOfferedWidth, false);
      row.Width = r.Width();
      row.Height = std::max(r.Height(), textHeight);
    } else {
      line->GetLineText(row.Text);
      row.Width = measure.TextWidth(row.Text);
      row.Height = textHeight;
    }
    width = std::max(width, row.Width + 2 * kMargin);
    height += row.Height + kRowGap;
    rows.push_back(std::move(row));
  }

  Bitmap.SetSize(width, height);
  TCanvas canvas(Bitmap);
  SetViewFont(Ide, canvas);
  canvas.Brush()->SetColor(colors.Background);
  canvas.FillRect(TRect{0, 0, width, height});
  int top = kMargin;
  for (TRow& row : rows) {
    // Each row starts from the view's own settings, as the view sets them.
    canvas.Brush()->SetColor(colors.Background);
    canvas.Font()->SetColor(colors.Text);
    const TRect rect{kMargin, top, width - kMargin, top + row.Height};
    if (row.Custom)
      row.Custom->Draw(&canvas, rect, false);
    else
      canvas.TextOut(rect.Left, rect.Top, row.Text);
    top += row.Height + kRowGap;
  }
}

void SaveMessageGroupPicture(TIDE& Ide, const TMessageGroup& Group, std::u16string_view FileName) {
  TBitmap bitmap;
  PaintMessageGroup(Ide, Group, bitmap);
  SavePngFile(bitmap, FileName);
}
