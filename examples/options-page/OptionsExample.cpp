// An example plug-in with a page in the IDE's options dialog, under "Qorb":
// one setting, the lowest level the plug-in writes to the suite's log. The
// frame loads it into a list, insists on a choice and stores it when the
// dialog is accepted. The setting lives as long as the plug-in is loaded.
#include <memory>

#include "otahelper/Qorb.OTAHelper.Loc.Controls.h"
#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "otahelper/Qorb.OTAHelper.Options.h"
#include "otahelper/Qorb.OTAHelper.UILanguage.h"
#include "rtl/Format.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "toolsapi/ObjectInterfaces.h"
#include "vcl/Forms.h"
#include "vcl/Label.h"
#include "vcl/LayoutReader.h"
#include "vcl/ListBox.h"
#include "winapi/Modules.h"

namespace {

// The stored setting: an index into Debug, Info, Warning, Error.
int storedLevel = 1;
ComPtr<IQorbMainFunctions> mainFunctions;

class TExampleOptionsFrame : public TFrame, public TObjectInterfaces<IQorbOptionsFrame> {
 public:
  explicit TExampleOptionsFrame(TComponent* AOwner) : TFrame(AOwner) {
    if (!ReadComponentResource(HInstance(), u"TEXAMPLEOPTIONSFRAME", *this))
      throw EComponentError(u"The example's layout is missing");
    lbLogLevel = dynamic_cast<TListBox*>(FindComponent(u"lbLogLevel"));
    if (!lbLogLevel) throw EComponentError(u"The example's layout has no list");
    // The list waits for a form (the options page base translates it then).
    LocalizeComponent(this);
  }

  void LoadSettings() override { lbLogLevel->SetItemIndex(storedLevel); }
  void SaveSettings() override {
    storedLevel = lbLogLevel->ItemIndex();
    if (mainFunctions)
      mainFunctions->LogInfo(UnicodeString(u"Options example"),
                             Format(u"Lowest log level is now %s", {lbLogLevel->Items()->Strings(storedLevel)}));
  }
  bool ValidateContents(UnicodeString& Msg) override {
    if (lbLogLevel->ItemIndex() >= 0) return true;
    Msg = Loc(u"Example.ChooseLevel", u"Choose the lowest log level.");
    return false;
  }

  TListBox* lbLogLevel = nullptr;
};

class TExampleOptionsPage : public TQorbOptionsPageBase {
 public:
  TCustomFrameClass GetFrameClass() override { return &FrameClassOf<TExampleOptionsFrame>; }
  UnicodeString PageCaption() override { return Loc(u"Example.Caption", u"Logging"); }
};

}  // namespace

extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  InitLocLanguage();
  mainFunctions = GetInterface->Get<IQorbMainFunctions>();
  // Without an options dialog in the IDE there is simply no page.
  RegisterOptionsPage(Make<TExampleOptionsPage>());
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() {
  UnregisterOptionsPages();
  mainFunctions.reset();
}
