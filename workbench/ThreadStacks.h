#pragma once
// Every thread's stack, read as a debugger reads it while the threads are
// held up: each thread is sent a signal whose handler records its return
// addresses and the foreign call it is inside. The reader makes no call
// that could wait for a lock another thread holds, so a hung or crashing
// process can still be read. One reader at a time.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

struct TThreadStack {
  static constexpr int MaxFrames = 48;
  pid_t Thread = 0;
  bool Read = false;  // false: the thread did not answer
  // It did not answer (a sanitizer holds signals back while it waits for a
  // lock): Frames are where it waits in the kernel and the return addresses
  // found on its stack from there, some of which may be stale.
  bool Scanned = false;
  int Depth = 0;
  uintptr_t Frames[MaxFrames] = {};  // innermost first
  uintptr_t Sp = 0;  // its stack pointer when read, where it is known
  // The foreign call it is inside, copied by the thread itself: "Shutdown"
  // and its subject; empty when it runs only our code.
  char16_t InsideWhat[48] = {};
  char16_t InsideSubject[256] = {};
};

// Once per process, before any reading.
void InstallThreadStacks();

// The process's threads, the caller's own included; at most Max of them.
// A thread that does not answer once is scanned from then on.
size_t ReadThreadStacks(TThreadStack* Stacks, size_t Max) noexcept;
// As ReadThreadStacks, without the caller and the workbench's own threads:
// those that may run a plug-in's code. Asking a thread costs a signal and
// its answer, and an unload asks every time.
size_t ReadOtherThreadStacks(TThreadStack* Stacks, size_t Max) noexcept;
// The calling thread is the workbench's own while this lives: it never
// runs plug-in code.
class TOwnThread {
 public:
  TOwnThread() noexcept;
  ~TOwnThread();
  TOwnThread(const TOwnThread&) = delete;
  TOwnThread& operator=(const TOwnThread&) = delete;

 private:
  pid_t thread_;
};

// One thread's stack, as ReadThreadStacks reads each.
bool ReadThreadStack(pid_t Thread, TThreadStack& Stack) noexcept;

// Holds Thread where it is for good (a debugger's suspend): it runs no more
// of its code. Answers false when it did not answer.
bool FreezeThread(pid_t Thread) noexcept;
// As FreezeThread, only while the thread's instruction lies in [First, Last]
// (code of the library that is going) or while it is still in the wait
// Seen shows, called from its frame WaitDepth (0: none): held inside our
// code, the C library or the loader, it could hold a lock the rest of the
// process waits on. Where the platform can tell without a look-up that
// could wait for such a lock, Seen is where the thread was found instead.
enum class THold { Held, Elsewhere, NoAnswer };
THold FreezeThreadIn(pid_t Thread, uintptr_t First, uintptr_t Last, TThreadStack& Seen, int WaitDepth) noexcept;
// Where a read stack waits in the system (a sleep, a poll, a read) called
// straight from code in [First, Last]: the index of that calling frame, or
// -1. Held in such a wait, it holds nothing. Not in a signal handler.
int WaitsInTheSystemFrom(const TThreadStack& Stack, uintptr_t First, uintptr_t Last) noexcept;

pid_t CurrentThreadId() noexcept;

// Only the system's code on a read stack (the C library, the sanitizers'
// runtimes, the system's thread start): a thread between its creation and
// its start routine. Not in a signal handler.
bool IsThreadStarting(const TThreadStack& Stack) noexcept;
