#include <gtest/gtest.h>

#include <sstream>

#include "ide/CommandLine.h"
#include "ide/Library.h"
#include "ide/Program.h"
#include "tests/ide/Fixtures.h"

TEST(CommandLine, OptionsAndTheirErrors) {
  TParsedCommandLine r = ParseCommandLine({"--package", "/x/p.bpl", "--lang=de-DE", "--click", "A/B", "--click=C",
                                           "--quiet"});
  EXPECT_EQ(r.ExitStatus, -1);
  EXPECT_EQ(r.Options.Package, "/x/p.bpl");
  EXPECT_EQ(r.Options.Language, "de-DE");
  EXPECT_EQ(r.Options.Clicks, (std::vector<std::string>{"A/B", "C"}));
  EXPECT_TRUE(r.Options.Quiet);

  EXPECT_EQ(ParseCommandLine({}).Options.Language, "en");
  EXPECT_EQ(ParseCommandLine({"--help"}).ExitStatus, 0);
  EXPECT_EQ(ParseCommandLine({"--pictures=/tmp/shots"}).Options.Pictures, "/tmp/shots");
  EXPECT_EQ(ParseCommandLine({"--theme=dark"}).Options.Theme, "dark");
  EXPECT_EQ(ParseCommandLine({"--theme", "off"}).Options.Theme, "off");
  r = ParseCommandLine({"--theme", "blue"});
  EXPECT_EQ(r.ExitStatus, 2);
  EXPECT_NE(r.Message.find("light, dark or off"), std::string::npos);
  r = ParseCommandLine({"--welcome", "--options", "Qorb/Logging", "--options=Tools/Editor"});
  EXPECT_TRUE(r.Options.Welcome);
  EXPECT_EQ(r.Options.OptionsPages, (std::vector<std::string>{"Qorb/Logging", "Tools/Editor"}));
  EXPECT_EQ(ParseCommandLine({"--welcome=yes"}).ExitStatus, 2);
  EXPECT_EQ(ParseCommandLine({"--options"}).ExitStatus, 2);
  EXPECT_EQ(ParseCommandLine({"--lang"}).ExitStatus, 2);
  EXPECT_EQ(ParseCommandLine({"--lang="}).ExitStatus, 2);
  EXPECT_EQ(ParseCommandLine({"--quiet=yes"}).ExitStatus, 2);
  r = ParseCommandLine({"--frobnicate"});
  EXPECT_EQ(r.ExitStatus, 2);
  EXPECT_NE(r.Message.find("unknown option '--frobnicate'"), std::string::npos);
}

TEST(QorbIDEProgram, PrintsTheMenuAfterClicksAndExitsCleanly) {
  TCommandLine options;
  options.Package = GoodPackage;
  options.Clicks = {"fixture"};
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 0) << err.str();
  EXPECT_EQ(out.str(),
            "File\nEdit\nSearch\nView\nRefactor\nProject\nRun\nComponent\nTools\nWindow\nFixture (clicked)\nHelp\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_FALSE(IsLibraryMapped(GoodPackage));
}

TEST(QorbIDEProgram, FailuresGoToStandardErrorWithStatusOne) {
  TCommandLine options;
  options.Package = RaisingPackage;
  options.Quiet = true;
  options.Clicks = {"Fixture"};  // gone with the failed package
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "qorb-ide: no menu item \"Fixture\"\n"
                       "qorb-ide: Registration procedure, Fixture.Raising.Register in package " +
                           RaisingPackage.string() +
                           " raised exception class runtime_error: register failed on purpose.\n");

  options.Quiet = false;
  options.Clicks.clear();
  out.str("");
  err.str("");
  EXPECT_EQ(RunQorbIDE(options, out, err), 1);
  EXPECT_NE(out.str().find("\nMessage boxes:\n  Error: Registration procedure, Fixture.Raising.Register"),
            std::string::npos)
      << out.str();
}
