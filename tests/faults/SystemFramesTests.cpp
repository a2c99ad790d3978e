// qorb-ide on Windows, where a fault is offered to the handlers of the
// frames it passes before the boundary's: the system's functions that take
// their own faults answer as they do there, a library whose start-up faults
// fails its load, and a fault inside the system's code that may hold a lock
// ends the IDE with a report naming the plug-in that called it.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/faults/FaultyIde.h"

namespace {


void ExpectWentOn(const TChildRun& r, const char* fault) {
  EXPECT_EQ(r.ExitStatus, 0) << fault << Describe(r);
  EXPECT_EQ(r.Out.find("Exceptions:"), std::string::npos) << fault << Describe(r);
  EXPECT_NE(r.Err.find("FaultyC: Shutdown called"), std::string::npos) << fault << Describe(r);
}

// IsBadReadPtr and lstrlenA take a bad pointer's fault and answer for it;
// the loader fails the load of a library whose start-up faults; the
// system's dispatch of a window's messages passes over a fault in a window
// procedure (64-bit Windows does). The plug-in goes on in each.
TEST(SystemHandlers, AFaultAFrameOfTheSystemTakesIsItsOwnAndThePluginGoesOn) {
  FaultyIde ide;
  ExpectWentOn(ide.Run("bad-read-ptr", "c", "init", {}, kPatience), "bad-read-ptr");
  for (const char* fault : {"dllmain", "window"}) {
    const std::string library = std::string(fault) == "dllmain" ? "FaultyDllMain.dll" : "FaultyWindow.dll";
    ExpectWentOn(ide.Run(fault, "c", "init", {"--hang-timeout", "20"}, kPatience,
                         {std::string("QORB_FAULT_FILE=") + QORB_FAULT_FIXTURE_DIR + "/" + library}),
                 fault);
  }
}

void ExpectReportedInSystemCode(const TChildRun& r, const char* fault) {
  EXPECT_EQ(r.ExitStatus, 70) << fault << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside system code that may hold a lock of its own: [0-9A-F]{16} "
                                                  "in " + kFolder + kCLibrary + "[^\n]*\n  called from [0-9A-F]{16} in " +
                                                  kFolder + "FaultyC\\.dll")))
      << fault << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside: InitPlugin \\(" + kFolder + "FaultyC\\.dll\\)")))
      << fault << Describe(r);
}

TEST(SystemCode, AFaultWhereItMayHoldALockEndsTheIdeWithAReportNamingThePluginThatCalledIt) {
  FaultyIde ide;
  // A time conversion into a bad pointer.
  const TChildRun r = ide.Run("localtime", "c", "init", {"--hang-timeout", "20"}, kPatience);
  ASSERT_FALSE(r.TimedOut) << "hung";
  ExpectReportedInSystemCode(r, "localtime");
}

// A recursion that allocates at every level runs out of stack in its own
// frames or inside malloc, by chance: contained, or reported from a stack
// set aside for it, never a hang or a thread gone without a word.
TEST(SystemCode, ARunawayRecursionThatAllocatesIsContainedOrReportedEveryTime) {
  FaultyIde ide;
  for (int run = 0; run < kRecursionRuns; ++run) {
    const TChildRun r = ide.Run("recurse-allocating", "c", "init", {"--hang-timeout", "20"}, kPatience);
    ASSERT_FALSE(r.TimedOut) << "run " << run << " hung";
    if (r.ExitStatus == 0)
      EXPECT_NE(r.Out.find("EStackOverflow: Stack overflow"), std::string::npos) << "run " << run << Describe(r);
    else
      ExpectReportedInSystemCode(r, "recurse-allocating");
  }
}

// A plug-in's own filter of unhandled exceptions would end the IDE
// silently on the next fault nobody contains: it is taken back when the
// step that set it ends, named, and fails a strict run.
TEST(Takeover, APluginsUnhandledExceptionFilterIsTakenBackNamedAndFailsAStrictRun) {
  FaultyIde ide;
  for (bool strict : {false, true}) {
    const TChildRun r = ide.Run("take-filter", "c", "init",
                                StrictIf(strict), kPatience);
    EXPECT_EQ(r.ExitStatus, strict ? 1 : 0) << Describe(r);
    EXPECT_NE(r.Err.find("qorb-ide: FaultyC.dll replaced the unhandled-exception filter; the IDE kept its own"),
              std::string::npos)
        << Describe(r);
    if (strict) {
      EXPECT_NE(r.Err.find("fault handling taken: FaultyC.dll replaced the unhandled-exception filter"),
                std::string::npos)
          << Describe(r);
    }
  }
}

}  // namespace
