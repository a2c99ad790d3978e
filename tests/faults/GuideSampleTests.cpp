// The guide's sample crash report and "Exceptions:" list are what qorb-ide
// prints today for the faulting fixture plug-in. The samples are Linux's:
// Windows names a fault by its exception code.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/GuideSamples.h"

namespace fs = std::filesystem;

#if !defined(_WIN32)
namespace {

TChildRun RunFaulty(const std::string& fault, const std::string& at, const std::vector<std::string>& args) {
  const ScratchDir dir("qorb-sample");
  fs::create_directory(dir.path / "Plugins");
  fs::create_symlink(QORB_PACKAGE_PATH, dir.path / "Qorb_DelphiMain.bpl");
  fs::create_symlink(fs::path(QORB_FAULT_FIXTURE_DIR) / "FaultyCpp.dll", dir.path / "Plugins" / "FaultyCpp.dll");
  std::vector<std::string> argv{QORB_IDE_PATH, "--package", (dir.path / "Qorb_DelphiMain.bpl").string()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> env = SanitizersLeaveFaultsToTheChild();
  env.insert(env.end(), {"QORB_FAULT=" + fault, "QORB_FAULT_IN=cpp", "QORB_FAULT_AT=" + at});
  return RunChild(argv, env);
}

const std::string kGuide = QORB_SOURCE_DIR "/docs/plugin-authors.md";

}  // namespace

TEST(GuideSamples, TheCrashReportIsWhatAFaultOnAPluginsThreadPrints) {
  const TChildRun r = RunFaulty("null-write", "thread", {"--click", "Qorb/Faulty thread"});
  ASSERT_EQ(r.ExitStatus, 70) << r.Err;
  EXPECT_EQ(SampleMismatch(GuideSample(kGuide, "crash"), r.Err), "") << r.Err;
}

TEST(GuideSamples, TheExceptionsListIsWhatAFaultInInitPluginPrints) {
  const TChildRun r = RunFaulty("null-write", "init", {});
  ASSERT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(SampleMismatch(GuideSample(kGuide, "exceptions"), r.Out), "") << r.Out;
}

TEST(GuideSamples, AStaleSampleIsCaught) {
  EXPECT_EQ(SampleMismatch("a\n  ...\nc 00007F47BCA164CB 12:00:00.000\n", "a\nb\nc 0000000000001234 09:59:59.999\n"), "");
  EXPECT_EQ(SampleMismatch("a\nc\n", "a\nb\nc\n"), "c");
  EXPECT_EQ(SampleMismatch("at /home/me/x.dll (f+0x001C)\n", "at /tmp/q-1/Plugins/x.dll (f+0x0AB0)\n"), "");
  EXPECT_NE(SampleMismatch("at /home/me/x.dll\n", "at /tmp/y.dll\n"), "");
}
#endif
