#include "rtl/FaultHandler.h"

#include <windows.h>
#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cwchar>
#include <mutex>

#include "rtl/ForeignFrames.h"
#include "rtl/OwnModules.h"
#include "rtl/OwnMutex.h"

namespace {

using qorb::rtl::ForeignTop;

std::atomic<TCrashReporter> crashReporter{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

thread_local uintptr_t stackLow QORB_HANDLER_TLS = 0;
thread_local bool threadPrepared QORB_HANDLER_TLS = false;

struct TSpan {
  uintptr_t Start = 0;
  uintptr_t End = 0;
};

// A mapped module's image, from its headers: base to base + SizeOfImage.
TSpan SpanOfModule(HMODULE module) {
  if (!module) return {};
  const auto base = reinterpret_cast<uintptr_t>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + static_cast<uintptr_t>(dos->e_lfanew));
  return {base, base + nt->OptionalHeader.SizeOfImage};
}

HMODULE ModuleHolding(const void* address) {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &module);
  return module;
}

void AddOwn(TSpan span) { qorb::rtl::AddOwnRange(span.Start, span.End); }

bool IsRuntimeLibrary(HMODULE module) {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return false;
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p; ++p)
    if (*p == L'\\' || *p == L'/') name = p + 1;
  return ::_wcsnicmp(name, L"libqorb", 7) == 0;
}

// Stack overflow: Windows names it, and Wine may report it as an access
// violation with the stack pointer at the low end of the thread's stack.
// Not the faulting address: a main thread's stack may lie so low that a
// read of a small address looks close to it.
bool IsStackOverflow(uintptr_t sp) {
  constexpr uintptr_t kReach = 64 * 1024;
  return stackLow && sp + kReach >= stackLow && sp < stackLow + kReach;
}

// Which exceptions are processor faults; everything else (C++ exceptions,
// debugger notes, a thread's name) passes untouched.
bool IsFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
      return true;
    default:
      return false;
  }
}

TFaultRecord Describe(const EXCEPTION_POINTERS* e) {
  const EXCEPTION_RECORD& r = *e->ExceptionRecord;
  TFaultRecord f;
  f.Code = static_cast<int>(r.ExceptionCode);
  f.Pc = reinterpret_cast<uintptr_t>(r.ExceptionAddress);
  f.Signal = SIGSEGV;
  switch (r.ExceptionCode) {
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      f.Signal = SIGFPE;
      break;
    case EXCEPTION_INT_OVERFLOW:
      f.Signal = SIGFPE;
      f.IntegerOverflow = true;
      break;
    case EXCEPTION_PRIV_INSTRUCTION:
      f.PrivilegedInstruction = true;
      break;
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      f.Signal = SIGILL;
      break;
    case EXCEPTION_STACK_OVERFLOW:
      f.StackOverflow = true;
      break;
    default:
      if (r.NumberParameters >= 2) {
        f.Access = r.ExceptionInformation[0] == 1   ? TFaultRecord::TAccess::Write
                   : r.ExceptionInformation[0] == 8 ? TFaultRecord::TAccess::Execute
                                                    : TFaultRecord::TAccess::Read;
        f.Address = static_cast<uintptr_t>(r.ExceptionInformation[1]);
      }
      f.StackOverflow = IsStackOverflow(static_cast<uintptr_t>(e->ContextRecord->Rsp));
      break;
  }
  return f;
}

// First to see every exception on the thread that raised it. A contained
// fault jumps back to its boundary from here, without unwinding: the
// foreign frames have no handlers of ours to run.
LONG CALLBACK OnException(EXCEPTION_POINTERS* e) {
  if (!IsFault(e->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  const TFaultRecord fault = Describe(e);
  qorb::rtl::TForeignFrame* frame = ForeignTop;
  if (!qorb::rtl::Containable(frame, fault)) return EXCEPTION_CONTINUE_SEARCH;
  qorb::rtl::ContainedFault = fault;
  QORB_LONG_JUMP(frame->Containment->Jump);
}

// Nobody handled the fault: the crash report, then the process ends.
LONG CALLBACK OnUnhandled(EXCEPTION_POINTERS* e) {
  if (IsFault(e->ExceptionRecord->ExceptionCode)) {
    const TFaultRecord fault = Describe(e);
    if (TCrashReporter reporter = crashReporter.load(std::memory_order_acquire)) {
      if (const int status = reporter(fault, ForeignTop); status > 0)
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(status));
    }
  }
  return previousFilter ? previousFilter(e) : EXCEPTION_CONTINUE_SEARCH;
}


}  // namespace

void PrepareThreadForFaults() {
  if (threadPrepared) return;
  threadPrepared = true;
  ULONG_PTR low = 0, high = 0;
  ::GetCurrentThreadStackLimits(&low, &high);
  stackLow = static_cast<uintptr_t>(low);
  const auto stackHigh = static_cast<uintptr_t>(high);
  // Wine raises a stack overflow only at the stack's last page, whatever
  // the guarantee: raising it on as an exception there, or writing a
  // report, then runs off the end, and the thread is gone without a word.
  // A call into foreign code is refused while an eighth of the stack (at
  // most 256 KB) is still left for that.
  if (stackLow && stackHigh > stackLow)
    qorb::rtl::StackFloor = stackLow + std::min<uintptr_t>(256 * 1024, (stackHigh - stackLow) / 8);
  // Room for the handler when the stack overflows.
  ULONG guarantee = 64 * 1024;
  ::SetThreadStackGuarantee(&guarantee);
  // Emulated thread-locals are made on first use: never first in a fault.
  ForeignTop = ForeignTop;
  qorb::rtl::ContainedFault = qorb::rtl::ContainedFault;
  qorb::rtl::OwnLocksHeld = qorb::rtl::OwnLocksHeld;
}

void MarkOwnModule(const void* Address) {
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  AddOwn(SpanOfModule(ModuleHolding(Address)));
}

void MarkOwnModules() {
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  AddOwn(SpanOfModule(::GetModuleHandleW(nullptr)));
  HMODULE modules[1024];
  DWORD needed = 0;
  if (!::K32EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &needed)) return;
  const size_t count = std::min<size_t>(needed / sizeof(HMODULE), 1024);
  for (size_t i = 0; i < count; ++i)
    if (IsRuntimeLibrary(modules[i])) AddOwn(SpanOfModule(modules[i]));
}

// The overflow used up the guard page below the stack: put it back, or the
// next overflow ends the process without a word.
void qorb::rtl::AfterContainedFault(const TFaultRecord& Fault) noexcept {
  if (Fault.StackOverflow) ::_resetstkoflw();
}

void qorb::rtl::InstallPlatformHandlers() {
  ::AddVectoredExceptionHandler(1, &OnException);
  previousFilter = ::SetUnhandledExceptionFilter(&OnUnhandled);
}

void SetCrashReporter(TCrashReporter Reporter) { crashReporter.store(Reporter, std::memory_order_release); }
