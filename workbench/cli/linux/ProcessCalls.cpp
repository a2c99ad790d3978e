// qorb-ide's own definitions of the process-wide calls a plug-in could use
// to take the IDE's fault handling away from the others, or to end it
// without a word. The program's definitions come first in the loader's
// search, before the C library's and a sanitizer's, so every library's
// calls reach these; each passes on to the next definition.
//
// ThreadSanitizer's runtime makes some of these calls before it can run
// instrumented code: built with it, the program leaves them alone.
#if !defined(__SANITIZE_THREAD__)
#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "rtl/FaultHandler.h"
#include "workbench/ProcessGuard.h"

namespace {

template <class F>
F Next(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

// Our code, or any code before the handler knows which is ours; never
// asks the loader, whose lock a frozen thread may hold.
bool FromOwnCode(const void* returnAddress) { return !IsForeignCodeAt(returnAddress); }

bool IsFaultSignal(int sig) {
  return sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL || sig == SIGABRT;
}

const char* ReplacedText(int sig) {
  switch (sig) {
    case SIGSEGV:
      return "replaced the handler of SIGSEGV";
    case SIGBUS:
      return "replaced the handler of SIGBUS";
    case SIGFPE:
      return "replaced the handler of SIGFPE";
    case SIGILL:
      return "replaced the handler of SIGILL";
    default:
      return "replaced the handler of SIGABRT";
  }
}

// Room the fault handler needs to report a stack overflow, with a walk of
// the faulting thread's frames.
constexpr size_t kLeastAltStack = 32 * 1024;

struct TThreadStart {
  void* (*Routine)(void*);
  void* Argument;
};

void* StartPluginThread(void* data) {
  const TThreadStart start = *static_cast<TThreadStart*>(data);
  std::free(data);
  // Before the first instruction of the thread's own code: an overflow or a
  // garbage stack pointer there can be reported.
  PrepareThreadForFaults();
  return start.Routine(start.Argument);
}

// The kernel ends a process whose thread faults with that fault's signal
// blocked: a plug-in's mask never blocks them.
using TMaskCall = int (*)(int, const sigset_t*, sigset_t*);
int ChangeMask(TMaskCall next, const void* caller, int how, const sigset_t* set, sigset_t* previous) {
  if (!set || how == SIG_UNBLOCK || FromOwnCode(caller)) return next(how, set, previous);
  sigset_t allowed = *set;
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) ::sigdelset(&allowed, sig);
  return next(how, &allowed, previous);
}

}  // namespace

extern "C" {

int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*routine)(void*), void* argument) {
  static const auto next = Next<int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)>("pthread_create");
  auto* start = static_cast<TThreadStart*>(std::malloc(sizeof(TThreadStart)));
  if (!start) return next(thread, attr, routine, argument);
  *start = {routine, argument};
  const int result = next(thread, attr, &StartPluginThread, start);
  if (result != 0) std::free(start);
  return result;
}

int sigaction(int sig, const struct sigaction* action, struct sigaction* previous) {
  static const auto next = Next<int (*)(int, const struct sigaction*, struct sigaction*)>("sigaction");
  const void* caller = __builtin_return_address(0);
  if (action && IsFaultSignal(sig) && !FromOwnCode(caller)) {
    NotePluginTookFaultHandling(caller, ReplacedText(sig));
    return next(sig, nullptr, previous);
  }
  return next(sig, action, previous);
}

sighandler_t signal(int sig, sighandler_t handler) {
  static const auto next = Next<sighandler_t (*)(int, sighandler_t)>("signal");
  const void* caller = __builtin_return_address(0);
  if (IsFaultSignal(sig) && !FromOwnCode(caller)) {
    NotePluginTookFaultHandling(caller, ReplacedText(sig));
    struct sigaction current {};
    static const auto query = Next<int (*)(int, const struct sigaction*, struct sigaction*)>("sigaction");
    query(sig, nullptr, &current);
    return current.sa_handler;
  }
  return next(sig, handler);
}

int pthread_sigmask(int how, const sigset_t* set, sigset_t* previous) {
  static const auto next = Next<TMaskCall>("pthread_sigmask");
  return ChangeMask(next, __builtin_return_address(0), how, set, previous);
}

int sigprocmask(int how, const sigset_t* set, sigset_t* previous) {
  static const auto next = Next<TMaskCall>("sigprocmask");
  return ChangeMask(next, __builtin_return_address(0), how, set, previous);
}

int sigaltstack(const stack_t* stack, stack_t* previous) {
  static const auto next = Next<int (*)(const stack_t*, stack_t*)>("sigaltstack");
  const void* caller = __builtin_return_address(0);
  if (stack && !FromOwnCode(caller)) {
    stack_t current{};
    next(nullptr, &current);
    const bool off = stack->ss_flags & SS_DISABLE;
    if (!(current.ss_flags & SS_DISABLE) && (off || stack->ss_size < kLeastAltStack)) {
      NotePluginTookFaultHandling(caller, off ? "turned off the alternate signal stack"
                                              : "replaced the alternate signal stack by one too small");
      if (previous) *previous = current;
      return 0;
    }
  }
  return next(stack, previous);
}

[[noreturn]] void exit(int status) {
  static const auto next = Next<void (*)(int)>("exit");
  const void* caller = __builtin_return_address(0);
  if (!FromOwnCode(caller)) EndForPluginExit(caller, "exit", status);
  next(status);
  ::_exit(status);
}

[[noreturn]] void _exit(int status) {
  static const auto next = Next<void (*)(int)>("_exit");
  const void* caller = __builtin_return_address(0);
  if (!FromOwnCode(caller)) EndForPluginExit(caller, "_exit", status);
  next(status);
  for (;;) ::pause();
}

[[noreturn]] void _Exit(int status) {
  const void* caller = __builtin_return_address(0);
  if (!FromOwnCode(caller)) EndForPluginExit(caller, "_Exit", status);
  static const auto next = Next<void (*)(int)>("_Exit");
  next(status);
  for (;;) ::pause();
}

}  // extern "C"

#endif
