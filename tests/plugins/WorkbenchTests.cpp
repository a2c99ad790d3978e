// qorb-ide as a plug-in author meets it on Linux: checking files without
// running them, the load profile and lines as they arrive.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

#include "IdeRun.h"
#include "PluginFolder.h"
#include "workbench/PluginCheck.h"
#include "workbench/Program.h"

namespace fs = std::filesystem;

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

// Every reason and hint the check gives, one file each; the first reason is
// the one the host meets first.
TEST(CheckCommand, NamesWhyEachFileOfTheZooWouldNotLoad) {
  ScratchDir zoo("qorb-zoo");
  const fs::path plugins = zoo / "Plugins";
  fs::create_directories(plugins / "sub");
  auto copy = [&](const std::string& fixture, const fs::path& to) {
    fs::copy_file(FixturePath(fixture), to);
    return to;
  };
  std::ofstream(plugins / "notes.dll") << "just text\n";
  ASSERT_EQ(::mkfifo((plugins / "pipe.dll").c_str(), 0600), 0);  // read, it would wait for a writer
  fs::create_symlink("gone.dll", plugins / "dangling.dll");
  struct Case {
    fs::path file;
    const char* reason;  // null: would load
    const char* hint;
  };
  const Case cases[] = {
      {copy("alpha", plugins / "alpha.dll"), nullptr, nullptr},
      {QORB_CPP_EXAMPLE_PATH, nullptr, nullptr},
      {QORB_C_EXAMPLE_PATH, nullptr, nullptr},
      {copy("noinit", plugins / "noinit.dll"), "would not load: exports no InitPlugin\n", nullptr},
      {copy("noshutdown", plugins / "noshutdown.dll"), "would not load: exports no Shutdown\n", nullptr},
      {copy("mangled", plugins / "mangled.dll"), "would not load: exports no InitPlugin\n",
       "hint: InitPlugin is exported under its C++ name \"_Z10InitPlugin"},
      {copy("hidden", plugins / "hidden.dll"), "would not load: exports no InitPlugin\n",
       "hint: InitPlugin is defined but not exported (hidden or local)"},
      {copy("needsmissing", plugins / "needsmissing.dll"),
       "would not load: needs libqorbmissing.so, which the loader cannot find; searched:", nullptr},
      {plugins / "notes.dll", "would not load: not a library for this machine: not an ELF file\n", nullptr},
      {plugins / "pipe.dll", "would not load: a named pipe, not a file\n", nullptr},
      {plugins / "dangling.dll", "would not load: a link to gone.dll, which does not exist\n", nullptr},
      {plugins / "sub", "would not load: a folder, not a file\n", nullptr},
      {copy("alpha", plugins / "libalpha.so"), "would not load: not named *.dll", nullptr},
      {copy("alpha", plugins / "sub" / "alpha.dll"), "would not load: in a sub-folder of Plugins/ (sub/alpha.dll)",
       nullptr},
  };
  for (const Case& c : cases) {
    const TPluginCheck check = CheckPluginFile(c.file);
    const std::string text = FormatPluginCheck(check);
    EXPECT_EQ(check.WouldLoad(), c.reason == nullptr) << text;
    if (c.reason) {
      EXPECT_NE(text.find(c.reason), std::string::npos) << c.reason << "\n" << text;
    }
    if (c.hint) {
      EXPECT_NE(text.find(c.hint), std::string::npos) << c.hint << "\n" << text;
    }
  }
  // The missing library is searched where the loader looks, the standard
  // folders last; this one's RUNPATH is empty.
  const std::string missing = FormatPluginCheck(CheckPluginFile(plugins / "needsmissing.dll"));
  EXPECT_NE(missing.find(" ld.so.cache /lib/x86_64-linux-gnu"), std::string::npos) << missing;

  std::ostringstream out, err;
  EXPECT_EQ(RunPluginCheck({plugins / "alpha.dll", QORB_CPP_EXAMPLE_PATH}, out, err), 0) << out.str();
  EXPECT_EQ(RunPluginCheck({plugins / "alpha.dll", plugins / "noinit.dll"}, out, err), 1);
  EXPECT_EQ(err.str(), "");
}

// Every plug-in once, in the order the host loaded them, with totals; and
// --follow writes the lines as they come.
TEST(LoadProfile, ListsEveryPluginOnceInLoadOrderAndFollowWritesLinesAsTheyCome) {
  ScratchDir mine("qorb-profile");
  for (const char* name : {"alpha", "beta", "gamma", "logserror"})
    fs::copy_file(FixturePath(name), mine / (std::string(name) + ".dll"));
  fs::copy_file(FixturePath("noinit"), mine / "noinit.dll");
  TCommandLine options = InPlace(mine.path);
  options.Profile = true;
  options.Follow = true;
  const IdeRun run = RunIde(options);
  EXPECT_EQ(run.status, 0) << run.err;
  const size_t at = run.out.find("\nLoad profile (ms):\n");
  ASSERT_NE(at, std::string::npos) << run.out;
  const std::string profile = run.out.substr(at);
  EXPECT_NE(profile.find("  plug-in   "), std::string::npos) << profile;
  EXPECT_NE(profile.find("\n  total   "), std::string::npos) << profile;
  EXPECT_EQ(Count(profile, "noinit.dll"), 0u) << profile;
  // The order of the "Plug-ins:" list is the host's load order.
  std::vector<std::pair<size_t, std::string>> order;
  for (const char* name : {"alpha.dll", "beta.dll", "gamma.dll", "logserror.dll"}) {
    EXPECT_EQ(Count(profile, std::string("\n  ") + name + " "), 1u) << name << "\n" << profile;
    order.emplace_back(run.out.find(std::string("/Plugins/") + name + "\n"), name);
  }
  std::sort(order.begin(), order.end());
  size_t last = 0;
  for (const auto& [listed, name] : order) {
    const size_t row = profile.find("\n  " + name + " ");
    EXPECT_GT(row, last) << name << "\n" << profile;
    last = row;
  }
  EXPECT_NE(run.err.find("[Qorb] "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[logserror] [Error] config file not found\n"), std::string::npos) << run.err;
}
