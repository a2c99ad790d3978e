#include <gtest/gtest.h>

#include "ide/MessageViewPicture.h"
#include "ide/MessageViewReport.h"
#include "ide/ThemingServices.h"
#include "ide/UIServices.h"
#include "tests/services/ServicesFixture.h"
#include "tests/toolsapi/RawSlot.h"
#include "toolsapi/ThemingServices.h"
#include "toolsapi/UIServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Menus.h"
#include "winapi/SysColors.h"

namespace {

UnicodeString Text(const char16_t* s) { return UnicodeString(s); }

// A line that draws a filled block in a colour of its own.
class TBlockMessage : public TInterfacedObjectOf<INTACustomDrawMessage> {
 public:
  explicit TBlockMessage(TColor c) : color_(c) {}
  int32_t GetColumnNumber() override { return 3; }
  void GetFileName(UnicodeString& R) override { R = UnicodeString(u"f.pas"); }
  int32_t GetLineNumber() override { return 5; }
  void GetLineText(UnicodeString& R) override { R = UnicodeString(u"block"); }
  void ShowHelp() override { ++helps; }
  void Draw(TCanvas* Canvas, const TRect& Rect, bool) override {
    Canvas->Brush()->SetColor(color_);
    Canvas->FillRect(TRect{Rect.Left, Rect.Top, Rect.Left + 30, Rect.Top + 10});
  }
  void CalcRect(TRect& Result, TCanvas*, int32_t, bool) override { Result = TRect{0, 0, 30, 10}; }
  int helps = 0;

 private:
  TColor color_;
};

int CountPixels(const TBitmap& b, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y) {
    const uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x)
      n += row[4 * x] == ((c >> 16) & 0xFF) && row[4 * x + 1] == ((c >> 8) & 0xFF) && row[4 * x + 2] == (c & 0xFF);
  }
  return n;
}

}  // namespace

class IdeServicesTest : public ServicesTest {
 protected:
  template <class I>
  ComPtr<I> Get() {
    return BorlandIDEServices.As<I>();
  }
  TThemingServices& Theming() { return *Ide().Services().Service<TThemingServices>(); }
};

TEST_F(IdeServicesTest, MessageViewSlotsAsAddInsCallThem) {
  ComPtr<IOTAMessageServices> view = Get<IOTAMessageServices>();
  ASSERT_TRUE(view);
  void* p = view.get();
  const char16_t* name = Text(u"Tools").Detach();
  IOTAMessageGroup* group = nullptr;
  RawSlot<void (*)(void*, IOTAMessageGroup**, const char16_t*)>(p, 13)(p, &group, name);  // add group
  ASSERT_NE(group, nullptr);
  ComPtr<TBlockMessage> line = Make<TBlockMessage>(clRed);
  RawSlot<void (*)(void*, IOTACustomMessage*, IOTAMessageGroup*)>(p, 14)(p, line.get(), group);  // add line
  EXPECT_EQ(line->RefCount(), 2);
  IOTAMessageGroup* found = nullptr;
  const char16_t* lower = Text(u"tools").Detach();
  RawSlot<void (*)(void*, IOTAMessageGroup**, const char16_t*)>(p, 21)(p, &found, lower);  // get group
  EXPECT_EQ(found, group);  // the same group, with a reference for the caller
  RawSlot<void (*)(void*, IOTAMessageGroup*)>(p, 17)(p, group);  // clear group
  EXPECT_EQ(line->RefCount(), 1);
  EXPECT_EQ(view->GetMessageCount(group), 0);
  const char16_t* missing = Text(u"Nowhere").Detach();
  RawSlot<void (*)(void*, IOTAMessageGroup**, const char16_t*)>(p, 21)(p, &found, missing);
  EXPECT_EQ(found, nullptr);  // the held reference was released first
  group->Release();
  ustr::Release(name);
  ustr::Release(lower);
  ustr::Release(missing);
}

