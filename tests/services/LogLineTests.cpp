// Log lines as the IDE's message view calls and draws them, theme colours,
// and the "Qorb" group as qorb-ide prints and draws it.
#include <gtest/gtest.h>

#include "workbench/pictures/MessageViewPicture.h"
#include "workbench/MessageViewReport.h"
#include "ide/UIServices.h"
#include "otahelper/Qorb.Main.Theming.h"
#include "tests/services/ServicesFixture.h"
#include "tests/toolsapi/RawSlot.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "winapi/SysColors.h"

namespace {

ComPtr<TQorbLogMessage> At(TDateTime time, const char16_t* source, const char16_t* text, TQorbLogLevel level) {
  return TQorbLogMessage::Create(UnicodeString(source), UnicodeString(text), level, EncodeDate(2024, 3, 9) + time);
}

TColor ColorOf(TQorbLogLevel level) { return At(0, u"S", u"t", level)->LevelColor(); }

// A message's line, asked as the IDE asks: the stale result is released and replaced.
UnicodeString Line(int h, int m, int s, int ms, const char16_t* source, const char16_t* text, int level) {
  ComPtr<TQorbLogMessage> line = At(EncodeTime(h, m, s, ms), source, text, static_cast<TQorbLogLevel>(level));
  void* p = static_cast<INTACustomDrawMessage*>(line.get());
  UnicodeString r(u"stale");
  RawSlot<void (*)(void*, char16_t**)>(p, 6)(p, reinterpret_cast<char16_t**>(&r));
  return r;
}

int CountPixels(const TBitmap& b, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (const uint8_t* p = b.ScanLine(y); p < b.ScanLine(y) + 4 * b.Width(); p += 4)
      n += p[0] == ((c >> 16) & 0xFF) && p[1] == ((c >> 8) & 0xFF) && p[2] == (c & 0xFF);
  return n;
}

}  // namespace

TEST(LogLine, TimeSourceLevelAndTextInBracketsThroughTheIDEsSlots) {
  EXPECT_EQ(Line(9, 5, 3, 42, u"Loader", u"slow start", qllWarning), u"[09:05:03.042] [Loader] [Warning] slow start");
  EXPECT_EQ(Line(21, 0, 0, 500, u"S", u"t", qllDebug), u"[21:00:00.500] [S] [Debug] t");
  EXPECT_EQ(Line(23, 59, 59, 999, u"", u"", qllInfo), u"[23:59:59.999] [] [Info] ");  // brackets and blank stay
  EXPECT_EQ(Line(1, 2, 3, 4, u"S", u"t", 4), u"[01:02:03.004] [S] [Info] t");         // 4 or more: Info
  // Nothing is escaped, cut or split.
  EXPECT_EQ(Line(1, 2, 3, 4, u"a%sb", u"one\r\ntwo [x]", qllInfo), u"[01:02:03.004] [a%sb] [Info] one\r\ntwo [x]");

  const TDateTime before = Now() - EncodeTime(0, 0, 0, 1);
  ComPtr<TQorbLogMessage> m = TQorbLogMessage::Create(Text(u"S"), Text(u"a long line"), qllInfo);
  EXPECT_TRUE(m->Timestamp() >= before && m->Timestamp() <= Now() + EncodeTime(0, 0, 0, 1));  // made now, local
  void* p = static_cast<INTACustomDrawMessage*>(m.get());
  TCanvas canvas;
  TRect r{5, 5, 5, 5};
  RawSlot<void (*)(void*, TRect*, TCanvas*, int32_t, bool)>(p, 9)(p, &r, &canvas, 10, true);  // MaxWidth ignored
  UnicodeString text;
  m->GetLineText(text);
  EXPECT_EQ(r, (TRect{0, 0, canvas.TextWidth(text), canvas.TextHeight(u"Wp")}));
  using M = IOTAMessageServices;
  EXPECT_EQ(
      (std::vector<int>{SlotOf(&M::AddMessageGroup), SlotOf(&M::AddCustomMessage), SlotOf(&M::GetGroup),
                        SlotOf(&IOTAIDEThemingServices::GetIDEThemingEnabled),
                        SlotOf(&IOTAIDEThemingServices::GetStyleServices), SlotOf(&INTAIDEUIServices::GetIDEColor)}),
      (std::vector<int>{13, 14, 21, 7, 9, 3}));  // the slots by which the host calls the IDE
}

