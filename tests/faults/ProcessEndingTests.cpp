// qorb-ide where a plug-in's fault cannot be contained without leaving a
// lock of the C library or the loader held, where a plug-in ends the
// process (an abort, a failed heap check, exit) or takes the fault
// handling for itself: never a hang, never a death without a report that
// names the plug-in.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/faults/FaultyIde.h"

namespace {

// AddressSanitizer brings its own heap, which neither faults nor aborts where
// the C library's does, and checks printf's arguments before the C library
// takes a lock; and the frames a contained fault abandons leak what they
// allocated.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedHeap = true;
#else
constexpr bool kSanitizedHeap = false;
#endif

bool HeapCase(const std::string& fault) {
  return fault == "heap-corrupt" || fault == "printf" || fault == "double-free" || fault == "recurse-allocating";
}

TEST(SystemCode, AFaultWhereItMayHoldALockEndsTheIdeWithAReportNamingThePluginThatCalledIt) {
  FaultyIde ide;
  const struct {
    const char* fault;
    const char* module;  // of the innermost system frame
  } cases[] = {{"localtime", "libc"}, {"dlsym", "l"}, {"heap-corrupt", "libc"}, {"printf", "libc"}};
  for (const auto& c : cases) {
    if (kSanitizedHeap && HeapCase(c.fault)) continue;
    const TChildRun r = ide.Run(c.fault, "c", "init", {"--hang-timeout", "20"}, kPatience);
    ASSERT_FALSE(r.TimedOut) << c.fault << ": hung";
    EXPECT_EQ(r.ExitStatus, 70) << c.fault << Describe(r);
    EXPECT_TRUE(std::regex_search(
        r.Err, std::regex("\n  inside system code that may hold a lock of its own: [0-9A-F]{16} in " + kFolder +
                          c.module + "[^\n]*\n  called from [0-9A-F]{16} in " + kFolder + "FaultyC\\.dll")))
        << c.fault << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside: InitPlugin \\(" + kFolder + "FaultyC\\.dll\\)")))
        << c.fault << Describe(r);
  }
}

// An allocating recursion runs out of stack in its own frames or inside
// malloc, by chance: contained or reported, never a hang.
TEST(SystemCode, ARunawayRecursionThatAllocatesIsContainedOrReportedEveryTime) {
  if (kSanitizedHeap) GTEST_SKIP() << "the sanitizer's heap";
  FaultyIde ide;
  for (int run = 0; run < 10; ++run) {
    const TChildRun r = ide.Run("recurse-allocating", "c", "init", {"--hang-timeout", "20"}, kPatience);
    ASSERT_FALSE(r.TimedOut) << "run " << run << " hung";
    const bool contained = r.ExitStatus == 0 && r.Out.find("EStackOverflow: Stack overflow\n    in InitPlugin") !=
                                                    std::string::npos;
    const bool reported = r.ExitStatus == 70 && r.Err.find("qorb-ide: crashed: stack overflow") != std::string::npos &&
                          r.Err.find("FaultyC.dll") != std::string::npos;
    ASSERT_TRUE(contained || reported) << "run " << run << Describe(r);
  }
}

TEST(Takeover, APluginsOwnFaultHandlingIsRefusedNamedAndFailsAStrictRun) {
  FaultyIde ide;
  // It turns the alternate stack off and then overflows its own stack: the
  // IDE's handler, on its own stack, still contains that.
  for (bool strict : {false, true}) {
    const TChildRun r = ide.Run("take-signals", "c", "init", StrictIf(strict), kPatience);
    EXPECT_EQ(r.ExitStatus, strict ? 1 : 0) << Describe(r);
    for (const char* what : {"replaced the handler of SIGSEGV", "replaced the handler of SIGFPE",
                             "turned off the alternate signal stack"})
      EXPECT_NE(r.Err.find(std::string("qorb-ide: FaultyC.dll ") + what + "; the IDE kept its own"), std::string::npos)
          << what << Describe(r);
    EXPECT_NE(r.Out.find("EStackOverflow: Stack overflow\n    in InitPlugin"), std::string::npos) << Describe(r);
    if (strict) {
      EXPECT_NE(r.Err.find("fault handling taken: FaultyC.dll replaced the handler of SIGSEGV"), std::string::npos)
          << Describe(r);
    }
  }
}

TEST(Ending, AFailedHeapCheckEndsTheIdeWithAReportNamingThePlugin) {
  if (kSanitizedHeap) GTEST_SKIP() << "the sanitizer's heap";
  FaultyIde ide;
  const TChildRun r = ide.Run("double-free", "c", "init", {}, kPatience);
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
  EXPECT_NE(r.Err.find("qorb-ide: crashed: abort (SIGABRT): free(): double free detected"), std::string::npos)
      << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside: InitPlugin \\(" + kFolder + "FaultyC\\.dll\\)")))
      << Describe(r);
}


// A fault in InitPlugin after it made menu items (each with a watch whose
// class is the plug-in's code) leaves them in the menu when the library
// goes: a click on one, and the menu freeing them at the end, are contained
// and named, never a crash in our code.
TEST(LeftBehind, WhatAFaultedInitPluginMadeIsNamedAndNeverCrashesTheIdeLater) {
  FaultyIde ide;
  const TChildRun r = ide.Run("null-write", "cpp", "init-after-items", {"--click", "Qorb/Faulty publish"}, kPatience);
  EXPECT_EQ(r.ExitStatus, 1) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Out, std::regex("'FaultyCpp\\.dll', unloaded\\. Execute of address [0-9A-F]{16}\n"
                                                  "    in menu click \\(Qorb/Faulty publish\\)")))
      << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Out, std::regex("'FaultyCpp\\.dll', unloaded\\. Read of address [0-9A-F]{16}\n"
                                                  "    in freeing a component")))
      << Describe(r);
  EXPECT_NE(r.Err.find("left alive: menu item \"Qorb/Faulty crash\" stayed in the menu after FaultyCpp.dll was unloaded"),
            std::string::npos)
      << Describe(r);
}

// Its file truncated under it while loaded: the plug-in's code faults, and
// so does reading its unwind data for the report; the report says why.
TEST(Ending, ALibraryWhoseFileWasTruncatedWhileLoadedIsNamedAsSuch) {
  FaultyIde ide;
  ide.CopyIn("FaultyC.dll");
  const TChildRun r = ide.Run("truncate-self", "c", "init", {}, kPatience,
                              {"QORB_FAULT_FILE=" + (ide.Folder() / "Plugins" / "FaultyC.dll").string()});
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  " + kFolder + "FaultyC\\.dll: its file was replaced or "
                                                  "truncated while loaded\n")))
      << Describe(r);
  // Contained where its code faulted, it is unloaded; the loader reading
  // the file then faults where it cannot be.
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside: (InitPlugin|unloading) \\(" + kFolder + "FaultyC\\.dll\\)")))
      << Describe(r);
}

}  // namespace
