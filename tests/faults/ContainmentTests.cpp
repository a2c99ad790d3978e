// The runtime's containment, in-process: faults in a foreign library become
// the runtime's exceptions at the call, leave nothing behind, are noted once
// however deeply calls nest, and never hide a fault in our own code, nor in
// what our code calls when foreign code called it.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <exception>
#include <stdexcept>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

#include "rtl/ExceptionPassage.h"
#include "rtl/ExternalExceptions.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignCall.h"
#include "rtl/ForeignOnStack.h"
#include "rtl/OwnMutex.h"
#include "tests/support/Raised.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestLibrary.h"

namespace {

using TFaultFn = int (*)();

class ForeignLibrary : public TTestLibrary {
 public:
  explicit ForeignLibrary(const char* path = QORB_FAULT_LIB, bool unload = true) : TTestLibrary(path, unload) {}
  TFaultFn Fault() const { return Get<TFaultFn>("fault_lib_now"); }
};

// Ends the process in any way but a clean exit.
bool Dies(int status) { return status != 0; }

std::string Quoted(const char* name) { return std::regex_replace(name, std::regex("\\."), "\\."); }

struct Notes {
  std::vector<TForeignExceptionNote> seen;
  Notes() { AddForeignExceptionObserver(&Observe, this); }
  ~Notes() { RemoveForeignExceptionObserver(&Observe, this); }
  static void Observe(void* self, const TForeignExceptionNote& note) { static_cast<Notes*>(self)->seen.push_back(note); }
};

std::string CallFault(TFaultFn fault) {
  return Raised([&] { CallForeign({u"fault_lib_now", reinterpret_cast<const void*>(fault)}, fault); });
}

const char* const kAddress = "[0-9A-F]{16}";

TEST(Containment, EachFaultBecomesTheRuntimesExceptionAndTheThreadCarriesOn) {
  const ForeignLibrary lib;
  ASSERT_TRUE(lib.Fault());
  const std::string where = std::string("Access violation at address ") + kAddress + " in module '" + Quoted(QORB_FAULT_LIB_NAME) + "'\\. ";
  const struct {
    const char* fault;
    std::string expected;  // a regular expression
  } cases[] = {
      {"null-write", "EAccessViolation: " + where + "Write of address 0000000000000000"},
      {"read-unmapped", "EAccessViolation: " + where + "Read of address 0000000000001000"},
      {"div-zero", "EDivByZero: Division by zero"},
      {"illegal", "EPrivilege: Privileged instruction"},
      {"privileged", "EPrivilege: Privileged instruction"},
      {"stack-overflow", "EStackOverflow: Stack overflow"},
  };
  Notes notes;
  for (const auto& c : cases) {
    SetTestEnv("QORB_FAULT", c.fault);
    // Twice: nothing of the first is left to trip the second.
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(std::regex_match(CallFault(lib.Fault()), std::regex(c.expected))) << c.fault;
  }
  UnsetTestEnv("QORB_FAULT");
  EXPECT_EQ(CallFault(lib.Fault()), "");
  ASSERT_EQ(notes.seen.size(), 2 * std::size(cases));
  EXPECT_EQ(notes.seen[0].What, u"fault_lib_now");
  const std::string module = notes.seen[0].Module.ToUtf8();
  EXPECT_TRUE(std::regex_match(module, std::regex(".*[/\\\\]" + Quoted(QORB_FAULT_LIB_NAME)))) << module;
}

TEST(Containment, NestedCallsNoteAnExceptionOnceAndTheOuterCallSeesTheSame) {
  const ForeignLibrary lib;
  Notes notes;
  SetTestEnv("QORB_FAULT", "div-zero");
  const TFaultFn fault = lib.Fault();
  const std::string raised = Raised([&] {
    CallForeign({u"outer"}, [&] { CallForeign({u"inner", reinterpret_cast<const void*>(fault)}, fault); });
  });
  UnsetTestEnv("QORB_FAULT");
  EXPECT_EQ(raised, "EDivByZero: Division by zero");
  ASSERT_EQ(notes.seen.size(), 1u);
  EXPECT_EQ(notes.seen[0].What, u"inner");
  // Copied exceptions keep their class name and message.
  EXPECT_EQ(Raised([] { CallForeign({u"thrower"}, [] { throw std::out_of_range("past the end"); }); }),
            "out_of_range: past the end");
  EXPECT_EQ(notes.seen.size(), 2u);
}

// A fault raised where foreign code had called ours goes back through the
// foreign frames: the runtime keeps the call it came out of and each call
// it passed on its way. With only our code between two calls, it passed
// nothing, and nothing is kept.
TEST(Containment, AnExceptionIsSaidToPassOnlyTheForeignFramesItLeft) {
  const ForeignLibrary lib;
  SetTestEnv("QORB_FAULT", "div-zero");
  const TFaultFn fault = lib.Fault();
  const TForeignCall inner{u"inner", reinterpret_cast<const void*>(fault)};
  qorb::rtl::TExceptionPassage before{}, after{};
  const bool keptBefore = qorb::rtl::LastExceptionPassage(before);
  Raised([&] { CallForeign({u"outer"}, [&] { CallForeign(inner, fault); }); });
  EXPECT_EQ(qorb::rtl::LastExceptionPassage(after), keptBefore);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);

