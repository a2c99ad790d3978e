#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Pixels.h"
#include "vcl/Forms.h"
#include "vcl/ListBox.h"
#include "winapi/SysColors.h"

namespace {

struct DrawCall {
  TWinControl* control;
  int index;
  TRect rect;
  TOwnerDrawState state;
};

// Records the rows it is asked to draw and paints each one in its own shade,
// through the list box's canvas, as an owner-draw handler does.
struct RowPainter {
  std::vector<DrawCall> calls;
  void DrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State) {
    calls.push_back({Control, Index, Rect, State});
    TCanvas* canvas = static_cast<TListBox*>(Control)->Canvas();
    canvas->Brush()->SetColor(ColorOf(static_cast<uint32_t>(Index * 20)));  // shades of red
    canvas->FillRect(Rect);
  }
};

struct VirtualList : NoGdiLeaks {
  TForm form{nullptr};
  TListBox* list = new TListBox(&form);
  RowPainter painter;

  void SetUp() override {
    NoGdiLeaks::SetUp();
    list->SetParent(&form);
    list->SetStyle(lbVirtualOwnerDraw);
    list->SetItemHeight(44);
    list->SetBounds(0, 0, 420, 150);
    list->OnDrawItem = BindMethod<&RowPainter::DrawItem>(&painter);
  }
};

TEST_F(VirtualList, PaintAsksForEachVisibleRowWithItsRectangle) {
  list->SetCount(5);
  list->SetItemIndex(1);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(440, 180);
  TCanvas canvas(target);
  list->PaintTo(canvas, 10, 20);

  // 150 pixels show rows 0 to 3; the fourth is cut by the list's bottom.
  ASSERT_EQ(painter.calls.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(painter.calls[i].control, list);
    EXPECT_EQ(painter.calls[i].index, i);
    EXPECT_EQ(painter.calls[i].rect, Rect(0, 44 * i, 420, 44 * i + 44));  // client coordinates
    EXPECT_EQ(painter.calls[i].state.Contains(odSelected), i == 1);
  }
  // Rows land where the list was painted, and not beyond it.
  EXPECT_EQ(PixelAt(target, 10, 20), (Bgra{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(target, 429, 20 + 44 + 43), (Bgra{0, 0, 20, 255}));
  EXPECT_EQ(PixelAt(target, 10, 20 + 149), (Bgra{0, 0, 60, 255}));
  EXPECT_EQ(PixelAt(target, 10, 20 + 150), (Bgra{0, 0, 0, 255}));  // untouched
  EXPECT_EQ(PixelAt(target, 430, 20), (Bgra{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(target, 9, 30), (Bgra{0, 0, 0, 255}));

  painter.calls.clear();
  list->SetTopIndex(3);
  list->PaintTo(canvas, 0, 0);
  ASSERT_EQ(painter.calls.size(), 2u);
  EXPECT_EQ(painter.calls[0].index, 3);
  EXPECT_EQ(painter.calls[0].rect, Rect(0, 0, 420, 44));
}

TEST_F(VirtualList, AnEmptyListPaintsItsBackgroundOnly) {
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(420, 150);
  TCanvas canvas(target);
  list->PaintTo(canvas, 0, 0);
  EXPECT_TRUE(painter.calls.empty());
  EXPECT_EQ(PixelAt(target, 200, 100), (Bgra{255, 255, 255, 255}));  // clWindow
}

TEST_F(VirtualList, ItemsReadAsEmptyEntriesAndRefuseChanges) {
  list->SetCount(3);
  EXPECT_EQ(list->Items()->Count(), 3);
  EXPECT_TRUE(list->Items()->Strings(2).IsEmpty());
  EXPECT_THROW(list->Items()->Strings(3), EListError);
  EXPECT_THROW(list->Items()->Add(u"x"), EInvalidOperation);
  EXPECT_THROW(list->Items()->SetStrings(0, u"x"), EInvalidOperation);
  list->SetItemIndex(2);
  list->SetCount(2);
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetCount(-4);
  EXPECT_EQ(list->Count(), 0);

  list->SetStyle(lbStandard);
  EXPECT_THROW(list->SetCount(3), EInvalidOperation);
}

TEST(StandardList, ItemsHoldTheEntriesAndTheSelectionFollowsThem) {
  TForm form(nullptr);
  auto* list = new TListBox(&form);
  list->Items()->SetText(u"Alpha\r\nBeta\nGamma\r\n");
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Items()->IndexOf(u"beta"), 1);
  EXPECT_EQ(list->Items()->IndexOf(u"Delta"), -1);
  list->SetItemIndex(2);
  list->Items()->SetStrings(2, u"Gamma 2");
  EXPECT_EQ(list->ItemIndex(), 2);
  list->Items()->Delete(0);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->Items()->Delete(1);
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(7);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(list->Items()->Text(), u"Beta\r\n");

  TStringList copy;
  copy.Assign(*list->Items());
  copy.Insert(0, u"First");
  EXPECT_THROW(copy.Insert(3, u"x"), EListError);
  EXPECT_THROW(copy.Delete(-1), EListError);
  EXPECT_EQ(copy.Text(), u"First\r\nBeta\r\n");
  copy.SetText(u"");
  EXPECT_EQ(copy.Count(), 0);
  copy.SetText(u"a\r\rb");
  EXPECT_EQ(copy.Count(), 3);  // an empty line between
}

TEST(StandardList, WithoutAHandlerRowsShowTheirTextAndTheSelection) {
  TForm form(nullptr);
  auto* list = new TListBox(&form);
  list->SetBounds(0, 0, 100, 40);
  list->SetItemHeight(20);
  list->Items()->Add(u"Wide entry");
  list->Items()->Add(u"Second");
  list->SetItemIndex(1);
  list->SetStyle(lbOwnerDrawFixed);  // owner-draw without OnDrawItem draws like a plain list
  auto target = std::make_unique<TBitmap>();
  target->SetPixelFormat(pf24bit);
  target->SetSize(100, 40);
  TCanvas canvas(*target);
  list->PaintTo(canvas, 0, 0);
  const DWORD hl = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(PixelAt(*target, 99, 39), (Bgra{uint8_t(hl >> 16), uint8_t(hl >> 8), uint8_t(hl), 255}));
  EXPECT_EQ(PixelAt(*target, 99, 0), (Bgra{255, 255, 255, 255}));
  int dark = 0;
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 20; ++y) dark += PixelAt(*target, x, y).g < 128;
  EXPECT_GT(dark, 10) << "the first entry's text is drawn";
}

}  // namespace
