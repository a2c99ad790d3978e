#include <gtest/gtest.h>

#include <vector>

#include "Pixels.h"
#include "vcl/Forms.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"

namespace {

template <class T>
T* Place(TWinControl* parent, TComponent* owner, TAlign align = alNone) {
  auto* c = new T(owner);
  c->SetAlign(align);
  c->SetParent(parent);
  return c;
}

// A frame as the host builds them: owned by something outside any form.
struct FrameOnItsOwn : ::testing::Test {
  TComponent owner{nullptr};
  TFrame* frame = new TFrame(&owner);
  TListBox* list = Place<TListBox>(frame, frame);
  TPanel* panel = Place<TPanel>(frame, frame);
  TListBox* nested = Place<TListBox>(panel, frame);
};

TEST_F(FrameOnItsOwn, WindowsExistOnlyWhileTheControlSitsOnAFormOrAForeignWindow) {
  EXPECT_FALSE(frame->HandleAllocated());
  EXPECT_THROW(nested->HandleNeeded(), EInvalidOperation);
  {
    TForm form(nullptr);
    frame->SetParent(&form);
    for (TWinControl* c : std::initializer_list<TWinControl*>{&form, frame, list, panel, nested})
      EXPECT_TRUE(c->HandleAllocated()) << c->ClassName().ToUtf8();
    const HWND nestedWnd = nested->Handle();
    frame->SetParent(nullptr);  // takes the windows away, the nested ones too
    EXPECT_FALSE(nested->HandleAllocated());
    EXPECT_FALSE(IsWindow(nestedWnd));

    // A window of the IDE's own is parent enough; a control placed on a
    // parent with a window gets one at once.
    frame->SetParentWindow(form.Handle());
    EXPECT_TRUE(nested->HandleAllocated());
    nested->SetParent(nullptr);
    EXPECT_THROW(nested->Handle(), EInvalidOperation);
    nested->SetParent(list);  // any windowed control can hold children
    EXPECT_TRUE(nested->HandleAllocated());
    frame->SetParentWindow(nullptr);
    EXPECT_FALSE(nested->HandleAllocated());
    frame->SetParent(&form);
  }  // the form frees the frame and everything on it, whoever owns them
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(LiveWindowCount(), 0);
}

TEST_F(FrameOnItsOwn, ParentAndOwnerCanBeFreedInEitherOrder) {
  Place<TLabel>(panel, &owner);  // owned outside, placed inside
  panel->Free();                 // frees the nested list and the label
  EXPECT_EQ(frame->ControlCount(), 1);
  EXPECT_EQ(owner.ComponentCount(), 1);
  auto* other = new TPanel(&owner);
  list->SetParent(other);
  frame->Free();  // owns the list, which leaves its parent elsewhere
  EXPECT_EQ(other->ControlCount(), 0);
  EXPECT_THROW(other->SetParent(other), EInvalidOperation);
}

TEST(Control, ChildrenShareTheClientAreaByAlignmentAndTakeTheParentFont) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 420, 300);
  form.Font()->SetHeight(-15);
  auto* top = Place<TPanel>(&form, &form, alTop);
  top->SetHeight(41);
  auto* bottom = Place<TPanel>(&form, &form, alBottom);
  bottom->SetHeight(20);
  bottom->SetBevelOuter(bvNone);
  auto* client = Place<TListBox>(&form, &form, alClient);
  auto* label = Place<TLabel>(bottom, &form, alClient);
  label->SetAutoSize(false);
  label->SetAlignWithMargins(true);
  label->Margins()->SetBounds(8, 3, 3, 3);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 420, 41));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 280, 420, 300));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 41, 420, 280));
  EXPECT_EQ(label->BoundsRect(), Rect(8, 3, 417, 17));
  // Hiding gives the space to the client; a bevel takes room from children.
  top->Hide();
  form.SetBounds(0, 0, 500, 400);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 500, 380));
  bottom->SetBevelOuter(bvRaised);
  EXPECT_EQ(label->BoundsRect(), Rect(9, 4, 496, 16));

  EXPECT_EQ(label->Font()->Height(), -15);
  form.Font()->SetHeight(-20);
  EXPECT_EQ(label->Font()->Height(), -20);
  label->Font()->SetColor(clGrayText);  // from now on its own
  form.Font()->SetHeight(-9);
  EXPECT_EQ(label->Font()->Height(), -20);
  EXPECT_EQ(bottom->Font()->Height(), -9);
}

using ControlPainting = NoGdiLeaks;

