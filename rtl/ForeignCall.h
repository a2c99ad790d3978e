#pragma once
// The one way our code calls code it did not write: plug-ins, the About
// library, event objects and handlers, registered objects, options pages.
//
// Inside such a call a processor fault in foreign code becomes the runtime's
// exception (EAccessViolation, EDivByZero, EPrivilege, EStackOverflow,
// EZeroDivide...), raised where the call was made: the foreign frames are
// left at once (on Windows, after the frames' own handlers declined it).
// Any exception leaving the call is copied into one of ours (class name
// and message) before the library that raised it can go. Observers hear of
// every exception that leaves foreign code; our own callers see it as before.
//
// A fault is contained only when every frame between the innermost call
// and the faulting instruction is foreign. Each thread keeps a chain of
// frames: a call into foreign code pushes a foreign frame, and where foreign
// code calls back into ours our code pushes one of its own (TOwnFrame).
// Under an own frame, or in a call whose code is ours, or at an instruction
// of ours, or while the thread holds a lock of ours (rtl/OwnMutex.h) that it
// took inside the call, a fault is our fault: the process ends with a crash
// report, and nothing of ours is ever jumped over.
//
// Where our code calls foreign code, each through its own call here:
//  - a plug-in's InitPlugin and Shutdown, and the About library's entry;
//  - menu clicks, options-page callbacks and welcome-page views;
//  - AddRef, Release and QueryInterface of interfaces that plug-ins hand us
//    (registered objects: TForeignRef; events; a lookup's result variable);
//  - an event's handlers and its subscribers' class names;
//  - what() and the class name of an exception that left foreign code, and
//    its destructor.
// Where foreign code calls ours, an own frame is pushed: the lookup
// callback, the main-functions, plug-in information and event-bus services.
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "rtl/ThreadLocal.h"
#include "rtl/UnicodeString.h"

// What is being run, for exception notes and crash reports. The texts are
// not copied: they must stay valid during the call.
struct TForeignCall {
  const char16_t* What = nullptr;  // "InitPlugin", "event handler", ...
  const void* Code = nullptr;  // the code called, to name its module
  const char16_t* Subject = nullptr;  // a file or name it concerns, or null
};

namespace qorb::rtl {
struct TContainment;
// One call into foreign code in progress on this thread, innermost first,
// or with Call null, our code called back from foreign code.
struct TForeignFrame {
  const TForeignCall* Call = nullptr;
  TForeignFrame* Outer = nullptr;
  TContainment* Containment = nullptr;  // null where a fault cannot be contained
  uint32_t LocksAtEntry = 0;  // locks of ours the thread held when it entered
  // The C++ runtime's exceptions being handled (innermost) and in flight
  // when it entered: a contained fault puts them back.
  void* CaughtAtEntry = nullptr;
  uint32_t UncaughtAtEntry = 0;
  // Our code raising what this foreign call left (a fault, an exception),
  // for a report of a fault while doing so.
  const TForeignCall* Concerning = nullptr;
};
// This thread's innermost frame. Initial-exec: the signal handler reads it,
// and must not allocate.
extern constinit thread_local TForeignFrame* ForeignTop QORB_HANDLER_TLS;
void RunForeign(const TForeignCall& Call, void (*Run)(void*), void* Context);
}  // namespace qorb::rtl

// The code behind a method-table slot of an interface or object pointer.
inline const void* SlotCode(const void* Object, size_t Slot) noexcept {
  return Object ? (*static_cast<void* const* const*>(Object))[Slot] : nullptr;
}

// As SlotCode, for an object that may belong to a library unloaded since
// (a reference a plug-in forgot): when it, or its method table, lies in
// such a library, raises the access violation that reading it would,
// naming the library, instead of faulting in our code. Costs two looks at
// the unloaded libraries, and a loader look-up where one held it.
const void* SlotCodeOfLiveModule(const void* Object, size_t Slot);

template <class F>
decltype(auto) CallForeign(const TForeignCall& Call, F&& Function) {
  using TFunction = std::remove_reference_t<F>;
  using TResult = std::invoke_result_t<TFunction&>;
  if constexpr (std::is_void_v<TResult>) {
    qorb::rtl::RunForeign(
        Call, [](void* f) { (*static_cast<TFunction*>(f))(); }, const_cast<void*>(static_cast<const void*>(&Function)));
  } else {
    // Results through contracts are plain values, pointers and strings.
    TResult result{};
    auto run = [&] { result = Function(); };
    qorb::rtl::RunForeign(
        Call, [](void* f) { (*static_cast<decltype(run)*>(f))(); }, &run);
    return result;
  }
}

// Marks code that runs foreign code where a fault cannot be contained (a
// library's start-up and clean-up code inside the loader, whose own locks it
// would leave held): a fault there still ends the process, but the crash
// report can say what was being done.
class TForeignActivity {
 public:
  explicit TForeignActivity(const TForeignCall& Call) noexcept;
  ~TForeignActivity();
  TForeignActivity(const TForeignActivity&) = delete;
  TForeignActivity& operator=(const TForeignActivity&) = delete;

 private:
  TForeignCall FCall;
  qorb::rtl::TForeignFrame FFrame;
};

// Our code begins again here, called by foreign code: a fault from now on,
// in our code or in anything it calls that is not across a boundary, is
// ours and never contained. One at each entry point foreign code reaches.
class TOwnFrame {
 public:
  TOwnFrame() noexcept : FFrame{nullptr, qorb::rtl::ForeignTop, nullptr} { qorb::rtl::ForeignTop = &FFrame; }
  explicit TOwnFrame(const TForeignCall& Concerning) noexcept : TOwnFrame() { FFrame.Concerning = &Concerning; }
  ~TOwnFrame() { qorb::rtl::ForeignTop = FFrame.Outer; }
  TOwnFrame(const TOwnFrame&) = delete;
  TOwnFrame& operator=(const TOwnFrame&) = delete;

 private:
  qorb::rtl::TForeignFrame FFrame;
};

// An exception that foreign code raised and our code caught, as a debugger
// lists first-chance exceptions.
struct TForeignExceptionNote {
  UnicodeString ClassName;
  UnicodeString Message;
  UnicodeString Module;  // full path of the module the called code is in
  UnicodeString What;
  UnicodeString Subject;
};

// Names the file of a library that held Address and is unloaded now, so
// that a call into code that is gone names its plug-in; false for an
// address a library loaded since holds. The platform layer,
// which remembers unloaded libraries, provides it.
using TUnloadedModuleNamer = bool (*)(const void* Address, std::string& Path);
void SetUnloadedModuleNamer(TUnloadedModuleNamer Namer);

// Called on the thread that caught the exception, outside every lock of the
// runtime. Observers are our own code: they must not raise.
using TForeignExceptionObserver = void (*)(void* Data, const TForeignExceptionNote& Note);
void AddForeignExceptionObserver(TForeignExceptionObserver Observer, void* Data);
void RemoveForeignExceptionObserver(TForeignExceptionObserver Observer, void* Data);
