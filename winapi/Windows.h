#pragma once
// Everything the Windows stand-in offers, for code written against windows.h.
#include "winapi/WinTypes.h"
#include "winapi/LastError.h"
#include "winapi/MessageBox.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"
#include "winapi/Version.h"
#include "winapi/MulDiv.h"
#include "winapi/SysColors.h"
#include "winapi/Gdi.h"
#include "winapi/Hwnd.h"
#include "winapi/WindowMessages.h"
