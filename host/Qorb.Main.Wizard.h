#pragma once
// The host's one wizard: its constructor is the host's start-up (menu,
// services, plug-ins), its destructor the shut-down.
#include "rtl/ComPtr.h"
#include "toolsapi/NTAServices.h"
#include "toolsapi/NotifierObject.h"
#include "toolsapi/Wizard.h"

class TMenuItem;
class TObject;

class TQorbMainWizard : public TNotifierObjectOf<IOTAWizard> {
 public:
  TQorbMainWizard();
  ~TQorbMainWizard() override;

  void GetIDString(UnicodeString& Result) override;
  void GetName(UnicodeString& Result) override;
  TWizardState GetState() override;
  void Execute() override;

  void AboutMenuClick(TObject* Sender);

 private:
  void StartUp();
  // Safe on a partly built wizard: a start-up that raised is torn down here.
  void ShutDown() noexcept;

  TMenuItem* FRootMenu = nullptr;
  TMenuItem* FAboutMenuItem = nullptr;
  TMenuItem* FSeparatorItem = nullptr;
  ComPtr<INTAServices> FNTAServices;
};
