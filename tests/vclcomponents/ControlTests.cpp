#include <gtest/gtest.h>

#include <memory>

#include "Pixels.h"
#include "vcl/Forms.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"

namespace {

// A frame as the host builds them: owned by something outside any form.
struct FrameOnItsOwn : ::testing::Test {
  TComponent owner{nullptr};
  TFrame* frame = new TFrame(&owner);
  TListBox* list = new TListBox(frame);
  TPanel* panel = new TPanel(frame);
  TListBox* nested = new TListBox(frame);

  void SetUp() override {
    list->SetParent(frame);
    panel->SetParent(frame);
    nested->SetParent(panel);
  }
};

TEST_F(FrameOnItsOwn, WindowsExistOnlyWhileTheControlSitsOnAFormOrAForeignWindow) {
  EXPECT_FALSE(frame->HandleAllocated());
  EXPECT_FALSE(list->HandleAllocated());
  EXPECT_FALSE(nested->HandleAllocated());
  EXPECT_THROW(nested->HandleNeeded(), EInvalidOperation);
  EXPECT_FALSE(nested->HandleAllocated());

  {
    TForm form(nullptr);
    EXPECT_TRUE(form.HandleAllocated());
    EXPECT_FALSE(form.Visible());
    frame->SetParent(&form);
    for (TWinControl* c : {static_cast<TWinControl*>(frame), static_cast<TWinControl*>(list),
                           static_cast<TWinControl*>(panel), static_cast<TWinControl*>(nested)})
      EXPECT_TRUE(c->HandleAllocated()) << c->ClassName().ToUtf8();
    EXPECT_TRUE(IsWindow(nested->Handle()));
    EXPECT_NE(nested->Handle(), list->Handle());

    // Leaving the form takes the windows away, the nested ones first.
    const HWND nestedWnd = nested->Handle();
    frame->SetParent(nullptr);
    EXPECT_FALSE(frame->HandleAllocated());
    EXPECT_FALSE(nested->HandleAllocated());
    EXPECT_FALSE(IsWindow(nestedWnd));

    // A control added to a parent that has a window gets one at once.
    frame->SetParent(&form);
    auto* late = new TListBox(frame);
    EXPECT_FALSE(late->HandleAllocated());
    late->SetParent(panel);
    EXPECT_TRUE(late->HandleAllocated());
  }  // the form frees the frame and everything on it, whoever owns them
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(LiveWindowCount(), 0);
}

TEST_F(FrameOnItsOwn, AForeignParentWindowIsEnoughAndHandleNeededWorksThroughIt) {
  TForm host(nullptr);  // stands in for a window of the IDE's own
  frame->SetParentWindow(host.Handle());
  EXPECT_TRUE(frame->HandleAllocated());
  EXPECT_TRUE(nested->HandleAllocated());
  frame->SetParentWindow(nullptr);
  EXPECT_FALSE(list->HandleAllocated());

  frame->SetParentWindow(host.Handle());
  nested->SetParent(nullptr);
  EXPECT_FALSE(nested->HandleAllocated());
  EXPECT_THROW(nested->Handle(), EInvalidOperation);
  nested->SetParent(list);  // any windowed control can hold children
  EXPECT_TRUE(nested->HandleAllocated());
  frame->SetParentWindow(nullptr);
  EXPECT_FALSE(nested->HandleAllocated());
}

TEST_F(FrameOnItsOwn, ParentAndOwnerCanBeFreedInEitherOrder) {
  auto* label = new TLabel(&owner);  // owned outside, placed inside
  label->SetParent(panel);
  panel->Free();  // frees the nested list and the label
  EXPECT_EQ(frame->ControlCount(), 1);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(frame->ComponentCount(), 1);

  auto* other = new TPanel(&owner);
  list->SetParent(other);
  frame->Free();  // owns the list, which leaves its parent elsewhere
  EXPECT_EQ(other->ControlCount(), 0);
  EXPECT_THROW(other->SetParent(other), EInvalidOperation);
}

TEST(ControlLayout, AlignedChildrenShareTheClientAreaInEdgeOrder) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 420, 300);
  auto* top = new TPanel(&form);
  top->SetHeight(41);
  top->SetAlign(alTop);
  top->SetParent(&form);
  auto* bottom = new TPanel(&form);
  bottom->SetHeight(20);
  bottom->SetAlign(alBottom);
  bottom->SetParent(&form);
  auto* client = new TListBox(&form);
  client->SetAlign(alClient);
  client->SetParent(&form);
  auto* label = new TLabel(&form);
  label->SetAutoSize(false);
  label->SetAlign(alClient);
  label->SetAlignWithMargins(true);
  label->Margins()->SetBounds(8, 3, 3, 3);
  label->SetParent(bottom);
  bottom->SetBevelOuter(bvNone);

  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 420, 41));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 280, 420, 300));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 41, 420, 280));
  EXPECT_EQ(label->BoundsRect(), Rect(8, 3, 417, 17));

  // Hiding a panel gives its space to the client; resizing re-lays it all.
  top->Hide();
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 420, 280));
  form.SetBounds(0, 0, 500, 400);
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 380, 500, 400));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 500, 380));
  EXPECT_EQ(label->BoundsRect(), Rect(8, 3, 497, 17));

  // A bevel takes room from the children; an unaligned child stays put
  // unless it is anchored to the edge that moved.
  bottom->SetBevelOuter(bvRaised);
  EXPECT_EQ(label->BoundsRect(), Rect(9, 4, 496, 16));
  auto* version = new TLabel(&form);
  version->SetParent(&form);
  version->SetAutoSize(false);
  version->SetBounds(464, 0, 30, 15);
  version->SetAnchors({akTop, akRight});
  auto* fixed = new TLabel(&form);
  fixed->SetParent(&form);
  fixed->SetBounds(5, 5, 30, 15);
  form.SetBounds(0, 0, 450, 400);
  EXPECT_EQ(version->BoundsRect(), Rect(414, 0, 444, 15));
  EXPECT_EQ(fixed->BoundsRect(), Rect(5, 5, 35, 20));
}