using ThemeTest = ServicesTest;

TEST_F(ThemeTest, SystemAndLevelColoursFollowTheActiveStyleAndFallBackWithoutTheming) {
  for (const char16_t* theme : {u"Light", u"Dark"}) {  // not cached: a switch shows at the next call
    ASSERT_TRUE(Theming().SetActiveTheme(UnicodeString(theme)));
    const TIDEStyle& style = Theming().ActiveStyle();
    EXPECT_EQ(QorbThemeColor(clWindow), style.GetSystemColor(clWindow));
    EXPECT_EQ(QorbThemeColor(clWindow, clDefault), QorbThemeColor(clWindow));  // the fallback plays no part
    EXPECT_EQ(ColorOf(qllDebug), style.GetSystemColor(clGrayText));
    EXPECT_EQ(ColorOf(qllInfo), style.GetSystemColor(clWindowText));
    EXPECT_EQ(ColorOf(static_cast<TQorbLogLevel>(4)), style.GetSystemColor(clWindowText));
    EXPECT_EQ(ColorOf(qllWarning), style.IdeColor(icWarningText));
    EXPECT_EQ(ColorOf(qllError), style.IdeColor(icErrorText));
    // Controls that ask for a system colour paint in the style too.
    EXPECT_EQ(ColorToRGB(clWindow), style.GetSystemColor(clWindow));
  }
  EXPECT_NE(QorbThemeColor(clWindow), clWindow);
  EXPECT_NE(ColorOf(qllWarning), ColorOf(qllError));
  EXPECT_EQ(QorbThemeColor(clRed, clBlue), clRed);  // plain colours pass
  ASSERT_TRUE(ide.Services().SetEnabled(INTAIDEUIServices::IID, false));
  EXPECT_EQ(ColorOf(qllError), QorbThemeColor(clWindowText));  // without UI services: the window text
  Theming().SetThemingEnabled(false);                          // theming off: the colour itself, or the fallback
  EXPECT_EQ(ColorOf(qllError), clWindowText);
  EXPECT_EQ(QorbThemeColor(clWindow), clWindow);
  EXPECT_EQ(QorbThemeColor(clWindow, clDefault), clDefault);
  EXPECT_EQ(ColorToRGB(clWindow), static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
  Theming().SetThemingEnabled(true);
  ASSERT_TRUE(ide.Services().SetEnabled(IOTAIDEThemingServices::IID, false));
  EXPECT_EQ(QorbThemeColor(clWindow, clDefault), clDefault);
  BorlandIDEServices.reset();  // outside the IDE
  EXPECT_EQ(QorbThemeColor(clWindow), clWindow);
  EXPECT_EQ(QorbThemeColor(clWindow, clDefault), clDefault);
}

TEST_F(ThemeTest, QorbIdePrintsAndDrawsTheQorbGroupInTheLevelsColours) {
  LogWarning(UnicodeString(u"Loader"), UnicodeString(u"two\r\nlines"));
  LogError(UnicodeString(u""), UnicodeString(u""));
  Pump();
  const std::string text = FormatQorbMessages(ide);
  EXPECT_EQ(text.rfind("Messages (Qorb):\n  [", 0), 0u) << text;
  EXPECT_NE(text.find("] [Loader] [Warning] two\n    lines\n  ["), std::string::npos) << text;
  EXPECT_NE(text.find("] [] [Error] \n"), std::string::npos) << text;

  EXPECT_TRUE(SetIDETheme(ide, "dark"));
  TBitmap picture;
  PaintMessageGroup(ide, *View().FindGroup(u"Qorb"), picture);
  EXPECT_GT(CountPixels(picture, ColorOf(qllWarning)), 0);
  EXPECT_GT(CountPixels(picture, ColorOf(qllError)), 0);
  EXPECT_GT(CountPixels(picture, Theming().ActiveStyle().GetSystemColor(clWindow)),
            picture.Width() * picture.Height() / 2);
  EXPECT_TRUE(SetIDETheme(ide, "off"));
  EXPECT_FALSE(Theming().GetIDEThemingEnabled());
}
