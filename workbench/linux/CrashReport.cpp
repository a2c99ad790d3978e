#include "workbench/CrashReport.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <exception>
#include <string>

#include "ide/ReportText.h"
#include "workbench/CrashContext.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/SignalSafeText.h"
#include "workbench/ThreadStacks.h"
#include "workbench/linux/StackScan.h"
#include "rtl/Exception.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignFrames.h"

namespace {

// The message-view lines, in a file of memory the handler reads back with
// pread: nothing to lock, nothing to allocate.
int journal = -1;
std::atomic<pid_t> mainThread{0};

int CaptureStack(uintptr_t* frames, int max) noexcept {
  void* taken[64];
  const int depth = ::backtrace(taken, std::min(max, 64));
  for (int i = 0; i < depth; ++i) frames[i] = reinterpret_cast<uintptr_t>(taken[i]);
  return depth;
}

// For a fault whose stack pointer left the thread's stack: an unwinder
// would follow it wherever it points and fault again, so the thread's own
// stack is scanned instead (a stack a plug-in made of its own loses its
// frames to that, never the report).
int ScanLostStack(uintptr_t* frames, int max) noexcept {
  uintptr_t low = 0, high = 0;
  return PreparedThreadStack(low, high) ? ScanOutermostReturnAddresses(low, high, frames, max) : 0;
}

const char* SignalName(int sig) noexcept {
  switch (sig) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGFPE:
      return "SIGFPE";
    case SIGILL:
      return "SIGILL";
    case SIGTRAP:
      return "SIGTRAP";
    default:
      return "signal";
  }
}

void CopyJournal(TSignalSafeText& out) noexcept {
  if (journal < 0) return;
  static char chunk[4096];
  off_t at = 0;
  for (;;) {
    const ssize_t n = ::pread(journal, chunk, sizeof chunk, at);
    if (n <= 0) break;
    out.Add(chunk, static_cast<size_t>(n));
    at += n;
  }
}

// The fault being reported, for a shorter report when writing the full one
// faults again (an unwinder reading a library file that was truncated).
TFaultRecord firstFault;
const qorb::rtl::TForeignFrame* firstInnermost = nullptr;
std::atomic<pid_t> reportingThread{0};
std::atomic<int> attempts{0};

[[noreturn]] void ReportAgain(const TFaultRecord& again) noexcept {
  // A third fault: nothing more can be said safely.
  if (attempts.fetch_add(1) > 1) ::_exit(CrashExitStatus);
  TSignalSafeText out(STDERR_FILENO);
  out.Add("\nqorb-ide: crashed: ").Add(CrashFaultName(firstFault)).Add(" (").Add(SignalName(firstFault.Signal))
      .Add(") at ").Hex(firstFault.Pc).Add("; writing its report faulted again (").Add(SignalName(again.Signal))
      .Add(" at ").Hex(again.Pc).Add("), so this report is short");
  out.Add("\n  at ").Hex(firstFault.Pc);
  AddCodePlace(out, firstFault.Pc);
  AddCrashContext(out, firstInnermost);
  out.Flush();
  RunCrashCleanup();
  ::_exit(CrashExitStatus);
}

// Makes the calling thread the one reporting, and notes what it reports
// for a shorter report should writing this one fault. A second thread
// faulting meanwhile waits for the first to end it all; the reporting
// thread faulting again gives the shorter report.
void BeginReport(pid_t self, const TFaultRecord& fault, const qorb::rtl::TForeignFrame* innermost) noexcept {
  pid_t none = 0;
  if (!reportingThread.compare_exchange_strong(none, self)) {
    if (none == self) ReportAgain(fault);
    for (;;) ::pause();
  }
  firstFault = fault;
  firstInnermost = innermost;
  attempts.store(1);
}

int Report(const TFaultRecord& fault, const qorb::rtl::TForeignFrame* innermost) {
  const pid_t self = CurrentThreadId();
  BeginReport(self, fault, innermost);
  TSignalSafeText out(STDERR_FILENO);
  if (fault.Sent) {
    // No instruction faulted: naming an access or an address would mislead.
    out.Add("qorb-ide: crashed: ").Add(SignalName(fault.Signal)).Add(" sent by ");
    if (fault.SenderPid == ::getpid())
      out.Add("this process");
    else
      out.Add("process ").Decimal(static_cast<uint64_t>(fault.SenderPid));
    out.Add(" (kill, raise or tgkill), not a fault of the code it interrupted");
  } else {
    out.Add("qorb-ide: crashed: ").Add(CrashFaultName(fault)).Add(" (").Add(SignalName(fault.Signal)).Add(")");
  }
  if (!fault.Sent && (fault.Signal == SIGSEGV || fault.Signal == SIGBUS)) {
    AddFaultAccess(out, fault);
  }
  if (fault.Signal == SIGBUS && !fault.Sent) {
    // A read past the end of a mapped file: it shrank under the mapping.
    static TCodePlace data;
    if (FindCodePlace(fault.Address, data) && data.Module[0])
      out.Add("\n  ").Add(data.Module).Add(": its file was replaced or truncated while loaded");
  }
  out.Flush();
  return FinishCrashReport(out, fault, innermost, self == mainThread.load(), self,
                           fault.StackLost ? &ScanLostStack : &CaptureStack);
}