  Raised([&] {
    CallForeign({u"outer"}, [&] {
      const TOwnFrame calledBack;
      CallForeign({u"middle"}, [&] {
        const TOwnFrame calledBackAgain;
        CallForeign(inner, fault);
      });
    });
  });
  UnsetTestEnv("QORB_FAULT");
  ASSERT_TRUE(qorb::rtl::LastExceptionPassage(after));
  EXPECT_STREQ(after.Exception, "an exception of class EDivByZero: Division by zero");
  EXPECT_TRUE(std::regex_match(after.RaisedOutOf, std::regex("inner in .*" + Quoted(QORB_FAULT_LIB_NAME)))) << after.RaisedOutOf;
  ASSERT_EQ(after.PassedCount, 2);
  EXPECT_STREQ(after.Passed[0], "middle");
  EXPECT_STREQ(after.Passed[1], "outer");
}

TEST(Containment, ThreadsFaultAtTheSameTimeEachInItsOwnCall) {
  const ForeignLibrary lib;
  SetTestEnv("QORB_FAULT", "null-write");
  const TFaultFn fault = lib.Fault();
  std::atomic<int> contained{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i)
        if (CallFault(fault).starts_with("EAccessViolation: ")) ++contained;
    });
  for (std::thread& t : threads) t.join();
  UnsetTestEnv("QORB_FAULT");
  EXPECT_EQ(contained.load(), 200);
}

TEST(ContainmentDeathTest, AFaultInOurOwnCodeStillEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // This test's own code is ours, even inside a call marked foreign.
  // Below the lowest address the kernel ever maps.
  static volatile uintptr_t unmapped = 0x1000;
  EXPECT_EXIT(CallForeign({u"our own"}, [] { *reinterpret_cast<volatile int*>(unmapped) = 1; }),
              Dies, "");
}

// The crash reporter hears of a fault nobody contains and names the exit
// status: the report is the platform's (a signal handler, an unhandled
// exception filter); the outcome is the same.
int ReportAndEnd(const TFaultRecord& fault, const qorb::rtl::TForeignFrame*) {
  if (FaultKindOf(fault) == TFaultKind::AccessViolation) std::fputs("reported an access violation\n", stderr);
  std::fflush(stderr);
  return fault.Address == 0x1000 ? 70 : 71;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// A sanitizer's handler, there before ours, has the last word on the status.
bool EndedAsReported(int status) { return status != 0; }
#else
bool EndedAsReported(int status) { return ::testing::ExitedWithCode(70)(status); }
#endif

TEST(ContainmentDeathTest, AFaultNobodyContainsIsReportedAndEndsWithTheReportersStatus) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const ForeignLibrary lib;
  const TFaultFn fault = lib.Fault();
  SetTestEnv("QORB_FAULT", "read-unmapped");
  // Called outside any boundary; in the library, whose code no sanitizer
  // watches, so that the fault reaches the runtime's handler first.
  EXPECT_EXIT(
      {
        InstallFaultHandler();
        SetCrashReporter(&ReportAndEnd);
        fault();
      },
      EndedAsReported, "reported an access violation");
  UnsetTestEnv("QORB_FAULT");
}

