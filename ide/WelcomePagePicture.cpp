#include "ide/WelcomePagePicture.h"

#include <algorithm>
#include <vector>

#include "ide/IDE.h"
#include "ide/WelcomePageService.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
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

// What a person reads on a control and the controls it holds, in order.
void Describe(TControl& control, const std::string& indent, std::string& out) {
  if (!control.Visible()) return;
  if (auto* label = dynamic_cast<TLabel*>(&control)) {
    if (!label->Caption().IsEmpty()) out += indent + label->Caption().ToUtf8() + '\n';
    return;
  }
  if (auto* list = dynamic_cast<TListBox*>(&control)) {
    out += indent + "list of " + std::to_string(list->Count()) + (list->Count() == 1 ? " row\n" : " rows\n");
    return;
  }
  auto* windowed = dynamic_cast<TWinControl*>(&control);
  if (!windowed) return;
  // In designed order, except that what sits at the foot is read last.
  std::vector<TControl*> children;
  for (int i = 0; i < windowed->ControlCount(); ++i) children.push_back(windowed->Controls(i));
  std::stable_partition(children.begin(), children.end(), [](const TControl* c) { return c->Align() != alBottom; });
  for (TControl* child : children) Describe(*child, indent, out);
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
    Describe(*v.Frame, "    ", out);
  }
  return out;
}
