#include "vcl/Forms.h"

#include <mutex>

namespace {

std::mutex handlerLock;
TModalFormHandler modalFormHandler;

}  // namespace

TModalFormHandler SetModalFormHandler(TModalFormHandler Handler) noexcept {
  std::lock_guard guard(handlerLock);
  TModalFormHandler old = modalFormHandler;
  modalFormHandler = Handler;
  return old;
}

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 320, 240);
  SetParentBackground(true);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
  SetBounds(0, 0, 640, 480);
  SetColor(clBtnFace);
  HandleNeeded();
}

TModalResult TCustomForm::ShowModal() {
  TModalFormHandler handler;
  {
    std::lock_guard guard(handlerLock);
    handler = modalFormHandler;
  }
  if (!handler.Assigned()) return mrCancel;
  struct THideAgain {
    TCustomForm& Form;
    ~THideAgain() { Form.Hide(); }
  } hideAgain{*this};
  Show();
  return handler(this);
}
