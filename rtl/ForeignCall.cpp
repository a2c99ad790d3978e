#include "rtl/ForeignCall.h"

#include <atomic>
#include <mutex>
#include <new>
#include <vector>

#include "rtl/AddressInfo.h"
#include "rtl/CxxExceptionState.h"
#include "rtl/Exception.h"
#include "rtl/ExceptionPassage.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignFrames.h"
#include "rtl/OwnMutex.h"
#include "rtl/PathDelim.h"
#include "rtl/ThreadLocal.h"

namespace {

using qorb::rtl::ForeignTop;

struct TObserver {
  TForeignExceptionObserver Function;
  void* Data;
};
TMutex observersLock;
std::vector<TObserver>& Observers() {
  static std::vector<TObserver> observers;
  return observers;
}

// The last exception this thread raised at a boundary, kept while an outer
// boundary may see it again and must let it pass as it is, already noted.
// Not a thread_local exception_ptr: with emulated TLS (MinGW) its destructor
// runs at thread exit after its storage was freed, and released garbage.
// Trivially destructible instead, and let go of once no call into foreign
// code is left on the thread.
struct TRaised {
  alignas(std::exception_ptr) unsigned char Room[sizeof(std::exception_ptr)];
  bool Held;
  // The call it was raised out of, for a report of the frames it passes.
  uint64_t Serial;
  const char16_t* What;
  const void* Code;
  // Raised where foreign code had called ours: on its way to the next
  // boundary out it passes foreign frames, not just ours.
  bool CalledBack;
  std::exception_ptr& Value() noexcept { return *std::launder(reinterpret_cast<std::exception_ptr*>(Room)); }
};
// Read on every outermost return from foreign code.
constinit thread_local TRaised lastRaised QORB_HANDLER_TLS{{}, false, 0, nullptr, nullptr, false};
std::atomic<uint64_t> raisedSerial{0};

bool RaisedLast(const std::exception_ptr& e) noexcept { return lastRaised.Held && lastRaised.Value() == e; }

void ForgetRaised() noexcept {
  if (!lastRaised.Held) return;
  lastRaised.Held = false;
  lastRaised.Value().~exception_ptr();
}

// Kept only while a call into foreign code encloses this point. Out of is
// the call it is raised out of; null for the same exception raised again.
void RememberRaised(const std::exception_ptr& e, const TForeignCall* outOf) noexcept {
  bool enclosed = false;
  for (const qorb::rtl::TForeignFrame* f = ForeignTop; f && !enclosed; f = f->Outer) enclosed = f->Call != nullptr;
  if (!enclosed) {
    ForgetRaised();
    return;
  }
  if (lastRaised.Held) {
    lastRaised.Value() = e;
  } else {
    new (lastRaised.Room) std::exception_ptr(e);
    lastRaised.Held = true;
  }
  if (outOf) {
    lastRaised.Serial = ++raisedSerial;
    lastRaised.What = outOf->What;
    lastRaised.Code = outOf->Code;
  }
  // Under the own frame of the code raising it: the frame outside that one.
  const qorb::rtl::TForeignFrame* outside = ForeignTop ? ForeignTop->Outer : nullptr;
  lastRaised.CalledBack = outside && !outside->Call;
}

std::string ModulePath(const void* code) { return code ? ModulePathOf(code) : std::string(); }

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of(PathDelimsUtf8);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::atomic<TUnloadedModuleNamer> unloadedModuleNamer{nullptr};

// As the runtime names the module in a fault's text: the file name, and for
// code that is gone the library that was there.
TFaultModule FaultModuleName(uintptr_t pc) {
  const void* address = reinterpret_cast<const void*>(pc);
  if (std::string path = ModulePath(address); !path.empty()) return {UnicodeString::FromUtf8(FileNameOf(path))};
  std::string gone;
  if (TUnloadedModuleNamer namer = unloadedModuleNamer.load(); namer && namer(address, gone))
    return {UnicodeString::FromUtf8(FileNameOf(gone)), true};
  return {};
}

void Note(const TForeignCall& call, const CaughtException& e) {
  std::vector<TObserver> observers;
  {
    const std::lock_guard lock(observersLock);
    observers = Observers();
  }
  if (observers.empty()) return;
  TForeignExceptionNote note{e.ClassName, e.Message, UnicodeString::FromUtf8(ModulePath(call.Code)),
                             UnicodeString(call.What), UnicodeString(call.Subject)};
  for (const TObserver& o : observers) o.Function(o.Data, note);
}

[[noreturn]] void Raise(const TForeignCall& call, std::exception_ptr e, const CaughtException& description) {
  RememberRaised(e, &call);
  Note(call, description);
  std::rethrow_exception(e);
}

// The exception that left foreign code, copied. Its what(), its class name
// and its destructor are foreign code too: each runs in a call of its own,
// so that a fault there is contained like any other. When describing it
// faults, that fault (already noted) is what the call raises.
[[noreturn, gnu::noinline, gnu::cold]] void RaiseCopy(const TForeignCall& call, std::exception_ptr escaped) {
  // What raises it is ours, whatever call this one is inside.
  const TOwnFrame ours(call);
  if (RaisedLast(escaped)) {
    // It came back through this call's frames, none of which took it.
    if (lastRaised.CalledBack) {
      try {
        qorb::rtl::NoteExceptionPassage(lastRaised.Serial, lastRaised.What, lastRaised.Code, call, escaped);
      } catch (...) {
        // Out of memory: the exception goes on unrecorded, never replaced.
      }
    }
    RememberRaised(escaped, nullptr);  // or forgotten, when no outer boundary is left
    std::rethrow_exception(escaped);
  }
  std::exception_ptr copy;
  CaughtException d;
  bool noted = false;
  try {
    const TExceptionObject object = ExceptionObjectOf(escaped);
    CallForeign(call, [&] { d = DescribeExceptionObject(object); });
  } catch (...) {
    // Raised, and noted, by that call.
    copy = std::current_exception();
    noted = true;
  }
  if (!noted) copy = std::make_exception_ptr(EForeignException(d.ClassName, d.Message));
  try {
    // Most often the last reference: the destructor runs here.
    CallForeign(call, [&] { escaped = nullptr; });
  } catch (...) {
    // Noted already; the exception it destroyed stays what was raised.
  }
  if (noted) {
    RememberRaised(copy, &call);
    std::rethrow_exception(copy);
  }
  Raise(call, copy, d);
}

// Back from the fault handler: the foreign frames are gone.
[[noreturn, gnu::noinline, gnu::cold]] void RaiseFaultOf(const TForeignCall& call, const TFaultRecord& fault) {
  const TOwnFrame ours(call);
  const std::exception_ptr e = FaultException(fault, FaultModuleName(fault.Pc));
  Raise(call, e, DescribeException(e));
}

using qorb::rtl::TOutcome;

}  // namespace