TEST_F(ControlPainting, BackgroundThenWindowlessChildrenThenWindowedOnesCutAtTheEdge) {
  const uint32_t backdrop = 0xFF030201, lime = 0xFF00FF00, red = 0xFFFF0000;
  auto target = MakeBitmap(100, 40, pf24bit, backdrop);
  TCanvas canvas(*target);
  TComponent owner(nullptr);
  auto* frame = new TFrame(&owner);
  frame->SetBounds(0, 0, 80, 30);
  auto* label = Place<TLabel>(frame, frame);
  label->SetAutoSize(false);
  label->SetBounds(0, 5, 80, 10);
  label->SetColor(clLime);
  auto* panel = Place<TPanel>(frame, frame);
  panel->SetBounds(70, 0, 30, 30);  // reaches past the frame's right edge
  panel->SetParentBackground(false);
  panel->SetColor(clRed);
  panel->SetBevelOuter(bvNone);

  frame->PaintTo(canvas, 10, 5);  // a frame shows its parent's background until told otherwise
  EXPECT_EQ(PixelAt(*target, 10, 12), lime);
  EXPECT_EQ(PixelAt(*target, 10, 25), backdrop);
  EXPECT_EQ(PixelAt(*target, 85, 12), red);       // the panel over the label
  EXPECT_EQ(PixelAt(*target, 90, 12), backdrop);  // cut at the frame's edge
  frame->SetParentBackground(false);
  frame->SetColor(clWhite);
  label->Hide();
  frame->PaintTo(canvas, 10, 5);
  EXPECT_EQ(PixelAt(*target, 10, 25), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(*target, 10, 12), 0xFFFFFFFFu);  // the hidden label is not drawn
  EXPECT_THROW(frame->PaintTo(nullptr, 0, 0), EInvalidOperation);
}

// Records the rows it is asked to draw and fills each through the list's
// canvas in its own shade of red, as an owner-draw handler does.
struct RowPainter {
  std::vector<std::pair<int, TRect>> rows;
  std::vector<int> selected;
  void DrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State) {
    rows.emplace_back(Index, Rect);
    if (State.Contains(odSelected)) selected.push_back(Index);
    static_cast<TListBox*>(Control)->Canvas()->Brush()->SetColor(ColorOf(static_cast<uint32_t>(Index * 20)));
    static_cast<TListBox*>(Control)->Canvas()->FillRect(Rect);
  }
};

TEST_F(ControlPainting, VirtualListAsksForEachVisibleRowWithItsRectangleBesideItsScrollBar) {
  TForm form{nullptr};
  auto* list = Place<TListBox>(&form, &form);
  list->SetStyle(lbVirtualOwnerDraw);
  list->SetItemHeight(44);
  list->SetBounds(0, 0, 420, 150);
  RowPainter painter;
  list->OnDrawItem = BindMethod<&RowPainter::DrawItem>(&painter);
  list->SetCount(3);
  EXPECT_FALSE(list->ShowsScrollBar());  // 132 pixels of rows fit
  EXPECT_EQ(list->ItemRect(2), Rect(0, 88, 420, 132));
  list->SetCount(5);
  list->SetItemIndex(1);
  ASSERT_TRUE(list->ShowsScrollBar());
  auto target = MakeBitmap(440, 180, pf24bit, 0xFF000000);
  TCanvas canvas(*target);
  list->PaintTo(canvas, 10, 20);
  // 150 pixels show rows 0 to 3, the fourth cut by the list's bottom; each
  // asked for in client coordinates, left of the 17-pixel scroll bar, and
  // drawn where the list was painted.
  ASSERT_EQ(painter.rows.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(painter.rows[i], std::make_pair(i, Rect(0, 44 * i, 403, 44 * i + 44)));
  EXPECT_EQ(painter.selected, std::vector<int>{1});
  EXPECT_EQ(PixelAt(*target, 10 + 402, 20 + 44 + 43), 0xFF140000u);
  EXPECT_EQ(PixelAt(*target, 10, 20 + 149), 0xFF3C0000u);
  for (TPoint outside : {Point(10, 170), Point(430, 20), Point(9, 30)})
    EXPECT_EQ(PixelAt(*target, outside.X, outside.Y), 0xFF000000u);
  // The bar: arrow buttons of 17 pixels at both ends, and a thumb over 3 of
  // the 5 rows (69 of the 116 track pixels) at the top of the track.
  const uint32_t track = 0xFFF0F0F0, thumb = 0xFFCDCDCD, arrow = 0xFF606060;
  auto barAt = [&](int y) { return PixelAt(*target, 10 + 410, 20 + y); };
  EXPECT_EQ(barAt(1), track);
  EXPECT_EQ(barAt(7), arrow);
  EXPECT_EQ(PixelAt(*target, 10 + 403, 20 + 40), track);  // the thumb keeps a pixel from either edge
  EXPECT_EQ(barAt(17), thumb);
  EXPECT_EQ(barAt(17 + 68), thumb);
  EXPECT_EQ(barAt(17 + 69), track);
  EXPECT_EQ(barAt(149 - 8), arrow);

  painter.rows.clear();
  list->SetTopIndex(3);
  list->PaintTo(canvas, 10, 20);
  EXPECT_EQ(painter.rows, (std::vector<std::pair<int, TRect>>{{3, Rect(0, 0, 403, 44)}, {4, Rect(0, 44, 403, 88)}}));
  // Scrolled to the end: the thumb sits at the bottom of the track.
  EXPECT_EQ(barAt(17 + 46), track);
  EXPECT_EQ(barAt(17 + 47), thumb);
  EXPECT_EQ(barAt(150 - 18), thumb);
  // Beside a dark list, the dark bar.
  list->SetColor(ColorOf(0x202020));
  list->PaintTo(canvas, 10, 20);
  EXPECT_EQ(barAt(1), 0xFF171717u);
  EXPECT_EQ(barAt(17 + 47), 0xFF4D4D4Du);
}

}  // namespace
