// qorb-ide with a plug-in that runs a worker thread, each run a process of
// its own: a line the worker logs late is waited for, not raced; a thread
// left running is named by its plug-in and fails the run; a Shutdown that
// deadlocks with its worker ends in a report of every thread's stack.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/GuideSamples.h"

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
// Each run starts a process under Wine, seconds each: a few.
constexpr int kRuns = 3;
#else
constexpr int kRuns = 10;
#endif
// Before a file name, either separator.
const std::string kFolder = "[/\\\\]";

class ThreadedIde {
 public:
  ThreadedIde() {
    fs::create_directory(plugins_.path);
#if defined(_WIN32)
    fs::copy_file(fs::path(QORB_THREAD_FIXTURE_DIR) / "Threaded.dll", plugins_.path / "Threaded.dll");
#else
    fs::create_symlink(fs::path(QORB_THREAD_FIXTURE_DIR) / "Threaded.dll", plugins_.path / "Threaded.dll");
#endif
  }

  TChildRun Run(const std::string& mode, const std::vector<std::string>& args = {},
                const std::vector<std::string>& env = {}) const {
    std::vector<std::string> argv{QORB_IDE_PATH, "--package", QORB_PACKAGE_PATH, "--plugins", plugins_.path.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> environment{"QORB_THREADS=" + mode};
    environment.insert(environment.end(), env.begin(), env.end());
    return RunChild(argv, environment);
  }

 private:
  ScratchDir plugins_{"qorb-threaded"};
};

// The guide's sample of this report is what the run printed. The samples
// are Linux's: under Wine the stacks and paths read otherwise.
void ExpectGuideSample([[maybe_unused]] const std::string& name, [[maybe_unused]] const std::string& printed) {
#if !defined(_WIN32)
  EXPECT_EQ(SampleMismatch(GuideSample(QORB_SOURCE_DIR "/docs/plugin-authors.md", name), printed), "") << printed;
#endif
}

std::string Describe(const TChildRun& r) {
  return "exit " + std::to_string(r.ExitStatus) + " signal " + std::to_string(r.Signal) + "\n--- out\n" + r.Out +
         "--- err\n" + r.Err;
}

}  // namespace

TEST(WaitFor, SeesTheLineAWorkerLogsLateEveryTime) {
  ThreadedIde ide;
  for (int run = 0; run < 2 * kRuns; ++run) {
    const TChildRun r = ide.Run("late", {"--wait-for", "worker finished", "--strict"});
    ASSERT_EQ(r.ExitStatus, 0) << "run " << run << ": " << Describe(r);
    ASSERT_NE(r.Out.find("[Threaded] [Info] worker finished its job"), std::string::npos) << Describe(r);
  }
}

TEST(WaitFor, ThatRunsOutNamesItsTextAndTheLastLinesAndFails) {
  ThreadedIde ide;
  const TChildRun r =
      ide.Run("late", {"--wait-for", "worker finished", "--wait-for", "scan finished", "--timeout", "0.3"});
  EXPECT_EQ(r.ExitStatus, 1) << Describe(r);
  ExpectGuideSample("wait-for", r.Err);
  EXPECT_NE(r.Err.find("qorb-ide: --wait-for \"scan finished\": no message-view line contained it within 0.3 s; "
                       "the last lines were:\n"),
            std::string::npos)
      << Describe(r);
  EXPECT_NE(r.Err.find("] [Threaded] [Info] worker finished its job"), std::string::npos) << Describe(r);
  // The first wait was met: only the second is named.
  EXPECT_EQ(r.Err.find("--wait-for \"worker finished\""), std::string::npos) << Describe(r);
  // In order: a line that met one wait does not meet the next.
  const TChildRun twice = ide.Run("late", {"--wait-for", "worker", "--wait-for", "finished", "--timeout", "0.3"});
  EXPECT_EQ(twice.ExitStatus, 1) << Describe(twice);
  EXPECT_NE(twice.Err.find("--wait-for \"finished\": no message-view line contained it"), std::string::npos)
      << Describe(twice);
}

// Waiting is not hanging: only calls into the IDE's work are timed.
TEST(WaitFor, IsNoHangHoweverLongItWaits) {
  ThreadedIde ide;
  const TChildRun r = ide.Run("late", {"--wait-for", "worker finished", "--hang-timeout", "1"}, {"QORB_LATE_MS=2500"});
  EXPECT_EQ(r.ExitStatus, 0) << Describe(r);
  EXPECT_NE(r.Out.find("[Threaded] [Info] worker finished its job"), std::string::npos) << Describe(r);
}

