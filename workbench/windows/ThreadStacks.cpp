#include "workbench/ThreadStacks.h"

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <cwchar>
#include <initializer_list>
#include <iterator>
#include <mutex>

#include "rtl/ForeignCall.h"
#include "rtl/ForeignCallNow.h"
#include "workbench/SignalSafeSymbols.h"

// A thread is read as a debugger reads it: suspended, its registers taken,
// its stack unwound with the unwind tables every x64 module carries, then
// resumed. What foreign call a thread is inside lives in its thread-local
// storage, which only the thread itself can reach; the main thread leaves
// the address of its own when the reading is installed, and is the only
// other thread named so.
namespace {

std::mutex reader;  // the reading threads take turns
std::atomic<DWORD> namedThread{0};
qorb::rtl::TForeignFrame* const* namedTop = nullptr;

template <size_t N>
void CopyText(char16_t (&to)[N], const char16_t* from) noexcept {
  size_t n = 0;
  for (; from && from[n] && n + 1 < N; ++n) to[n] = from[n];
  to[n] = 0;
}

void NoteCall(TThreadStack& s, const TForeignCall* call) noexcept {
  if (!call) return;
  CopyText(s.InsideWhat, call->What ? call->What : u"foreign code");
  CopyText(s.InsideSubject, call->Subject);
}

const TForeignCall* InnermostOf(const qorb::rtl::TForeignFrame* f) noexcept {
  for (; f; f = f->Outer)
    if (f->Call) return f->Call;
  return nullptr;
}

class THandle {
 public:
  explicit THandle(HANDLE h) noexcept : h_(h) {}
  ~THandle() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE get() const noexcept { return h_; }
  bool IsOpen() const noexcept { return h_ && h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

// Return addresses from a thread's registers, innermost first; the first
// entry is its current instruction, read as a return address.
void Unwind(CONTEXT context, TThreadStack& s) noexcept {
  s.Depth = 0;
  s.Frames[s.Depth++] = context.Rip + 1;
  while (s.Depth < TThreadStack::MaxFrames) {
    DWORD64 imageBase = 0;
    if (PRUNTIME_FUNCTION fn = ::RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr)) {
      void* handlerData = nullptr;
      DWORD64 establisher = 0;
      ::RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, fn, &context, &handlerData, &establisher,
                         nullptr);
    } else {
      // A leaf function: its return address is on top of the stack.
      MEMORY_BASIC_INFORMATION m;
      if (::VirtualQuery(reinterpret_cast<void*>(context.Rsp), &m, sizeof m) != sizeof m || m.State != MEM_COMMIT)
        break;
      context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
      context.Rsp += 8;
    }
    if (context.Rip == 0) break;
    s.Frames[s.Depth++] = context.Rip;
  }
}

bool ReadOther(DWORD thread, TThreadStack& s) noexcept {
  const THandle h(::OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, thread));
  if (!h.IsOpen() || ::SuspendThread(h.get()) == static_cast<DWORD>(-1)) return false;
  CONTEXT context{};
  context.ContextFlags = CONTEXT_FULL;
  const bool got = ::GetThreadContext(h.get(), &context);
  if (got) {
    s.Sp = static_cast<uintptr_t>(context.Rsp);
    Unwind(context, s);
    if (thread == namedThread.load() && namedTop) NoteCall(s, InnermostOf(*namedTop));
  }
  ::ResumeThread(h.get());
  s.Read = got;
  return got;
}

void ReadOwn(TThreadStack& s) noexcept {
  void* frames[TThreadStack::MaxFrames];
  const USHORT n = ::RtlCaptureStackBackTrace(2, TThreadStack::MaxFrames, frames, nullptr);
  // Past the thread's start some systems give whatever lies there: the
  // first empty frame ends it.
  for (USHORT i = 0; i < n && frames[i]; ++i) s.Frames[s.Depth++] = reinterpret_cast<uintptr_t>(frames[i]);
  NoteCall(s, InnermostForeignCall());
  s.Read = true;
}

std::atomic<DWORD> ownThreads[4];

bool IsOwnThread(DWORD tid) noexcept {
  for (const auto& own : ownThreads)
    if (own.load(std::memory_order_relaxed) == tid) return true;
  return false;
}

size_t ReadStacks(TThreadStack* Stacks, size_t Max, bool Others) noexcept {
  const std::lock_guard turn(reader);
  // The list first: nothing is allocated while a thread is held.
  static DWORD threads[256];
  size_t listed = 0;
  {
    const THandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot.IsOpen()) return 0;
    THREADENTRY32 e{};
    e.dwSize = sizeof e;
    const DWORD process = ::GetCurrentProcessId();
    for (BOOL more = ::Thread32First(snapshot.get(), &e); more && listed < std::size(threads);
         more = ::Thread32Next(snapshot.get(), &e))
      if (e.th32OwnerProcessID == process) threads[listed++] = e.th32ThreadID;
  }
  const DWORD self = ::GetCurrentThreadId();
  size_t count = 0;
  for (size_t i = 0; i < listed && count < Max; ++i) {
    const DWORD tid = threads[i];
    if (Others && (tid == self || IsOwnThread(tid))) continue;
    TThreadStack& s = Stacks[count++];
    s = TThreadStack{};
    s.Thread = static_cast<pid_t>(tid);
    if (tid == self)
      ReadOwn(s);
    else
      ReadOther(tid, s);
  }
  return count;
}

