#include "workbench/OptionsPageShow.h"

#include "ide/IDE.h"
#include "ide/IDEPaintStyle.h"
#include "ide/OptionsDialog.h"
#include "ide/PictureFile.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/PngImage.h"

TOptionsPageShowing ShowOptionsPage(TIDE& Ide, const std::string& AreaSlashCaption,
                                    const std::filesystem::path& Picture) {
  TOptionsPageShowing showing;
  showing.Text = "Options page " + AreaSlashCaption + ":\n";
  TOptionsDialog* dialog = Ide.Services().Service<TOptionsDialog>();
  const size_t slash = AreaSlashCaption.find('/');
  if (!dialog || slash == std::string::npos) {
    showing.Text += "  no such page\n";
    return showing;
  }
  const UnicodeString area = UnicodeString::FromUtf8(AreaSlashCaption.substr(0, slash));
  const UnicodeString caption = UnicodeString::FromUtf8(AreaSlashCaption.substr(slash + 1));

  bool pictured = false;
  const TOptionsPageRun run = dialog->OpenPage(area, caption, true, [&](TCustomFrame& frame, const TOptionsPageRun&) {
    if (Picture.empty() || pictured) return;
    pictured = true;
    WritePicture(Ide, Picture, [&] {
      TBitmap bitmap;
      bitmap.SetPixelFormat(pf24bit);
      bitmap.SetSize(frame.Width(), frame.Height());
      TCanvas canvas(bitmap);
      canvas.Brush()->SetColor(IDEPaintColors(Ide).Background);
      canvas.FillRect(TRect{0, 0, frame.Width(), frame.Height()});
      frame.PaintTo(canvas, 0, 0);
      SavePngFile(bitmap, Utf8ToUtf16(Picture.string()));
    });
  });
  showing.Found = run.Found;
  showing.Accepted = run.Accepted;
  if (!run.Found) {
    // The captions follow the UI language: say which pages there are.
    std::string pages;
    for (const TOptionsPageInfo& page : dialog->Pages())
      pages += (pages.empty() ? "" : ", ") + page.Area.ToUtf8() + "/" + page.Caption.ToUtf8();
    showing.Text += "  no such page" + (pages.empty() ? std::string() : " (there are: " + pages + ")") + "\n";
    return showing;
  }
  showing.Text += "  frame: " + (run.FrameCreated ? run.FrameClassName.ToUtf8() : std::string("none")) + '\n';
  showing.Text += std::string("  confirmed: ") + (run.Validated ? "entries accepted" : "entries rejected") + '\n';
  showing.Text += std::string("  closed: ") + (run.Accepted ? "accepted" : "cancelled") + '\n';
  return showing;
}