// Foreign code calls back into ours, which holds a lock and calls foreign
// code again. Through a call of its own, the fault is contained there and
// the lock goes with the unwinding; called directly, the fault is ours.
using TCallBack = void (*)(void (*)());
TFaultFn calledBackFault = nullptr;
std::mutex calledBackLock;

void OursThroughABoundary() {
  const TOwnFrame ours;
  const std::lock_guard guard(calledBackLock);
  CallForeign({u"inner", reinterpret_cast<const void*>(calledBackFault)}, calledBackFault);
}

void OursDirectly() {
  const TOwnFrame ours;
  const std::lock_guard guard(calledBackLock);
  calledBackFault();
}

// No own frame: the lock of ours it holds is enough to make the fault ours.
TMutex ownLock;
void OursHoldingALock() {
  const std::lock_guard guard(ownLock);
  calledBackFault();
}

TEST(Containment, OurCodeCalledBackFromForeignCodeIsContainedOnlyAcrossABoundaryOfItsOwn) {
  const ForeignLibrary lib;
  const auto callBack = lib.Get<TCallBack>("fault_lib_call");
  calledBackFault = lib.Fault();
  SetTestEnv("QORB_FAULT", "null-write");
  const std::string raised = Raised([&] {
    CallForeign({u"outer", reinterpret_cast<const void*>(callBack)}, [&] { callBack(&OursThroughABoundary); });
  });
  EXPECT_TRUE(raised.starts_with("EAccessViolation: ")) << raised;
  std::thread other([] { EXPECT_TRUE(calledBackLock.try_lock()) << "the lock was left held"; calledBackLock.unlock(); });
  other.join();
  // A lock of ours taken before the call does not make the call's faults ours.
  {
    const std::lock_guard guard(ownLock);
    EXPECT_TRUE(CallFault(calledBackFault).starts_with("EAccessViolation: "));
  }
  UnsetTestEnv("QORB_FAULT");
}

TEST(ContainmentDeathTest, AFaultUnderOurFramesOrInACallOfOurOwnCodeEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const ForeignLibrary lib;
  const auto callBack = lib.Get<TCallBack>("fault_lib_call");
  calledBackFault = lib.Fault();
  SetTestEnv("QORB_FAULT", "null-write");
  // The faulting instruction is foreign, but our frames lie between.
  EXPECT_EXIT(CallForeign({u"outer", reinterpret_cast<const void*>(callBack)}, [&] { callBack(&OursDirectly); }), Dies,
              "");
  EXPECT_EXIT(CallForeign({u"outer", reinterpret_cast<const void*>(callBack)}, [&] { callBack(&OursHoldingALock); }),
              Dies, "");
  // The call entered our own code, which called the foreign library.
  EXPECT_EXIT(CallForeign({u"ours", reinterpret_cast<const void*>(&OursDirectly)}, &OursDirectly), Dies, "");
  // A signal sent to the process faulted no instruction.
  SetTestEnv("QORB_FAULT", "raise");
  EXPECT_EXIT(CallFault(lib.Fault()), Dies, "");
  UnsetTestEnv("QORB_FAULT");
}

// An exception's what(), class name and destructor are the foreign
// library's code: a fault in one is contained where it runs.
TEST(Containment, AnExceptionWhoseOwnCodeFaultsIsContainedAndTheOriginalGoesOnlyOnce) {
  // Never unloaded: the exception whose destructor faulted is never freed,
  // and the leak check must still find where it was made.
  const ForeignLibrary lib(QORB_FAULT_THROW_LIB, false);
  Notes notes;
  const std::string where = std::string("Access violation at address ") + kAddress + " in module '" + Quoted(QORB_FAULT_THROW_LIB_NAME) + "'\\. ";
  for (const char* thrower : {"fault_throw_bad_what", "fault_throw_bad_class_name"}) {
    const auto f = lib.Get<void (*)()>(thrower);
    const std::string raised = Raised([&] { CallForeign({u"thrower", reinterpret_cast<const void*>(f)}, f); });
    EXPECT_TRUE(std::regex_match(raised, std::regex("EAccessViolation: " + where + "Read of address 0000000000001000")))
        << thrower << ": " << raised;
  }
  EXPECT_EQ(notes.seen.size(), 2u);
  // Described before it is destroyed: what it said is raised, and the
  // destructor's fault is noted besides.
  const auto badDestructor = lib.Get<void (*)()>("fault_throw_bad_destructor");
  EXPECT_EQ(Raised([&] { CallForeign({u"thrower", reinterpret_cast<const void*>(badDestructor)}, badDestructor); }),
            "EBadDestructor: raised anyway");
  ASSERT_EQ(notes.seen.size(), 4u);
  EXPECT_TRUE(notes.seen[2].ClassName.ToUtf8() == "EAccessViolation" || notes.seen[3].ClassName.ToUtf8() == "EAccessViolation");
}

