#include "winapi/WindowMessages.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

#include "rtl/OwnMutex.h"
#include "winapi/LastError.h"
#include "winapi/windows/Win32.h"

// Real message-only windows and the thread's real queue. Posted messages to
// our windows are handed to their methods here, not through the system's
// dispatch, so that an exception from a handler leaves through our frames
// only.
namespace {

struct TWindow {
  TWndMethod Method;
  uint32_t Thread;
  int Pending = 0;  // posted through us and not yet taken
};

struct TWindows {
  TMutex Lock;
  std::unordered_map<HWND, TWindow> Live;
};
TWindows& Windows() {
  static TWindows windows;
  return windows;
}

// Marks where a ProcessMessages call's share of the queue ends.
constexpr UINT kEndOfBatch = WM_APP + 0x3FF0;
std::atomic<uintptr_t> lastBatch{0};

intptr_t Deliver(void* data, unsigned msg, uintptr_t wParam, intptr_t lParam) {
  // Sent, not posted: the system's dispatch called us.
  TMessage m{msg, wParam, lParam, 0};
  try {
    (*static_cast<const TWndMethod*>(data))(m);
  } catch (...) {
    // Nothing may leave through the system's frames.
  }
  return m.Result;
}

bool OwnsWindows(uint32_t thread) {
  const std::lock_guard lock(Windows().Lock);
  for (const auto& [wnd, w] : Windows().Live)
    if (w.Thread == thread) return true;
  return false;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  if (!Method.Assigned()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::lock_guard lock(Windows().Lock);
  // The method lives in the table, and the window procedure gets its
  // address: a node keeps its place when it is given its key.
  const auto it = Windows().Live.try_emplace(nullptr, TWindow{Method, qorb::win32::CurrentThreadId()}).first;
  HWND wnd = static_cast<HWND>(qorb::win32::CreateMessageWindow(&Deliver, &it->second.Method));
  auto node = Windows().Live.extract(it);
  if (!wnd) return nullptr;
  node.key() = wnd;
  Windows().Live.insert(std::move(node));
  return wnd;
}

void DeallocateHWnd(HWND Wnd) {
  {
    const std::lock_guard lock(Windows().Lock);
    if (!Windows().Live.erase(Wnd)) return;
  }
  // Messages still queued for it are dropped with it.
  qorb::win32::DestroyWindow(Wnd);
}

BOOL IsWindow(HWND Wnd) {
  const std::lock_guard lock(Windows().Lock);
  return Windows().Live.count(Wnd) ? TRUE : FALSE;
}

BOOL PostMessageW(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  const std::lock_guard lock(Windows().Lock);
  const auto it = Windows().Live.find(Wnd);
  if (it == Windows().Live.end() || !qorb::win32::PostToWindow(Wnd, Msg, wParam, lParam)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  ++it->second.Pending;
  return TRUE;
}

LRESULT DefWindowProcW(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return qorb::win32::DefaultWindowProc(Wnd, Msg, wParam, lParam);
}

int ProcessMessages() {
  const uint32_t thread = qorb::win32::CurrentThreadId();
  // An idle loop asks often: no mark for an empty queue.
  if (!OwnsWindows(thread) || !qorb::win32::AnyPosted()) return 0;
  // What was waiting when the call began ends where this mark is.
  const uintptr_t batch = ++lastBatch;
  qorb::win32::PostToThread(thread, kEndOfBatch, batch, 0);
  int dispatched = 0;
  qorb::win32::TPosted posted;
  while (qorb::win32::TakePosted(posted)) {
    if (!posted.Window && posted.Msg == kEndOfBatch) {
      // An older mark was left by a handler's exception; go on past it.
      if (posted.WParam == batch) break;
      continue;
    }
    TWndMethod method;
    {
      const std::lock_guard lock(Windows().Lock);
      const auto it = Windows().Live.find(static_cast<HWND>(posted.Window));
      if (it != Windows().Live.end()) {
        method = it->second.Method;
        --it->second.Pending;
      }
    }
    if (!method.Assigned()) {
      qorb::win32::Dispatch(posted);
      continue;
    }
    TMessage msg{posted.Msg, posted.WParam, posted.LParam, 0};
    ++dispatched;
    method(msg);
  }
  return dispatched;
}

bool WaitForMessage(uint32_t TimeoutMs) {
  if (!OwnsWindows(qorb::win32::CurrentThreadId())) return false;
  return qorb::win32::WaitForPosted(TimeoutMs);
}

int PendingMessageCount() {
  const uint32_t thread = qorb::win32::CurrentThreadId();
  const std::lock_guard lock(Windows().Lock);
  int pending = 0;
  for (const auto& [wnd, w] : Windows().Live)
    if (w.Thread == thread) pending += w.Pending;
  return pending;
}

int LiveWindowCount() {
  const std::lock_guard lock(Windows().Lock);
  return static_cast<int>(Windows().Live.size());
}

std::vector<const void*> LiveWindowHandlers() {
  const std::lock_guard lock(Windows().Lock);
  std::vector<const void*> codes;
  for (const auto& [wnd, w] : Windows().Live) codes.push_back(reinterpret_cast<const void*>(w.Method.Code));
  return codes;
}
