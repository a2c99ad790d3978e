#pragma once
// Message boxes. The simulated IDE installs the handler that records and
// shows them; without one (a program that is no IDE) the box is written to
// standard error and answered with its first button.
#include "rtl/Method.h"
#include "winapi/Hwnd.h"
#include "winapi/WinTypes.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int MessageBoxW(HWND hWnd, LPCWSTR text, LPCWSTR caption, UINT type);

using TMessageBoxHandler = TMethodOf<int(HWND Owner, LPCWSTR Text, LPCWSTR Caption, UINT Type)>;
// An empty handler uninstalls it. Answers the one it replaced.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler Handler) noexcept;