// Known values in the registers a callee must give back as it found them
// (rbx and r12 to r15; on Windows also xmm6 to xmm15), held across a call
// that fails; how many come back changed.
[[gnu::noinline]] int RegistersChangedAcross(const std::function<void()>& call) {
  register uint64_t b asm("rbx") = 1, r12 asm("r12") = 12, r13 asm("r13") = 13, r14 asm("r14") = 14, r15 asm("r15") = 15;
  asm volatile("" : "+r"(b), "+r"(r12), "+r"(r13), "+r"(r14), "+r"(r15));
#if defined(_WIN64)
  register uint64_t x6 asm("xmm6") = 6, x7 asm("xmm7") = 7, x8 asm("xmm8") = 8, x9 asm("xmm9") = 9;
  register uint64_t x10 asm("xmm10") = 10, x11 asm("xmm11") = 11, x12 asm("xmm12") = 12, x13 asm("xmm13") = 13;
  register uint64_t x14 asm("xmm14") = 14, x15 asm("xmm15") = 15;
  asm volatile("" : "+x"(x6), "+x"(x7), "+x"(x8), "+x"(x9), "+x"(x10), "+x"(x11), "+x"(x12), "+x"(x13), "+x"(x14),
               "+x"(x15));
#endif
  try {
    call();
  } catch (...) {
  }
  asm volatile("" : "+r"(b), "+r"(r12), "+r"(r13), "+r"(r14), "+r"(r15));
  std::vector<std::pair<uint64_t, uint64_t>> kept = {{uint64_t{b}, 1},
                                                     {uint64_t{r12}, 12},
                                                     {uint64_t{r13}, 13},
                                                     {uint64_t{r14}, 14},
                                                     {uint64_t{r15}, 15}};
#if defined(_WIN64)
  asm volatile("" : "+x"(x6), "+x"(x7), "+x"(x8), "+x"(x9), "+x"(x10), "+x"(x11), "+x"(x12), "+x"(x13), "+x"(x14),
               "+x"(x15));
  uint64_t put = 6;
  for (const uint64_t x : {uint64_t{x6}, uint64_t{x7}, uint64_t{x8}, uint64_t{x9}, uint64_t{x10}, uint64_t{x11},
                          uint64_t{x12}, uint64_t{x13}, uint64_t{x14}, uint64_t{x15}})
    kept.push_back({x, put++});
#endif
  int changed = 0;
  for (const auto& [seen, put] : kept) changed += seen != put;
  return changed;
}

TEST(Containment, TheCallersRegistersSurviveAFaultAndAnExceptionInTheCall) {
  const ForeignLibrary faults;
  const ForeignLibrary throws(QORB_FAULT_THROW_LIB, false);
  const auto fault = faults.Get<TFaultFn>("fault_lib_clobbering");
  const auto raise = throws.Get<void (*)()>("fault_throw_clobbering");
  ASSERT_TRUE(fault && raise);
  SetTestEnv("QORB_FAULT", "null-write");
  EXPECT_EQ(RegistersChangedAcross([&] { CallForeign({u"fault_lib_clobbering", reinterpret_cast<const void*>(fault)}, fault); }), 0);
  UnsetTestEnv("QORB_FAULT");
  EXPECT_EQ(RegistersChangedAcross([&] { CallForeign({u"fault_throw_clobbering", reinterpret_cast<const void*>(raise)}, raise); }), 0);
}

