// qorb-ide with plug-ins and an About library that fault: every contained
// fault follows the rule for a raised exception at its place, the IDE
// carries on (a second publish, click or unload works) and leaves nothing
// alive; a fault nobody can contain ends it with a report that names the
// plug-in.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "tests/faults/FaultyIde.h"
#include "tests/support/GuideSamples.h"

namespace {

struct Fault {
  const char* name;
  const char* raised;  // what the runtime raises, as a regular expression
};

const Fault kFaults[] = {
    {"null-write", "EAccessViolation: Access violation at address [0-9A-F]{16} in module '%s'\\. "
                   "Write of address 0000000000000000"},
    {"read-unmapped", "EAccessViolation: Access violation at address [0-9A-F]{16} in module '%s'\\. "
                      "Read of address 0000000000001000"},
    {"div-zero", "EDivByZero: Division by zero"},
    {"illegal", "EPrivilege: Privileged instruction"},
    {"stack-overflow", "EStackOverflow: Stack overflow"},
};

std::string Expected(const Fault& f, const std::string& module) {
  std::string e = f.raised;
  if (const size_t at = e.find("%s"); at != std::string::npos) e.replace(at, 2, module);
  return e;
}

size_t Count(const std::string& text, const std::regex& re) {
  return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}


// The things every run must show: the IDE lived to the end and let go of
// everything.
void ExpectLivedAndCleanedUp(const TChildRun& r) {
  EXPECT_TRUE(r.ExitStatus == 0 || r.ExitStatus == 1) << Describe(r);
  EXPECT_EQ(r.Err.find("left alive"), std::string::npos) << Describe(r);
  EXPECT_NE(r.Err.find("FaultyCpp: Shutdown called"), std::string::npos) << Describe(r);
}

class FaultInPlugin : public ::testing::TestWithParam<std::tuple<const char*, Fault>> {
 protected:
  const std::string in = std::get<0>(GetParam());
  const Fault fault = std::get<1>(GetParam());
  const std::string module = in == "c" ? "FaultyC.dll" : "FaultyCpp.dll";
  FaultyIde ide;
};

TEST_P(FaultInPlugin, InitPluginIsTreatedAsRaisingThePluginSkippedTheRestLoaded) {
  const TChildRun r = ide.Run(fault.name, in, "init");
  ExpectLivedAndCleanedUp(r);
  EXPECT_EQ(r.ExitStatus, 0) << Describe(r);
  EXPECT_NE(r.Err.find((in == "c" ? "FaultyC" : "FaultyCpp") + std::string(": Shutdown called")), std::string::npos);
  const std::regex noted("Exceptions:\n  " + Expected(fault, module) + "\n    in InitPlugin \\([^)]*" + kFolder + "Plugins" + kFolder + "" +
                         module + "\\)");
  EXPECT_TRUE(std::regex_search(r.Out, noted)) << Describe(r);
  // Listed: only the other one.
  const std::string other = in == "c" ? "FaultyCpp.dll" : "FaultyC.dll";
  const size_t listed = r.Out.find("Plug-ins:");
  ASSERT_NE(listed, std::string::npos) << Describe(r);
  EXPECT_NE(r.Out.find(other, listed), std::string::npos) << Describe(r);
}

TEST_P(FaultInPlugin, ShutdownIsTreatedAsRaisingAndEveryLibraryStillGoes) {
  const TChildRun r = ide.Run(fault.name, in, "shutdown");
  ExpectLivedAndCleanedUp(r);
  EXPECT_EQ(r.ExitStatus, 0) << Describe(r);
  EXPECT_NE(r.Err.find("FaultyC: Shutdown called"), std::string::npos) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Out, std::regex(Expected(fault, module) + "\n    in Shutdown "))) << Describe(r);
}

