#include <windows.h>

#include "winapi/windows/Win32.h"

namespace qorb::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QorbMessageWindow";

struct TWindowData {
  TDeliver Deliver;
  void* Data;
};

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const auto* data = reinterpret_cast<const TWindowData*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (data && msg >= WM_USER) return data->Deliver(data->Data, msg, wParam, lParam);
  return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

bool RegisterOnce() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

void* CreateMessageWindow(TDeliver Deliver, void* Data) noexcept {
  if (!RegisterOnce()) return nullptr;
  // Lives as long as the window: freed by DestroyWindow below.
  auto* data = static_cast<TWindowData*>(::HeapAlloc(::GetProcessHeap(), 0, sizeof(TWindowData)));
  if (!data) return nullptr;
  *data = {Deliver, Data};
  HWND wnd = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr),
                               data);
  if (!wnd) ::HeapFree(::GetProcessHeap(), 0, data);
  return wnd;
}

bool DestroyWindow(void* Window) noexcept {
  HWND wnd = static_cast<HWND>(Window);
  void* data = reinterpret_cast<void*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!::DestroyWindow(wnd)) return false;
  if (data) ::HeapFree(::GetProcessHeap(), 0, data);
  return true;
}

bool IsWindow(void* Window) noexcept { return ::IsWindow(static_cast<HWND>(Window)); }

bool PostToWindow(void* Window, unsigned Msg, uintptr_t WParam, intptr_t LParam) noexcept {
  return ::PostMessageW(static_cast<HWND>(Window), Msg, WParam, LParam);
}

intptr_t DefaultWindowProc(void* Window, unsigned Msg, uintptr_t WParam, intptr_t LParam) noexcept {
  return ::DefWindowProcW(static_cast<HWND>(Window), Msg, WParam, LParam);
}

bool PostToThread(uint32_t Thread, unsigned Msg, uintptr_t WParam, intptr_t LParam) noexcept {
  return ::PostThreadMessageW(Thread, Msg, WParam, LParam);
}

uint32_t CurrentThreadId() noexcept { return ::GetCurrentThreadId(); }

bool AnyPosted() noexcept { return HIWORD(::GetQueueStatus(QS_ALLPOSTMESSAGE)) != 0; }

bool TakePosted(TPosted& Message) noexcept {
  MSG msg;
  if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) return false;
  Message = {msg.hwnd, msg.message, msg.wParam, msg.lParam};
  return true;
}

void Dispatch(const TPosted& Message) noexcept {
  MSG msg{};
  msg.hwnd = static_cast<HWND>(Message.Window);
  msg.message = Message.Msg;
  msg.wParam = Message.WParam;
  msg.lParam = Message.LParam;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

bool WaitForPosted(uint32_t TimeoutMs) noexcept {
  return ::MsgWaitForMultipleObjectsEx(0, nullptr, TimeoutMs, QS_ALLPOSTMESSAGE, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0;
}

void* CreateDIBSection(const void* Info, unsigned Usage, void** Bits) noexcept {
  return ::CreateDIBSection(nullptr, static_cast<const BITMAPINFO*>(Info), Usage, Bits, nullptr, 0);
}

bool DeleteObject(void* Object) noexcept { return ::DeleteObject(static_cast<HGDIOBJ>(Object)); }

int ObjectInfo(void* Object, int Size, void* Out) noexcept {
  return ::GetObjectW(static_cast<HGDIOBJ>(Object), Size, Out);
}

unsigned CaptureStack(unsigned Skip, unsigned Count, void** Frames) noexcept {
  return ::RtlCaptureStackBackTrace(Skip + 1, Count, Frames, nullptr);
}

}  // namespace qorb::win32
