#include "vcl/Forms.h"

#include <mutex>

#include "rtl/OwnMutex.h"
#include "rtl/ScopeExit.h"

namespace {

TMutex handlerLock;
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
  const TScopeExit hideAgain([this] { Hide(); });
  Show();
  return handler(this);
}