TEST_P(FaultInPlugin, AnEventHandlerIsReportedLikeARaisingOneAndTheOthersRunEveryTime) {
  const TChildRun r = ide.Run(fault.name, in, "event", {"--click", "Qorb/Faulty publish", "--click", "Qorb/Faulty publish"});
  ExpectLivedAndCleanedUp(r);
  EXPECT_EQ(r.ExitStatus, 0) << Describe(r);
  const std::string handler = in == "c" ? "TFaultyC\\.on_event_first" : "TFaultyPlugin\\.OnEventFirst";
  EXPECT_EQ(Count(r.Out, std::regex("\\[EventBus\\] \\[Error\\] " + handler + ": " + Expected(fault, module))), 2u)
      << Describe(r);
  EXPECT_EQ(Count(r.Out, std::regex("\\[FaultyC\\] \\[Info\\] second handler ran")), 2u) << Describe(r);
  EXPECT_EQ(Count(r.Out, std::regex("\\[FaultyCpp\\] \\[Info\\] second handler ran")), 2u) << Describe(r);
}

INSTANTIATE_TEST_SUITE_P(Zoo, FaultInPlugin,
                         ::testing::Combine(::testing::Values("c", "cpp"), ::testing::ValuesIn(kFaults)),
                         [](const auto& info) {
                           std::string name = std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

class FaultInCallback : public ::testing::TestWithParam<Fault> {
 protected:
  FaultyIde ide;
};

TEST_P(FaultInCallback, AMenuClickIsReportedAsRaisingAndTheItemWorksAgain) {
  const TChildRun r = ide.Run(GetParam().name, "cpp", "click", {"--click", "Qorb/Faulty crash", "--click", "Qorb/Faulty crash"});
  ExpectLivedAndCleanedUp(r);
  EXPECT_EQ(Count(r.Out, std::regex("Menu item \"Qorb/Faulty crash\" raised exception class " +
                                    Expected(GetParam(), "FaultyCpp.dll"))),
            2u)
      << Describe(r);
}

TEST_P(FaultInCallback, AnOptionsPageCallbackIsRaisingAndTheDialogLetsGoOfThePage) {
  for (const char* at : {"options-load", "options-validate", "options-save"}) {
    const TChildRun r = ide.Run(GetParam().name, "cpp", at, {"--options", "Qorb/Faulty", "--click", "Qorb/Faulty publish"});
    ExpectLivedAndCleanedUp(r);
    EXPECT_TRUE(std::regex_search(r.Out, std::regex(Expected(GetParam(), "FaultyCpp.dll")))) << at << Describe(r);
    EXPECT_NE(r.Out.find("[FaultyCpp] [Info] second handler ran"), std::string::npos) << at << Describe(r);
  }
}

TEST_P(FaultInCallback, TheAboutLibraryIsUnloadedAndItsErrorReachesTheClickEveryTime) {
  const TChildRun r = ide.Run(GetParam().name, "", "", {"--click", "Qorb/About Qorb...", "--click", "Qorb/About Qorb..."});
  ExpectLivedAndCleanedUp(r);
  EXPECT_EQ(Count(r.Out, std::regex("raised exception class " + Expected(GetParam(), "DelphiMainProc.dll"))), 2u)
      << Describe(r);
}

INSTANTIATE_TEST_SUITE_P(Zoo, FaultInCallback, ::testing::ValuesIn(kFaults), [](const auto& info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
});

TEST(ExceptionOfItsOwnClass, OutlivesTheLibraryThatRaisedIt) {
  FaultyIde ide;
  const TChildRun about = ide.Run("throw", "", "", {"--click", "Qorb/About Qorb..."});
  ExpectLivedAndCleanedUp(about);
  EXPECT_NE(about.Out.find("raised exception class EAboutBroken: the About box is broken"), std::string::npos)
      << Describe(about);
  for (const char* at : {"init", "shutdown"}) {
    const TChildRun r = ide.Run("throw", "cpp", at);
    ExpectLivedAndCleanedUp(r);
    EXPECT_EQ(r.ExitStatus, 0) << Describe(r);
    EXPECT_NE(r.Out.find("EFaultyError: raised in " + std::string(at)), std::string::npos) << Describe(r);
  }
}

TEST(LeftBehind, AnInterfaceAPluginForgotIsReleasedAtOurBoundaryNamingTheUnloadedPlugin) {
  FaultyIde ide;
  // Its method table is in the library, or the object itself is too.
  const struct {
    const char* in;
    const char* at;
    const char* module;
  } cases[] = {{"cpp", "forget-interface", "FaultyCpp"}, {"c", "forget-static-interface", "FaultyC"}};
  for (const auto& c : cases) {
    const TChildRun r = ide.Run("", c.in, c.at);
    const std::string module = std::string(c.module) + "\\.dll";
    EXPECT_EQ(r.ExitStatus, 1) << c.at << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Err, std::regex("Finalization of package [^\\n]* failed: [^\\n]*EAccessViolation: "
                                                    "Access violation at address [0-9A-F]{16} in module '" + module + "', "
                                                    "unloaded\\. Read of address [0-9A-F]{16}")))
        << c.at << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Out, std::regex("Exceptions:\\n(.*\\n)*  EAccessViolation: [^\\n]*'" + module + "', "
                                                    "unloaded[^\\n]*\\n    in releasing a registered interface")))
        << c.at << Describe(r);
  }
}