// The system's code or the compiler's runtime: where a thread runs before
// it reaches its start routine.
bool IsSystemOrRuntime(uintptr_t address) noexcept {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(address), &module))
    return false;
  wchar_t path[1024], windows[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(module, path, 1024);
  const UINT w = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= 1024) return false;
  if (w > 0 && w < n && ::_wcsnicmp(path, windows, w) == 0 && (path[w] == L'\\' || path[w] == L'/')) return true;
  const wchar_t* name = path;
  for (const wchar_t* c = path; *c; ++c)
    if (*c == L'\\' || *c == L'/') name = c + 1;
  for (const wchar_t* runtime : {L"libstdc++", L"libgcc_s", L"libwinpthread", L"msvcrt", L"ucrtbase"})
    if (::_wcsnicmp(name, runtime, wcslen(runtime)) == 0) return true;
  return false;
}

}  // namespace

pid_t CurrentThreadId() noexcept { return static_cast<pid_t>(::GetCurrentThreadId()); }

void InstallThreadStacks() {
  static std::once_flag once;
  std::call_once(once, [] {
    namedTop = &qorb::rtl::ForeignTop;
    namedThread.store(::GetCurrentThreadId());
  });
}

size_t ReadThreadStacks(TThreadStack* Stacks, size_t Max) noexcept { return ReadStacks(Stacks, Max, false); }

size_t ReadOtherThreadStacks(TThreadStack* Stacks, size_t Max) noexcept { return ReadStacks(Stacks, Max, true); }

TOwnThread::TOwnThread() noexcept : thread_(CurrentThreadId()) {
  for (auto& own : ownThreads) {
    DWORD none = 0;
    if (own.compare_exchange_strong(none, static_cast<DWORD>(thread_))) return;
  }
}

TOwnThread::~TOwnThread() {
  for (auto& own : ownThreads) {
    DWORD mine = static_cast<DWORD>(thread_);
    if (own.compare_exchange_strong(mine, 0)) return;
  }
}

bool ReadThreadStack(pid_t Thread, TThreadStack& Stack) noexcept {
  const std::lock_guard turn(reader);
  Stack = TThreadStack{};
  Stack.Thread = Thread;
  if (static_cast<DWORD>(Thread) == ::GetCurrentThreadId()) {
    ReadOwn(Stack);
    return true;
  }
  return ReadOther(static_cast<DWORD>(Thread), Stack);
}

// Suspended for good: a debugger's freeze.
bool FreezeThread(pid_t Thread) noexcept {
  const THandle h(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, static_cast<DWORD>(Thread)));
  return h.IsOpen() && ::SuspendThread(h.get()) != static_cast<DWORD>(-1);
}

THold FreezeThreadIn(pid_t Thread, uintptr_t First, uintptr_t Last, TThreadStack& Seen, int WaitDepth) noexcept {
  const THandle h(::OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, static_cast<DWORD>(Thread)));
  if (!h.IsOpen() || ::SuspendThread(h.get()) == static_cast<DWORD>(-1)) return THold::NoAnswer;
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL;
  // Nothing is looked up while it is suspended: it may hold the loader's
  // lock, which a look-up of unwind data takes.
  if (::GetThreadContext(h.get(), &context)) {
    if (context.Rip >= First && context.Rip <= Last) return THold::Held;
    // Seen waiting in the system straight from the library, and still at
    // that very place: held as it is. Wine stops a thread that waits only
    // when its wait ends, at no lock. One that has left the wait since
    // runs anything now, the heap's code with its lock held too.
    if (WaitDepth > 0 && Seen.Depth > WaitDepth && Seen.Sp == context.Rsp && Seen.Frames[0] == context.Rip + 1)
      return THold::Held;
  }
  ::ResumeThread(h.get());
  return THold::Elsewhere;
}

int WaitsInTheSystemFrom(const TThreadStack& s, uintptr_t First, uintptr_t Last) noexcept {
  // A wait of the system's, in the kernel (Sleep, WaitForSingleObject): its
  // innermost frames are the core system DLLs (and the threads library's
  // sleep) only, down to the library's code. A C runtime's frame among them
  // may hold a lock of its own.
  if (!s.Read) return -1;
  for (int f = 0; f < s.Depth; ++f) {
    const uintptr_t pc = f == 0 ? s.Frames[f] : s.Frames[f] - 1;
    if (pc >= First && pc <= Last) return f > 0 ? f : -1;
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(pc), &module))
      return -1;
    // MinGW's nanosleep and sleep are libwinpthread's, over Sleep.
    if (module != ::GetModuleHandleW(L"ntdll.dll") && module != ::GetModuleHandleW(L"kernel32.dll") &&
        module != ::GetModuleHandleW(L"kernelbase.dll") && module != ::GetModuleHandleW(L"libwinpthread-1.dll"))
      return -1;
  }
  return -1;
}

bool IsThreadStarting(const TThreadStack& s) noexcept {
  if (!s.Read) return false;
  for (int f = 0; f < s.Depth; ++f)
    if (!IsSystemOrRuntime(s.Frames[f] - 1)) return false;
  return true;
}
