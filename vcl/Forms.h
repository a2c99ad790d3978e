#pragma once
// Frames (containers that are placed into other controls) and forms
// (top-level windows, which have their window from the start).
#include "rtl/Method.h"
#include "vcl/Controls.h"
#include "vcl/ModalResult.h"

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

  // Shows the form until it is closed and answers how. There is no user
  // here: the application's modal-form handler stands in for one; without
  // a handler the form is closed at once with mrCancel. Main thread.
  TModalResult ShowModal();

 protected:
  bool IsTopLevel() const noexcept override { return true; }
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

// Whoever shows modal forms in this process (the simulated IDE): called with
// the visible form, answers its modal result. An empty handler uninstalls
// it. Answers the one it replaced.
using TModalFormHandler = TMethodOf<TModalResult(TCustomForm* Form)>;
TModalFormHandler SetModalFormHandler(TModalFormHandler Handler) noexcept;
