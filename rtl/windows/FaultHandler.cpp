#include "rtl/FaultHandler.h"

#include <windows.h>
#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cwchar>
#include <mutex>

#include "rtl/DivideFault.h"
#include "rtl/ForeignFrames.h"
#include "rtl/OwnModules.h"
#include "rtl/OwnMutex.h"
#include "rtl/windows/BoundaryHandler.h"
#include "rtl/windows/SystemFrames.h"

namespace {

using qorb::rtl::ForeignTop;

std::atomic<TCrashReporter> crashReporter{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
std::atomic<bool> filterSet{false};

// What the handlers read of the faulting thread. They read no emulated
// thread-local (MinGW's are found through a lock-free but allocating call
// on first use): each thread's view lies in a native slot, pointing at the
// thread's own variables, set when the thread is prepared.
struct THandlerView {
  qorb::rtl::TForeignFrame* const* Top = nullptr;
  const uint32_t* Locks = nullptr;
  uintptr_t StackLow = 0;
  uintptr_t StackHigh = 0;
  bool Deciding = false;  // a fault while deciding another is not contained
};
thread_local THandlerView handlerView;
thread_local bool threadPrepared = false;
std::atomic<DWORD> viewSlot{TLS_OUT_OF_INDEXES};

THandlerView* ThisThreadsView() noexcept {
  const DWORD slot = viewSlot.load(std::memory_order_acquire);
  if (slot == TLS_OUT_OF_INDEXES) return nullptr;
  // TlsGetValue clears the thread's last error, which the faulting code
  // may go on to read when a frame of its own takes the fault.
  const DWORD error = ::GetLastError();
  auto* view = static_cast<THandlerView*>(::TlsGetValue(slot));
  ::SetLastError(error);
  return view;
}

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

bool IsRuntimeLibrary(HMODULE module) {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return false;
  const std::wstring_view name = ModuleFileName({path, length});
  return name.size() >= 7 && ::_wcsnicmp(name.data(), L"libqorb", 7) == 0;
}

// Stack overflow: Windows names it, and Wine may report it as an access
// violation with the stack pointer at the low end of the thread's stack.
// Not the faulting address: a main thread's stack may lie so low that a
// read of a small address looks close to it.
bool IsStackOverflow(uintptr_t sp, uintptr_t stackLow) {
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
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case STATUS_FLOAT_MULTIPLE_FAULTS:
    case STATUS_FLOAT_MULTIPLE_TRAPS:
    case EXCEPTION_BREAKPOINT:
      return true;
    default:
      return false;
  }
}

// SSE reports every exception by one code: which one it was is told by
// the flags it raised that the thread had unmasked.
TFaultRecord::TFloat SseFault(DWORD mxcsr) {
  using TFloat = TFaultRecord::TFloat;
  const DWORD raised = mxcsr & ~(mxcsr >> 7) & 0x3F;
  if (raised & 0x01) return TFloat::InvalidOp;
  if (raised & 0x04) return TFloat::ZeroDivide;
  if (raised & 0x08) return TFloat::Overflow;
  if (raised & 0x10) return TFloat::Underflow;
  return TFloat::InvalidOp;
}

TFaultRecord Describe(const EXCEPTION_RECORD& r, const CONTEXT& context, uintptr_t stackLow) {
  using TFloat = TFaultRecord::TFloat;
  TFaultRecord f;
  f.Code = static_cast<int>(r.ExceptionCode);
  f.Pc = reinterpret_cast<uintptr_t>(r.ExceptionAddress);
  f.Signal = SIGSEGV;
  switch (r.ExceptionCode) {
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      f.Signal = SIGFPE;
      // Wine names an overflowing quotient a division by zero too.
      f.IntegerOverflow = DivisionOverflowed(reinterpret_cast<const uint8_t*>(context.Rip),
                                             *reinterpret_cast<const uint64_t(*)[16]>(&context.Rax));
      break;
    case EXCEPTION_INT_OVERFLOW:
      f.Signal = SIGFPE;
      f.IntegerOverflow = true;
      break;
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
      f.Signal = SIGFPE;
      f.Float = TFloat::ZeroDivide;
      break;
    case EXCEPTION_FLT_OVERFLOW:
      f.Signal = SIGFPE;
      f.Float = TFloat::Overflow;
      break;
    case EXCEPTION_FLT_UNDERFLOW:
      f.Signal = SIGFPE;
      f.Float = TFloat::Underflow;
      break;
    case STATUS_FLOAT_MULTIPLE_FAULTS:
    case STATUS_FLOAT_MULTIPLE_TRAPS:
      f.Signal = SIGFPE;
      f.Float = SseFault(context.MxCsr);
      break;
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_STACK_CHECK:
      f.Signal = SIGFPE;
      f.Float = TFloat::InvalidOp;
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
    case EXCEPTION_BREAKPOINT:
      f.Breakpoint = true;
      break;
    default:
      if (r.NumberParameters >= 2) {
        f.Access = r.ExceptionInformation[0] == 1   ? TFaultRecord::TAccess::Write
                   : r.ExceptionInformation[0] == 8 ? TFaultRecord::TAccess::Execute
                                                    : TFaultRecord::TAccess::Read;
        f.Address = static_cast<uintptr_t>(r.ExceptionInformation[1]);
      }
      f.StackOverflow = IsStackOverflow(static_cast<uintptr_t>(context.Rsp), stackLow);
      break;
  }
  return f;
}

// Whether abandoning the frames between the fault and the boundary Frame
// abandons only the plug-in's own state; notes in Fault what it found.
bool Contain(const THandlerView& view, const qorb::rtl::TForeignFrame* frame, const CONTEXT& context,
             TFaultRecord& fault) {
  return qorb::rtl::Containable(frame, fault, *view.Locks) &&
         OnlyForeignFramesAbandoned(context, view.StackLow, view.StackHigh, fault);
}

// Room to report a stack overflow that left its thread none: one report
// at a time, and the process ends after it.
constexpr size_t kReserveSize = 256 * 1024;
void* reserveStack = nullptr;
std::atomic_flag reserveTaken = ATOMIC_FLAG_INIT;

struct TOverflowReport {
  const EXCEPTION_POINTERS* Exception;
  const THandlerView* View;
  TFaultRecord Fault;
  int Status;
};

void ReportOverflow(void* data) {
  auto& report = *static_cast<TOverflowReport*>(data);
  const qorb::rtl::TForeignFrame* top = report.View ? *report.View->Top : nullptr;
  if (report.View) Contain(*report.View, top, *report.Exception->ContextRecord, report.Fault);
  if (TCrashReporter reporter = crashReporter.load(std::memory_order_acquire)) report.Status = reporter(report.Fault, top);
}

// A stack overflow leaves the frames' handlers no stack to run on (Wine
// raises it at the stack's last page), nor this handler room to walk the
// frames: it is contained ahead of them, judged by the faulting frame
// alone, and the boundary resumes with the registers it kept. One that
// cannot be contained is reported here, on a stack of its own.
LONG CALLBACK OnStackOverflow(EXCEPTION_POINTERS* e) {
  if (!IsFault(e->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  // A thread that never entered a call of ours (a plug-in's own) has no
  // view: its overflow can only be reported.
  THandlerView* view = ThisThreadsView();
  if (view && view->Deciding) return EXCEPTION_CONTINUE_SEARCH;
  TFaultRecord fault = Describe(*e->ExceptionRecord, *e->ContextRecord, view ? view->StackLow : 0);
  if (!fault.StackOverflow) return EXCEPTION_CONTINUE_SEARCH;
  qorb::rtl::TForeignFrame* frame = view ? *view->Top : nullptr;
  if (view && qorb::rtl::Containable(frame, fault, *view->Locks) &&
      qorb::rtl::SystemCodeKind(fault.Pc) == qorb::rtl::TSystemKind::None && frame->Containment->Stack) {
    frame->Containment->Contained.Put(fault);
    e->ContextRecord->Rsp = reinterpret_cast<DWORD64>(frame->Containment->Stack);
    e->ContextRecord->Rip = reinterpret_cast<DWORD64>(&QorbBoundaryResume);
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  if (!reserveStack || reserveTaken.test_and_set()) return EXCEPTION_CONTINUE_SEARCH;
  if (view) view->Deciding = true;
  TOverflowReport report{e, view, fault, 0};
  QorbCallOnStack(&ReportOverflow, &report, static_cast<char*>(reserveStack) + kReserveSize);
  if (report.Status > 0) ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(report.Status));
  if (view) view->Deciding = false;
  reserveTaken.clear();
  return EXCEPTION_CONTINUE_SEARCH;
}

// Nobody handled the fault: the crash report, then the process ends.
LONG CALLBACK OnUnhandled(EXCEPTION_POINTERS* e) {
  if (IsFault(e->ExceptionRecord->ExceptionCode)) {
    THandlerView* view = ThisThreadsView();
    TFaultRecord fault = Describe(*e->ExceptionRecord, *e->ContextRecord, view ? view->StackLow : 0);
    const qorb::rtl::TForeignFrame* top = view ? *view->Top : nullptr;
    // Declined at its boundary for the system code it lies in: say which.
    if (view && !view->Deciding) Contain(*view, top, *e->ContextRecord, fault);
    if (TCrashReporter reporter = crashReporter.load(std::memory_order_acquire)) {
      if (const int status = reporter(fault, top); status > 0)
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(status));
    }
  }
  return previousFilter ? previousFilter(e) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

// The boundary's language handler. A fault that reaches it was declined
// by every frame inside; it is contained here when the boundary is the
// thread's innermost call and abandoning the frames abandons only foreign
// state, and the platform unwinds those frames to the boundary.
extern "C" EXCEPTION_DISPOSITION QorbBoundaryHandler(EXCEPTION_RECORD* Record, void* EstablisherFrame,
                                                     CONTEXT* Context, DISPATCHER_CONTEXT* Dispatcher) {
  if (Record->ExceptionFlags & EXCEPTION_UNWIND) return ExceptionContinueSearch;
  if (!IsFault(Record->ExceptionCode)) return ExceptionContinueSearch;
  THandlerView* view = ThisThreadsView();
  qorb::rtl::TForeignFrame* frame = BoundaryFrameAt(EstablisherFrame);
  if (!view || view->Deciding || *view->Top != frame) return ExceptionContinueSearch;
  TFaultRecord fault = Describe(*Record, *Context, view->StackLow);
  view->Deciding = true;
  const bool contain = Contain(*view, frame, *Context, fault);
  view->Deciding = false;
  if (!contain) return ExceptionContinueSearch;
  frame->Containment->Contained.Put(fault);
  ::RtlUnwindEx(EstablisherFrame, reinterpret_cast<void*>(&QorbBoundaryLanding), Record, reinterpret_cast<void*>(1),
                Context, Dispatcher->HistoryTable);
  return ExceptionContinueSearch;  // not reached
}

bool PreparedThreadStack(uintptr_t& Low, uintptr_t& High) noexcept {
  const THandlerView* view = ThisThreadsView();
  Low = view ? view->StackLow : 0;
  High = view ? view->StackHigh : 0;
  return High != 0;
}

void PrepareThreadForFaults() {
  if (threadPrepared) return;
  threadPrepared = true;
  ULONG_PTR low = 0, high = 0;
  ::GetCurrentThreadStackLimits(&low, &high);
  const auto stackLow = static_cast<uintptr_t>(low);
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
  static const DWORD slot = [] {
    const DWORD allocated = ::TlsAlloc();
    viewSlot.store(allocated, std::memory_order_release);
    return allocated;
  }();
  handlerView = {&ForeignTop, &qorb::rtl::OwnLocksHeld, stackLow, stackHigh, false};
  if (slot != TLS_OUT_OF_INDEXES) ::TlsSetValue(slot, &handlerView);
}

// The loader's calls are made before our lock is taken: it tells of the
// libraries it maps while it holds its own, and takes ours then.
void MarkOwnModule(const void* Address) {
  const TSpan span = SpanOfModule(ModuleHolding(Address));
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  qorb::rtl::AddOwnRange(span.Start, span.End);
}

void MarkOwnModules() {
  TSpan spans[1025];
  size_t found = 0;
  spans[found++] = SpanOfModule(::GetModuleHandleW(nullptr));
  HMODULE modules[1024];
  DWORD needed = 0;
  if (::K32EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &needed)) {
    const size_t count = std::min<size_t>(needed / sizeof(HMODULE), 1024);
    for (size_t i = 0; i < count; ++i)
      if (IsRuntimeLibrary(modules[i])) spans[found++] = SpanOfModule(modules[i]);
  }
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  for (size_t i = 0; i < found; ++i) qorb::rtl::AddOwnRange(spans[i].Start, spans[i].End);
}

// The overflow used up the guard page below the stack: put it back, or the
// next overflow ends the process without a word.
void qorb::rtl::AfterContainedFault(const TFaultRecord& Fault) noexcept {
  if (Fault.StackOverflow) ::_resetstkoflw();
}

void qorb::rtl::InstallPlatformHandlers() {
  MarkSystemModules();
  reserveStack = ::VirtualAlloc(nullptr, kReserveSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ::AddVectoredExceptionHandler(1, &OnStackOverflow);
  previousFilter = ::SetUnhandledExceptionFilter(&OnUnhandled);
  filterSet.store(true, std::memory_order_release);
}

const void* ReclaimUnhandledFilter() noexcept {
  if (!filterSet.load(std::memory_order_acquire)) return nullptr;
  const LPTOP_LEVEL_EXCEPTION_FILTER now = ::SetUnhandledExceptionFilter(&OnUnhandled);
  return now == &OnUnhandled ? nullptr : reinterpret_cast<const void*>(now);
}

void SetCrashReporter(TCrashReporter Reporter) { crashReporter.store(Reporter, std::memory_order_release); }
