#pragma once
// INTAIDEUIServices: the IDE's colours by purpose (following its theme),
// its font and scaling, and its message dialog, which the IDE records and
// shows like every message box.
#include <mutex>
#include <vector>

#include "ide/IDEService.h"
#include "rtl/OwnMutex.h"
#include "toolsapi/UIServices.h"

struct TShownDialog {
  UnicodeString Text;
  TMsgDlgType Type;
  TMsgDlgButtons Buttons;
  int32_t HelpCtx;
  int32_t Result;
};

class TUIServices : public TIDEServiceOf<INTAIDEUIServices> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  TColor GetIDEColor(TIDEColorId ColorId) override;
  void GetIDEFontName(UnicodeString& Result) override;
  int32_t GetIDEFontSize() override { return 9; }
  int32_t GetCurrentPPI() override { return 96; }
  int32_t ScaleValue(int32_t Value) override;
  // Answers the result of the dialog's first button, as if pressed.
  int32_t MessageDlg(UnicodeStringRef Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int32_t HelpCtx) override;

  std::vector<TShownDialog> Dialogs() const;

 private:
  mutable TMutex lock_;
  std::vector<TShownDialog> dialogs_;
};