TEST(UncontainedFault, OnAPluginsOwnThreadEndsTheIdeWithAReportNamingThePlugin) {
  FaultyIde ide;
  const TChildRun r = ide.Run("null-write", "cpp", "thread", {"--click", "Qorb/Faulty thread"});
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("qorb-ide: crashed: " + kAccessViolation + ", write of address "
                                                  "0000000000000000\n  at [0-9A-F]{16} in " + kFolder + "FaultyCpp\\.dll")))
      << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  on a thread started by " + kFolder + "FaultyCpp\\.dll\n")))
      << Describe(r);
  EXPECT_NE(r.Err.find("while the IDE was clicking \"Qorb/Faulty thread\""), std::string::npos) << Describe(r);
  EXPECT_NE(r.Err.find("Message view so far:\n"), std::string::npos) << Describe(r);
  // Lines the view had; the one logged in the click was not delivered yet.
  EXPECT_NE(r.Err.find("[FaultyCpp] [Info] ready"), std::string::npos) << Describe(r);
}

// An object whose AddRef faults, registered from the main thread or from a
// worker: the fault is contained at that AddRef, the registration raises to
// the plug-in, and the registry is free for a lookup from another thread.
TEST(FaultInAPluginsObject, AnAddRefIsContainedThereAndLeavesTheRegistryFreeForOtherThreads) {
  FaultyIde ide;
  for (const char* at : {"addref", "addref-thread"}) {
    const TChildRun r = ide.Run("null-write", "cpp", at, {}, kPatience);
    ASSERT_FALSE(r.TimedOut) << at << ": hung";
    ExpectLivedAndCleanedUp(r);
    EXPECT_EQ(r.ExitStatus, 0) << at << Describe(r);
    EXPECT_NE(r.Out.find("[FaultyCpp] [Info] registering raised EAccessViolation"), std::string::npos) << at << Describe(r);
    EXPECT_NE(r.Out.find("[FaultyCpp] [Info] a lookup on another thread returned"), std::string::npos) << at << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Out, std::regex("Exceptions:\n  EAccessViolation: [^\n]*'FaultyCpp\\.dll'[^\n]*\n    in AddRef")))
        << at << Describe(r);
  }
}

// A handler that publishes to itself without end overflows the stack in
// its own code or in ours. Either way every run ends with a report (a
// contained overflow is listed; one in our code ends the IDE), never a hang.
TEST(RunawayRecursion, ThroughOurCodeEndsEveryRunWithAReport) {
  FaultyIde ide;
  for (int run = 0; run < kRecursionRuns; ++run) {
    const TChildRun r = ide.Run("", "cpp", "recurse", {"--click", "Qorb/Faulty publish", "--hang-timeout", "5"},
                                kPatience);
    ASSERT_FALSE(r.TimedOut) << "run " << run << " hung";
    const bool reported = r.ExitStatus == 70 && r.Err.find("qorb-ide: crashed: stack overflow") != std::string::npos &&
                          r.Err.find("called from: the same, ") != std::string::npos;
    const bool contained = r.ExitStatus == 0 && r.Out.find("EStackOverflow: Stack overflow") != std::string::npos;
    ASSERT_TRUE(reported || contained) << "run " << run << Describe(r);
  }
}

