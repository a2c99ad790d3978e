#include "workbench/CrashReport.h"

#include <execinfo.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "ide/ReportText.h"
#include "workbench/PluginThreads.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/SignalSafeText.h"
#include "rtl/FaultHandler.h"
#include "winapi/Modules.h"

namespace {

// The message-view lines, in a file of memory the handler reads back with
// pread: nothing to lock, nothing to allocate.
int journal = -1;
std::atomic<long> mainThread{0};

// Two buffers, so the handler never reads one being written.
struct TActivity {
  char Text[2][512] = {};
  std::atomic<int> Current{0};
};
TActivity activity;

long ThreadId() noexcept { return ::syscall(SYS_gettid); }

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

const char* FaultName(const TFaultRecord& f) noexcept {
  switch (FaultKindOf(f)) {
    case TFaultKind::StackOverflow:
      return "stack overflow";
    case TFaultKind::Privilege:
      return "privileged or illegal instruction";
    case TFaultKind::IntOverflow:
      return "integer overflow";
    case TFaultKind::DivByZero:
      return "division by zero";
    case TFaultKind::AccessViolation:
      break;
  }
  return "access violation";
}

void AddCall(TSignalSafeText& out, const TForeignCall& call) noexcept {
  out.Add(call.What ? call.What : u"foreign code");
  if (call.Subject && *call.Subject) out.Add(" (").Add(call.Subject).Add(")");
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
    out.Add("qorb-ide: crashed: ").Add(FaultName(fault)).Add(" (").Add(SignalName(fault.Signal)).Add(")");
  }
  if (!fault.Sent && (fault.Signal == SIGSEGV || fault.Signal == SIGBUS)) {
    const char* verb = fault.Access == TFaultRecord::TAccess::Write     ? "write"
                       : fault.Access == TFaultRecord::TAccess::Execute ? "execution"
                                                                        : "read";
    out.Add(", ").Add(verb).Add(" of address ").Hex(fault.Address);
  }
  out.Add(fault.Sent ? "\n  received at " : "\n  at ").Hex(fault.Pc);
  static TCodePlace place;
  if (FindCodePlace(fault.Pc, place)) {
    out.Add(" in ").Add(place.Module);
    if (place.Symbol[0]) out.Add(" (").Add(place.Symbol).Add("+0x").Hex(place.Offset, 4).Add(")");
  } else if (const char* gone = UnloadedLibraryAt(fault.Pc)) {
    out.Add(" in ").Add(gone).Add(", unloaded");
  } else {
    out.Add(" in no mapped module (its library may have been unloaded)");
  }
  if (ThreadId() == mainThread.load()) {
    out.Add("\n  on the main thread");
  } else {
    void* frames[48];
    uintptr_t addresses[48];
    const int depth = ::backtrace(frames, 48);
    for (int i = 0; i < depth; ++i) addresses[i] = reinterpret_cast<uintptr_t>(frames[i]);
    if (const char* plugin = PluginOfThread(static_cast<pid_t>(ThreadId()), addresses, depth))
      out.Add("\n  on a thread started by ").Add(plugin);
    else
      out.Add("\n  on a thread the IDE did not start");
  }
  if (innermost && !innermost->Call) {
    bool calledBack = false;
    for (const qorb::rtl::TForeignFrame* f = innermost; f; f = f->Outer) calledBack |= f->Call != nullptr;
    out.Add(calledBack ? "\n  in our own code, called back from foreign code" : "\n  in our own code");
  }
  // A runaway recursion repeats one call thousands of times: once, counted.
  const TForeignCall* last = nullptr;
  uint64_t repeats = 0;
  auto closeRepeats = [&] {
    if (repeats) out.Add("\n    called from: the same, ").Decimal(repeats).Add(repeats == 1 ? " more time" : " more times");
    repeats = 0;
  };
  for (const qorb::rtl::TForeignFrame* f = innermost; f; f = f->Outer) {
    if (!f->Call) continue;  // our code again, called back from the one before
    if (last && f->Call->What == last->What && f->Call->Subject == last->Subject) {
      ++repeats;
      continue;
    }
    closeRepeats();
    out.Add(last ? "\n    called from: " : "\n  inside: ");
    AddCall(out, *f->Call);
    last = f->Call;
  }
  closeRepeats();
  const char* doing = activity.Text[activity.Current.load()];
  if (*doing) out.Add("\n  while the IDE was ").Add(doing);
  out.Add("\nMessage view so far:\n");
  CopyJournal(out);
  out.Flush();
  RunCrashCleanup();
  return CrashExitStatus;
}

std::once_flag installed;

std::atomic<void (*)(void*)> cleanup{nullptr};
std::atomic<void*> cleanupData{nullptr};

}  // namespace

const char* CrashActivity() noexcept { return activity.Text[activity.Current.load()]; }

void WriteMessageJournal(TSignalSafeText& Out) noexcept { CopyJournal(Out); }

void SetCrashCleanup(void (*Cleanup)(void* Data), void* Data) noexcept {
  cleanup.store(nullptr);
  cleanupData.store(Data);
  cleanup.store(Cleanup);
}

void RunCrashCleanup() noexcept {
  if (void (*run)(void*) = cleanup.exchange(nullptr)) run(cleanupData.load());
}

void InstallCrashReport() {
  std::call_once(installed, [] {
    mainThread.store(ThreadId());
    // The first backtrace loads the unwinder: not in the handler.
    void* warm[2];
    ::backtrace(warm, 2);
    journal = ::memfd_create("qorb-ide-messages", MFD_CLOEXEC);
    InstallFaultHandler();
    SetCrashReporter(&Report);
    SetUnloadedModuleNamer(&qorb::winapi::FindUnloadedModule);
  });
}

void SetCrashActivity(std::string_view What) {
  const int next = 1 - activity.Current.load();
  const size_t n = std::min(What.size(), sizeof activity.Text[next] - 1);
  std::memcpy(activity.Text[next], What.data(), n);
  activity.Text[next][n] = 0;
  activity.Current.store(next);
}

void JournalMessageLine(std::string_view Line) {
  if (journal < 0) return;
  std::string text = "  ";
  AppendIndented(text, Line, "    ");
  text += '\n';
  // One write a line, so a line is there whole or not at all.
  (void)!::write(journal, text.data(), text.size());
}
