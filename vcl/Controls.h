#pragma once
// Controls: components with a place on a parent, a size, alignment and
// paint. Windowed controls hold child controls and get a window once they
// sit, directly or through their parents, on a form or a foreign window.
#include <memory>
#include <vector>

#include "vcl/Canvas.h"
#include "vcl/Classes.h"
#include "vcl/Colors.h"
#include "vcl/Font.h"
#include "vcl/Set.h"
#include "vcl/Types.h"
#include "winapi/WindowMessages.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
// Which parts of a control the IDE's style may paint.
enum TStyleElement { seFont, seClient, seBorder };
using TStyleElements = TSet<TStyleElement>;

class TWinControl;

// Space kept around a control that is aligned with margins.
class TMargins : public TPersistent {
 public:
  int Left() const noexcept { return FLeft; }
  int Top() const noexcept { return FTop; }
  int Right() const noexcept { return FRight; }
  int Bottom() const noexcept { return FBottom; }
  void SetLeft(int V) { Set(FLeft, V); }
  void SetTop(int V) { Set(FTop, V); }
  void SetRight(int V) { Set(FRight, V); }
  void SetBottom(int V) { Set(FBottom, V); }
  void SetBounds(int ALeft, int ATop, int ARight, int ABottom);
  TNotifyEvent OnChange;

 private:
  void Set(int& Field, int Value);
  int FLeft = 3, FTop = 3, FRight = 3, FBottom = 3;
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  // Leaves the parent.
  ~TControl() override;

  TWinControl* Parent() const noexcept { return FParent; }
  // Leaves the old parent's controls and joins the new one's; a windowed
  // control gets or loses its window accordingly. EInvalidOperation when
  // AParent is this control or lies inside it.
  virtual void SetParent(TWinControl* AParent);

  int Left() const noexcept { return FLeft; }
  int Top() const noexcept { return FTop; }
  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  void SetLeft(int V) { SetBounds(V, FTop, FWidth, FHeight); }
  void SetTop(int V) { SetBounds(FLeft, V, FWidth, FHeight); }
  void SetWidth(int V) { SetBounds(FLeft, FTop, V, FHeight); }
  void SetHeight(int V) { SetBounds(FLeft, FTop, FWidth, V); }
  // Negative sizes become 0. Aligned controls are put back in place by
  // their parent's layout.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const noexcept { return Bounds(FLeft, FTop, FWidth, FHeight); }
  // Client coordinates: the whole control, from (0, 0).
  TRect ClientRect() const noexcept { return Rect(0, 0, FWidth, FHeight); }
  int ClientWidth() const noexcept { return FWidth; }
  int ClientHeight() const noexcept { return FHeight; }

  TAlign Align() const noexcept { return FAlign; }
  void SetAlign(TAlign AAlign);
  // Edges whose distance to the parent's edges stays fixed when the parent
  // is resized (controls that are not aligned).
  TAnchors Anchors() const noexcept { return FAnchors; }
  void SetAnchors(TAnchors AAnchors) noexcept { FAnchors = AAnchors; }
  TMargins* Margins() noexcept { return &FMargins; }
  bool AlignWithMargins() const noexcept { return FAlignWithMargins; }
  void SetAlignWithMargins(bool AValue);

