#include "workbench/ThreadStacks.h"

#include <dirent.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <ucontext.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <mutex>

#include "rtl/ForeignCallNow.h"
#include "rtl/ThreadLocal.h"
#include "winapi/FileDescriptor.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/linux/StackScan.h"

namespace {

// Above the real-time signals the C library and the sanitizers keep.
int StackSignal() noexcept { return SIGRTMIN + 6; }

enum class TAsk { Read, Freeze, FreezeIn };

struct TRequest {
  std::atomic<pid_t> Thread{0};
  std::atomic<TAsk> Ask{TAsk::Read};
  std::atomic<bool> Answered{false};
  TThreadStack* Into = nullptr;
  uintptr_t HoldFirst = 0, HoldLast = 0, HoldAlsoAt = 0;  // FreezeIn: where it may be held
  int HoldDepth = 0;
  std::atomic<bool> Held{false};
};
TRequest request;
std::mutex reader;  // the reading threads take turns; the handler never takes it

// Threads that did not answer; they are not asked again (a sanitizer's own
// threads never do).
pid_t silent[32];
std::atomic<size_t> silentCount{0};

bool IsSilent(pid_t thread) noexcept {
  for (size_t i = 0, n = silentCount.load(); i < n; ++i)
    if (silent[i] == thread) return true;
  return false;
}


template <size_t N>
void CopyText(char16_t (&to)[N], const char16_t* from) noexcept {
  size_t n = 0;
  for (; from && from[n] && n + 1 < N; ++n) to[n] = from[n];
  to[n] = 0;
}

// On the thread itself: the texts may live on its stack.
void NoteInside(TThreadStack& s) noexcept {
  if (const TForeignCall* call = InnermostForeignCall()) {
    CopyText(s.InsideWhat, call->What ? call->What : u"foreign code");
    CopyText(s.InsideSubject, call->Subject);
  }
}

// On the thread itself: its frames as a stack read reads them.
void NoteFrames(TThreadStack& s, void* const* frames, int n) noexcept {
  // Its own frame and the signal trampoline are not the thread's.
  s.Depth = 0;
  for (int i = 2; i < n; ++i) s.Frames[s.Depth++] = reinterpret_cast<uintptr_t>(frames[i]);
  NoteInside(s);
  s.Read = true;
}

void OnStackSignal(int, siginfo_t*, void* context) {
  const int saved = errno;
  if (request.Thread.load() != CurrentThreadId()) {
    errno = saved;
    return;  // a late answer to a request that was given up
  }
  void* frames[TThreadStack::MaxFrames + 2];
  int n = 0;
  if (request.Ask.load() == TAsk::FreezeIn) {
    const auto pc =
        static_cast<uintptr_t>(static_cast<const ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
    n = ::backtrace(frames, TThreadStack::MaxFrames + 2);
    const int depth = request.HoldDepth;
    // Still in the same wait, called from the same place.
    const bool waits = request.HoldAlsoAt && depth >= 0 && n > depth + 2 &&
                       reinterpret_cast<uintptr_t>(frames[depth + 2]) == request.HoldAlsoAt;
    if ((pc < request.HoldFirst || pc > request.HoldLast) && !waits) {
      // Where it is instead, for the next try.
      if (request.Into) NoteFrames(*request.Into, frames, n);
      request.Held.store(false);
      request.Answered.store(true);
      errno = saved;
      return;
    }
    request.Held.store(true);
    request.Ask.store(TAsk::Freeze);
  }
  if (request.Ask.load() == TAsk::Freeze) {
    request.Answered.store(true);
    sigset_t none;
    sigfillset(&none);
    sigdelset(&none, SIGKILL);
    sigdelset(&none, SIGSTOP);
    for (;;) ::sigsuspend(&none);
  }
  n = ::backtrace(frames, TThreadStack::MaxFrames + 2);
  NoteFrames(*request.Into, frames, n);
  request.Answered.store(true);
  errno = saved;
}

void Nap() noexcept {
  const timespec t{0, 1000000};
  ::nanosleep(&t, nullptr);
}

// Sends Ask to Thread and waits up to about 400 ms for its answer.
bool AskThread(pid_t Thread, TAsk Ask, TThreadStack* Into) noexcept {
  if (IsSilent(Thread)) return false;
  request.Into = Into;
  request.Ask.store(Ask);
  request.Answered.store(false);
  request.Thread.store(Thread);
  bool answered = false;
  if (::syscall(SYS_tgkill, ::getpid(), Thread, StackSignal()) == 0)
    for (int waited = 0; waited < 500 && !(answered = request.Answered.load()); ++waited) {
      if (waited < 100)
        ::sched_yield();
      else
        Nap();
    }
  request.Thread.store(0);
  if (!answered)
    if (const size_t n = silentCount.load(); n < std::size(silent)) {
      silent[n] = Thread;
      silentCount.store(n + 1);
    }
  return answered;
}

struct TCodeRanges {
  uintptr_t Start[4096];
  uintptr_t End[4096];
  size_t Count = 0;
  uintptr_t StackStart = 0, StackEnd = 0;  // of the readable mapping that holds Sp
  uintptr_t Sp = 0;
};
TCodeRanges code;
// Taken by whoever scans: the hang and unload watches, and a crash report
// on a plug-in's thread, may each scan at any time.
std::atomic_flag scanning = ATOMIC_FLAG_INIT;

void NoteMapping(void* data, uintptr_t start, uintptr_t end, const char* perms) {
  auto& c = *static_cast<TCodeRanges*>(data);
  if (perms[0] == 'r' && c.Sp >= start && c.Sp < end) {
    c.StackStart = start;
    c.StackEnd = end;
  }
  if (perms[0] == 'r' && perms[2] == 'x' && c.Count < std::size(c.Start)) {
    c.Start[c.Count] = start;
    c.End[c.Count++] = end;
  }
}

// After a call instruction in readable code: call rel32, or call through a
// register or memory operand (FF /2, two to seven bytes long).
__attribute__((no_sanitize_address, no_sanitize_thread)) bool IsReturnAddress(uintptr_t w) noexcept {
  for (size_t i = 0; i < code.Count; ++i) {
    if (w < code.Start[i] + 7 || w >= code.End[i]) continue;
    const auto* b = reinterpret_cast<const uint8_t*>(w);
    if (b[-5] == 0xE8) return true;
    for (int length = 2; length <= 7; ++length)
      if (b[-length] == 0xFF && (b[-length + 1] & 0x38) == 0x10) return true;
    return false;
  }
  return false;
}

__attribute__((no_sanitize_address, no_sanitize_thread)) uintptr_t WordAt(uintptr_t address) noexcept {
  return *reinterpret_cast<const volatile uintptr_t*>(address);
}

constexpr uintptr_t kMostScanned = 512 * 1024;

class TScanning {
 public:
  TScanning() noexcept {
    while (scanning.test_and_set(std::memory_order_acquire)) ::sched_yield();
  }
  ~TScanning() { scanning.clear(std::memory_order_release); }
  TScanning(const TScanning&) = delete;
  TScanning& operator=(const TScanning&) = delete;
};

// The code ranges, and the readable mapping that holds At; false when none
// does.
bool LookAround(uintptr_t At) noexcept {
  code.Count = 0;
  code.Sp = At;
  code.StackStart = code.StackEnd = 0;
  ForEachMapping(&NoteMapping, &code);
  return code.StackEnd != 0;
}

}  // namespace

int ScanForReturnAddresses(uintptr_t From, uintptr_t* Frames, int Max) noexcept {
  const TScanning one;
  if (!LookAround(From)) return -1;
  int depth = 0;
  for (uintptr_t a = From & ~uintptr_t{7}; a + 8 <= code.StackEnd && a - From < kMostScanned && depth < Max; a += 8)
    if (const uintptr_t w = WordAt(a); IsReturnAddress(w)) Frames[depth++] = w;
  return depth;
}

int ScanOutermostReturnAddresses(uintptr_t Low, uintptr_t High, uintptr_t* Frames, int Max) noexcept {
  const TScanning one;
  if (High < 8 || !LookAround(High - 8)) return 0;
  const uintptr_t floor = std::max({Low, code.StackStart, High - std::min(High, kMostScanned)});
  int depth = 0;
  for (uintptr_t a = (std::min(High, code.StackEnd) - 8) & ~uintptr_t{7}; a >= floor && depth < Max; a -= 8)
    if (const uintptr_t w = WordAt(a); IsReturnAddress(w)) Frames[depth++] = w;
  std::reverse(Frames, Frames + depth);
  return depth;
}

namespace {

// A thread that does not answer is most likely blocked in the kernel: the
// kernel tells where (its stack pointer and program counter), and the stack
// from there holds its return addresses, found as a debugger finds them
// without unwind information.
bool ScanStack(pid_t thread, TThreadStack& s) noexcept {
  char path[64] = "/proc/self/task/";
  size_t at = std::strlen(path);
  char digits[16];
  int n = 0;
  for (pid_t t = thread; t > 0 && n < 16; t /= 10) digits[n++] = static_cast<char>('0' + t % 10);
  while (n > 0) path[at++] = digits[--n];
  std::memcpy(path + at, "/syscall", 9);
  const qorb::winapi::FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC));
  char text[256];
  const ssize_t got = file.IsOpen() ? ::read(file.get(), text, sizeof text - 1) : -1;
  if (got <= 0) return false;
  text[got] = 0;
  // "nr arg1 ... arg6 sp pc", or "-1 sp pc": the last two are wanted.
  uintptr_t last[2] = {0, 0};
  for (const char* p = text; *p;) {
    while (*p == ' ' || *p == '\n') ++p;
    if (!*p) break;
    uintptr_t v = 0;
    if (p[0] == '0' && p[1] == 'x')
      for (p += 2; (*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f'); ++p)
        v = v * 16 + static_cast<uintptr_t>(*p <= '9' ? *p - '0' : *p - 'a' + 10);
    else
      while (*p && *p != ' ' && *p != '\n') ++p;
    last[0] = last[1];
    last[1] = v;
  }
  const uintptr_t sp = last[0], pc = last[1];
  if (sp == 0 || pc == 0) return false;
  s.Frames[0] = pc + 1;  // read as a return address, it names pc's own function
  const int found = ScanForReturnAddresses(sp, s.Frames + 1, TThreadStack::MaxFrames - 1);
  if (found < 0) return false;
  s.Depth = 1 + found;
  s.Scanned = true;
  return true;
}

// The process's threads, listed anew from the start of the folder each
// time: every unload looks, and opening the folder each time cost two
// system calls more.
const qorb::winapi::FileDescriptor& TasksFolder() noexcept {
  static const qorb::winapi::FileDescriptor tasks(::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return tasks;
}

struct TDirent64 {
  uint64_t Inode;
  int64_t Offset;
  unsigned short Length;
  unsigned char Type;
  char Name[1];
};

}  // namespace

namespace {

// Asked of the kernel once per thread (every unload asks, and a system call
// is dear); a child of fork asks again.
constinit thread_local pid_t knownThreadId QORB_HANDLER_TLS = 0;
const int forgetInChild = ::pthread_atfork(nullptr, nullptr, [] { knownThreadId = 0; });

}  // namespace

pid_t CurrentThreadId() noexcept {
  if (knownThreadId == 0) knownThreadId = static_cast<pid_t>(::syscall(SYS_gettid));
  return knownThreadId;
}

void InstallThreadStacks() {
  static std::once_flag once;
  std::call_once(once, [] {
    TasksFolder();  // opened here, never first in a handler
    // The first backtrace loads the unwinder; the handler must not be the first.
    void* warm[4];
    ::backtrace(warm, 4);
    struct sigaction sa {};
    sa.sa_sigaction = &OnStackSignal;
    sa.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    ::sigaction(StackSignal(), &sa, nullptr);
  });
}

namespace {

std::atomic<pid_t> ownThreads[4];

bool IsOwnThread(pid_t tid) noexcept {
  for (const auto& own : ownThreads)
    if (own.load(std::memory_order_relaxed) == tid) return true;
  return false;
}

size_t ReadStacks(TThreadStack* Stacks, size_t Max, bool Others) noexcept {
  const std::lock_guard turn(reader);
  const qorb::winapi::FileDescriptor& tasks = TasksFolder();
  if (!tasks.IsOpen() || ::lseek(tasks.get(), 0, SEEK_SET) != 0) return 0;
  const pid_t self = CurrentThreadId();
  size_t count = 0;
  alignas(8) static char entries[8192];
  for (;;) {
    const long got = ::syscall(SYS_getdents64, tasks.get(), entries, sizeof entries);
    if (got <= 0) break;
    for (long at = 0; at < got;) {
      const auto* e = reinterpret_cast<const TDirent64*>(entries + at);
      at += e->Length;
      pid_t tid = 0;
      for (const char* c = e->Name; *c >= '0' && *c <= '9'; ++c) tid = tid * 10 + (*c - '0');
      if (tid == 0 || count == Max) continue;
      if (Others && (tid == self || IsOwnThread(tid))) continue;
      TThreadStack& s = Stacks[count++];
      s = TThreadStack{};
      s.Thread = tid;
      if (tid == self) {
        void* frames[TThreadStack::MaxFrames + 1];
        const int n = ::backtrace(frames, TThreadStack::MaxFrames + 1);
        for (int i = 1; i < n; ++i) s.Frames[s.Depth++] = reinterpret_cast<uintptr_t>(frames[i]);
        NoteInside(s);
        s.Read = true;
      } else if (!AskThread(tid, TAsk::Read, &s)) {
        ScanStack(tid, s);
      }
    }
    // The kernel fills the buffer while entries fit: room for many more
    // means the listing ended, and asking again would only say so.
    if (static_cast<size_t>(got) + 1024 < sizeof entries) break;
  }
  return count;
}

}  // namespace

size_t ReadThreadStacks(TThreadStack* Stacks, size_t Max) noexcept { return ReadStacks(Stacks, Max, false); }

size_t ReadOtherThreadStacks(TThreadStack* Stacks, size_t Max) noexcept { return ReadStacks(Stacks, Max, true); }

TOwnThread::TOwnThread() noexcept : thread_(CurrentThreadId()) {
  for (auto& own : ownThreads) {
    pid_t none = 0;
    if (own.compare_exchange_strong(none, thread_)) return;
  }
}

// Its number may be a plug-in thread's later.
TOwnThread::~TOwnThread() {
  for (auto& own : ownThreads) {
    pid_t mine = thread_;
    if (own.compare_exchange_strong(mine, 0)) return;
  }
}

bool ReadThreadStack(pid_t Thread, TThreadStack& Stack) noexcept {
  const std::lock_guard turn(reader);
  Stack = TThreadStack{};
  Stack.Thread = Thread;
  return AskThread(Thread, TAsk::Read, &Stack);
}

bool FreezeThread(pid_t Thread) noexcept {
  const std::lock_guard turn(reader);
  return AskThread(Thread, TAsk::Freeze, nullptr);
}

THold FreezeThreadIn(pid_t Thread, uintptr_t First, uintptr_t Last, TThreadStack& Seen, int WaitDepth) noexcept {
  const std::lock_guard turn(reader);
  request.HoldFirst = First;
  request.HoldLast = Last;
  request.HoldAlsoAt = WaitDepth > 0 && WaitDepth < Seen.Depth ? Seen.Frames[WaitDepth] : 0;
  request.HoldDepth = WaitDepth;
  request.Held.store(false);
  if (!AskThread(Thread, TAsk::FreezeIn, &Seen)) return THold::NoAnswer;
  return request.Held.load() ? THold::Held : THold::Elsewhere;
}

int WaitsInTheSystemFrom(const TThreadStack& s, uintptr_t First, uintptr_t Last) noexcept {
  // The C library's calls that wait in the kernel and take no lock.
  static constexpr const char* kWaits[] = {"clock_nanosleep", "nanosleep", "usleep", "sleep", "poll", "ppoll",
                                           "select", "pselect", "epoll_wait", "read", "recv", "recvfrom",
                                           "accept", "pause", "sigsuspend", "sigwait", "sigtimedwait",
                                           "sched_yield", "__nanosleep", "__poll", "__select"};
  if (!s.Read) return -1;
  bool named = false;
  for (int f = 0; f < s.Depth; ++f) {
    const uintptr_t pc = f == 0 ? s.Frames[f] : s.Frames[f] - 1;
    if (pc >= First && pc <= Last) return f > 0 ? f : -1;
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(pc), &info) || !info.dli_fname) return -1;
    const char* name = std::strrchr(info.dli_fname, '/');
    name = name ? name + 1 : info.dli_fname;
    // A sanitizer's interceptor of the same call stands between.
    const bool sanitizer = std::strstr(name, "san.so") != nullptr;
    // Some unwinders give the signal's way in first: unnamed frames of the
    // C library (its return) or of a sanitizer (which passes signals on).
    if (!info.dli_sname && !named && (sanitizer || std::strncmp(name, "libc.so", 7) == 0)) continue;
    if (!info.dli_sname) return -1;
    named = true;
    if (!sanitizer && std::strncmp(name, "libc.so", 7) != 0) return -1;
    bool waits = false;
    for (const char* w : kWaits) {
      const char* n = info.dli_sname;
      if (sanitizer && std::strncmp(n, "__interceptor_", 14) == 0) n += 14;
      waits |= std::strcmp(n, w) == 0;
    }
    if (!waits) return -1;
  }
  return -1;
}

bool IsThreadStarting(const TThreadStack& s) noexcept {
  if (!s.Read) return false;
  // Not in a signal handler: the loader's own answer is cheaper than reading
  // each module's file.
  for (int f = 0; f < s.Depth; ++f) {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(s.Frames[f] - 1), &info) || !info.dli_fname) return false;
    const char* name = std::strrchr(info.dli_fname, '/');
    name = name ? name + 1 : info.dli_fname;
    if (std::strncmp(name, "libc.so", 7) != 0 && std::strncmp(name, "libasan", 7) != 0 &&
        std::strncmp(name, "libtsan", 7) != 0 && std::strncmp(name, "libubsan", 8) != 0)
      return false;
  }
  return true;
}
