#include "ide/UIServices.h"

#include "ide/IDE.h"
#include "ide/IDEStyle.h"
#include "ide/ThemingServices.h"
#include "winapi/MulDiv.h"

namespace {

// What the message box shows: a caption and the icon flags of its type.
struct TDialogLook {
  const char16_t* Caption;
  uint32_t Icon;
};
TDialogLook LookOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return {u"Warning", 0x30};
    case mtError:
      return {u"Error", 0x10};
    case mtInformation:
      return {u"Information", 0x40};
    case mtConfirmation:
      return {u"Confirm", 0x20};
    default:
      return {u"Message", 0};
  }
}

// The button row's MB_* flags and the result of its first button.
struct TButtonRow {
  uint32_t Flags;
  int32_t First;
};
TButtonRow RowOf(TMsgDlgButtons buttons) {
  auto has = [buttons](TMsgDlgBtn b) { return (buttons >> b) & 1u; };
  if (has(mbYes) && has(mbNo)) return {has(mbCancel) ? 3u : 4u, mrYes};
  if (has(mbOK) && has(mbCancel)) return {1u, mrOk};
  if (has(mbOK)) return {0u, mrOk};
  if (has(mbCancel)) return {0u, mrCancel};
  return {0u, mrNone};
}

}  // namespace

TColor TUIServices::GetIDEColor(TIDEColorId ColorId) {
  TIDE* ide = Ide();
  TThemingServices* theming = ide ? ide->Services().Service<TThemingServices>() : nullptr;
  if (theming) return theming->PaintingStyle().IdeColor(ColorId);
  static const std::unique_ptr<TIDEStyle> light = TIDEStyle::Light();
  return light->IdeColor(ColorId);
}

void TUIServices::GetIDEFontName(UnicodeString& Result) { Result = UnicodeString(u"Segoe UI"); }

int32_t TUIServices::ScaleValue(int32_t Value) { return MulDiv(Value, GetCurrentPPI(), 96); }

int32_t TUIServices::MessageDlg(UnicodeStringRef Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                int32_t HelpCtx) {
  const TDialogLook look = LookOf(DlgType);
  const TButtonRow row = RowOf(Buttons);
  {
    std::lock_guard lock(lock_);
    dialogs_.push_back({UnicodeString(Msg), DlgType, Buttons, HelpCtx, row.First});
  }
  if (TIDE* ide = Ide()) ide->MessageBoxes().Show(Msg, UnicodeString(look.Caption), look.Icon | row.Flags);
  return row.First;
}

std::vector<TShownDialog> TUIServices::Dialogs() const {
  std::lock_guard lock(lock_);
  return dialogs_;
}