// The host reading a text the plug-in handed it faults in our code (or in
// the C library under it): that is ours to report, not the plug-in's.
TEST(FaultInOurCode, CalledFromAPluginEndsTheIdeWithAReportAndIsNeverContained) {
  FaultyIde ide;
  const TChildRun r = ide.Run("half-string", "cpp", "click", {"--click", "Qorb/Faulty crash"});
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("qorb-ide: crashed: " + kAccessViolation + ", read of address "
                                                  "[0-9A-F]{16}\n  at [0-9A-F]{16} in ")))
      << Describe(r);
  EXPECT_NE(r.Err.find("  in our own code, called back from foreign code\n  inside: menu click (Qorb/Faulty crash)"),
            std::string::npos)
      << Describe(r);
}

#if !defined(_WIN32)
// kill and raise fault no instruction: the report says who sent the signal
// and names no access. Windows sends no such signals.
TEST(SentSignal, EndsTheIdeNamingTheSenderNeverAnAccessOnLinux) {
  FaultyIde ide;
  for (const char* how : {"raise", "kill"}) {
    const TChildRun r = ide.Run(how, "cpp", "click", {"--click", "Qorb/Faulty crash"});
    EXPECT_EQ(r.ExitStatus, 70) << how << Describe(r);
    EXPECT_NE(r.Err.find("qorb-ide: crashed: SIGSEGV sent by this process (kill, raise or tgkill)"), std::string::npos)
        << how << Describe(r);
    EXPECT_EQ(r.Err.find("of address"), std::string::npos) << how << Describe(r);
    EXPECT_NE(r.Err.find("inside: menu click (Qorb/Faulty crash)"), std::string::npos) << how << Describe(r);
  }
}
#endif

// abort() in a plug-in ends the IDE with a report, on either platform.
TEST(Ending, AnAbortInAPluginEndsTheIdeWithAReportNamingThePlugin) {
  FaultyIde ide;
  const TChildRun r = ide.Run("abort", "c", "init", {}, kPatience);
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
  EXPECT_NE(r.Err.find("qorb-ide: crashed: abort (SIGABRT)"), std::string::npos) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside: InitPlugin \\(" + kFolder + "FaultyC\\.dll\\)")))
      << Describe(r);
}

// The memory and string functions take no lock: a plug-in's bad pointer
// there is contained like one in its own code (on Windows memcpy goes on
// in a helper of its own, which holds nothing either). So is what the
// processor raises for a division whose quotient does not fit, under the
// name the real platform gives it, which Linux and Wine do not.
TEST(SystemCode, ALeafThatHoldsNothingIsContainedAndEveryDivisionHasItsName) {
  FaultyIde ide;
  const struct {
    const char* fault;
    std::string raised;
  } cases[] = {{"memcpy-null", "EAccessViolation: Access violation at address [0-9A-F]{16} in module '" + kCLibrary + "'"},
               {"int-overflow", "EIntOverflow: Integer overflow"}};
  for (const auto& c : cases) {
    const TChildRun r = ide.Run(c.fault, "c", "init", {}, kPatience);
    EXPECT_EQ(r.ExitStatus, 0) << c.fault << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Out, std::regex("Exceptions:\n  " + c.raised + "[^\n]*\n    in InitPlugin \\(" +
                                                    kFolder + "FaultyC\\.dll\\)")))
        << c.fault << Describe(r);
  }
}

// A breakpoint instruction left in a plug-in, run without a debugger.
TEST(Breakpoint, InAPluginIsReportedNamingItAndNeverTakenForAnException) {
  FaultyIde ide;
  const TChildRun r = ide.Run("breakpoint", "c", "init", {"--hang-timeout", "20"}, kPatience);
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
  EXPECT_NE(r.Err.find("qorb-ide: crashed: breakpoint"), std::string::npos) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside: InitPlugin \\(" + kFolder + "FaultyC\\.dll\\)")))
      << Describe(r);
}