TEST(LeftThread, IsNamedByItsPluginAndItsStartRoutineAndFailsTheRunEveryTime) {
  ThreadedIde ide;
  for (int run = 0; run < kRuns; ++run) {
    const TChildRun r = ide.Run("left");
    ASSERT_EQ(r.ExitStatus, 1) << "run " << run << ": " << Describe(r);
    if (run == 0) {
      ExpectGuideSample("left-alive", r.Out);
      ExpectGuideSample("left-alive-error", r.Err);
    }
    ASSERT_NE(r.Err.find("qorb-ide: left alive: a thread of Threaded.dll (in EndlessWorker) still ran when "
                         "Threaded.dll was unloaded; it was held there\n"),
              std::string::npos)
        << Describe(r);
    ASSERT_TRUE(std::regex_search(r.Out, std::regex("\nLeft alive:\n  thread [0-9]+ of Threaded\\.dll, in EndlessWorker: "
                                                    "still running when the library was unloaded\n    [^\n]*" + kFolder + "Threaded\\.dll\n")))
        << Describe(r);
  }
  // A plug-in that joins its worker leaves nothing.
  const TChildRun clean = ide.Run("late", {"--strict"});
  EXPECT_EQ(clean.ExitStatus, 0) << Describe(clean);
  EXPECT_EQ(clean.Out.find("Left alive:"), std::string::npos) << Describe(clean);
}

TEST(CrashReport, ListsTheLinesLoggedJustBeforeTheFaultFromEveryThreadInOrder) {
  // InitPlugin waits for its worker, so the main thread never drains the
  // logger's queue: the lines are there only if the report reads it.
  ThreadedIde ide;
  for (int run = 0; run < kRuns; ++run) {
    const TChildRun r = ide.Run("lastwords", {}, SanitizersLeaveFaultsToTheChild());
    ASSERT_EQ(r.ExitStatus, 70) << "run " << run << ": " << Describe(r);
    ASSERT_TRUE(std::regex_search(r.Err, std::regex("\nMessage view so far:\n"
                                                    "  \\[[0-9:.]{12}\\] \\[Threaded\\] \\[Info\\] InitPlugin's last words\n"
                                                    "  \\[[0-9:.]{12}\\] \\[Threaded\\] \\[Info\\] the worker's last words\n")))
        << "run " << run << ": " << Describe(r);
  }
}

TEST(LeftAlive, NamesSubscriptionsAndRegisteredInterfacesOfAnUnloadedPluginAndFailsStrict) {
  ThreadedIde ide;
  const struct {
    const char* Mode;
    std::string Entry;
    std::string Cause;
  } cases[] = {
      {"subscribed", "  subscription OnEvent for \\{40002E98-C3C8-43A3-A280-F694D959342D\\} of Threaded\\.dll: "
                     "still subscribed when the library was unloaded\n",
       "qorb-ide: strict: left behind: Threaded.dll: subscription OnEvent for {40002E98-C3C8-43A3-A280-F694D959342D}, "
       "still subscribed when it was unloaded\n"},
      {"registered", "  registered interface of Threaded\\.dll: still registered when the library was unloaded\n",
       "qorb-ide: strict: left behind: Threaded.dll: registered interface, still registered when it was unloaded\n"},
  };
  for (const auto& c : cases) {
    const TChildRun r = ide.Run(c.Mode, {"--strict"});
    EXPECT_EQ(r.ExitStatus, 1) << c.Mode << ": " << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Out, std::regex("\nLeft alive:\n" + c.Entry + "    [^\n]*" + kFolder + "Threaded\\.dll\n")))
        << c.Mode << ": " << Describe(r);
    EXPECT_NE(r.Err.find(c.Cause), std::string::npos) << c.Mode << ": " << Describe(r);
  }
  // Undone in Shutdown: nothing is left.
  const TChildRun tidy = ide.Run("tidy", {"--strict"});
  EXPECT_EQ(tidy.ExitStatus, 0) << Describe(tidy);
  EXPECT_EQ(tidy.Out.find("Left alive:"), std::string::npos) << Describe(tidy);
}

