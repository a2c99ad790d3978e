#include "workbench/ThreadStacks.h"

#include <dirent.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

#include "rtl/ForeignCallNow.h"
#include "winapi/FileDescriptor.h"

namespace {

// Above the real-time signals the C library and the sanitizers keep.
int StackSignal() noexcept { return SIGRTMIN + 6; }

enum class TAsk { Read, Freeze };

struct TRequest {
  std::atomic<pid_t> Thread{0};
  std::atomic<TAsk> Ask{TAsk::Read};
  std::atomic<bool> Answered{false};
  TThreadStack* Into = nullptr;
};
TRequest request;
std::mutex reader;  // the reading threads take turns; the handler never takes it

void OnStackSignal(int, siginfo_t*, void*) {
  const int saved = errno;
  if (request.Thread.load() != CurrentThreadId()) {
    errno = saved;
    return;  // a late answer to a request that was given up
  }
  if (request.Ask.load() == TAsk::Freeze) {
    request.Answered.store(true);
    sigset_t none;
    sigfillset(&none);
    sigdelset(&none, SIGKILL);
    sigdelset(&none, SIGSTOP);
    for (;;) ::sigsuspend(&none);
  }
  TThreadStack& s = *request.Into;
  // Its own frame and the signal trampoline are not the thread's.
  void* frames[TThreadStack::MaxFrames + 2];
  const int n = ::backtrace(frames, TThreadStack::MaxFrames + 2);
  s.Depth = 0;
  for (int i = 2; i < n; ++i) s.Frames[s.Depth++] = reinterpret_cast<uintptr_t>(frames[i]);
  s.Inside = InnermostForeignCall();
  s.Read = true;
  request.Answered.store(true);
  errno = saved;
}

void Nap() noexcept {
  const timespec t{0, 1000000};
  ::nanosleep(&t, nullptr);
}

// Sends Ask to Thread and waits up to a second for its answer.
bool AskThread(pid_t Thread, TAsk Ask, TThreadStack* Into) noexcept {
  request.Into = Into;
  request.Ask.store(Ask);
  request.Answered.store(false);
  request.Thread.store(Thread);
  bool answered = false;
  if (::syscall(SYS_tgkill, ::getpid(), Thread, StackSignal()) == 0)
    for (int waited = 0; waited < 1100 && !(answered = request.Answered.load()); ++waited) {
      if (waited < 100)
        ::sched_yield();
      else
        Nap();
    }
  request.Thread.store(0);
  return answered;
}

struct TDirent64 {
  uint64_t Inode;
  int64_t Offset;
  unsigned short Length;
  unsigned char Type;
  char Name[1];
};

}  // namespace

pid_t CurrentThreadId() noexcept { return static_cast<pid_t>(::syscall(SYS_gettid)); }

void InstallThreadStacks() {
  static std::once_flag once;
  std::call_once(once, [] {
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

size_t ReadThreadStacks(TThreadStack* Stacks, size_t Max) noexcept {
  const std::lock_guard turn(reader);
  const qorb::winapi::FileDescriptor tasks(::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!tasks.IsOpen()) return 0;
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
      TThreadStack& s = Stacks[count++];
      s = TThreadStack{};
      s.Thread = tid;
      if (tid == self) {
        void* frames[TThreadStack::MaxFrames + 1];
        const int n = ::backtrace(frames, TThreadStack::MaxFrames + 1);
        for (int i = 1; i < n; ++i) s.Frames[s.Depth++] = reinterpret_cast<uintptr_t>(frames[i]);
        s.Inside = InnermostForeignCall();
        s.Read = true;
      } else {
        AskThread(tid, TAsk::Read, &s);
      }
    }
  }
  return count;
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
