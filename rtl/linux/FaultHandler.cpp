#include "rtl/FaultHandler.h"

#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string_view>

#include "rtl/ForeignFrames.h"
#include "rtl/DivideFault.h"
#include "rtl/linux/ModuleSpan.h"
#include "rtl/linux/SystemFrames.h"
#include "rtl/OwnModules.h"
#include "rtl/OwnMutex.h"

namespace {

using qorb::rtl::ForeignTop;

// SIGTRAP: a breakpoint instruction in a plug-in, run without a debugger
// (one attached takes the trap before the process sees it): reported.
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP};
constexpr size_t kSignalCount = sizeof kSignals / sizeof kSignals[0];
struct sigaction previousActions[kSignalCount];
std::atomic<TCrashReporter> crashReporter{nullptr};

thread_local uintptr_t stackLow QORB_HANDLER_TLS = 0;
thread_local uintptr_t stackHigh QORB_HANDLER_TLS = 0;
thread_local bool threadPrepared QORB_HANDLER_TLS = false;
// The mask the thread crosses into foreign code with: our code never
// changes it, so it is what every boundary of the thread was entered with.
thread_local sigset_t boundaryMask QORB_HANDLER_TLS;
// Set while the handler decides whether to contain a fault: a fault inside
// that decision comes back here undecided.
thread_local sigjmp_buf* deciding QORB_HANDLER_TLS = nullptr;

// The alternate stack this runtime gave a thread, given back when it ends.
class TAltStack {
 public:
  void Allocate() {
    size_ = 64 * 1024 + static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    void* memory = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (memory == MAP_FAILED) return;
    stack_t ss{};
    ss.ss_sp = memory;
    ss.ss_size = size_;
    if (::sigaltstack(&ss, nullptr) != 0) {
      ::munmap(memory, size_);
      return;
    }
    memory_ = memory;
  }
  ~TAltStack() {
    if (!memory_) return;
    stack_t ss{};
    ss.ss_flags = SS_DISABLE;
    ::sigaltstack(&ss, nullptr);
    ::munmap(memory_, size_);
  }

 private:
  void* memory_ = nullptr;
  size_t size_ = 0;
};
thread_local TAltStack altStack;

TModuleSpan SpanOf(const dl_phdr_info& info) { return LoadedSpan(info.dlpi_addr, info.dlpi_phdr, info.dlpi_phnum); }

void AddOwn(TModuleSpan span) { qorb::rtl::AddOwnRange(span.Start, span.End); }

bool IsRuntimeLibrary(const char* path) {
  std::string_view name(path ? path : "");
  if (const size_t slash = name.rfind('/'); slash != std::string_view::npos) name.remove_prefix(slash + 1);
  return name.starts_with("libqorb");
}

constexpr uintptr_t kGuardReach = 256 * 1024;

// Stack overflow: the faulting access, or the stack pointer, lies at the
// low end of the thread's stack, where its guard page is.
bool IsStackOverflow(uintptr_t address, uintptr_t sp) {
  if (!stackLow) return false;
  auto near = [](uintptr_t a) { return a + kGuardReach >= stackLow && a < stackLow + kGuardReach; };
  return near(address) || near(sp);
}

// Neither in the thread's stack nor just below it, nor on the alternate
// signal stack (a handler's): a stack pointer a plug-in set to garbage, or
// to a stack of its own making.
bool IsStackLost(uintptr_t sp) {
  if (!stackHigh || (sp < stackHigh && sp + kGuardReach >= stackLow)) return false;
  stack_t alternate{};
  if (::sigaltstack(nullptr, &alternate) == 0 && !(alternate.ss_flags & SS_DISABLE)) {
    const auto base = reinterpret_cast<uintptr_t>(alternate.ss_sp);
    if (sp >= base && sp < base + alternate.ss_size) return false;
  }
  return true;
}

bool IsPrivilegedOpcode(const unsigned char* pc) {
  switch (pc[0]) {
    case 0xF4:  // hlt
    case 0xFA:  // cli
    case 0xFB:  // sti
    case 0xE4: case 0xE5: case 0xE6: case 0xE7:  // in, out
    case 0xEC: case 0xED: case 0xEE: case 0xEF:
      return true;
    case 0x0F:  // wrmsr, rdmsr, invd, wbinvd, clts, lgdt...
      return pc[1] == 0x30 || pc[1] == 0x32 || pc[1] == 0x08 || pc[1] == 0x09 || pc[1] == 0x06 || pc[1] == 0x01;
    default:
      return false;
  }
}

