#include "ide/GeneralServices.h"

#include "ide/IDE.h"
#include "vcl/Classes.h"

UnicodeString TGeneralServices::Directory(const char* Sub) const {
  TIDE* ide = Ide();
  if (!ide) return {};
  std::filesystem::path dir = ide->RootDirectory();
  if (*Sub) dir /= Sub;
  return UnicodeString::FromUtf8((dir / "").string());
}

void TGeneralServices::GetProductIdentifier(UnicodeString& Result) { Result = Ide() ? u"qorb-ide" : u""; }
void TGeneralServices::GetIDEVersion(UnicodeString& Result) { Result = Ide() ? u"1.0" : u""; }
void TGeneralServices::GetRootDirectory(UnicodeString& Result) { Result = Directory(""); }
void TGeneralServices::GetBinDirectory(UnicodeString& Result) { Result = Directory(""); }

HWND TGeneralServices::GetParentHandle() {
  TIDE* ide = Ide();
  return ide ? ide->ParentHandle() : nullptr;
}

void TGeneralServices::GetApplicationDataDirectory(UnicodeString& Result) { Result = Directory("AppData"); }
void TGeneralServices::GetTemplateDirectory(UnicodeString& Result) { Result = Directory("Templates"); }
bool TGeneralServices::IsValidIdent(UnicodeStringRef Ident) { return ::IsValidIdent(Ident.view()); }
// No designer is ever open here.
void TGeneralServices::GetActiveDesignerType(UnicodeString& Result) { Result.Clear(); }
void TGeneralServices::GetLocalApplicationDataDirectory(UnicodeString& Result) {
  Result = Directory("LocalAppData");
}
void TGeneralServices::GetDefaultProjectsDirectory(UnicodeString& Result) { Result = Directory("Projects"); }
void TGeneralServices::GetInstanceName(UnicodeString& Result) { Result = Ide() ? u"qorb-ide" : u""; }

void TGeneralServices::GetUILanguage(UnicodeString& Result) {
  TIDE* ide = Ide();
  if (ide)
    Result = ide->UILanguage();
  else
    Result.Clear();
}