TEST(HangTimeout, EndsAShutdownDeadlockedWithItsWorkerShowingEveryThreadsStack) {
  ThreadedIde ide;
  const TChildRun r = ide.Run("deadlock", {"--hang-timeout", "1"});
  EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // A sanitizer's stack scan may add stale frames between the sample's.
  ExpectGuideSample("hang", r.Err);
#endif
  EXPECT_TRUE(std::regex_search(r.Err, std::regex("^qorb-ide: hung: the main thread has not returned from Shutdown "
                                                  "\\([^\n]*" + kFolder + "Plugins" + kFolder + "Threaded\\.dll\\) for [0-9.]+ s \\(--hang-timeout\\)\n"
                                                  "  while the IDE was shutting down\nThreads:\n")))
      << Describe(r);
  // The main thread joins in the plug-in's Shutdown; the plug-in's worker
  // waits in GetPluginInfos, called from its start routine.
  const std::regex mainThread("thread [0-9]+ \\(the main thread\\), inside Shutdown [^\n]*\n(    #[^\n]*\n)*?"
                              "    #[0-9]+ [0-9A-F]+ in Threaded\\.dll \\(Shutdown\\+");
  EXPECT_TRUE(std::regex_search(r.Err, mainThread)) << Describe(r);
  // (Under a sanitizer that holds signals back the stack is scanned, and a
  // stale address may come between.)
  const std::regex worker("thread [0-9]+ \\(started by Threaded\\.dll\\)[^\n]*\n(    #[^\n]*\n)*?"
                          "    #[0-9]+ [0-9A-F]+ in Qorb_DelphiMain\\.bpl \\([^\n]*GetPluginInfos[^\n]*\\)\n"
                          "(    #[^\n]*\n)*?"
                          "    #[0-9]+ [0-9A-F]+ in Threaded\\.dll \\(AskingWorker\\+");
  EXPECT_TRUE(std::regex_search(r.Err, worker)) << Describe(r);
  std::smatch folder;
  ASSERT_TRUE(std::regex_search(r.Out, folder, std::regex("\n    ([^\n]*)" + kFolder + "Plugins" + kFolder + "Threaded\\.dll\n")))
      << Describe(r);
#if defined(_WIN32)
  // A library still mapped cannot be deleted: the next run takes the folder.
  EXPECT_TRUE(fs::exists(folder[1].str())) << folder[1];
  ide.Run("late");
#endif
  // The temporary package folder of --plugins went with the run.
  EXPECT_FALSE(fs::exists(folder[1].str())) << folder[1];
}

// A worker left running that spends its time in our logging (and the heap
// under it) is held only where it runs the plug-in's own code, never with
// a lock the IDE's shut-down needs: every run ends.
TEST(LeftThreads, AreHeldOnlyInTheirOwnCodeNeverHoldingALockOfTheProcess) {
  ThreadedIde ide;
#if defined(_WIN32)
  constexpr int kRuns = 2;  // seconds each under Wine
#else
  constexpr int kRuns = 5;
#endif
  for (int run = 0; run < kRuns; ++run) {
    const TChildRun r = ide.Run("chatty", {"--quiet", "--hang-timeout", "20"});
    ASSERT_FALSE(r.TimedOut) << "run " << run << " hung";
    EXPECT_EQ(r.ExitStatus, 1) << Describe(r);
    EXPECT_NE(r.Err.find("left alive: a thread of Threaded.dll (in ChattyWorker) still ran when Threaded.dll was unloaded; "
                         "it was held there"),
              std::string::npos)
        << Describe(r);
  }
}

// A call that comes back just after its time ran out is still the one the
// report names, with what the IDE was doing then: the IDE does not go on
// while the report is written.
TEST(HangTimeout, NamesTheCallThatHungEvenWhenItReturnsWhileTheReportIsWritten) {
  ThreadedIde ide;
  for (int run = 0; run < 3; ++run) {
    // The plug-in's worker, started once InitPlugin wakes, is still there
    // when the report ends the process: no leak of the test's making.
    const char* tsan = std::getenv("TSAN_OPTIONS");
    const TChildRun r = ide.Run("sleep", {"--hang-timeout", "1"},
                                {"QORB_LATE_MS=1100", std::string("TSAN_OPTIONS=") + (tsan ? tsan : "") +
                                                          ":report_thread_leaks=0"});
    EXPECT_EQ(r.ExitStatus, 70) << Describe(r);
    EXPECT_TRUE(std::regex_search(r.Err, std::regex("^qorb-ide: hung: the main thread has not returned from InitPlugin "
                                                    "\\([^\n]*Threaded\\.dll\\) for [0-9.]+ s \\(--hang-timeout\\)\n"
                                                    "  while the IDE was loading the package ")))
        << Describe(r);
  }
}

// A contained fault is listed with the place in the plug-in's code, as a
// crash report names it.
TEST(Exceptions, NameTheNearestSymbolOfAContainedFault) {
  ThreadedIde ide;
  const TChildRun r = ide.Run("fault", {}, SanitizersLeaveFaultsToTheChild());
  EXPECT_EQ(r.ExitStatus, 0) << Describe(r);
  EXPECT_TRUE(std::regex_search(r.Out, std::regex("\nExceptions:\n  EAccessViolation: [^\n]*\n    in InitPlugin [^\n]*\n"
                                                  "    at WriteThrough(\\.[a-z0-9.]+)?\\+0x[0-9A-F]{4} in Threaded\\.dll\n")))
      << Describe(r);
}
