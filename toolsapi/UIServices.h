#pragma once
// The IDE's look for add-ins: its colours by purpose, its font, its scaling,
// and its modal message dialog.
#include <cstdint>
#include <initializer_list>

#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "vcl/Colors.h"
#include "vcl/ModalResult.h"

// What an IDE colour is for (one byte).
enum TIDEColorId : uint8_t {
  icWindowText = 0,
  icErrorText = 1,
  icHighlight = 2,
  icHighlightText = 3,
  icLinkText = 4,
  icHintText = 5,
  icWarningText = 6,
};

enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : uint8_t { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
// A set of buttons, one bit per TMsgDlgBtn ({mbOK} is 4).
using TMsgDlgButtons = uint16_t;
constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> Buttons) noexcept {
  TMsgDlgButtons r = 0;
  for (TMsgDlgBtn b : Buttons) r = static_cast<TMsgDlgButtons>(r | (1u << b));
  return r;
}

struct INTAIDEUIServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{14C3D21A-FB47-43A9-9BC1-35BE3EF030ED}");
  // The active theme's colour for a purpose.
  virtual TColor GetIDEColor(TIDEColorId ColorId) = 0;           // 3
  virtual void GetIDEFontName(UnicodeString& Result) = 0;        // 4
  // In points.
  virtual int32_t GetIDEFontSize() = 0;                          // 5
  // Pixels per inch of the IDE's main window.
  virtual int32_t GetCurrentPPI() = 0;                           // 6
  // A length designed at 96 pixels per inch, at the current scaling.
  virtual int32_t ScaleValue(int32_t Value) = 0;                 // 7
  // A modal message box with the IDE's look; answers the modal result.
  virtual int32_t MessageDlg(UnicodeStringRef Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                             int32_t HelpCtx) = 0;               // 8
};
