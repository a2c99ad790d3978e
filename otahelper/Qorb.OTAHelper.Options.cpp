#include "otahelper/Qorb.OTAHelper.Options.h"

#include <memory>
#include <vector>

#include "otahelper/Qorb.OTAHelper.Loc.Controls.h"
#include "rtl/ForeignCall.h"
#include "rtl/ScopeExit.h"
#include "toolsapi/Globals.h"
#include "toolsapi/ObjectInterfaces.h"
#include "toolsapi/ThemingServices.h"
#include "toolsapi/UIServices.h"
#include "vcl/Forms.h"
#include "winapi/MessageBox.h"

namespace {

// Absent until the first successful registration; main thread only.
std::unique_ptr<std::vector<ComPtr<INTAAddInOptions>>> registeredPages;

constexpr UINT kErrorOk = MB_OK | MB_ICONERROR;

}  // namespace

bool TryGetEnvironmentOptionsServices(ComPtr<INTAEnvironmentOptionsServices>& Services) {
  Services.reset();
  return BorlandIDEServices && Supports(BorlandIDEServices, Services);
}

bool RegisterOptionsPage(const ComPtr<INTAAddInOptions>& Page) {
  if (!Page) return false;
  ComPtr<INTAEnvironmentOptionsServices> services;
  if (!TryGetEnvironmentOptionsServices(services)) return false;
  services->RegisterAddInOptions(Page.get());
  if (!registeredPages) registeredPages = std::make_unique<std::vector<ComPtr<INTAAddInOptions>>>();
  registeredPages->push_back(Page);
  return true;
}

void UnregisterOptionsPages() {
  if (!registeredPages) return;
  // Forgotten whatever happens below.
  const std::unique_ptr<std::vector<ComPtr<INTAAddInOptions>>> pages = std::move(registeredPages);
  ComPtr<INTAEnvironmentOptionsServices> services;
  if (!TryGetEnvironmentOptionsServices(services)) return;
  for (const ComPtr<INTAAddInOptions>& page : *pages) {
    try {
      services->UnregisterAddInOptions(page.get());
    } catch (...) {
      // One page the IDE would not let go of must not keep the others.
    }
  }
}

void TQorbOptionsPageBase::GetArea(UnicodeString& Result) { Result = u"Qorb"; }

void TQorbOptionsPageBase::GetCaption(UnicodeString& Result) { Result = PageCaption(); }

ComPtr<IQorbOptionsFrame> TQorbOptionsPageBase::GetOptionsFrame() {
  ComPtr<IQorbOptionsFrame> frame;
  if (FFrame) SupportsObject(FFrame, frame);
  return frame;
}

void TQorbOptionsPageBase::FrameCreated(TCustomFrame* AFrame) {
  FFrame = AFrame;
  if (!AFrame) return;
  ComPtr<IOTAIDEThemingServices> theming;
  if (Supports(BorlandIDEServices, theming) && theming->GetIDEThemingEnabled()) theming->ApplyTheme(AFrame);
  // Lists the frame's own pass skipped, having no form yet, have one now.
  LocalizeComponentItems(AFrame);
  if (ComPtr<IQorbOptionsFrame> frame = GetOptionsFrame())
    CallForeign({u"LoadSettings", SlotCode(frame.get(), 3)}, [&] { frame->LoadSettings(); });
}

bool TQorbOptionsPageBase::ValidateContents() {
  ComPtr<IQorbOptionsFrame> frame = GetOptionsFrame();
  if (!frame) return true;
  UnicodeString msg;
  const bool valid =
      CallForeign({u"ValidateContents", SlotCode(frame.get(), 5)}, [&] { return frame->ValidateContents(msg); });
  if (valid) return true;
  ComPtr<INTAIDEUIServices> ui;
  if (BorlandIDEServices && Supports(BorlandIDEServices, ui))
    ui->MessageDlg(msg, mtError, MsgDlgButtons({mbOK}), 0);
  else
    MessageBoxW(nullptr, msg.c_str(), u"Qorb", kErrorOk);
  return false;
}

void TQorbOptionsPageBase::DialogClosed(bool Accepted) {
  // The frame is the IDE's: only forgotten, in every case (also when saving
  // raises), and only after saving, which may still ask the page for it.
  const TScopeExit forget([this] { FFrame = nullptr; });
  if (!Accepted) return;
  if (const ComPtr<IQorbOptionsFrame> frame = GetOptionsFrame())
    CallForeign({u"SaveSettings", SlotCode(frame.get(), 4)}, [&] { frame->SaveSettings(); });
}
