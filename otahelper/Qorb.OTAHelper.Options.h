#pragma once
// A base for the host's pages in the IDE's options dialog. A page names its
// frame class and its caption; the base puts it under "Qorb", themes and
// translates the frame the IDE makes, and drives the frame through
// IQorbOptionsFrame: load when shown, validate on confirm, save on accept.
#include "rtl/ComPtr.h"
#include "rtl/InterfacedObject.h"
#include "toolsapi/EnvironmentOptions.h"

// Implemented by the frame classes of options pages (with
// TObjectInterfaces<IQorbOptionsFrame>).
struct IQorbOptionsFrame : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{6B1F3C58-6A2E-4E3C-9D77-1C4A9E7B25D0}");
  // Fills the controls from the stored settings.
  virtual void LoadSettings() = 0;  // 3
  // Stores the settings from the controls.
  virtual void SaveSettings() = 0;  // 4
  // True when the entries may be accepted; otherwise false with a message
  // for the user in Msg.
  virtual bool ValidateContents(UnicodeString& Msg) = 0;  // 5
};

class TQorbOptionsPageBase : public TInterfacedObjectOf<INTAAddInOptions> {
 public:
  // A concrete page names its frame class (GetFrameClass, whose frames
  // implement IQorbOptionsFrame) and this.
  virtual UnicodeString PageCaption() = 0;

  void GetArea(UnicodeString& Result) override;
  void GetCaption(UnicodeString& Result) override;
  // The IDE made AFrame (it owns it): themed, lists translated, settings
  // loaded.
  void FrameCreated(TCustomFrame* AFrame) override;
  // Saves when accepted; the frame is forgotten in every case.
  void DialogClosed(bool Accepted) override;
  // A failed validation shows the frame's message as an error, even empty.
  bool ValidateContents() override;
  int32_t GetHelpContext() override { return 0; }
  bool IncludeInIDEInsight() override { return true; }

  // The frame's IQorbOptionsFrame while a dialog is open and the frame's
  // class implements it; otherwise empty.
  ComPtr<IQorbOptionsFrame> GetOptionsFrame();

 protected:
  // The IDE's frame while the dialog is open; not owned.
  TCustomFrame* FFrame = nullptr;
};

// The IDE's options dialog service; false, with Services empty, without
// one.
bool TryGetEnvironmentOptionsServices(ComPtr<INTAEnvironmentOptionsServices>& Services);
// Registers Page with the IDE and remembers it; false (and nothing
// remembered) for an absent page or an IDE without options dialog.
bool RegisterOptionsPage(const ComPtr<INTAAddInOptions>& Page);
// Withdraws every remembered page, in registration order (one page's error
// does not stop the others), and forgets them all.
void UnregisterOptionsPages();
