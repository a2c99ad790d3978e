#pragma once
// Shows the suite's About dialog: loads DelphiMainProc.dll from the
// package's folder, calls its export "ShowQorbAboutDialog" once and unloads
// it again, on every call.
#include "host/Qorb.Main.About.Contract.h"
#include "winapi/Hwnd.h"

// True when the export was called and answered non-zero. A library that
// cannot be loaded, or lacks the export, is reported in an error box and
// answers false. An error raised by the export goes on to the caller, after
// the library has been unloaded.
bool ShowQorbAboutDialog(HWND AParentWnd, const TQorbAboutInfo& AInfo);
