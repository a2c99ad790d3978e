#pragma once
// IOTAServices: the IDE's identity, directories, main window and UI
// language. The directories all lie under the IDE's root directory; nothing
// is created on disk.
#include "ide/IDEService.h"
#include "toolsapi/OTAServices.h"

class TGeneralServices : public TIDEServiceOf<IOTAServices> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  void GetProductIdentifier(UnicodeString& Result) override;
  void GetIDEVersion(UnicodeString& Result) override;
  void GetRootDirectory(UnicodeString& Result) override;
  void GetBinDirectory(UnicodeString& Result) override;
  HWND GetParentHandle() override;
  void GetApplicationDataDirectory(UnicodeString& Result) override;
  void GetTemplateDirectory(UnicodeString& Result) override;
  bool IsValidIdent(UnicodeStringRef Ident) override;
  void GetActiveDesignerType(UnicodeString& Result) override;
  void GetLocalApplicationDataDirectory(UnicodeString& Result) override;
  void GetDefaultProjectsDirectory(UnicodeString& Result) override;
  void GetInstanceName(UnicodeString& Result) override;
  void GetUILanguage(UnicodeString& Result) override;

 private:
  // Root directory joined with Sub, with a trailing separator; empty once
  // the IDE is gone.
  UnicodeString Directory(const char* Sub) const;
};