namespace qorb::rtl {

void RunForeign(const TForeignCall& Call, void (*Run)(void*), void* Context) {
  if (!ThreadReady) MakeThreadReady();
  if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < StackFloor) {
    // The call overflows here rather than where no room is left to say so.
    TFaultRecord overflow;
    overflow.StackOverflow = true;
    overflow.Pc = reinterpret_cast<uintptr_t>(Call.Code);
    RaiseFaultOf(Call, overflow);
  }
  std::exception_ptr escaped;
  TFaultRoom fault;
  switch (qorb::rtl::Enter(Call, Run, Context, escaped, fault)) {
    case TOutcome::Returned:
      break;
    case TOutcome::Faulted:
      AfterContainedFault(fault.Fault);
      RaiseFaultOf(Call, fault.Fault);
    case TOutcome::Raised:
      RaiseCopy(Call, std::move(escaped));
  }
  if (!ForeignTop) ForgetRaised();
}

}  // namespace qorb::rtl

TForeignActivity::TForeignActivity(const TForeignCall& Call) noexcept : FCall(Call), FFrame{&FCall, ForeignTop, nullptr} {
  ForeignTop = &FFrame;
}

TForeignActivity::~TForeignActivity() { ForeignTop = FFrame.Outer; }

void SetUnloadedModuleNamer(TUnloadedModuleNamer Namer) { unloadedModuleNamer.store(Namer); }

namespace {

// Raises the access violation reading Address would, when it lay in a
// library unloaded since (Base is the start of what is read).
void RaiseIfUnloaded(const void* Base, const void* Address) {
  std::string gone;
  TUnloadedModuleNamer namer = unloadedModuleNamer.load();
  if (!namer || !namer(Base, gone)) return;
  const TFaultRecord fault = UnmappedAccess(reinterpret_cast<uintptr_t>(Base), reinterpret_cast<uintptr_t>(Address));
  std::rethrow_exception(FaultException(fault, {UnicodeString::FromUtf8(FileNameOf(gone)), true}));
}

}  // namespace

const void* SlotCodeOfLiveModule(const void* Object, size_t Slot) {
  if (!Object) return nullptr;
  // The object itself may be the library's (a static one), or only its
  // method table.
  RaiseIfUnloaded(Object, Object);
  void* const* table = *static_cast<void* const* const*>(Object);
  RaiseIfUnloaded(table, table + Slot);
  return table[Slot];
}

void AddForeignExceptionObserver(TForeignExceptionObserver Observer, void* Data) {
  const std::lock_guard lock(observersLock);
  Observers().push_back({Observer, Data});
}

void RemoveForeignExceptionObserver(TForeignExceptionObserver Observer, void* Data) {
  const std::lock_guard lock(observersLock);
  std::erase_if(Observers(), [&](const TObserver& o) { return o.Function == Observer && o.Data == Data; });
}
