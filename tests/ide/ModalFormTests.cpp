// Forms shown modally while the IDE lives: what it keeps of them and the
// picture it draws, and who answers ShowModal before and after the IDE.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "ide/IDE.h"
#include "ide/IDEPaintStyle.h"
#include "tests/presentation/Rendering.h"
#include "vcl/Bitmap.h"
#include "vcl/Image.h"
#include "vcl/Label.h"
#include "vcl/Panel.h"
#include "vcl/PngImage.h"

namespace fs = std::filesystem;

namespace {

template <class T>
T* Place(TWinControl* parent, const char16_t* caption = u"") {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetCaption(UnicodeString(caption));
  return c;
}

}  // namespace

TEST(ModalForms, TheIdeKeepsWhatAFormShowedAndDrawsItInAWindowFrame) {
  const fs::path dir = fs::temp_directory_path() / ("qorb-forms-" + std::to_string(::getpid()));
  TForm form(nullptr);
  form.SetName(u"Greeting");
  form.SetCaption(u"Hello there");
  form.SetBounds(0, 0, 200, 100);
  Place<TLabel>(&form, u"First line");
  Place<TLabel>(&form, u"hidden")->Hide();
  auto* panel = Place<TPanel>(&form, u"A panel");
  panel->SetBounds(10, 40, 80, 40);
  auto* image = Place<TImage>(panel);
  image->SetBounds(2, 2, 16, 16);
  image->Picture()->SetSize(4, 4);
  Place<TPanel>(&form, u"no caption shown")->SetShowCaption(false);
  EXPECT_EQ(form.ShowModal(), mrCancel) << "no IDE: nobody to show it to";

  TColor accent = 0, face = 0;
  {
    TIDEOptions options;
    options.PicturesDirectory = dir;
    fs::create_directories(dir);
    TIDE ide(std::move(options));
    accent = IDEPaintColors(ide).Accent;
    face = ColorToRGB(clBtnFace);
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(form.Visible()) << "hidden again after the call";
    const auto& shown = ide.ModalForms().Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, u"Hello there");
    EXPECT_EQ(shown[0].Width, 200);
    EXPECT_EQ(shown[0].Text, "    First line\n    A panel\n    [picture 16x16]\n");
    EXPECT_EQ(shown[0].Picture, dir / "form-Greeting.png");
    EXPECT_NE(FormatShownForms(shown).find("  Hello there  [200x100]\n    First line\n"), std::string::npos);
    EXPECT_TRUE(ide.Shutdown().empty());
  }
  EXPECT_EQ(form.ShowModal(), mrCancel) << "the IDE's handler goes with it";

  TPngImage png;
  png.LoadFromFile(Utf8ToUtf16((dir / "form-Greeting.png").string()));
  TBitmap picture;
  picture.Assign(png);
  ASSERT_EQ(picture.Width(), 200);
  ASSERT_EQ(picture.Height(), 130);
  ASSERT_EQ(picture.PixelFormat(), pf24bit);
  EXPECT_TRUE(AllPixels(picture, Rect(150, 0, 200, 30), accent)) << "title bar";
  EXPECT_TRUE(AllPixels(picture, Rect(190, 30, 200, 130), face)) << "the form's client area under it";
  fs::remove_all(dir);
}
