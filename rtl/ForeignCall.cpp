#include "rtl/ForeignCall.h"

#include <dlfcn.h>

#include <mutex>
#include <vector>

#include "rtl/Exception.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignFrames.h"

namespace {

using qorb::rtl::ForeignTop;

struct TObserver {
  TForeignExceptionObserver Function;
  void* Data;
};
std::mutex observersLock;
std::vector<TObserver>& Observers() {
  static std::vector<TObserver> observers;
  return observers;
}

// The last exception this thread raised at a boundary: an outer boundary
// that sees it again lets it pass as it is, already noted.
thread_local std::exception_ptr lastRaised;

std::string ModulePath(const void* code) {
  Dl_info info{};
  if (!code || !::dladdr(code, &info) || !info.dli_fname) return {};
  return info.dli_fname;
}

UnicodeString FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return UnicodeString::FromUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
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
  lastRaised = e;
  Note(call, description);
  std::rethrow_exception(e);
}

// Called in a catch block: the exception that left foreign code, copied.
[[noreturn]] void RaiseCopy(const TForeignCall& call) {
  std::exception_ptr current = std::current_exception();
  if (current == lastRaised) throw;
  const CaughtException d = DescribeException(current);
  current = nullptr;
  Raise(call, std::make_exception_ptr(EForeignException(d.ClassName, d.Message)), d);
}

[[noreturn]] void RaiseFaultOf(const TForeignCall& call, const TFaultRecord& fault) {
  const std::exception_ptr e = FaultException(fault, FileNameOf(ModulePath(reinterpret_cast<const void*>(fault.Pc))));
  Raise(call, e, DescribeException(e));
}

}  // namespace

namespace qorb::rtl {

void RunForeign(const TForeignCall& Call, void (*Run)(void*), void* Context) {
  if (!ThreadReady) MakeThreadReady();
  TContainment containment;
  TForeignFrame frame{&Call, ForeignTop, &containment};
  if (sigsetjmp(containment.Jump, 0) != 0) {
    // Back from the fault handler: the foreign frames are gone.
    ForeignTop = frame.Outer;
    RaiseFaultOf(Call, containment.Fault);
  }
  // No object with a destructor between here and the foreign code: the
  // fault handler jumps straight back over it.
  ForeignTop = &frame;
  try {
    Run(Context);
  } catch (...) {
    ForeignTop = frame.Outer;
    RaiseCopy(Call);
  }
  ForeignTop = frame.Outer;
}

}  // namespace qorb::rtl

TForeignActivity::TForeignActivity(const TForeignCall& Call) noexcept : FCall(Call), FFrame{&FCall, ForeignTop, nullptr} {
  ForeignTop = &FFrame;
}

TForeignActivity::~TForeignActivity() { ForeignTop = FFrame.Outer; }

void AddForeignExceptionObserver(TForeignExceptionObserver Observer, void* Data) {
  const std::lock_guard lock(observersLock);
  Observers().push_back({Observer, Data});
}

void RemoveForeignExceptionObserver(TForeignExceptionObserver Observer, void* Data) {
  const std::lock_guard lock(observersLock);
  std::erase_if(Observers(), [&](const TObserver& o) { return o.Function == Observer && o.Data == Data; });
}
