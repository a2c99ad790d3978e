#include <gtest/gtest.h>

#include "ide/ThemingServices.h"
#include "ide/UIServices.h"
#include "otahelper/Qorb.Main.Theming.h"
#include "tests/services/ServicesFixture.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"

namespace {

UnicodeString Text(const char16_t* s) { return UnicodeString(s); }

UnicodeString LineOf(TQorbLogMessage& m) {
  UnicodeString r(u"stale");  // the result variable is replaced, not appended to
  m.GetLineText(r);
  return r;
}

ComPtr<TQorbLogMessage> At(TDateTime time, const char16_t* source, const char16_t* text, TQorbLogLevel level) {
  return TQorbLogMessage::Create(Text(source), Text(text), level, EncodeDate(2024, 3, 9) + time);
}

bool HasPixel(const TBitmap& b, TColor c) {
  const uint8_t r = c & 0xFF, g = (c >> 8) & 0xFF, bl = (c >> 16) & 0xFF;
  for (int y = 0; y < b.Height(); ++y) {
    const uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x)
      if (row[4 * x] == bl && row[4 * x + 1] == g && row[4 * x + 2] == r) return true;
  }
  return false;
}

}  // namespace

TEST(LogLine, TimeSourceLevelAndTextInBrackets) {
  EXPECT_EQ(LineOf(*At(EncodeTime(9, 5, 3, 42), u"Loader", u"slow start", qllWarning)),
            u"[09:05:03.042] [Loader] [Warning] slow start");
  EXPECT_EQ(LineOf(*At(EncodeTime(21, 0, 0, 500), u"S", u"t", qllDebug)), u"[21:00:00.500] [S] [Debug] t");
  EXPECT_EQ(LineOf(*At(EncodeTime(0, 0, 0, 0), u"S", u"t", qllError)), u"[00:00:00.000] [S] [Error] t");
  // Empty source and text keep their brackets and the trailing blank.
  EXPECT_EQ(LineOf(*At(EncodeTime(23, 59, 59, 999), u"", u"", qllInfo)), u"[23:59:59.999] [] [Info] ");
  // Levels beyond Error read as Info.
  EXPECT_EQ(LineOf(*At(EncodeTime(1, 2, 3, 4), u"S", u"t", static_cast<TQorbLogLevel>(4))),
            u"[01:02:03.004] [S] [Info] t");
  EXPECT_EQ(LineOf(*At(EncodeTime(1, 2, 3, 4), u"S", u"t", static_cast<TQorbLogLevel>(255))),
            u"[01:02:03.004] [S] [Info] t");
  // Nothing is escaped, cut or split.
  EXPECT_EQ(LineOf(*At(EncodeTime(1, 2, 3, 4), u"a%sb", u"one\r\ntwo\nthree [x]", qllInfo)),
            u"[01:02:03.004] [a%sb] [Info] one\r\ntwo\nthree [x]");
}

TEST(LogLine, StampedWithTheLocalTimeOfItsMaking) {
  const TDateTime before = Now();
  ComPtr<TQorbLogMessage> m = TQorbLogMessage::Create(Text(u"S"), Text(u"t"), qllInfo);
  const TDateTime after = Now();
  const TDateTime ms = EncodeTime(0, 0, 0, 1);
  EXPECT_GE(m->Timestamp(), before - ms);
  EXPECT_LE(m->Timestamp(), after + ms);
  // Made on one thread, read on another: the fields are fixed at creation.
  EXPECT_EQ(m->Source(), u"S");
  EXPECT_EQ(m->Level(), qllInfo);
}

TEST(LogLine, CalcRectMeasuresTheWholeLineWhateverWidthIsOffered) {
  ComPtr<TQorbLogMessage> m = At(EncodeTime(9, 5, 3, 42), u"Loader", u"a rather long line of text", qllInfo);
  TCanvas canvas;
  TRect r{5, 5, 5, 5};
  m->CalcRect(r, &canvas, 10, true);
  EXPECT_EQ(r, (TRect{0, 0, canvas.TextWidth(LineOf(*m)), canvas.TextHeight(u"Wp")}));
  EXPECT_GT(r.Right, 10);
}

