// qorb-ide with the built package and the example plug-ins beside it: the
// welcome page, the splash-screen and About-box entries and an options
// page, as text and as pictures; loading and unloading over and over.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "ide/Program.h"
#include "tests/presentation/Rendering.h"
#include "vcl/PngImage.h"
#include "winapi/Gdi.h"

namespace fs = std::filesystem;

namespace {

int PluginCount() {
  int n = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(fs::path(QORB_PACKAGE_PATH).parent_path() / "Plugins"))
    if (e.path().extension() == ".dll") ++n;
  return n;
}

fs::path FreshFolder(const char* name) {
  const fs::path dir = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  return dir;
}

}  // namespace

TEST(QorbIdePresentation, WelcomePageBrandingAndOptionsPageAsTextAndPictures) {
  const fs::path dir = FreshFolder("qorb-presentation");
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.Welcome = true;
  options.OptionsPages = {"Qorb/Logging"};
  options.Pictures = dir;
  std::ostringstream out, err;
  ASSERT_EQ(RunQorbIDE(options, out, err), 0) << err.str();
  const std::string text = out.str();

  const std::string rows = "list of " + std::to_string(PluginCount()) + " rows\n";
  EXPECT_NE(text.find("\nWelcome page:\n  QORB Delphi Tools\n    QORB Delphi Tool Suite\n    v1.0.0.0\n    " + rows +
                      "    Copyright (c) 2026 Tessary Systems\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nSplash screen:\n  Qorb Tool-Suite for Delphi  1.0.0.0  [24x24 picture]\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\nAbout box:\n  Qorb Tool-Suite for Delphi  1.0.0.0  [24x24 picture]\n    Plugin host for the "
                      "Qorb tool suite: shared services, options pages and the Qorb menu for all Qorb plugins in the "
                      "IDE.\n    Tessary Systems\n    Copyright (c) 2026 Tessary Systems\n    https://"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nOptions page Qorb/Logging:\n  frame: TExampleOptionsFrame\n  confirmed: entries accepted\n"
                      "  closed: accepted\n"),
            std::string::npos)
      << text;

  // The welcome page: the view (caption strip over the list) with a margin
  // of 8 on the page's background.
  TPngImage welcome;
  welcome.LoadFromFile(Utf8ToUtf16((dir / "welcome-page.png").string()));
  EXPECT_EQ(welcome.Width(), 420 + 16);
  EXPECT_EQ(welcome.Height(), 38 + 300 + 16);
  for (const char* name : {"splash-screen.png", "about-box.png", "options-Qorb-Logging.png"})
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  fs::remove_all(dir);
}

TEST(QorbIdePresentation, UnknownOptionsPageIsAnError) {
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.Quiet = true;
  options.OptionsPages = {"Qorb/Nowhere"};
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 1);
  EXPECT_EQ(err.str(), "qorb-ide: no options page \"Qorb/Nowhere\"\n");
}

TEST(QorbIdePresentation, PackageLoadsAndUnloadsAHundredTimesLeavingNothing) {
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.Quiet = true;
  options.Welcome = true;
  options.OptionsPages = {"Qorb/Logging"};
  const size_t gdi = GdiLiveObjectCount();
  for (int i = 0; i < 100; ++i) {
    std::ostringstream out, err;
    ASSERT_EQ(RunQorbIDE(options, out, err), 0) << "round " << i << ": " << err.str();
  }
  EXPECT_EQ(GdiLiveObjectCount(), gdi);
}
