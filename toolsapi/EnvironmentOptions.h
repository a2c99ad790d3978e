#pragma once
// The IDE's options dialog: add-ins hand it pages. For each page the IDE
// shows a node under the page's area; when the user opens it, the IDE makes
// the page's frame from the page's frame class, reports it, asks the page to
// validate when the user confirms, and reports the closing.
#include <cstdint>

#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"

class TComponent;
class TCustomFrame;

// A frame class as the IDE instantiates it: makes a frame of the class with
// the given owner (the owner frees it).
using TCustomFrameClass = TCustomFrame* (*)(TComponent* AOwner);

// FrameClassOf<TMyFrame>: the frame class of TMyFrame.
template <class F>
TCustomFrame* FrameClassOf(TComponent* AOwner) {
  return new F(AOwner);
}

struct INTAAddInOptions : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{3D2A9C4B-6E17-4F58-8B0A-92C51D7E6F13}");
  // The parent node of the page in the dialog's tree.
  virtual void GetArea(UnicodeString& Result) = 0;     // 3
  virtual void GetCaption(UnicodeString& Result) = 0;  // 4
  virtual TCustomFrameClass GetFrameClass() = 0;       // 5
  // The frame the IDE made for the page; the IDE owns it.
  virtual void FrameCreated(TCustomFrame* AFrame) = 0;  // 6
  // The dialog closed; the frame goes with it.
  virtual void DialogClosed(bool Accepted) = 0;  // 7
  // The user confirmed; False keeps the dialog open.
  virtual bool ValidateContents() = 0;  // 8
  virtual int32_t GetHelpContext() = 0;  // 9
  // Whether the IDE's search finds the page.
  virtual bool IncludeInIDEInsight() = 0;  // 10
};

struct INTAEnvironmentOptionsServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{88EAA6AC-B8C0-42F7-9C00-E5D31B815998}");
  // The IDE keeps a reference to the page until it is unregistered.
  virtual void RegisterAddInOptions(INTAAddInOptions* Options) = 0;    // 3
  virtual void UnregisterAddInOptions(INTAAddInOptions* Options) = 0;  // 4
};