TEST(ControlAppearance, ColourAndFontFollowTheParentUntilSetThemselves) {
  TForm form(nullptr);
  form.SetColor(clWindow);
  form.Font()->SetName(u"Segoe UI");
  form.Font()->SetHeight(-15);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* label = new TLabel(&form);
  label->SetParent(panel);
  EXPECT_EQ(panel->Color(), clBtnFace);  // panels have their own colour
  EXPECT_EQ(label->Color(), clBtnFace);
  EXPECT_EQ(label->Font()->Height(), -15);
  EXPECT_TRUE(label->ParentFont());

  form.Font()->SetHeight(-20);
  EXPECT_EQ(label->Font()->Height(), -20);
  label->Font()->SetColor(clGrayText);
  EXPECT_FALSE(label->ParentFont());
  form.Font()->SetHeight(-9);
  EXPECT_EQ(label->Font()->Height(), -20);
  EXPECT_EQ(panel->Font()->Height(), -9);

  // An auto-sized label measures its caption with its own font.
  label->SetCaption(u"QORB Delphi Tool Suite");
  const int oneLine = label->Height();
  EXPECT_GT(label->Width(), 100);
  label->SetCaption(u"QORB\r\nSuite");
  EXPECT_EQ(label->Height(), 2 * oneLine);
  label->SetAutoSize(false);
  label->SetCaption(u"x");
  EXPECT_EQ(label->Height(), 2 * oneLine);
}

// A caption strip: the window painting of the frame draws a band after the
// background, and the windowless label lands on top of it.
class TStripFrame : public TFrame {
 public:
  using TFrame::TFrame;
  int paints = 0;

 protected:
  void PaintWindow(HDC DC) override {
    TFrame::PaintWindow(DC);
    ++paints;
    TCanvas canvas;
    TCanvasHandleScope scope(canvas, DC);
    canvas.Brush()->SetColor(clNavy);
    canvas.FillRect(Rect(0, 0, ClientWidth(), 10));
  }
};

TEST(ControlPainting, BackgroundThenWindowThenWindowlessChildrenThenWindowedOnes) {
  auto target = std::make_unique<TBitmap>();
  target->SetPixelFormat(pf24bit);
  target->SetSize(100, 40);
  FillPixels(*target, Bgra{1, 2, 3, 255});
  TCanvas canvas(*target);

  TComponent owner(nullptr);
  auto* frame = new TStripFrame(&owner);
  frame->SetBounds(0, 0, 80, 30);
  auto* label = new TLabel(frame);
  label->SetParent(frame);
  label->SetAutoSize(false);
  label->SetBounds(0, 5, 80, 10);
  label->SetColor(clLime);
  auto* panel = new TPanel(frame);
  panel->SetParent(frame);
  panel->SetBounds(70, 0, 30, 30);  // reaches past the frame's right edge
  panel->SetParentBackground(false);
  panel->SetColor(clRed);
  panel->SetBevelOuter(bvNone);

  // A frame shows its parent's background until told otherwise.
  frame->PaintTo(canvas, 10, 5);
  EXPECT_EQ(frame->paints, 1);
  EXPECT_EQ(PixelAt(*target, 10, 5), (Bgra{0x80, 0, 0, 255}));    // the strip
  EXPECT_EQ(PixelAt(*target, 10, 12), (Bgra{0, 255, 0, 255}));    // the label over it
  EXPECT_EQ(PixelAt(*target, 10, 25), (Bgra{1, 2, 3, 255}));      // no background
  EXPECT_EQ(PixelAt(*target, 85, 12), (Bgra{0, 0, 255, 255}));    // the panel over the label
  EXPECT_EQ(PixelAt(*target, 90, 12), (Bgra{1, 2, 3, 255}));      // cut at the frame's edge
  frame->SetParentBackground(false);
  frame->SetColor(clWhite);
  label->SetTransparent(true);
  label->Hide();
  frame->PaintTo(canvas, 10, 5);
  EXPECT_EQ(PixelAt(*target, 10, 25), (Bgra{255, 255, 255, 255}));
  EXPECT_EQ(PixelAt(*target, 10, 12), (Bgra{0x80, 0, 0, 255}));  // the hidden label is not drawn
  EXPECT_THROW(frame->PaintTo(nullptr, 0, 0), EInvalidOperation);
}

}  // namespace
