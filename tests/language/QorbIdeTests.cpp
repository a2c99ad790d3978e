// qorb-ide with the built package, its example plug-ins and the example
// About library beside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "ide/Program.h"
#include "vcl/PngImage.h"

namespace fs = std::filesystem;

TEST(QorbIde, GermanMenuAndTheAboutDialogAsTextAndPicture) {
  const fs::path dir = fs::temp_directory_path() / ("qorb-ide-pictures-" + std::to_string(::getpid())) / "new";
  TCommandLine options;
  options.Package = QORB_PACKAGE_PATH;
  options.Language = "de";
  options.Clicks = {"Qorb/Ueber Qorb..."};
  options.Pictures = dir;
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 0) << err.str();
  // The example plug-ins' items stand above the separator.
  EXPECT_NE(out.str().find("\n  -\n  Ueber Qorb...\nHelp\n"), std::string::npos) << out.str();
  // The dialog as text and, since pictures were asked for, as a picture in
  // the IDE's window frame.
  EXPECT_NE(out.str().find("Forms:\n  Ueber Qorb Tool-Suite for Delphi  [480x"), std::string::npos) << out.str();
  EXPECT_EQ(out.str().find("Message boxes:"), std::string::npos) << out.str();
  TPngImage png;
  png.LoadFromFile(Utf8ToUtf16((dir / "form-AboutDialog.png").string()));
  EXPECT_EQ(png.Width(), 480);
  fs::remove_all(dir.parent_path());
}
