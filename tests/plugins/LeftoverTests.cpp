// What a plug-in leaves behind is named by its file, on both platforms: a
// menu item whose handler was in it, a window and a bitmap it made.
#include <gtest/gtest.h>

#include <sstream>

#include "PluginFolder.h"
#include "workbench/Program.h"

namespace fs = std::filesystem;

TEST(Leftovers, AreNamedByThePluginThatLeftThem) {
  ScratchDir mine("qorb-leaky");
  fs::copy_file(FixturePath("leaky"), mine / "leaky.dll");
  fs::copy_file(FixturePath("alpha"), mine / "alpha.dll");
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.PluginFolder = mine.path;
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 1);
  PluginFolder::TakeTrace();
  for (const char* line : {"qorb-ide: left alive: menu item \"Qorb/Leaky item\" stayed in the menu after leaky.dll "
                           "was unloaded; its click handler was there\n",
                           "qorb-ide: left alive: 1 window(s) left alive: 1 made by leaky.dll (unloaded)\n",
                           "qorb-ide: left alive: 1 GDI object(s) left alive: 1 made by leaky.dll (unloaded)\n"})
    EXPECT_NE(err.str().find(line), std::string::npos) << line << "\n" << err.str();
  EXPECT_EQ(err.str().find("alpha.dll"), std::string::npos) << err.str();
}
