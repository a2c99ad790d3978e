#include "host/Qorb.Main.About.Loader.h"

#include <string>

#include "host/HostModule.h"
#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "rtl/ForeignCall.h"
#include "winapi/LastError.h"
#include "winapi/MessageBox.h"
#include "winapi/Modules.h"

namespace {

// Unloads on every way out, an error from the export included.
class TLibraryGuard {
 public:
  explicit TLibraryGuard(HMODULE AModule) noexcept : FModule(AModule) {}
  ~TLibraryGuard() { FreeLibrary(FModule); }
  TLibraryGuard(const TLibraryGuard&) = delete;
  TLibraryGuard& operator=(const TLibraryGuard&) = delete;

 private:
  HMODULE FModule;
};

// An error box with a single OK button.
void ShowAboutErrorBox(const UnicodeString& AText) {
  MessageBoxW(0, AText.c_str(), u"Qorb", MB_OK | MB_ICONERROR);
}

std::u16string Decimal(DWORD n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

bool ShowQorbAboutDialog(HWND AParentWnd, const TQorbAboutInfo& AInfo) {
  const UnicodeString path = HostModuleFolder() + QorbAboutLibraryName;

  const HMODULE module = LoadLibraryW(path.c_str());
  if (!module) {
    const DWORD err = GetLastError();
    ShowAboutErrorBox(Loc(u"About.LoadFailed", u"Could not load the About DLL:") + u"\r\n" + path + u"\r\n\r\n" +
                      u"Win32 error: " + Decimal(err) + u" (" + SysErrorMessage(err) + u")");
    return false;
  }
  TLibraryGuard unload(module);

  const auto show = reinterpret_cast<TShowQorbAboutDialogProc>(GetProcAddress(module, QorbAboutExportName));
  if (!show) {
    ShowAboutErrorBox(LocFmt(u"About.ExportMissing", u"Export \"%s\" not found in the About DLL.",
                             {std::u16string_view(u"ShowQorbAboutDialog")}));
    return false;
  }
  return CallForeign({u"ShowQorbAboutDialog", reinterpret_cast<const void*>(show), path.c_str()},
                     [&] { return show(AParentWnd, &AInfo); }) != 0;
}
