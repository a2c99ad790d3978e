#pragma once
// A package folder of its own with the faulting plug-ins and About library,
// and qorb-ide run over it with the fault a test asks for.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace fs = std::filesystem;

// Windows has no links without a privilege: copies there.
inline void Place(const fs::path& from, const fs::path& to) {
#if defined(_WIN32)
  fs::copy_file(from, to);
#else
  fs::create_symlink(from, to);
#endif
}

// What the crash report names a processor fault by: the signal, or on
// Windows the exception's code.
#if defined(_WIN32)
inline const std::string kAccessViolation = "access violation \\(exception C0000005\\)";
// The C library's file, as a regular expression.
inline const std::string kCLibrary = "msvcrt\\.dll";
// Each run starts a process under Wine, seconds each: a few.
constexpr int kRecursionRuns = 5;
#else
inline const std::string kAccessViolation = "access violation \\(SIGSEGV\\)";
inline const std::string kCLibrary = "libc\\.so\\.6";
constexpr int kRecursionRuns = 50;
#endif
// How long a faulting run may take before it counts as hung.
constexpr auto kPatience = std::chrono::seconds(60);

inline std::vector<std::string> StrictIf(bool strict) {
  return strict ? std::vector<std::string>{"--strict"} : std::vector<std::string>{};
}

// Before a file name, either separator.
inline const std::string kFolder = "[^\n]*[/\\\\]";

// A package folder of its own: the built package, the faulting About
// library and both faulting plug-ins, linked in.
class FaultyIde {
 public:
  FaultyIde() {
    fs::create_directory(dir_.path / "Plugins");
    Place(QORB_PACKAGE_PATH, dir_ / "Qorb_DelphiMain.bpl");
    Place(Fixture("FaultyAbout.dll"), dir_ / "DelphiMainProc.dll");
    for (const char* plugin : {"FaultyC.dll", "FaultyCpp.dll"})
      Place(Fixture(plugin), dir_.path / "Plugins" / plugin);
  }

  TChildRun Run(const std::string& fault, const std::string& in, const std::string& at,
                const std::vector<std::string>& args = {}, std::chrono::seconds patience = std::chrono::seconds(120),
                const std::vector<std::string>& env = {}) const {
    std::vector<std::string> argv{QORB_IDE_PATH, "--package", (dir_ / "Qorb_DelphiMain.bpl").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> environment = SanitizersLeaveFaultsToTheChild();
    environment.insert(environment.end(), {"QORB_FAULT=" + fault, "QORB_FAULT_IN=" + in, "QORB_FAULT_AT=" + at});
    environment.insert(environment.end(), env.begin(), env.end());
    return RunChild(argv, environment, patience);
  }

  const fs::path& Folder() const { return dir_.path; }
  // A copy of its own in place of the link, for a run that changes the file.
  void CopyIn(const char* plugin) const {
    const fs::path to = dir_.path / "Plugins" / plugin;
    fs::remove(to);
    fs::copy_file(Fixture(plugin), to);
  }

 private:
  static fs::path Fixture(const char* name) { return fs::path(QORB_FAULT_FIXTURE_DIR) / name; }
  ScratchDir dir_{"qorb-faulty"};
};

inline std::string Describe(const TChildRun& r) {
  return "exit " + std::to_string(r.ExitStatus) + " signal " + std::to_string(r.Signal) + "\n--- out\n" + r.Out +
         "--- err\n" + r.Err;
}
