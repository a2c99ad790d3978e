// qorb-ide with the built package and the example plug-ins beside it, and
// the example options page on its own in the simulated IDE.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "ide/Library.h"
#include "ide/OptionsDialog.h"
#include "workbench/Program.h"
#include "ide/UIServices.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "tests/presentation/SimulatedIde.h"
#include "vcl/Forms.h"
#include "vcl/ListBox.h"
#include "vcl/PngImage.h"
#include "winapi/Gdi.h"
#include "winapi/Modules.h"

namespace fs = std::filesystem;

TEST(QorbIdePresentation, WelcomePageBrandingAndOptionsPageAsTextAndPicturesAHundredTimes) {
  const fs::path plugins = fs::path(QORB_PACKAGE_PATH).parent_path() / "Plugins";
  int dlls = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(plugins)) dlls += e.path().extension() == ".dll";
  const fs::path dir = fs::temp_directory_path() / ("qorb-presentation-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::remove_all(dir);
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.Welcome = true;
  options.OptionsPages = {"Qorb/Logging"};
  options.Pictures = dir;
  std::ostringstream out, err;
  ASSERT_EQ(RunQorbIDE(options, out, err), 0) << err.str();
  const std::string text = out.str();
  const std::string expected[] = {
      "\nWelcome page:\n  QORB Delphi Tools\n    QORB Delphi Tool Suite\n    v1.0.0.0\n    list of " +
          std::to_string(dlls) + " rows\n    Copyright (c) 2026 Tessary Systems\n",
      "\nSplash screen:\n  Qorb Tool-Suite for Delphi  1.0.0.0  [24x24 picture]\n",
      "\nAbout box:\n  Qorb Tool-Suite for Delphi  1.0.0.0  [24x24 picture]\n    Plugin host for the Qorb tool suite: "
      "shared services, options pages and the Qorb menu for all Qorb plugins in the IDE.\n    Tessary Systems\n"
      "    Copyright (c) 2026 Tessary Systems\n    https://",
      "\nOptions page Qorb/Logging:\n  frame: TExampleOptionsFrame\n  confirmed: entries accepted\n  closed: accepted\n"};
  for (const std::string& part : expected) EXPECT_NE(text.find(part), std::string::npos) << part << "\nin\n" << text;
  // The welcome page: the view (caption strip over the list) with a margin
  // of 8 on the page's background.
  TPngImage welcome;
  welcome.LoadFromFile(Utf8ToUtf16((dir / "welcome-page.png").string()));
  EXPECT_EQ(welcome.Width(), 420 + 16);
  EXPECT_EQ(welcome.Height(), 38 + 300 + 16);
  for (const char* name : {"splash-screen.png", "about-box.png", "options-Qorb-Logging.png"})
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  fs::remove_all(dir);

  options.Pictures.clear();
  options.Quiet = true;
  const size_t gdi = GdiLiveObjectCount();
  for (int i = 1; i < 100; ++i) ASSERT_EQ(RunQorbIDE(options, out, err), 0) << "round " << i << ": " << err.str();
  EXPECT_EQ(GdiLiveObjectCount(), gdi);

  options.OptionsPages = {"Qorb/Nowhere"};
  err.str("");
  EXPECT_EQ(RunQorbIDE(options, out, err), 1);
  EXPECT_EQ(err.str(), "qorb-ide: no options page \"Qorb/Nowhere\"\n");
}

// The example plug-in, loaded as the host would load it: its page keeps the
// chosen level across openings and refuses an empty choice.
using ExampleOptionsPage = SimulatedIdeTest;
TEST_F(ExampleOptionsPage, LoadsValidatesAndSavesItsSettingAcrossTheLibraryBoundary) {
  const std::u16string path = std::filesystem::path(QORB_OPTIONS_EXAMPLE).u16string();
  const HMODULE library = LoadLibraryW(path.c_str());
  ASSERT_NE(library, 0u) << QORB_OPTIONS_EXAMPLE;
  const TGetInterface nothing;
  reinterpret_cast<void (*)(const TGetInterface*)>(GetProcAddress(library, "InitPlugin"))(&nothing);
  TOptionsDialog& dialog = Service<TOptionsDialog>();
  ASSERT_EQ(dialog.Pages().size(), 1u);

  int loaded[2] = {-2, -2};
  for (int round = 0; round < 2; ++round) {
    const TOptionsPageRun run =
        dialog.OpenPage(u"Qorb", u"Logging", true, [&](TCustomFrame& f, const TOptionsPageRun& r) {
          auto* list = dynamic_cast<TListBox*>(f.FindComponent(u"lbLogLevel"));
          ASSERT_NE(list, nullptr);
          if (r.Validated || loaded[round] != -2) return;
          loaded[round] = list->ItemIndex();
          list->SetItemIndex(round == 0 ? 3 : -1);
        });
    EXPECT_EQ(run.Accepted, round == 0);
  }
  EXPECT_EQ(loaded[0], 1);
  EXPECT_EQ(loaded[1], 3);
  const std::vector<TShownDialog> shown = Service<TUIServices>().Dialogs();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, u"Choose the lowest log level.");

  reinterpret_cast<void (*)()>(GetProcAddress(library, "Shutdown"))();
  EXPECT_TRUE(dialog.Pages().empty());
  FreeLibrary(library);
  EXPECT_FALSE(IsLibraryMapped(QORB_OPTIONS_EXAMPLE)) << "the example stayed loaded";
}