// exit() in a plug-in: on Linux the IDE takes part in the call, on Windows
// it hears of the process's end; either way the run ends with a report
// naming the plug-in and what the IDE was doing, strict or not.
TEST(Ending, AnExitInAPluginEndsTheIdeWithAReportNamingThePlugin) {
  FaultyIde ide;
  for (bool strict : {false, true}) {
    const TChildRun r = ide.Run("exit", "c", "init", StrictIf(strict),
                                kPatience);
    EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Err, std::regex("qorb-ide: ended by a plug-in: " + kFolder + "FaultyC\\.dll called exit")))
        << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  inside: InitPlugin \\(" + kFolder + "FaultyC\\.dll\\)")))
        << Describe(r);
    EXPECT_NE(r.Err.find("while the IDE was loading the package"), std::string::npos) << Describe(r);
  }
}

// A publish from a C plug-in's own thread whose event faults: the bus
// raises that fault to its caller, whose frames no handler waits in. On
// Linux they cannot pass it; on Windows they let it pass, and nothing
// further out takes it. Either way the report names the plug-in the
// exception came from and the one whose frames it reached.
TEST(Ending, AnExceptionOfOursThatNoFrameOfThePluginTakesIsReportedNamingThem) {
  FaultyIde ide;
  const TChildRun r = ide.Run("null-write", "c", "publish-thread", {}, kPatience);
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
#if defined(_WIN32)
  const std::string headline = "abort \\(SIGABRT\\): no frame took an exception of class ";
  const std::string frames = "  it passed the frames of ";
#else
  const std::string headline = "std::terminate with an exception of class ";
  const std::string frames = "  it could not pass the frames of ";
#endif
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("qorb-ide: crashed: " + headline + "EAccessViolation: [^\n]*'FaultyC\\.dll'"
                                                  "[^\n]*\n" + frames + kFolder +
                                                  "FaultyC\\.dll \\((publisher|publish_bad_event|qorb_event_bus_publish)\\)")))
      << Describe(r);
}

// A C plug-in looks up, under a lock of its own, FaultyCpp's object whose
// QueryInterface faults. The exception raised out of the lookup passes the
// C frames, which never unlock, and the C plug-in's Shutdown waits for
// ever: the hang report names the plug-in the exception came from and the
// one whose frames it passed.
TEST(Ending, AHangAfterAnExceptionPassedAPluginsFramesNamesBothPlugins) {
  FaultyIde ide;
  const TChildRun r = ide.Run("null-write", "cpp", "query-locked", {"--click", "Qorb/Faulty lookup", "--hang-timeout", "5"},
                              kPatience);
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("qorb-ide: hung: the main thread has not returned from Shutdown "
                                                  "\\(" + kFolder + "FaultyC\\.dll\\)")))
      << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  before this, an exception of class EAccessViolation: [^\n]*'FaultyCpp\\.dll'"
                                                  "[^\n]*\n    raised out of: QueryInterface in " + kFolder +
                                                  "FaultyCpp\\.dll\n    passed the frames of: menu click "
                                                  "\\(Qorb/Faulty lookup\\) in " + kFolder + "FaultyC\\.dll\n")))
      << Describe(r);
#if !defined(_WIN32)
  // The guide shows it (Windows names files and faults its own way).
  EXPECT_EQ(SampleMismatch(GuideSample(QORB_SOURCE_DIR "/docs/plugin-authors.md", "passage"), r.Err), "") << r.Err;
#endif
}

// A plug-in's own thread overflows its stack, or loses it (a stack pointer
// set to garbage): the thread never entered a call of ours, and is still
// reported, named by its plug-in. Windows ends a process whose thread lost
// its stack before any handler can run: that case is Linux's only.
TEST(PluginThread, AStackOverflowOrALostStackOnAThreadThePluginStartedIsReportedNamingThePlugin) {
  FaultyIde ide;
  const struct {
    const char* fault;
    const char* says;
  } cases[] = {
      {"stack-overflow", "qorb-ide: crashed: stack overflow ("},
#if !defined(_WIN32)
      {"bad-stack-pointer", ", outside the thread's stack\n"},
#endif
  };
  for (const auto& c : cases) {
    const TChildRun r = ide.Run(c.fault, "cpp", "thread", {"--click", "Qorb/Faulty thread"}, kPatience);
    EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
    EXPECT_NE(r.Err.find(c.says), std::string::npos) << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Err, std::regex("\n  on a thread started by " + kFolder + "FaultyCpp\\.dll\n")))
        << Describe(r);
  }
}

}  // namespace