class LogLineColorTest : public ServicesTest {
 protected:
  TThemingServices& Theming() { return *Ide().Services().Service<TThemingServices>(); }
  TColor ColorOf(TQorbLogLevel level) { return At(0, u"S", u"t", level)->LevelColor(); }
};

TEST_F(LogLineColorTest, EachLevelTakesItsThemedColour) {
  for (const char16_t* theme : {u"Light", u"Dark"}) {
    Theming().SetActiveTheme(Text(theme));
    const TIDEStyle& style = Theming().ActiveStyle();
    SCOPED_TRACE(Text(theme).ToUtf8());
    EXPECT_EQ(ColorOf(qllDebug), style.GetSystemColor(clGrayText));
    EXPECT_EQ(ColorOf(qllInfo), style.GetSystemColor(clWindowText));
    EXPECT_EQ(ColorOf(static_cast<TQorbLogLevel>(4)), style.GetSystemColor(clWindowText));
    EXPECT_EQ(ColorOf(qllWarning), style.IdeColor(icWarningText));
    EXPECT_EQ(ColorOf(qllError), style.IdeColor(icErrorText));
  }
  EXPECT_NE(ColorOf(qllWarning), ColorOf(qllError));
  EXPECT_NE(ColorOf(qllInfo), ColorOf(qllError));
}

TEST_F(LogLineColorTest, WithoutUIServicesWarningsAndErrorsUseTheWindowText) {
  Theming().SetActiveTheme(Text(u"Dark"));
  ASSERT_TRUE(Ide().Services().SetEnabled(INTAIDEUIServices::IID, false));
  const TColor text = QorbThemeColor(clWindowText);
  EXPECT_EQ(ColorOf(qllWarning), text);
  EXPECT_EQ(ColorOf(qllError), text);
  // Theming off as well: the plain system colour, for the view to resolve.
  Theming().SetThemingEnabled(false);
  EXPECT_EQ(ColorOf(qllError), clWindowText);
  EXPECT_EQ(ColorOf(qllDebug), clGrayText);
}

TEST_F(LogLineColorTest, DrawWritesOverTheViewsBackgroundInTheLevelColour) {
  Theming().SetActiveTheme(Text(u"Dark"));
  const TColor background = clFuchsia;
  ComPtr<TQorbLogMessage> m = At(EncodeTime(9, 5, 3, 42), u"Loader", u"broken", qllError);
  TBitmap bitmap(400, 40);
  TCanvas canvas(bitmap);
  canvas.Brush()->SetColor(background);
  canvas.FillRect(TRect{0, 0, 400, 40});
  // What the view may have left set: a solid white brush, a bold font.
  canvas.Brush()->SetColor(clWhite);
  canvas.Font()->SetStyle(TFontStyles{fsBold, fsItalic});
  canvas.Font()->SetSize(12);
  m->Draw(&canvas, TRect{6, 4, 10, 8}, true);

  EXPECT_TRUE(canvas.Font()->Style().Empty());
  EXPECT_EQ(canvas.Font()->Size(), 12);  // face and size stay the view's
  EXPECT_TRUE(HasPixel(bitmap, m->LevelColor()));
  EXPECT_FALSE(HasPixel(bitmap, clWhite));  // no box was filled
  const uint8_t* top = bitmap.ScanLine(2);
  EXPECT_EQ(top[4 * 3 + 0], 0xFF);  // above and left of Rect: untouched
  EXPECT_EQ(top[4 * 3 + 1], 0x00);
  // The text is not clipped to Rect: it runs far past Right.
  TRect needed;
  m->CalcRect(needed, &canvas, 0, false);
  EXPECT_GT(needed.Right, 100);
}
