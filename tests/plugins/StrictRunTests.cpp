// qorb-ide --strict: each cause fails the run alone.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "IdeRun.h"

namespace fs = std::filesystem;

// Each cause fails a strict run alone; without --strict the same runs pass.
TEST(StrictRun, FailsForAPluginNotLoadedOrPassedOverAnErrorLoggedAnExceptionCaughtAndResourceMistakes) {
  ScratchDir notLoaded("qorb-strict"), logs("qorb-strict"), clean("qorb-strict"), nested("qorb-strict"),
      raising("qorb-strict"), mismatched("qorb-strict"), badicon("qorb-strict");
  fs::copy_file(FixturePath("mismatched"), mismatched / "mismatched.dll");
  fs::copy_file(FixturePath("badicon"), badicon / "badicon.dll");
  fs::copy_file(FixturePath("shutdownthrows"), raising / "shutdownthrows.dll");
  fs::copy_file(FixturePath("alpha"), clean / "alpha.dll");
  fs::copy_file(FixturePath("alpha"), notLoaded / "alpha.dll");
  fs::copy_file(FixturePath("noshutdown"), notLoaded / "noshutdown.dll");
  fs::copy_file(FixturePath("logserror"), logs / "logserror.dll");
  fs::create_directory(nested / "sub");
  fs::copy_file(FixturePath("alpha"), nested / "sub" / "alpha.dll");
  // The sub-folder's path as the platform writes it.
  const std::string inSub =
      "qorb-ide: strict: passed over: " + (fs::path("sub") / "alpha.dll").string() + ": in a sub-folder";
  for (const auto& [folder, cause] :
       {std::pair{&notLoaded, "qorb-ide: strict: not loaded: noshutdown.dll: exports no Shutdown\n"},
        std::pair{&logs, "] [logserror] [Error] config file not found\n"},
        std::pair{&nested, inSub.c_str()},
        std::pair{&raising, "qorb-ide: strict: exception caught: logic_error: shutdown failed (in Shutdown of "},
        std::pair{&mismatched, "qorb-ide: strict: resource mistake: mismatched.dll: its version texts show empty: "
                               "the host reads string block 040904b0, named by the first Translation entry, and the "
                               "resource holds only 040704E4\n"},
        std::pair{&badicon, "qorb-ide: strict: resource mistake: badicon.dll: its icon resource QORBPLUGINICON ("}}) {
    TCommandLine options = InPlace(folder->path);
    EXPECT_EQ(RunIde(options).status, 0) << cause;
    options.Strict = true;
    const IdeRun strict = RunIde(options);
    EXPECT_EQ(strict.status, 1) << cause;
    EXPECT_NE(strict.err.find(cause), std::string::npos) << strict.err;
  }
  TCommandLine options = InPlace(clean.path);
  options.Strict = true;
  const IdeRun run = RunIde(options);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
}
