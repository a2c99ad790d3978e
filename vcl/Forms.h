#pragma once
// Frames (containers that are placed into other controls) and forms
// (top-level windows, which have their window from the start).
#include "vcl/Controls.h"

class TCustomFrame : public TWinControl {
 public:
  explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
 public:
  using TCustomFrame::TCustomFrame;
};

class TCustomForm : public TWinControl {
 public:
  // Hidden until shown; its window exists already.
  explicit TCustomForm(TComponent* AOwner);

 protected:
  bool IsTopLevel() const noexcept override { return true; }
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};