  bool Visible() const noexcept { return FVisible; }
  void SetVisible(bool AVisible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all parents.
  bool Showing() const noexcept;

  const UnicodeString& Caption() const noexcept { return FCaption; }
  void SetCaption(const UnicodeString& ACaption);
  const UnicodeString& Hint() const noexcept { return FHint; }
  void SetHint(const UnicodeString& AHint) { FHint = AHint; }

  // With ParentColor the parent's colour is used; setting a colour ends that.
  TColor Color() const noexcept;
  void SetColor(TColor AColor);
  bool ParentColor() const noexcept { return FParentColor; }
  void SetParentColor(bool AValue) noexcept { FParentColor = AValue; }
  // With ParentFont the font follows the parent's; changing it ends that.
  TFont* Font() noexcept { return &FFont; }
  bool ParentFont() const noexcept { return FParentFont; }
  void SetParentFont(bool AValue);
  TStyleElements StyleElements() const noexcept { return FStyleElements; }
  void SetStyleElements(TStyleElements AValue) noexcept { FStyleElements = AValue; }

  // Paints the control (and what it holds) with its top left at (X, Y) of
  // the context, clipped to its bounds. EInvalidOperation for a null DC.
  void PaintTo(HDC DC, int X, int Y);
  void PaintTo(TCanvas& Canvas, int X, int Y) { PaintTo(Canvas.Handle(), X, Y); }

 protected:
  // Paints with the control's top left at the DC's origin.
  virtual void PaintControl(HDC DC) = 0;
  virtual void TextChanged() {}
  virtual void FontChanged() {}
  // A parent's font changed (or the parent did): follow it if ParentFont.
  void ParentFontChanged();
  // Asks the parent to lay out its children again.
  void RequestAlign();

 private:
  friend class TWinControl;
  void FontChange(TObject* Sender);
  void MarginsChange(TObject* Sender);

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TMargins FMargins;
  bool FAlignWithMargins = false;
  bool FVisible = true;
  UnicodeString FCaption;
  UnicodeString FHint;
  TColor FColor = clWindow;
  bool FParentColor = true;
  TFont FFont;
  bool FParentFont = true;
  bool FSyncingFont = false;
  TStyleElements FStyleElements{seFont, seClient, seBorder};
};

// A control without a window of its own, painted on its parent's.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
  TCanvas* Canvas() noexcept { return &FCanvas; }

 protected:
  void PaintControl(HDC DC) override;
  // Draws on Canvas(), client coordinates.
  virtual void Paint() {}

 private:
  TCanvas FCanvas;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  // Frees the child controls (whoever owns them), then the window.
  ~TWinControl() override;

  int ControlCount() const noexcept { return static_cast<int>(FControls.size()); }
  // EListError when Index is out of range.
  TControl* Controls(int Index) const;
  // Same as AControl->SetParent(this) / SetParent(nullptr) for a child.
  void InsertControl(TControl* AControl) { AControl->SetParent(this); }
  void RemoveControl(TControl* AControl);
  bool ContainsControl(const TControl* AControl) const noexcept;

  // The window exists.
  bool HandleAllocated() const noexcept { return FHandle != nullptr; }
  // The window, created first if need be (HandleNeeded).
  HWND Handle();
  // Creates the window, and the parents' first. EInvalidOperation when the
  // control sits on no form and no foreign window.
  void HandleNeeded();
  // Destroys the windows of the children and then this one.
  void DestroyHandle();
  // A window not of this library that the control sits on (null: none).
  HWND ParentWindow() const noexcept { return FParentWindow; }
  void SetParentWindow(HWND AParentWindow);

  // Shows the parent's painting instead of filling with Color.
  bool ParentBackground() const noexcept { return FParentBackground; }
  void SetParentBackground(bool AValue) noexcept { FParentBackground = AValue; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Lays the aligned children out again.
  void Realign();

 protected:
  // Paints the window's own content on DC (after its background).
  virtual void PaintWindow(HDC DC);
  void PaintControl(HDC DC) override;
  // The part of the client area aligned children share.
  virtual TRect AlignRect() const { return ClientRect(); }
  // The window's messages; unknown ones go to DefWindowProcW.
  virtual void WndProc(TMessage& Message);
  // Called right after the window is created / before it is destroyed.
  virtual void CreateWnd() {}
  virtual void DestroyWnd() {}
  // Whether this control may have a window without a parent (forms).
  virtual bool IsTopLevel() const noexcept { return false; }
  void FontChanged() override;

 private:
  friend class TControl;
  void MainWndProc(TMessage& Message);
  bool CanHaveWindow() const noexcept;
  void CreateHandle();
  // Creates the windows of this control and its windowed children where
  // they may have one.
  void UpdateWindows();
  void AlignControls();

  std::vector<TControl*> FControls;
  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  bool FParentBackground = false;
  int FAlignLevel = 0;
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
  TCanvas* Canvas() noexcept { return &FCanvas; }

 protected:
  void PaintWindow(HDC DC) override;
  // Draws on Canvas(), client coordinates.
  virtual void Paint() {}

 private:
  TCanvas FCanvas;
};
