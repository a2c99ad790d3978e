#include <gtest/gtest.h>

#include <sstream>

#include "workbench/CommandLine.h"
#include "ide/Library.h"
#include "workbench/Program.h"
#include "tests/ide/Fixtures.h"

// What --help lists is what the parser takes, each with the argument it
// names ("--timeout SECONDS" takes a number).
TEST(CommandLine, EveryOptionTheHelpListsIsTaken) {
  for (const TOptionHelp& o : QorbIDEOptions()) {
    const std::string entry = o.Name;
    const size_t space = entry.find(' ');
    std::vector<std::string> args{entry.substr(0, space)};
    if (space != std::string::npos) args.push_back(entry.find("SECONDS") != std::string::npos ? "5" : "light");
    const TParsedCommandLine r = ParseCommandLine(args);
    EXPECT_NE(r.ExitStatus, 2) << entry << ": " << r.Message;
    EXPECT_NE(QorbIDEUsage().find("\n  " + entry), std::string::npos) << entry;
  }
}

TEST(CommandLine, OptionsAndTheirErrorsAndQorbIdesFailures) {
  TParsedCommandLine r =
      ParseCommandLine({"--package", "/x/p.bpl", "--lang=de-DE", "--click", "A/B", "--click=C", "--quiet", "--theme",
                        "off", "--welcome", "--options=Qorb/Logging", "--pictures=/tmp/shots"});
  EXPECT_EQ(r.ExitStatus, -1);
  EXPECT_EQ(r.Options.Package, "/x/p.bpl");
  EXPECT_EQ(r.Options.Clicks, (std::vector<std::string>{"A/B", "C"}));
  EXPECT_TRUE(r.Options.Language == "de-DE" && r.Options.Quiet && r.Options.Welcome && r.Options.Theme == "off" &&
              r.Options.Pictures == "/tmp/shots");
  EXPECT_EQ(r.Options.OptionsPages, std::vector<std::string>{"Qorb/Logging"});
  EXPECT_EQ(ParseCommandLine({}).Options.Language, "en");
  EXPECT_EQ(ParseCommandLine({"--help"}).ExitStatus, 0);
  const std::vector<std::vector<std::string>> bads = {{"--theme", "blue"}, {"--welcome=yes"}, {"--options"},
                                                      {"--lang"},          {"--lang="},       {"--quiet=yes"},
                                                      {"--frobnicate"},    {"my.bpl"}};
  for (const std::vector<std::string>& bad : bads) EXPECT_EQ(ParseCommandLine(bad).ExitStatus, 2) << bad[0];
  EXPECT_NE(ParseCommandLine({"--frobnicate"}).Message.find("unknown option '--frobnicate'"), std::string::npos);
  EXPECT_NE(ParseCommandLine({"my.bpl"}).Message.find("unexpected argument 'my.bpl'"), std::string::npos);
  // The author's options; check takes every further argument as a file.
  r = ParseCommandLine({"--plugins=/src/out", "--strict", "--profile", "--follow"});
  EXPECT_TRUE(r.ExitStatus == -1 && r.Options.PluginFolder == "/src/out" && r.Options.Strict && r.Options.Profile &&
              r.Options.Follow);
  r = ParseCommandLine({"check", "a.dll", "--strict"});
  EXPECT_TRUE(r.ExitStatus == -1 && r.Options.Check);
  EXPECT_EQ(r.Options.CheckFiles, (std::vector<std::filesystem::path>{"a.dll", "--strict"}));
  r = ParseCommandLine({"--wait-for", "ready", "--wait-for=done", "--timeout", "2.5", "--hang-timeout=1"});
  EXPECT_EQ(r.Options.WaitFor, (std::vector<std::string>{"ready", "done"}));
  EXPECT_TRUE(r.Options.WaitTimeout == std::chrono::milliseconds(2500) &&
              r.Options.HangTimeout == std::chrono::seconds(1));
  EXPECT_TRUE(ParseCommandLine({}).Options.WaitTimeout == std::chrono::seconds(10) &&
              ParseCommandLine({}).Options.HangTimeout == std::chrono::seconds(30));
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"check"}, {"--plugins"}, {"--strict=1"}, {"--wait-for="}, {"--timeout", "0"},
                                             {"--timeout", "-1"}, {"--hang-timeout", "5s"}, {"--hang-timeout", "nan"}})
    EXPECT_EQ(ParseCommandLine(bad).ExitStatus, 2) << bad[0];

  // qorb-ide's failures go to standard error, with status 1.
  TCommandLine options;
  options.Package = RaisingPackage;
  options.Clicks = {"Fixture"};  // gone with the failed package
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 1);
  EXPECT_EQ(err.str(),
            "qorb-ide: no menu item \"Fixture\"\n"
            "qorb-ide: Registration procedure, Fixture.Raising.Register in package " +
                RaisingPackage.string() + " raised exception class runtime_error: register failed on purpose.\n");
  EXPECT_FALSE(IsLibraryMapped(RaisingPackage));
}

TEST(QorbIde, ClicksOnlyWhatAPersonCanClickPrintsMessageBoxesAsLinesAndMindsAFailedReport) {
  TCommandLine options;
  options.Package = MenuPackage;
  options.Clicks = {"Fixture/-", "Fixture/Off", "Fixture/Gone", "Fixture/Gone/Under", "fixture/say"};
  std::ostringstream out, err;
  EXPECT_EQ(RunQorbIDE(options, out, err), 1);
  EXPECT_EQ(err.str(),
            "qorb-ide: menu item \"Fixture/-\" is a separator\n"
            "qorb-ide: menu item \"Fixture/Off\" is disabled\n"
            "qorb-ide: menu item \"Fixture/Gone\" is hidden\n"
            "qorb-ide: menu item \"Fixture/Gone/Under\" is hidden\n");
  // The box's "\r\n" line breaks: one line each, the empty one without trailing blanks.
  EXPECT_TRUE(out.str().ends_with("\nMessage boxes:\n  Fixture: one\n\n    two\n")) << out.str();

  // Output nobody could read is a failure, not a clean run.
  options.Clicks = {"Fixture/Say"};
  std::ostream lost(nullptr);
  err.str("");
  EXPECT_EQ(RunQorbIDE(options, lost, err), 1);
  EXPECT_EQ(err.str(), "qorb-ide: cannot write the report to standard output\n");
  options.Quiet = true;
  EXPECT_EQ(RunQorbIDE(options, lost, err), 0) << "quiet writes nothing";
}
