#include "workbench/CrashReport.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>

#include "rtl/Exception.h"
#include "workbench/CrashContext.h"
#include "workbench/ExceptionPassageReport.h"
#include "workbench/MessageViewSoFar.h"
#include "workbench/ProcessGuard.h"
#include "workbench/PluginThreads.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/SignalSafeText.h"
#include "winapi/Modules.h"

namespace {

// Two buffers, so the handler never reads one being written.
struct TActivity {
  char Text[2][512] = {};
  std::atomic<int> Current{0};
};
TActivity activity;

std::atomic<void (*)(void*)> cleanup{nullptr};
std::atomic<void*> cleanupData{nullptr};

void AddCall(TSignalSafeText& out, const TForeignCall& call) noexcept {
  out.Add(call.What ? call.What : u"foreign code");
  static TCodePlace place;
  if (call.Subject && *call.Subject)
    out.Add(" (").Add(call.Subject).Add(")");
  else if (call.Code && FindCodePlace(reinterpret_cast<uintptr_t>(call.Code), place) && place.Module[0])
    out.Add(" (").Add(place.Module).Add(")");
}

}  // namespace

void AddCodePlace(TSignalSafeText& out, uintptr_t pc) noexcept {
  static TCodePlace place;
  if (FindCodePlace(pc, place)) {
    out.Add(" in ").Add(place.Module);
    if (place.Symbol[0]) out.Add(" (").Add(place.Symbol).Add("+0x").Hex(place.Offset, 4).Add(")");
  } else if (const char* gone = UnloadedLibraryAt(pc)) {
    out.Add(" in ").Add(gone).Add(", unloaded");
  } else {
    out.Add(" in no mapped module (its library may have been unloaded)");
  }
}

const char* CrashFaultName(const TFaultRecord& f) noexcept {
  switch (FaultKindOf(f)) {
    case TFaultKind::StackOverflow:
      return "stack overflow";
    case TFaultKind::Privilege:
      return "privileged or illegal instruction";
    case TFaultKind::IntOverflow:
      return "integer overflow";
    case TFaultKind::DivByZero:
      return "division by zero";
    case TFaultKind::InvalidOp:
      return "invalid floating point operation";
    case TFaultKind::ZeroDivide:
      return "floating point division by zero";
    case TFaultKind::Overflow:
      return "floating point overflow";
    case TFaultKind::Underflow:
      return "floating point underflow";
    case TFaultKind::Breakpoint:
      return "breakpoint";
    case TFaultKind::AccessViolation:
      break;
  }
  return "access violation";
}

void AddFaultAccess(TSignalSafeText& out, const TFaultRecord& fault) noexcept {
  const char* verb = fault.Access == TFaultRecord::TAccess::Write     ? "write"
                     : fault.Access == TFaultRecord::TAccess::Execute ? "execution"
                                                                      : "read";
  out.Add(", ").Add(verb).Add(" of address ").Hex(fault.Address);
}

int FinishCrashReport(TSignalSafeText& out, const TFaultRecord& fault, const qorb::rtl::TForeignFrame* innermost,
                      bool onMainThread, pid_t thread, TCaptureStack capture) noexcept {
  out.Add(fault.Sent ? "\n  received at " : "\n  at ").Hex(fault.Pc);
  AddCodePlace(out, fault.Pc);
  if (fault.InSystemCode) {
    // Containing it would have left that code's locks held.
    out.Add("\n  inside system code that may hold a lock of its own: ").Hex(fault.SystemPc);
    AddCodePlace(out, fault.SystemPc);
    if (fault.SystemCaller) {
      out.Add("\n  called from ").Hex(fault.SystemCaller);
      AddCodePlace(out, fault.SystemCaller);
    }
  }

  if (fault.StackLost)
    out.Add("\n  with its stack pointer at ").Hex(fault.Sp).Add(", outside the thread's stack");
  if (onMainThread) {
    out.Add("\n  on the main thread");
  } else {
    uintptr_t frames[48];
    const int depth = capture(frames, 48);
    if (const char* plugin = PluginOfThread(thread, frames, depth))
      out.Add("\n  on a thread started by ").Add(plugin);
    else
      out.Add("\n  on a thread the IDE did not start");
  }
  AddCrashContext(out, innermost);
  out.Flush();
  RunCrashCleanup();
  return CrashExitStatus;
}

void AddCrashContext(TSignalSafeText& out, const qorb::rtl::TForeignFrame* innermost) noexcept {
  if (innermost && !innermost->Call) {
    bool calledBack = false;
    for (const qorb::rtl::TForeignFrame* f = innermost; f; f = f->Outer) calledBack |= f->Call != nullptr;
    out.Add(calledBack ? "\n  in our own code, called back from foreign code" : "\n  in our own code");
    if (innermost->Concerning) {
      out.Add(", raising what this call left: ");
      AddCall(out, *innermost->Concerning);
    }
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
  if (const char* doing = CrashActivity(); *doing) out.Add("\n  while the IDE was ").Add(doing);
  AddExceptionPassage(out);
  out.Add("\nMessage view so far:\n");
  WriteMessageViewSoFar(out);
}

const char* CrashActivity() noexcept { return activity.Text[activity.Current.load()]; }

void SetCrashActivity(std::string_view What) {
  // A step ends where the next begins: what a plug-in took of the fault
  // handling in it is taken back before the next can need it.
  ReclaimFaultHandling();
  const int next = 1 - activity.Current.load();
  const size_t n = std::min(What.size(), sizeof activity.Text[next] - 1);
  std::memcpy(activity.Text[next], What.data(), n);
  activity.Text[next][n] = 0;
  activity.Current.store(next);
}

void SetCrashCleanup(void (*Cleanup)(void* Data), void* Data) noexcept {
  cleanup.store(nullptr);
  cleanupData.store(Data);
  cleanup.store(Cleanup);
}

void RunCrashCleanup() noexcept {
  if (void (*run)(void*) = cleanup.exchange(nullptr)) run(cleanupData.load());
}

void NameUnloadedModulesInFaults() { SetUnloadedModuleNamer(&qorb::winapi::FindUnloadedModule); }

std::string ExceptionInFlight() {
  if (std::exception_ptr e = std::current_exception()) {
    try {
      std::rethrow_exception(e);
    } catch (...) {
      const CaughtException caught = DescribeCurrentException();
      return "an exception of class " + caught.ClassName.ToUtf8() + ": " + caught.Message.ToUtf8();
    }
  }
  return {};
}

bool FirstPluginFrame(const uintptr_t* Frames, int Depth, uintptr_t& Pc, TCodePlace& Place) noexcept {
  for (int i = 0; i < Depth; ++i)
    if (FindCodePlace(Frames[i] - 1, Place) && MayBePluginModule(Place.Module)) {
      Pc = Frames[i] - 1;
      return true;
    }
  return false;
}

std::string TerminateReason() {
  const std::string exception = ExceptionInFlight();
  return exception.empty() ? "std::terminate" : "std::terminate with " + exception;
}
