// qorb-ide with the built package, its example plug-ins and the example
// About library beside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "ide/Library.h"
#include "workbench/Program.h"
#include "vcl/PngImage.h"

namespace fs = std::filesystem;

TEST(QorbIde, GermanMenuAndTheAboutDialogAsTextAndPictureTwiceLeavingNothingMapped) {
  const fs::path dir = fs::temp_directory_path() / ("qorb-ide-pictures-" + std::to_string(::getpid())) / "new";
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.Language = "de";
  options.Clicks = {"Qorb/Ueber Qorb...", "Qorb/Ueber Qorb..."};
  options.Pictures = dir;
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 0) << err.str();
  const std::string text = out.str();
  // The example plug-ins' items stand above the separator.
  EXPECT_NE(text.find("\n  -\n  Ueber Qorb...\nHelp\n"), std::string::npos) << text;
  // The dialog as text, once per click, and, since pictures were asked for,
  // as a picture in the IDE's window frame.
  const std::string dialog = "  Ueber Qorb Tool-Suite for Delphi  [480x";
  const size_t forms = text.find("Forms:\n" + dialog);
  ASSERT_NE(forms, std::string::npos) << text;
  EXPECT_NE(text.find(dialog, forms + 7 + dialog.size()), std::string::npos) << text;
  for (const char* part : {"]\n    Qorb Tool-Suite for Delphi\n    Version 1.0.0.0\n    Tessary Systems\n"
                           "    Copyright (c) 2026 Tessary Systems\n",
                           "    Geladene Plug-ins\n", "    [picture 32x32] Qorb Hello\n    1.0.3.0", "    Schliessen\n"})
    EXPECT_NE(text.find(part, forms), std::string::npos) << part;
  EXPECT_EQ(text.find("Message boxes:"), std::string::npos) << text;
  EXPECT_FALSE(IsLibraryMapped(QORB_EXAMPLE_ABOUT_PATH));
  TPngImage png;
  png.LoadFromFile(Utf8ToUtf16((dir / "form-AboutDialog.png").string()));
  EXPECT_EQ(png.Width(), 480);
  fs::remove_all(dir.parent_path());
}
