// The runtime's containment, in-process: faults in a foreign library become
// the runtime's exceptions at the call, leave nothing behind, are noted once
// however deeply calls nest, and never hide a fault in our own code.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <thread>
#include <vector>

#include "rtl/ExternalExceptions.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignCall.h"
#include "tests/support/Raised.h"

namespace {

using TFaultFn = int (*)();

class ForeignLibrary {
 public:
  ForeignLibrary() : handle_(::dlopen(QORB_FAULT_LIB, RTLD_NOW | RTLD_LOCAL)) {}
  ~ForeignLibrary() {
    if (handle_) ::dlclose(handle_);
  }
  TFaultFn Fault() const { return reinterpret_cast<TFaultFn>(::dlsym(handle_, "fault_lib_now")); }

 private:
  void* handle_;
};

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
  const std::string where = std::string("Access violation at address ") + kAddress + " in module 'faultlib.so'\\. ";
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
    ::setenv("QORB_FAULT", c.fault, 1);
    // Twice: nothing of the first is left to trip the second.
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(std::regex_match(CallFault(lib.Fault()), std::regex(c.expected))) << c.fault;
  }
  ::unsetenv("QORB_FAULT");
  EXPECT_EQ(CallFault(lib.Fault()), "");
  ASSERT_EQ(notes.seen.size(), 2 * std::size(cases));
  EXPECT_EQ(notes.seen[0].What, u"fault_lib_now");
  EXPECT_TRUE(notes.seen[0].Module.ToUtf8().ends_with("/faultlib.so")) << notes.seen[0].Module.ToUtf8();
}

TEST(Containment, NestedCallsNoteAnExceptionOnceAndTheOuterCallSeesTheSame) {
  const ForeignLibrary lib;
  Notes notes;
  ::setenv("QORB_FAULT", "div-zero", 1);
  const TFaultFn fault = lib.Fault();
  const std::string raised = Raised([&] {
    CallForeign({u"outer"}, [&] { CallForeign({u"inner", reinterpret_cast<const void*>(fault)}, fault); });
  });
  ::unsetenv("QORB_FAULT");
  EXPECT_EQ(raised, "EDivByZero: Division by zero");
  ASSERT_EQ(notes.seen.size(), 1u);
  EXPECT_EQ(notes.seen[0].What, u"inner");
  // Copied exceptions keep their class name and message.
  EXPECT_EQ(Raised([] { CallForeign({u"thrower"}, [] { throw std::out_of_range("past the end"); }); }),
            "out_of_range: past the end");
  EXPECT_EQ(notes.seen.size(), 2u);
}

TEST(Containment, ThreadsFaultAtTheSameTimeEachInItsOwnCall) {
  const ForeignLibrary lib;
  ::setenv("QORB_FAULT", "null-write", 1);
  const TFaultFn fault = lib.Fault();
  std::atomic<int> contained{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i)
        if (CallFault(fault).starts_with("EAccessViolation: ")) ++contained;
    });
  for (std::thread& t : threads) t.join();
  ::unsetenv("QORB_FAULT");
  EXPECT_EQ(contained.load(), 200);
}

TEST(ContainmentDeathTest, AFaultInOurOwnCodeStillEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // This test's own code is ours, even inside a call marked foreign.
  // Below the lowest address the kernel ever maps.
  static volatile uintptr_t unmapped = 0x1000;
  EXPECT_EXIT(CallForeign({u"our own"}, [] { *reinterpret_cast<volatile int*>(unmapped) = 1; }),
              [](int status) { return !WIFEXITED(status) || WEXITSTATUS(status) != 0; }, "");
}

}  // namespace
