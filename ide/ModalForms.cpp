#include "ide/ModalForms.h"

#include "ide/ControlText.h"
#include "ide/IDE.h"
#include "ide/IDEPaintStyle.h"
#include "ide/PictureFile.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/PngImage.h"

namespace {

constexpr int kTitleBar = 30;

// The form in the IDE's window frame: a title bar with its caption over its
// client area.
void SaveFormPicture(TIDE& Ide, TCustomForm& Form, const std::filesystem::path& File) {
  const TIDEPaintColors colors = IDEPaintColors(Ide);
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(Form.Width(), kTitleBar + Form.Height());
  TCanvas canvas(bitmap);
  canvas.Brush()->SetColor(colors.Accent);
  canvas.FillRect(Rect(0, 0, Form.Width(), kTitleBar));
  SetIDEFont(Ide, canvas);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(clWhite);
  canvas.TextOut(10, (kTitleBar - canvas.TextHeight(Form.Caption().view())) / 2, Form.Caption().view());
  Form.PaintTo(canvas, 0, kTitleBar);
  SavePngFile(bitmap, Utf8ToUtf16(File.string()));
}

}  // namespace

TModalResult TModalFormLog::Show(TIDE& Ide, TCustomForm& Form) {
  TShownForm shown{Form.Caption(), Form.ClassName(), Form.Width(), Form.Height(), {}, {}};
  DescribeControl(Form, "    ", shown.Text);
  const UnicodeString& name = Form.Name().IsEmpty() ? shown.ClassName : Form.Name();
  shown.Picture = NamedPicturePath(Ide, "form", name.ToUtf8());
  if (!shown.Picture.empty() && !WritePicture(Ide, shown.Picture, [&] { SaveFormPicture(Ide, Form, shown.Picture); }))
    shown.Picture.clear();
  shown_.push_back(std::move(shown));
  return mrOk;
}

std::string FormatShownForms(const std::vector<TShownForm>& Forms) {
  if (Forms.empty()) return {};
  std::string out = "Forms:\n";
  for (const TShownForm& f : Forms)
    out += "  " + f.Caption.ToUtf8() + "  [" + std::to_string(f.Width) + "x" + std::to_string(f.Height) + "]\n" +
           f.Text;
  return out;
}
