// The simulated IDE's side of what the host shows: splash screen, About box,
// welcome-page view frames and the options dialog.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "ide/AboutBoxService.h"
#include "ide/IDE.h"
#include "ide/OptionsDialog.h"
#include "ide/SplashScreenService.h"
#include "ide/WelcomePageService.h"
#include "ide/WelcomePageViewFrame.h"
#include "rtl/InterfacedObject.h"
#include "tests/presentation/Rendering.h"
#include "toolsapi/ObjectInterfaces.h"

namespace {

class IdeSide : public ::testing::Test {
 protected:
  template <class T>
  T& Service() {
    return *ide.Services().Service<T>();
  }
  TIDE ide;
};

unique_hbitmap SolidBitmap(int w, int h, uint8_t blue) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.ScanLine(y)[3 * x] = blue;
  return unique_hbitmap(b.ReleaseHandle());
}

}  // namespace

TEST_F(IdeSide, SplashScreenKeepsACopyAndNoHandle) {
  auto& splash = Service<TSplashScreenService>();
  const size_t gdi = GdiLiveObjectCount();
  {
    unique_hbitmap logo = SolidBitmap(24, 24, 200);
    splash.AddPluginBitmap(UnicodeString(u"Suite"), logo.get(), false, UnicodeString(u"1.0"), UnicodeString());
  }
  EXPECT_EQ(GdiLiveObjectCount(), gdi);
  splash.AddPluginBitmap(UnicodeString(u"Stale"), reinterpret_cast<HBITMAP>(0x1234), false, {}, {});
  splash.AddPluginBitmap(UnicodeString(u"Null"), nullptr, false, {}, {});

  const std::vector<TSplashEntry> entries = splash.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Caption, u"Suite");
  EXPECT_EQ(entries[0].LicenseStatus, u"1.0");
  const std::unique_ptr<TBitmap> picture = entries[0].Picture();
  EXPECT_EQ(picture->Width(), 24);
  EXPECT_EQ(RgbAt(*picture, 23, 23), 200u);
}

TEST_F(IdeSide, AboutBoxKeepsHandlesAndRemovesByIndex) {
  auto& about = Service<TAboutBoxService>();
  unique_hbitmap logo = SolidBitmap(24, 24, 1);
  const int32_t first = about.AddPluginInfo(UnicodeString(u"A"), UnicodeString(u"a"), logo.get(), false, {}, {}, false);
  const int32_t second = about.AddPluginInfo(UnicodeString(u"B"), {}, nullptr, false, {}, {}, false);
  EXPECT_NE(first, second);
  about.RemovePluginInfo(first);
  about.RemovePluginInfo(first);
  about.RemovePluginInfo(-1);
  const std::vector<TAboutBoxEntry> entries = about.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Title, u"B");
  // A third entry never takes an index that was handed out before.
  EXPECT_NE(about.AddPluginInfo(UnicodeString(u"C"), {}, nullptr, false, {}, {}, false), first);
}

TEST_F(IdeSide, ViewFrameHoldsCaptionOverContentAndForgetsFreedFrames) {
  std::unique_ptr<TFrame> view(Service<TWelcomePageService>().CreateViewFrame(UnicodeString(u"X.Page"),
                                                                             UnicodeString(u"X"), nullptr));
  ComPtr<INTAWelcomePageCaptionFrame> slots;
  ASSERT_TRUE(SupportsObject(view.get(), slots));
  UnicodeString id;
  slots->GetPluginID(id);
  EXPECT_EQ(id, u"X.Page");

  auto* caption = new TFrame(view.get());
  auto* content = new TFrame(view.get());
  slots->SetCaptionFrame(caption);
  slots->SetContentFrame(content);
  EXPECT_EQ(caption->BoundsRect(), Rect(0, 0, 420, 38));
  EXPECT_EQ(content->BoundsRect(), Rect(0, 38, 420, 338));
  slots->SetCaptionHeight(50);
  EXPECT_EQ(content->Top(), 50);

  delete caption;
  EXPECT_EQ(slots->GetCaptionFrame(), nullptr);
  EXPECT_EQ(slots->GetContentFrame(), content);
  EXPECT_EQ(content->Top(), 0);

  // Objects whose class lists no interfaces answer none.
  TFrame plain(nullptr);
  EXPECT_FALSE(SupportsObject(&plain, slots));
  EXPECT_FALSE(SupportsObject(nullptr, slots));
}

namespace {

class TRecordingPage : public TInterfacedObjectOf<INTAAddInOptions> {
 public:
  std::vector<std::string> Calls;
  TCustomFrame* Frame = nullptr;
  bool Valid = true;
  bool RaiseOnCreate = false;
  void GetArea(UnicodeString& R) override { R = u"Qorb"; }
  void GetCaption(UnicodeString& R) override { R = u"General"; }
  TCustomFrameClass GetFrameClass() override { return &FrameClassOf<TFrame>; }
  void FrameCreated(TCustomFrame* AFrame) override {
    Calls.push_back("created");
    Frame = AFrame;
    if (RaiseOnCreate) throw std::runtime_error("no");
  }
  void DialogClosed(bool Accepted) override { Calls.push_back(Accepted ? "closed accepted" : "closed cancelled"); }
  bool ValidateContents() override {
    Calls.push_back("validate");
    return Valid;
  }
  int32_t GetHelpContext() override { return 0; }
  bool IncludeInIDEInsight() override { return true; }
};

}  // namespace

TEST_F(IdeSide, OptionsDialogMakesTheFrameValidatesAndCloses) {
  auto& dialog = Service<TOptionsDialog>();
  auto page = Make<TRecordingPage>();
  dialog.RegisterAddInOptions(page.get());
  ASSERT_EQ(dialog.Pages().size(), 1u);
  EXPECT_EQ(dialog.Pages()[0].Area, u"Qorb");

  int shown = 0;
  TOptionsPageRun run = dialog.OpenPage(u"qorb", u"GENERAL", true, [&](TCustomFrame& f, const TOptionsPageRun&) {
    ++shown;
    EXPECT_EQ(&f, page->Frame);
  });
  EXPECT_TRUE(run.Found && run.FrameCreated && run.Validated && run.Accepted);
  EXPECT_EQ(run.FrameClassName, u"TFrame");
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(page->Calls, (std::vector<std::string>{"created", "validate", "closed accepted"}));

  page->Calls.clear();
  page->Valid = false;
  run = dialog.OpenPage(u"Qorb", u"General", true);
  EXPECT_FALSE(run.Accepted);
  EXPECT_EQ(page->Calls.back(), "closed cancelled");

  page->Calls.clear();
  page->RaiseOnCreate = true;
  EXPECT_THROW(dialog.OpenPage(u"Qorb", u"General", true), std::runtime_error);
  EXPECT_EQ(page->Calls, (std::vector<std::string>{"created", "closed cancelled"}));

  EXPECT_FALSE(dialog.OpenPage(u"Qorb", u"Missing", true).Found);
  dialog.UnregisterAddInOptions(page.get());
  EXPECT_TRUE(dialog.Pages().empty());
  EXPECT_EQ(page->RefCount(), 1);
}