bool DivisionOverflowedAt(const ucontext_t& c) {
  const greg_t* r = c.uc_mcontext.gregs;
  const uint64_t registers[16] = {
      static_cast<uint64_t>(r[REG_RAX]), static_cast<uint64_t>(r[REG_RCX]), static_cast<uint64_t>(r[REG_RDX]),
      static_cast<uint64_t>(r[REG_RBX]), static_cast<uint64_t>(r[REG_RSP]), static_cast<uint64_t>(r[REG_RBP]),
      static_cast<uint64_t>(r[REG_RSI]), static_cast<uint64_t>(r[REG_RDI]), static_cast<uint64_t>(r[REG_R8]),
      static_cast<uint64_t>(r[REG_R9]),  static_cast<uint64_t>(r[REG_R10]), static_cast<uint64_t>(r[REG_R11]),
      static_cast<uint64_t>(r[REG_R12]), static_cast<uint64_t>(r[REG_R13]), static_cast<uint64_t>(r[REG_R14]),
      static_cast<uint64_t>(r[REG_R15])};
  return DivisionOverflowed(reinterpret_cast<const uint8_t*>(r[REG_RIP]), registers);
}

TFaultRecord::TFloat FloatFault(int code) {
  using TFloat = TFaultRecord::TFloat;
  switch (code) {
    case FPE_FLTDIV:
      return TFloat::ZeroDivide;
    case FPE_FLTOVF:
      return TFloat::Overflow;
    case FPE_FLTUND:
      return TFloat::Underflow;
    case FPE_FLTINV:
    case FPE_FLTRES:
    case FPE_FLTSUB:
      return TFloat::InvalidOp;
    default:
      return TFloat::None;
  }
}

TFaultRecord Describe(int sig, const siginfo_t* info, const ucontext_t* uc) {
  TFaultRecord f;
  f.Signal = sig;
  f.Code = info->si_code;
  const greg_t* regs = uc->uc_mcontext.gregs;
  f.Pc = static_cast<uintptr_t>(regs[REG_RIP]);
  f.Sp = static_cast<uintptr_t>(regs[REG_RSP]);
  f.StackLost = IsStackLost(f.Sp);
  if (info->si_code <= 0) {
    // SI_USER, SI_TKILL, SI_QUEUE...: where si_addr would be lies the sender.
    f.Sent = true;
    f.SenderPid = info->si_pid;
    return f;
  }
  f.Address = reinterpret_cast<uintptr_t>(info->si_addr);
  f.Breakpoint = sig == SIGTRAP;
  f.IntegerOverflow = sig == SIGFPE && (info->si_code == FPE_INTOVF || (info->si_code == FPE_INTDIV && DivisionOverflowedAt(*uc)));
  if (sig == SIGFPE) f.Float = FloatFault(info->si_code);
  if (sig == SIGSEGV || sig == SIGBUS) {
    const auto error = static_cast<uint64_t>(regs[REG_ERR]);
    if (error & 0x10)
      f.Access = TFaultRecord::TAccess::Execute;
    else if (error & 0x2)
      f.Access = TFaultRecord::TAccess::Write;
    if (sig == SIGSEGV && info->si_code == SI_KERNEL && f.Pc)
      f.PrivilegedInstruction = IsPrivilegedOpcode(reinterpret_cast<const unsigned char*>(f.Pc));
    f.StackOverflow = !f.PrivilegedInstruction && IsStackOverflow(f.Address, static_cast<uintptr_t>(regs[REG_RSP]));
  }
  return f;
}

size_t SignalIndex(int sig) {
  for (size_t i = 0; i < kSignalCount; ++i)
    if (kSignals[i] == sig) return i;
  return 0;
}

void EndProcess(int sig, siginfo_t* info, void* context, const TFaultRecord& fault) {
  int status = 0;
  if (TCrashReporter reporter = crashReporter.load(std::memory_order_acquire)) status = reporter(fault, ForeignTop);
  const struct sigaction& previous = previousActions[SignalIndex(sig)];
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction) previous.sa_sigaction(sig, info, context);
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(sig);
  }
  if (status > 0) ::_exit(status);
  // The signal's own ending: the faulting instruction runs again without us.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(sig, &fallback, nullptr);
  if (info->si_code <= 0) ::raise(sig);
}

