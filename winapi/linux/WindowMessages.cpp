#include "winapi/WindowMessages.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "rtl/OwnMutex.h"
#include "winapi/LastError.h"

namespace {

struct PostedMessage {
  HWND Wnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// One thread's message queue; it lives while the thread owns a window.
struct ThreadQueue {
  TMutex Lock;
  std::condition_variable_any Arrived;
  std::deque<PostedMessage> Items;
  int WindowCount = 0;  // written under both locks, read under either
};

struct WindowEntry {
  TWndMethod Method;
  std::shared_ptr<ThreadQueue> Queue;
};

// Lock order: the table's lock, then a queue's lock; never the other way.
struct WindowTable {
  TMutex Lock;
  std::unordered_map<uintptr_t, WindowEntry> Windows;
  std::unordered_map<std::thread::id, std::shared_ptr<ThreadQueue>> Queues;
  uintptr_t LastHandle = 0x10000;
};

WindowTable& Table() {
  static WindowTable table;
  return table;
}

uintptr_t Key(HWND wnd) { return reinterpret_cast<uintptr_t>(wnd); }

std::shared_ptr<ThreadQueue> CurrentQueue() {
  WindowTable& t = Table();
  std::lock_guard lock(t.Lock);
  auto it = t.Queues.find(std::this_thread::get_id());
  return it == t.Queues.end() ? nullptr : it->second;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  if (!Method.Assigned()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  WindowTable& t = Table();
  std::lock_guard lock(t.Lock);
  std::shared_ptr<ThreadQueue>& queue = t.Queues[std::this_thread::get_id()];
  if (!queue) queue = std::make_shared<ThreadQueue>();
  const uintptr_t handle = ++t.LastHandle;
  t.Windows.emplace(handle, WindowEntry{Method, queue});
  std::lock_guard qlock(queue->Lock);
  ++queue->WindowCount;
  return reinterpret_cast<HWND>(handle);
}

void DeallocateHWnd(HWND Wnd) {
  std::shared_ptr<ThreadQueue> queue;
  WindowTable& t = Table();
  {
    std::lock_guard lock(t.Lock);
    auto it = t.Windows.find(Key(Wnd));
    if (it == t.Windows.end()) return;
    queue = std::move(it->second.Queue);
    t.Windows.erase(it);
    int left;
    {
      std::lock_guard qlock(queue->Lock);
      std::erase_if(queue->Items, [Wnd](const PostedMessage& m) { return m.Wnd == Wnd; });
      left = --queue->WindowCount;
    }
    if (left == 0) {
      for (auto q = t.Queues.begin(); q != t.Queues.end(); ++q)
        if (q->second == queue) {
          t.Queues.erase(q);
          break;
        }
    }
  }
  // A thread waiting on this queue re-checks; the last reference may go here.
  queue->Arrived.notify_all();
}

BOOL IsWindow(HWND Wnd) {
  WindowTable& t = Table();
  std::lock_guard lock(t.Lock);
  return t.Windows.count(Key(Wnd)) ? TRUE : FALSE;
}

BOOL PostMessageW(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  WindowTable& t = Table();
  std::shared_ptr<ThreadQueue> queue;
  {
    std::lock_guard lock(t.Lock);
    auto it = t.Windows.find(Key(Wnd));
    if (it == t.Windows.end()) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    queue = it->second.Queue;
    // Queued under the table's lock, so a concurrent DeallocateHWnd either
    // sees this message and discards it or comes first and makes us fail.
    std::lock_guard qlock(queue->Lock);
    queue->Items.push_back(PostedMessage{Wnd, Msg, wParam, lParam});
  }
  queue->Arrived.notify_one();
  return TRUE;
}

LRESULT DefWindowProcW(HWND, UINT, WPARAM, LPARAM) { return 0; }

int ProcessMessages() {
  const std::shared_ptr<ThreadQueue> queue = CurrentQueue();
  if (!queue) return 0;
  size_t budget;
  {
    std::lock_guard qlock(queue->Lock);
    budget = queue->Items.size();
  }
  int dispatched = 0;
  WindowTable& t = Table();
  for (; budget > 0; --budget) {
    PostedMessage m;
    TWndMethod method;
    {
      std::lock_guard lock(t.Lock);
      {
        std::lock_guard qlock(queue->Lock);
        if (queue->Items.empty()) break;
        m = queue->Items.front();
        queue->Items.pop_front();
      }
      auto it = t.Windows.find(Key(m.Wnd));
      if (it == t.Windows.end()) continue;
      method = it->second.Method;
    }
    TMessage msg{m.Msg, m.WParam, m.LParam, 0};
    ++dispatched;
    method(msg);
  }
  return dispatched;
}

bool WaitForMessage(uint32_t TimeoutMs) {
  const std::shared_ptr<ThreadQueue> queue = CurrentQueue();
  if (!queue) return false;
  std::unique_lock qlock(queue->Lock);
  // Returns early also when the thread's last window goes, from another thread.
  return queue->Arrived.wait_for(qlock, std::chrono::milliseconds(TimeoutMs), [&] {
    return !queue->Items.empty() || queue->WindowCount == 0;
  }) && !queue->Items.empty();
}

int PendingMessageCount() {
  const std::shared_ptr<ThreadQueue> queue = CurrentQueue();
  if (!queue) return 0;
  std::lock_guard qlock(queue->Lock);
  return static_cast<int>(queue->Items.size());
}

int LiveWindowCount() {
  WindowTable& t = Table();
  std::lock_guard lock(t.Lock);
  return static_cast<int>(t.Windows.size());
}

std::vector<const void*> LiveWindowHandlers() {
  WindowTable& t = Table();
  std::lock_guard lock(t.Lock);
  std::vector<const void*> codes;
  for (const auto& [handle, entry] : t.Windows) codes.push_back(reinterpret_cast<const void*>(entry.Method.Code));
  return codes;
}