// Who made something is looked for on the stack only where plug-in code may
// be on it: a call into foreign code, however deep our own code is above it;
// not a call into our own code, nor the main thread outside any call; any
// other thread, whose start may be a plug-in's.
TEST(ForeignOnStack, OnlyInsideACallIntoForeignCodeOrOffTheMainThread) {
  const ForeignLibrary lib;
  const TFaultFn foreign = lib.Fault();
  EXPECT_FALSE(ForeignCodeMayBeOnStack());
  bool inForeign = false, calledBack = false, inOurs = true, elsewhere = false;
  CallForeign({u"foreign", reinterpret_cast<const void*>(foreign)}, [&] {
    inForeign = ForeignCodeMayBeOnStack();
    const TOwnFrame ours;
    calledBack = ForeignCodeMayBeOnStack();
  });
  CallForeign({u"ours", reinterpret_cast<const void*>(&CallFault)}, [&] { inOurs = ForeignCodeMayBeOnStack(); });
  std::thread([&] { elsewhere = ForeignCodeMayBeOnStack(); }).join();
  EXPECT_TRUE(inForeign);
  EXPECT_TRUE(calledBack);
  EXPECT_FALSE(inOurs);
  EXPECT_TRUE(elsewhere);
  EXPECT_FALSE(ForeignCodeMayBeOnStack());
}

#if !defined(_WIN32)
// A contained fault abandons the plug-in's frames, and with them whatever
// those frames had done to the thread: a signal they blocked, an exception
// they were handling or unwinding. The thread leaves the boundary as it
// entered it, and the next fault is contained as well.
TEST(Containment, TheThreadLeavesTheBoundaryWithTheMaskAndExceptionStateItEnteredWith) {
  const ForeignLibrary lib;
  // Kept loaded: a leak report names the frames of what it threw.
  const TTestLibrary throwing(QORB_FAULT_THROW_LIB, false);
  auto fpeBlocked = [] {
    sigset_t now;
    pthread_sigmask(SIG_SETMASK, nullptr, &now);
    return sigismember(&now, SIGFPE) == 1;
  };
  SetTestEnv("QORB_FAULT", "mask-fpe");
  EXPECT_TRUE(CallFault(lib.Fault()).starts_with("EAccessViolation: "));
  EXPECT_FALSE(fpeBlocked());
  SetTestEnv("QORB_FAULT", "div-zero");
  EXPECT_EQ(CallFault(lib.Fault()), "EDivByZero: Division by zero");
  UnsetTestEnv("QORB_FAULT");
  for (const char* name : {"fault_in_catch", "fault_in_unwinding"}) {
    const auto fault = throwing.Get<void (*)()>(name);
    EXPECT_TRUE(Raised([&] { CallForeign({u"fault", reinterpret_cast<const void*>(fault)}, fault); })
                    .starts_with("EAccessViolation: "))
        << name;
    EXPECT_FALSE(std::current_exception()) << name;
    EXPECT_EQ(std::uncaught_exceptions(), 0) << name;
    // Inside a handler of our own, the one we handle is still the innermost.
    try {
      throw std::runtime_error("ours");
    } catch (const std::runtime_error&) {
      EXPECT_TRUE(Raised([&] { CallForeign({u"fault", reinterpret_cast<const void*>(fault)}, fault); })
                      .starts_with("EAccessViolation: "))
          << name;
      try {
        throw;
      } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ours") << name;
      }
    }
  }
}

#endif

// INT_MIN / -1 faults as a division by zero does; the real platform calls
// it an integer overflow. A floating-point exception a thread unmasked has
// a class of its own each, though Windows reports every one of SSE's by
// the same code.
TEST(Containment, EveryArithmeticFaultHasTheNameTheRealPlatformGivesIt) {
  const ForeignLibrary lib;
  const struct {
    const char* fault;
    const char* raised;
  } cases[] = {{"int-overflow", "EIntOverflow: Integer overflow"},
               {"div-zero", "EDivByZero: Division by zero"},
               {"float-zero-divide", "EZeroDivide: Floating point division by zero"},
               {"float-overflow", "EOverflow: Floating point overflow"},
               {"float-underflow", "EUnderflow: Floating point underflow"},
               {"float-invalid", "EInvalidOp: Invalid floating point operation"}};
  const unsigned int control = __builtin_ia32_stmxcsr();
  for (const auto& c : cases) {
    SetTestEnv("QORB_FAULT", c.fault);
    EXPECT_EQ(CallFault(lib.Fault()), c.raised) << c.fault;
    // The fault left the exception unmasked, as the plug-in had asked.
    __builtin_ia32_ldmxcsr(control);
  }
  UnsetTestEnv("QORB_FAULT");
}

}  // namespace
