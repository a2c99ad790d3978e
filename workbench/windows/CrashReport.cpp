#include "workbench/CrashReport.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <mutex>
#include <string>

#include "ide/ReportText.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignFrames.h"
#include "workbench/CrashContext.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/SignalSafeText.h"

namespace {

// The message-view lines, in a temporary file the report reads back at
// offsets: nothing to lock, nothing to allocate. The system deletes it
// when the process ends, however it ends.
HANDLE journal = INVALID_HANDLE_VALUE;
std::atomic<DWORD> mainThread{0};

void CopyJournal(TSignalSafeText& out) noexcept {
  if (journal == INVALID_HANDLE_VALUE) return;
  static char chunk[4096];
  uint64_t at = 0;
  for (;;) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD n = 0;
    if (!::ReadFile(journal, chunk, sizeof chunk, &n, &where) || n == 0) break;
    out.Add(chunk, n);
    at += n;
  }
}

HANDLE OpenJournal() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, folder);
  if (n == 0 || n > MAX_PATH) return INVALID_HANDLE_VALUE;
  const std::wstring path =
      std::wstring(folder, n) + L"qorb-ide-messages-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
  return ::CreateFileW(path.c_str(), GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// The filter runs on the faulting thread, above the frames that faulted;
// the thread's plug-in is told by its outermost frames, which a runaway
// recursion puts thousands of frames away: the last max of them are kept,
// innermost first.
int CaptureStack(uintptr_t* frames, int max) noexcept {
  if (max <= 0) return 0;
  CONTEXT context;
  ::RtlCaptureContext(&context);
  constexpr int kMaxWalk = 1 << 20;
  int walked = 0;
  for (; walked < kMaxWalk && context.Rip; ++walked) {
    frames[walked % max] = static_cast<uintptr_t>(context.Rip);
    DWORD64 base = 0;
    PRUNTIME_FUNCTION function = ::RtlLookupFunctionEntry(context.Rip, &base, nullptr);
    if (!function) break;
    void* handlerData = nullptr;
    DWORD64 establisher = 0;
    ::RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handlerData, &establisher, nullptr);
  }
  if (walked <= max) return walked;
  // Turn the ring into order: the oldest slot holds the innermost kept.
  std::rotate(frames, frames + walked % max, frames + max);
  return max;
}

// A second thread faulting meanwhile waits for the first to end it all.
std::atomic<bool> reporting{false};
void WaitIfReporting() noexcept {
  if (reporting.exchange(true))
    for (;;) ::Sleep(INFINITE);
}

// No signal: the exception's own code names what the processor did.
int Report(const TFaultRecord& fault, const qorb::rtl::TForeignFrame* innermost) {
  WaitIfReporting();
  TSignalSafeText out(2);
  out.Add("qorb-ide: crashed: ").Add(CrashFaultName(fault)).Add(" (exception ");
  out.Hex(static_cast<uint32_t>(fault.Code), 8).Add(")");
  if (static_cast<DWORD>(fault.Code) == EXCEPTION_ACCESS_VIOLATION ||
      static_cast<DWORD>(fault.Code) == EXCEPTION_IN_PAGE_ERROR) {
    AddFaultAccess(out, fault);
  }
  const DWORD thread = ::GetCurrentThreadId();
  return FinishCrashReport(out, fault, innermost, thread == mainThread.load(), static_cast<pid_t>(thread),
                           &CaptureStack);
}

// abort() and the C runtime's own checks, and an exception nothing takes:
// named like a fault, with the calls into plug-in code the thread is in.
[[noreturn]] void ReportEnding(const char* what, uintptr_t pc) noexcept {
  WaitIfReporting();
  TSignalSafeText out(2);
  out.Add("qorb-ide: crashed: ").Add(what);
  TFaultRecord fault;
  fault.Pc = pc;
  const DWORD thread = ::GetCurrentThreadId();
  EndProcessNow(FinishCrashReport(out, fault, qorb::rtl::ForeignTop, thread == mainThread.load(),
                                  static_cast<pid_t>(thread), &CaptureStack));
}

// The first frame, innermost first, of a library that may be a plug-in's.
// (CaptureStack keeps the outermost frames; these are the innermost.)
bool PluginFrame(TCodePlace& place) noexcept {
  void* taken[48];
  uintptr_t frames[48];
  const USHORT depth = ::RtlCaptureStackBackTrace(0, 48, taken, nullptr);
  for (USHORT i = 0; i < depth; ++i) frames[i] = reinterpret_cast<uintptr_t>(taken[i]);
  uintptr_t pc = 0;
  return FirstPluginFrame(frames, depth, pc, place);
}

void OnAbort(int) {
  const auto pc = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  // The unwinder ends the process this way when no frame took an
  // exception: one of ours that left a service into a plug-in's frames
  // (a C plug-in's thread has none that would take it).
  const std::string exception = ExceptionInFlight();
  if (exception.empty()) ReportEnding("abort (SIGABRT)", pc);
  static TCodePlace place;
  std::string what = "abort (SIGABRT): no frame took " + exception;
  if (PluginFrame(place))
    what += std::string("\n  it passed the frames of ") + place.Module + " (" + place.Symbol + "), none of which takes it";
  static char text[2048];
  what.copy(text, sizeof text - 1);
  ReportEnding(text, pc);
}

[[noreturn]] void OnTerminate() noexcept {
  static char what[1024];
  TerminateReason().copy(what, sizeof what - 1);
  ReportEnding(what, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
}

std::once_flag installed;

}  // namespace

void WriteMessageJournal(TSignalSafeText& Out) noexcept { CopyJournal(Out); }

void InstallCrashReport() {
  std::call_once(installed, [] {
    mainThread.store(::GetCurrentThreadId());
    journal = OpenJournal();
    InstallFaultHandler();
    SetCrashReporter(&Report);
    NameUnloadedModulesInFaults();
    // Before the C runtime's own words and dialog: the report says it.
    std::signal(SIGABRT, &OnAbort);
    std::set_terminate(&OnTerminate);
  });
}

void JournalMessageLine(std::string_view Line) {
  if (journal == INVALID_HANDLE_VALUE) return;
  std::string text = "  ";
  AppendIndented(text, Line, "    ");
  text += '\n';
  // One write a line, so a line is there whole or not at all.
  DWORD written = 0;
  ::WriteFile(journal, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Not ExitProcess: that would run every library's detach while a hung
// thread may hold the loader's lock.
void EndProcessNow(int Status) noexcept {
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(Status));
  for (;;) ::Sleep(INFINITE);
}