TEST_F(IdeServicesTest, GroupsTitlesAndTheCurrentGroup) {
  ComPtr<IOTAMessageServices> view = Get<IOTAMessageServices>();
  // A line without a group goes to the current one, made when needed.
  view->AddTitleMessage(Text(u"hello"), nullptr);
  ComPtr<IOTAMessageGroup> current;
  view->GetCurrentGroup(current);
  ASSERT_TRUE(current);
  EXPECT_EQ(View().Groups()[0]->Texts(), (std::vector<UnicodeString>{Text(u"hello")}));
  // Groups of the same name are separate; lookups find the first.
  ComPtr<IOTAMessageGroup> a, b, first;
  view->AddMessageGroup(a, Text(u"Same"));
  view->AddMessageGroup(b, Text(u"Same"));
  EXPECT_NE(a, b);
  view->GetGroup(first, Text(u"SAME"));
  EXPECT_EQ(first, a);
  view->RemoveMessageGroup(a.get());
  view->GetGroup(first, Text(u"Same"));
  EXPECT_EQ(first, b);
  EXPECT_EQ(view->GetMessageGroupCount(), 2);
  // A foreign group is nobody's: lines for it are dropped.
  ComPtr<TMessageGroup> stranger = Make<TMessageGroup>(Text(u"Stranger"), true);
  ComPtr<TBlockMessage> line = Make<TBlockMessage>(clRed);
  view->AddCustomMessage(line.get(), stranger.get());
  EXPECT_EQ(stranger->Count(), 0u);
  EXPECT_EQ(line->RefCount(), 1);
  view->ShowMessageView(b.get());
  EXPECT_TRUE(view->IsMessageViewVisible());
  view->GetCurrentGroup(current);
  EXPECT_EQ(current, b);
}

TEST_F(IdeServicesTest, StylesMapSystemColoursOnly) {
  TCustomStyleServices* style = Get<IOTAIDEThemingServices>()->GetStyleServices();
  ASSERT_NE(style, nullptr);
  ASSERT_TRUE(Theming().SetActiveTheme(Text(u"light")));
  style = Get<IOTAIDEThemingServices>()->GetStyleServices();
  EXPECT_EQ(style->GetSystemColor(clWindow), static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(style->GetSystemColor(clRed), clRed);
  ASSERT_TRUE(Theming().SetActiveTheme(Text(u"Dark")));
  style = Get<IOTAIDEThemingServices>()->GetStyleServices();
  EXPECT_EQ(style->Name(), u"Dark");
  // Dark: light text on a dark window.
  auto luma = [](TColor c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
  EXPECT_LT(luma(style->GetSystemColor(clWindow)), 200);
  EXPECT_GT(luma(style->GetSystemColor(clWindowText)), 500);
  EXPECT_EQ(style->GetSystemColor(clFuchsia), clFuchsia);
  EXPECT_FALSE(Theming().SetActiveTheme(Text(u"Blue")));
  EXPECT_EQ(Theming().ActiveStyle().Name(), u"Dark");
}

TEST_F(IdeServicesTest, ThemingSlotsAndTheOffSwitch) {
  ComPtr<IOTAIDEThemingServices> theming = Get<IOTAIDEThemingServices>();
  void* p = theming.get();
  EXPECT_TRUE(RawSlot<bool (*)(void*)>(p, 7)(p));
  Theming().SetThemingEnabled(false);
  EXPECT_FALSE(RawSlot<bool (*)(void*)>(p, 7)(p));
  TMenuItem frame(nullptr);
  frame.SetName(Text(u"Frame1"));
  TMenuItem* child = new TMenuItem(&frame);  // owned by frame
  child->SetName(Text(u"Child1"));
  RawSlot<void (*)(void*, TComponent*)>(p, 8)(p, &frame);  // apply theme
  const std::vector<TThemedComponent> themed = Theming().Themed();
  ASSERT_EQ(themed.size(), 2u);
  EXPECT_EQ(themed[0].Name, u"Frame1");
  EXPECT_EQ(themed[1].Name, u"Child1");
}

TEST_F(IdeServicesTest, UIColoursFollowTheThemeAndDialogsAreRecordedAndShown) {
  ComPtr<INTAIDEUIServices> ui = Get<INTAIDEUIServices>();
  void* p = ui.get();
  auto colour = RawSlot<TColor (*)(void*, uint8_t)>(p, 3);
  Theming().SetActiveTheme(Text(u"Light"));
  const TColor lightError = colour(p, 1), lightWarning = colour(p, 6);
  Theming().SetActiveTheme(Text(u"Dark"));
  EXPECT_NE(colour(p, 1), lightError);
  EXPECT_NE(colour(p, 6), lightWarning);
  EXPECT_NE(colour(p, 1), colour(p, 6));
  Theming().SetThemingEnabled(false);  // the IDE paints with the system's colours again
  EXPECT_EQ(colour(p, 1), lightError);

  const char16_t* msg = Text(u"Value required").Detach();
  const int32_t result =
      RawSlot<int32_t (*)(void*, const char16_t*, uint8_t, uint16_t, int32_t)>(p, 8)(p, msg, 1, 4, 0);
  ustr::Release(msg);
  EXPECT_EQ(result, mrOk);
  const std::vector<TShownDialog> dialogs = Ide().Services().Service<TUIServices>()->Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].Text, u"Value required");
  EXPECT_EQ(dialogs[0].Type, mtError);
  EXPECT_EQ(dialogs[0].Buttons, MsgDlgButtons({mbOK}));
  const std::vector<TShownMessageBox> boxes = Ide().MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, u"Error");
  EXPECT_EQ(boxes[0].Text, u"Value required");
  EXPECT_EQ(ui->MessageDlg(Text(u"Sure?"), mtConfirmation, MsgDlgButtons({mbYes, mbNo}), 0), mrYes);
}

