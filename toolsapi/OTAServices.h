#pragma once
// The IDE's general services: identity, directories, its main window and
// the language of its user interface.
#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "winapi/Hwnd.h"

struct IOTAServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{D1358CFB-9B5C-4E6C-BC4B-C6D06C6689C1}");
  virtual void GetProductIdentifier(UnicodeString& Result) = 0;  // 3
  virtual void GetIDEVersion(UnicodeString& Result) = 0;         // 4
  virtual void GetRootDirectory(UnicodeString& Result) = 0;      // 5
  virtual void GetBinDirectory(UnicodeString& Result) = 0;       // 6
  // The window that dialogs of add-ins take as their parent.
  virtual HWND GetParentHandle() = 0;                                        // 7
  virtual void GetApplicationDataDirectory(UnicodeString& Result) = 0;       // 8
  virtual void GetTemplateDirectory(UnicodeString& Result) = 0;              // 9
  virtual bool IsValidIdent(UnicodeStringRef Ident) = 0;                     // 10
  virtual void GetActiveDesignerType(UnicodeString& Result) = 0;             // 11
  virtual void GetLocalApplicationDataDirectory(UnicodeString& Result) = 0;  // 12
  virtual void GetDefaultProjectsDirectory(UnicodeString& Result) = 0;       // 13
  virtual void GetInstanceName(UnicodeString& Result) = 0;                   // 14
  // A language tag such as "en" or "de-DE".
  virtual void GetUILanguage(UnicodeString& Result) = 0;  // 15
};
