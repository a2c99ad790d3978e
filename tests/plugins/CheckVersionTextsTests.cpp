// qorb-ide check shows the host's version texts beside the strings as
// stored, and the icon as the host would decode it.
#include <gtest/gtest.h>

#include <regex>

#include "PluginFolder.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "workbench/PluginCheck.h"

namespace fs = std::filesystem;

TEST(CheckCommand, ShowsTheHostsVersionTextsBesideTheStoredStringsAndTheIcon) {
  for (const char* fixture : {"alpha", "oddlengths", "beta"}) {
    const TPluginCheck check = CheckPluginFile(FixturePath(fixture));
    const TQorbVersionInfo host = GetQorbVersionInfo(UnicodeString(fs::path(FixturePath(fixture)).u16string()));
    EXPECT_EQ(check.Version.ProductName, host.ProductName) << fixture;
    EXPECT_EQ(check.Version.Version, host.Version) << fixture;
    EXPECT_EQ(check.Version.Comments, host.Comments) << fixture;
  }
  const std::string alpha = FormatPluginCheck(CheckPluginFile(FixturePath("alpha")));
  for (const char* line : {"    Version: 1.2.0.15\n", "    Name: Alpha Tool\n", "    fixed file version: 1.2.0.15\n",
                           "    FileVersion: \"1.2 beta\"\n", "  icon: QORBPLUGINICON, "})
    EXPECT_NE(alpha.find(line), std::string::npos) << line << "\n" << alpha;
  EXPECT_TRUE(std::regex_search(alpha, std::regex("icon: QORBPLUGINICON, [0-9]+ bytes, PNG 32x32\n"))) << alpha;
  const std::string beta = FormatPluginCheck(CheckPluginFile(FixturePath("beta")));
  EXPECT_NE(beta.find("  version resource: none\n  icon: no QORBPLUGINICON resource\n"), std::string::npos) << beta;
  const std::string badicon = FormatPluginCheck(CheckPluginFile(FixturePath("badicon")));
  EXPECT_NE(badicon.find("bytes, does not decode as PNG\n"), std::string::npos) << badicon;
  EXPECT_NE(alpha.find("    string block 040904B0, the one the host reads:\n      ProductName: \"Alpha Tool\"\n"),
            std::string::npos)
      << alpha;
  // Stored under another language than the Translation entry names: every
  // block is shown, and why the host's texts are empty.
  const TPluginCheck mismatched = CheckPluginFile(FixturePath("mismatched"));
  EXPECT_TRUE(mismatched.WouldLoad());
  EXPECT_TRUE(mismatched.Version.ProductName.IsEmpty());
  EXPECT_NE(FormatPluginCheck(mismatched)
                .find("    fixed file version: 2.0.0.1\n"
                      "    string block 040704E4, not read by the host:\n"
                      "      ProductName: \"Werkzeug\"\n"
                      "      CompanyName: \"Tessary Systems\"\n"
                      "    the host reads string block 040904b0 (the first Translation entry names it), which is "
                      "missing: its texts are empty\n"),
            std::string::npos)
      << FormatPluginCheck(mismatched);
  EXPECT_TRUE(ResourceMistakes(CheckPluginFile(FixturePath("alpha"))).empty());
}
