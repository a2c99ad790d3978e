// qorb-ide with a plug-in that runs a worker thread, each run a process of
// its own: a line the worker logs late is waited for, not raced.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace fs = std::filesystem;

namespace {

class ThreadedIde {
 public:
  ThreadedIde() {
    fs::create_directory(plugins_.path);
    fs::create_symlink(fs::path(QORB_THREAD_FIXTURE_DIR) / "Threaded.dll", plugins_.path / "Threaded.dll");
  }

  TChildRun Run(const std::string& mode, const std::vector<std::string>& args = {}) const {
    std::vector<std::string> argv{QORB_IDE_PATH, "--package", QORB_PACKAGE_PATH, "--plugins", plugins_.path.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunChild(argv, {"QORB_THREADS=" + mode});
  }

 private:
  ScratchDir plugins_{"qorb-threaded"};
};

std::string Describe(const TChildRun& r) {
  return "exit " + std::to_string(r.ExitStatus) + " signal " + std::to_string(r.Signal) + "\n--- out\n" + r.Out +
         "--- err\n" + r.Err;
}

}  // namespace

TEST(WaitFor, SeesTheLineAWorkerLogsLateEveryTime) {
  ThreadedIde ide;
  for (int run = 0; run < 20; ++run) {
    const TChildRun r = ide.Run("late", {"--wait-for", "worker finished", "--strict"});
    ASSERT_EQ(r.ExitStatus, 0) << "run " << run << ": " << Describe(r);
    ASSERT_NE(r.Out.find("[Threaded] [Info] worker finished its job"), std::string::npos) << Describe(r);
  }
}

TEST(WaitFor, ThatRunsOutNamesItsTextAndTheLastLinesAndFails) {
  ThreadedIde ide;
  const TChildRun r =
      ide.Run("late", {"--wait-for", "worker finished", "--wait-for", "never said", "--timeout", "0.3"});
  EXPECT_EQ(r.ExitStatus, 1) << Describe(r);
  EXPECT_NE(r.Err.find("qorb-ide: --wait-for \"never said\": no message-view line contained it within 0.3 s; "
                       "the last lines were:\n"),
            std::string::npos)
      << Describe(r);
  EXPECT_NE(r.Err.find("] [Threaded] [Info] worker finished its job"), std::string::npos) << Describe(r);
  // The first wait was met: only the second is named.
  EXPECT_EQ(r.Err.find("--wait-for \"worker finished\""), std::string::npos) << Describe(r);
}