// Whether abandoning the frames down to the boundary abandons only the
// plug-in's own state.
bool Contain(const qorb::rtl::TForeignFrame* frame, TFaultRecord& fault) {
  if (!qorb::rtl::Containable(frame, fault, qorb::rtl::OwnLocksHeld)) return false;
#if defined(__SANITIZE_THREAD__)
  // ThreadSanitizer keeps its own record of jumps and allocations, which a
  // jump set and a walk made in the handler upset: the faulting frame alone
  // decides.
  fault.InSystemCode = qorb::rtl::SystemCodeKind(fault.Pc) == qorb::rtl::TSystemKind::Runtime;
  fault.SystemPc = fault.Pc;
  return !fault.InSystemCode;
#else
  if (deciding) return false;  // a fault while deciding another
  sigjmp_buf back;
  if (sigsetjmp(back, 0) != 0) {
    deciding = nullptr;
    return false;
  }
  deciding = &back;
  const bool contain = OnlyForeignFramesAbandoned(fault);
  deciding = nullptr;
  return contain;
#endif
}

void OnFault(int sig, siginfo_t* info, void* context) {
  auto* uc = static_cast<ucontext_t*>(context);
  if (sigjmp_buf* back = deciding) siglongjmp(*back, 1);
  TFaultRecord fault = Describe(sig, info, uc);
  qorb::rtl::TForeignFrame* frame = ForeignTop;
  if (Contain(frame, fault)) {
    frame->Containment->Contained.Put(fault);
    ::pthread_sigmask(SIG_SETMASK, &boundaryMask, nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // The frames jumped over leave their poisoned stack behind otherwise.
    __asan_handle_no_return();
#endif
    QORB_LONG_JUMP(frame->Containment->Jump);
  }
  EndProcess(sig, info, context, fault);
}


}  // namespace

void PrepareThreadForFaults() {
  if (threadPrepared) return;
  threadPrepared = true;
  pthread_attr_t attr;
  if (::pthread_getattr_np(::pthread_self(), &attr) == 0) {
    void* low = nullptr;
    size_t size = 0;
    if (::pthread_attr_getstack(&attr, &low, &size) == 0) {
      stackLow = reinterpret_cast<uintptr_t>(low);
      stackHigh = stackLow + size;
    }
    ::pthread_attr_destroy(&attr);
  }
  ::pthread_sigmask(SIG_SETMASK, nullptr, &boundaryMask);
  for (int sig : kSignals) ::sigdelset(&boundaryMask, sig);
  stack_t current{};
  // A sanitizer, or the program, may have given the thread one already.
  if (::sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) altStack.Allocate();
}

bool PreparedThreadStack(uintptr_t& Low, uintptr_t& High) noexcept {
  Low = stackLow;
  High = stackHigh;
  return High != 0;
}

void MarkOwnModule(const void* Address) {
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  TModuleSpan span;
  const char* name = nullptr;
  ModuleHolding(reinterpret_cast<uintptr_t>(Address), span, name);
  AddOwn(span);
}

void MarkOwnModules() {
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  MarkSystemModules();
  bool first = true;
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        bool& first = *static_cast<bool*>(data);
        // The program comes first, with no name.
        if (first || IsRuntimeLibrary(info->dlpi_name)) AddOwn(SpanOf(*info));
        first = false;
        return 0;
      },
      &first);
}

// The alternate stack took the overflow; the guard page is untouched.
void qorb::rtl::AfterContainedFault(const TFaultRecord&) noexcept {}

void qorb::rtl::InstallPlatformHandlers() {
  struct sigaction action {};
  action.sa_sigaction = &OnFault;
  // A fault inside the handler comes to it again (to be reported, not to
  // let the kernel end the process silently); every other signal waits,
  // the one that freezes threads to read their stacks included.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  ::sigfillset(&action.sa_mask);
  for (int sig : kSignals) ::sigdelset(&action.sa_mask, sig);
  for (size_t i = 0; i < kSignalCount; ++i) ::sigaction(kSignals[i], &action, &previousActions[i]);
}

// Signal handlers are guarded where they are set.
const void* ReclaimUnhandledFilter() noexcept { return nullptr; }

void SetCrashReporter(TCrashReporter Reporter) { crashReporter.store(Reporter, std::memory_order_release); }
