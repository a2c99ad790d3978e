#include "workbench/pictures/WelcomePagePicture.h"

#include <algorithm>
#include <vector>

#include "ide/ControlText.h"
#include "ide/IDE.h"
#include "ide/WelcomePageService.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/PngImage.h"

namespace {

constexpr int kMargin = 8;

struct TView {
  UnicodeString Name;
  TFrame* Frame;
};

std::vector<TView> Views(TIDE& ide) {
  std::vector<TView> views;
  TWelcomePageService* page = ide.Services().Service<TWelcomePageService>();
  if (!page) return views;
  for (const TWelcomePagePluginInfo& p : page->Plugins())
    if (p.Visible && p.IsContent)
      if (TFrame* frame = page->ViewOf(p.ID)) views.push_back({p.Name, frame});
  return views;
}

}  // namespace

void PaintWelcomePage(TIDE& Ide, TBitmap& Bitmap) {
  TWelcomePageService* page = Ide.Services().Service<TWelcomePageService>();
  const std::vector<TView> views = Views(Ide);
  int width = 2 * kMargin, height = kMargin;
  for (const TView& v : views) {
    width = std::max(width, v.Frame->Width() + 2 * kMargin);
    height += v.Frame->Height() + kMargin;
  }
  height = std::max(height, 2 * kMargin);
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(width, height);
  TCanvas canvas(Bitmap);
  canvas.Brush()->SetColor(page ? page->GetBackgroundColor() : ColorToRGB(clWindow));
  canvas.FillRect(TRect{0, 0, width, height});
  int top = kMargin;
  for (const TView& v : views) {
    v.Frame->PaintTo(canvas, kMargin, top);
    top += v.Frame->Height() + kMargin;
  }
}

void SaveWelcomePagePicture(TIDE& Ide, std::u16string_view FileName) {
  TBitmap bitmap;
  PaintWelcomePage(Ide, bitmap);
  SavePngFile(bitmap, FileName);
}

std::string FormatWelcomePage(TIDE& Ide) {
  const std::vector<TView> views = Views(Ide);
  if (views.empty()) return "Welcome page: no views\n";
  std::string out = "Welcome page:\n";
  for (const TView& v : views) {
    out += "  " + v.Name.ToUtf8() + '\n';
    DescribeControl(*v.Frame, "    ", out);
  }
  return out;
}
