#include "workbench/CrashReport.h"

#include <execinfo.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "ide/ReportText.h"
#include "workbench/CrashContext.h"
#include "workbench/SignalSafeText.h"
#include "workbench/ThreadStacks.h"
#include "rtl/FaultHandler.h"

namespace {

// The message-view lines, in a file of memory the handler reads back with
// pread: nothing to lock, nothing to allocate.
int journal = -1;
std::atomic<pid_t> mainThread{0};

int CaptureStack(uintptr_t* frames, int max) noexcept {
  void* taken[48];
  const int depth = ::backtrace(taken, std::min(max, 48));
  for (int i = 0; i < depth; ++i) frames[i] = reinterpret_cast<uintptr_t>(taken[i]);
  return depth;
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

int Report(const TFaultRecord& fault, const qorb::rtl::TForeignFrame* innermost) {
  // A second thread faulting meanwhile waits for the first to end it all.
  static std::atomic<bool> reporting{false};
  if (reporting.exchange(true)) {
    for (;;) ::pause();
  }
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
  const pid_t thread = CurrentThreadId();
  return FinishCrashReport(out, fault, innermost, thread == mainThread.load(), thread, &CaptureStack);
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
