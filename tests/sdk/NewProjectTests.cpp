// qorb-ide new: what it writes for each kind of project and what it refuses.
// Whether the projects build and pass their own tests is the business of
// Sdk.NewProjectsBuildAndPassTheirTests, against the installed SDK.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "workbench/NewProject.h"
#include "tests/support/TestSupport.h"
#include "vcl/PngDecode.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TRun {
  int Status;
  std::string Out, Err;
};

TRun New(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = WriteNewProject(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(NewProject, WritesEachKindOfProjectNamedAfterItsFolder) {
  ScratchDir dir;
  struct TCase {
    std::vector<std::string> Flags;
    std::string Source;
    std::vector<std::string> InSource;
  };
  const TCase cases[] = {
      {{}, "Tally.cpp", {"TQorbMenuItem", "TQorbLog", "FLog(FMainFunctions, u\"Tally\")"}},
      {{"--c"}, "Tally.c", {"#include \"qorb_plugin.h\"", "qorb_release(mainFunctions)"}},
      {{"--options-page"}, "Tally.cpp", {"RegisterOptionsPage", "UnregisterOptionsPages", "u\"TTALLYOPTIONSFRAME\""}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Source + (c.Flags.empty() ? "" : " " + c.Flags[0]));
    const fs::path project = dir / ("p" + std::to_string(&c - cases)) / "Tally";
    std::vector<std::string> args = c.Flags;
    args.insert(args.begin(), (project.string() + "/"));
    fs::create_directories(project.parent_path());
    const TRun run = New(args);
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("cmake -S " + project.string() + " -B " + project.string() + "/build"), std::string::npos)
        << run.Out;

    const std::string source = ReadFile(project / c.Source);
    for (const std::string& s : c.InSource) EXPECT_NE(source.find(s), std::string::npos) << s;
    const std::string lists = ReadFile(project / "CMakeLists.txt");
    EXPECT_NE(lists.find("qorb_add_plugin(Tally SOURCES " + c.Source + " RC Tally.rc"), std::string::npos) << lists;
    EXPECT_NE(ReadFile(project / "Tally.rc").find("QORBPLUGINICON RCDATA \"Tally.png\""), std::string::npos);
    const std::string test = ReadFile(project / "RunInIDE.cmake");
    EXPECT_NE(test.find("--strict --click \"Qorb/Hello from Tally\""), std::string::npos) << test;
    EXPECT_EQ(fs::exists(project / "Tally.layout"), c.Flags == std::vector<std::string>{"--options-page"});

    for (const fs::directory_entry& e : fs::directory_iterator(project)) {
      if (e.path().extension() == ".png") continue;
      const std::string text = ReadFile(e.path());
      EXPECT_FALSE(std::regex_search(text, std::regex("@[A-Z_]+@"))) << e.path() << " keeps a placeholder";
    }
    const std::string png = ReadFile(project / "Tally.png");
    const PngDecodeResult icon = DecodePng(png.data(), png.size());
    ASSERT_TRUE(icon.ok()) << icon.error;
    EXPECT_EQ(icon.pixels.width, 32u);
    EXPECT_EQ(icon.pixels.height, 32u);
  }
}

TEST(NewProject, RefusesBadCommandLinesAndNeverWritesOverAFolder) {
  ScratchDir dir;
  const std::string p = (dir / "Good").string();
  const struct {
    std::vector<std::string> Args;
    int Status;
    std::string Why;
  } cases[] = {
      {{}, 2, "no NAME"},
      {{(dir / "1st").string()}, 2, "\"1st\" is not a name"},
      {{(dir / "my-plugin").string()}, 2, "\"my-plugin\" is not a name"},
      {{p, "--c", "--options-page"}, 2, "--options-page needs C++"},
      {{p, "--rust"}, 2, "unknown option --rust"},
      {{p, "Other"}, 2, "unexpected argument Other"},
  };
  for (const auto& c : cases) {
    const TRun run = New(c.Args);
    EXPECT_EQ(run.Status, c.Status) << c.Why;
    EXPECT_NE(run.Err.find(c.Why), std::string::npos) << run.Err;
  }
  EXPECT_FALSE(fs::exists(dir / "Good"));

  fs::create_directories(dir / "Good");
  std::ofstream(dir / "Good" / "CMakeLists.txt") << "mine";
  const TRun run = New({p});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("exists and is not empty"), std::string::npos) << run.Err;
  EXPECT_EQ(ReadFile(dir / "Good" / "CMakeLists.txt"), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Good"), fs::directory_iterator()), 1);
}

}  // namespace