TEST_F(IdeServicesTest, CustomMessageSlotsOfAHostLine) {
  ComPtr<TQorbLogMessage> line =
      TQorbLogMessage::Create(Text(u"S"), Text(u"t"), qllInfo, EncodeTime(10, 0, 0, 0));
  void* p = static_cast<INTACustomDrawMessage*>(line.get());
  EXPECT_EQ(RawSlot<int32_t (*)(void*)>(p, 3)(p), 0);
  char16_t* text = Text(u"old").Detach();
  RawSlot<void (*)(void*, char16_t**)>(p, 4)(p, &text);  // file name: empty, old value released
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(RawSlot<int32_t (*)(void*)>(p, 5)(p), 0);
  RawSlot<void (*)(void*, char16_t**)>(p, 6)(p, &text);
  EXPECT_EQ(UnicodeString::Attach(text), u"[10:00:00.000] [S] [Info] t");
  RawSlot<void (*)(void*)>(p, 7)(p);
  TCanvas canvas;
  TRect r{};
  RawSlot<void (*)(void*, TRect*, TCanvas*, int32_t, bool)>(p, 9)(p, &r, &canvas, 1, false);
  EXPECT_EQ(r.Right, canvas.TextWidth(u"[10:00:00.000] [S] [Info] t"));
  // Both identifiers lead to the one implementation.
  EXPECT_EQ(line.As<IOTACustomMessage>().get(), static_cast<IOTACustomMessage*>(line.get()));
}

TEST_F(IdeServicesTest, ThePictureOfAGroupShowsEveryLineOnTheViewsBackground) {
  Theming().SetActiveTheme(Text(u"Dark"));
  ComPtr<IOTAMessageServices> view = Get<IOTAMessageServices>();
  ComPtr<IOTAMessageGroup> group;
  view->AddMessageGroup(group, Text(u"Qorb"));
  view->AddCustomMessage(Make<TBlockMessage>(clLime).get(), group.get());
  view->AddTitleMessage(Text(u"plain"), group.get());
  view->AddCustomMessage(Make<TBlockMessage>(clFuchsia).get(), group.get());
  TBitmap picture;
  PaintMessageGroup(Ide(), *View().FindGroup(u"Qorb"), picture);
  EXPECT_EQ(CountPixels(picture, clLime), 300);
  EXPECT_EQ(CountPixels(picture, clFuchsia), 300);
  const TColor background = Theming().ActiveStyle().GetSystemColor(clWindow);
  EXPECT_EQ(CountPixels(picture, background) + 600 < picture.Width() * picture.Height(), true);
  EXPECT_GT(CountPixels(picture, background), picture.Width() * picture.Height() / 2);
}

TEST_F(IdeServicesTest, TheQorbGroupAsQorbIdePrintsItAndTheThemeSwitch) {
  EXPECT_EQ(FormatQorbMessages(Ide()), "");
  LogWarning(Text(u"Loader"), Text(u"two\r\nlines"));
  LogInfo(Text(u""), Text(u""));
  Pump();
  const std::string text = FormatQorbMessages(Ide());
  ASSERT_EQ(text.rfind("Messages (Qorb):\n  [", 0), 0u) << text;
  EXPECT_NE(text.find("] [Loader] [Warning] two\n    lines\n  ["), std::string::npos) << text;
  EXPECT_NE(text.find("] [] [Info] \n"), std::string::npos) << text;

  EXPECT_TRUE(SetIDETheme(Ide(), "dark"));
  EXPECT_EQ(Theming().ActiveStyle().Name(), u"Dark");
  EXPECT_TRUE(SetIDETheme(Ide(), "off"));
  EXPECT_FALSE(Get<IOTAIDEThemingServices>()->GetIDEThemingEnabled());
  EXPECT_TRUE(SetIDETheme(Ide(), "light"));
  EXPECT_TRUE(Get<IOTAIDEThemingServices>()->GetIDEThemingEnabled());
  EXPECT_FALSE(SetIDETheme(Ide(), "blue"));
}
