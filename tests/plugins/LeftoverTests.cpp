// What a plug-in leaves behind is named by its file, on both platforms: a
// menu item whose handler was in it, a window and a bitmap it made.
#include <gtest/gtest.h>

#include "IdeRun.h"

namespace fs = std::filesystem;

TEST(Leftovers, AreNamedByThePluginThatLeftThem) {
  ScratchDir mine("qorb-leaky");
  fs::copy_file(FixturePath("leaky"), mine / "leaky.dll");
  fs::copy_file(FixturePath("alpha"), mine / "alpha.dll");
  const IdeRun run = RunIde(InPlace(mine.path));
  EXPECT_EQ(run.status, 1);
  for (const char* line : {"qorb-ide: left alive: menu item \"Qorb/Leaky item\" stayed in the menu after leaky.dll "
                           "was unloaded; its click handler was there\n",
                           "qorb-ide: left alive: 1 window(s) left alive: 1 made by leaky.dll (unloaded)\n",
                           "qorb-ide: left alive: 1 GDI object(s) left alive: 1 made by leaky.dll (unloaded)\n"})
    EXPECT_NE(run.err.find(line), std::string::npos) << line << "\n" << run.err;
  EXPECT_EQ(run.err.find("alpha.dll"), std::string::npos) << run.err;
}
