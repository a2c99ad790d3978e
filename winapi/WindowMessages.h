#pragma once
// Hidden windows and posted messages. A window belongs to the thread that
// allocated it; messages posted to it, from any thread, wait in that
// thread's queue until the thread runs its message loop (ProcessMessages).
// Handles are never reused, so a post to a destroyed window fails instead of
// reaching a later window.
#include <cstdint>
#include <vector>

#include "rtl/Method.h"
#include "winapi/Hwnd.h"
#include "winapi/WinTypes.h"

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// The handler of a hidden window, bound to an object.
using TWndMethod = TMethodOf<void(TMessage&)>;

// A hidden window owned by the calling thread whose messages go to Method.
// Null (last error ERROR_INVALID_PARAMETER) when Method is unassigned.
HWND AllocateHWnd(TWndMethod Method);
// Destroys the window; messages still waiting for it are discarded. Null or
// an unknown handle is ignored.
void DeallocateHWnd(HWND Wnd);
BOOL IsWindow(HWND Wnd);

// Queues a message for the window's thread; safe from any thread. FALSE
// (last error ERROR_INVALID_WINDOW_HANDLE) when the window does not exist.
BOOL PostMessageW(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The default handling of a message a handler does not know: nothing, 0.
LRESULT DefWindowProcW(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// The calling thread's message loop.
// Dispatches the messages that were waiting when the call began, oldest
// first, and answers how many were dispatched; messages posted meanwhile
// wait for the next call. An exception from a handler leaves the call and
// the messages behind it stay queued.
int ProcessMessages();
// Waits until a message is waiting for the calling thread or TimeoutMs has
// passed; true when one is waiting. A thread without windows never gets
// one, so it answers false at once.
bool WaitForMessage(uint32_t TimeoutMs);
// Messages waiting for the calling thread.
int PendingMessageCount();
// Hidden windows alive in the process, whatever thread owns them.
int LiveWindowCount();
// The handler code of each live hidden window: whose window it is.
std::vector<const void*> LiveWindowHandlers();