// glibc's note of why it aborts ("double free or corruption (out)").
struct TAbortMessage {
  unsigned int Size;
  char Text[1];
};
TAbortMessage** abortMessage = nullptr;

// The thread's frames, from the first of code that is not ours nor the
// system's.
void AddStack(TSignalSafeText& out) noexcept {
  uintptr_t frames[64];
  const int depth = CaptureStack(frames, 64);
  out.Add("\n  stack:");
  static TCodePlace place;
  // The report's own frames, and the system's under them (a sanitizer's,
  // the signal's return, the C library's abort).
  int first = 0;
  while (first < depth && !IsForeignCodeAt(reinterpret_cast<const void*>(frames[first] - 1))) ++first;
  if (first == depth) first = 0;
  for (int i = first; i < depth; ++i) {
    out.Add("\n    ").Hex(frames[i]);
    if (FindCodePlace(frames[i] - 1, place)) {
      out.Add(" in ").Add(place.Module);
      if (place.Symbol[0]) out.Add(" (").Add(place.Symbol).Add("+0x").Hex(place.Offset + 1, 4).Add(")");
    }
  }
}

// The first frame, innermost first, of a library that may be a plug-in's.
bool PluginFrame(uintptr_t& pc, TCodePlace& place) noexcept {
  uintptr_t frames[48];
  return FirstPluginFrame(frames, CaptureStack(frames, 48), pc, place);
}

void OnAbort(int sig, siginfo_t*, void* context) {
  const pid_t self = CurrentThreadId();
  TFaultRecord fault;
  fault.Signal = sig;
  fault.Pc = static_cast<uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
  const qorb::rtl::TForeignFrame* innermost = qorb::rtl::ForeignTop;
  BeginReport(self, fault, innermost);
  TSignalSafeText out(STDERR_FILENO);
  out.Add("qorb-ide: crashed: abort (SIGABRT)");
  if (abortMessage && *abortMessage && (*abortMessage)->Size > sizeof(unsigned int)) {
    const char* text = (*abortMessage)->Text;
    size_t n = ::strnlen(text, 512);
    while (n && text[n - 1] == '\n') --n;
    out.Add(": ").Add(text, n);
  }
  out.Flush();
  AddStack(out);
  ::_exit(FinishCrashReport(out, fault, innermost, self == mainThread.load(), self, &CaptureStack));
}

// An exception nothing could take: most often ours, thrown back into
// frames of a plug-in written in C, which cannot pass it.
[[noreturn]] void OnTerminate() noexcept {
  const pid_t self = CurrentThreadId();
  TFaultRecord fault;
  fault.Signal = SIGABRT;
  static TCodePlace place;
  const bool fromPlugin = PluginFrame(fault.Pc, place);
  const qorb::rtl::TForeignFrame* innermost = qorb::rtl::ForeignTop;
  BeginReport(self, fault, innermost);
  const std::string what = TerminateReason();
  TSignalSafeText out(STDERR_FILENO);
  out.Add("qorb-ide: crashed: ").Add(what.c_str());
  if (fromPlugin)
    out.Add("\n  it could not pass the frames of ").Add(place.Module).Add(" (").Add(place.Symbol)
        .Add("), which cannot take an exception");
  out.Flush();
  AddStack(out);
  ::_exit(FinishCrashReport(out, fault, innermost, self == mainThread.load(), self, &CaptureStack));
}

std::once_flag installed;

}  // namespace

void WriteMessageJournal(TSignalSafeText& Out) noexcept { CopyJournal(Out); }

void InstallCrashReport() {
  std::call_once(installed, [] {
    mainThread.store(CurrentThreadId());
    // The first backtrace loads the unwinder: not in the handler.
    void* warm[2];
    ::backtrace(warm, 2);
    journal = ::memfd_create("qorb-ide-messages", MFD_CLOEXEC);
    InstallFaultHandler();
    SetCrashReporter(&Report);
    NameUnloadedModulesInFaults();
    abortMessage = static_cast<TAbortMessage**>(::dlsym(RTLD_DEFAULT, "__abort_msg"));
    struct sigaction action {};
    action.sa_sigaction = &OnAbort;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    ::sigfillset(&action.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT}) ::sigdelset(&action.sa_mask, sig);
    ::sigaction(SIGABRT, &action, nullptr);
    std::set_terminate(&OnTerminate);
  });
}

void JournalMessageLine(std::string_view Line) {
  if (journal < 0) return;
  std::string text = "  ";
  AppendIndented(text, Line, "    ");
  text += '\n';
  // One write a line, so a line is there whole or not at all.
  (void)!::write(journal, text.data(), text.size());
}

void EndProcessNow(int Status) noexcept { ::_exit(Status); }
