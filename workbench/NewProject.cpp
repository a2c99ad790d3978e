#include "workbench/NewProject.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "ide/ExecutableDirectory.h"
#include "workbench/PluginTemplates.h"
#include "workbench/RunnerPaths.h"

const char* const NewProjectUsage =
    "Usage: qorb-ide new NAME [--c] [--options-page]\n"
    "Writes the folder NAME: a plug-in project that builds against the installed\n"
    "SDK (find_package(Qorb)) and a test that runs it in qorb-ide. NAME is the\n"
    "folder and, its last part, the plug-in's name: a letter, then letters,\n"
    "digits or '_'.\n"
    "\n"
    "  --c             the plug-in in plain C (qorb_plugin.h only)\n"
    "  --options-page  also a page under \"Qorb\" in the options dialog (C++)\n";

namespace {

namespace fs = std::filesystem;

bool IsIdentifier(const std::string& s) {
  if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
  for (unsigned char c : s)
    if (!std::isalnum(c) && c != '_') return false;
  return true;
}

// The prefix qorb-ide was installed to, when it runs from one.
fs::path InstalledPrefix() {
  std::error_code ec;
  const fs::path prefix = ExecutableDirectory().parent_path();
  return fs::exists(prefix / "lib/cmake/Qorb/QorbConfig.cmake", ec) ? prefix : fs::path();
}

// Quoted only when a shell would split it.
std::string ShellWord(const std::string& s) {
  return s.find_first_of(" \t") == std::string::npos ? s : '"' + s + '"';
}

int Usage(std::ostream& Err, const std::string& why) {
  Err << "qorb-ide new: " << why << "\n\n" << NewProjectUsage;
  return 2;
}

}  // namespace

int WriteNewProject(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
  TPluginTemplateChoice choice;
  std::string folderArg;
  for (const std::string& a : Args) {
    if (a == "--help" || a == "-h") {
      Out << NewProjectUsage;
      return 0;
    }
    if (a == "--c") {
      choice.C = true;
    } else if (a == "--options-page") {
      choice.OptionsPage = true;
    } else if (a.starts_with("-")) {
      return Usage(Err, "unknown option " + a);
    } else if (!folderArg.empty()) {
      return Usage(Err, "unexpected argument " + a);
    } else {
      folderArg = a;
    }
  }
  if (folderArg.empty()) return Usage(Err, "no NAME");
  if (choice.C && choice.OptionsPage)
    return Usage(Err, "--options-page needs C++: the options-page base is a C++ class");
  fs::path folder = fs::path(folderArg).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();  // "MyPlugin/"
  choice.Name = folder.filename().string();
  if (!IsIdentifier(choice.Name))
    return Usage(Err, "\"" + choice.Name + "\" is not a name: a letter, then letters, digits or '_'");

  std::error_code ec;
  if (fs::exists(folder, ec) && !fs::is_empty(folder, ec)) {
    Err << "qorb-ide new: " << folder.string() << " exists and is not empty\n";
    return 1;
  }
  fs::create_directories(folder, ec);
  if (ec) {
    Err << "qorb-ide new: cannot make " << folder.string() << ": " << ec.message() << '\n';
    return 1;
  }
  std::string written;
  for (const TTemplateFile& file : PluginTemplateFiles(choice)) {
    std::ofstream out(folder / file.Path, std::ios::binary);
    out << file.Content;
    out.close();
    if (!out) {
      Err << "qorb-ide new: cannot write " << (folder / file.Path).string() << '\n';
      return 1;
    }
    written += "  " + (folder / file.Path).string() + '\n';
  }

  const fs::path prefix = InstalledPrefix();
  // Under Wine the commands run on Linux: Unix paths, the prefix's own
  // toolchain file (its tests run the IDE through the Wine runner beside
  // it), and the package folder named itself, as the toolchain keeps
  // package searches inside the MinGW root.
  const std::optional<std::string> unixPrefix = prefix.empty() ? std::nullopt : UnixPathUnderWine(prefix);
  std::string dir = unixPrefix ? folder.generic_string() : folder.string();
  if (unixPrefix && folder.is_absolute()) dir = UnixPathUnderWine(folder).value_or(dir);
  dir = ShellWord(dir);
  std::string configure;
  if (unixPrefix) {
    const std::string cmakeDir = *unixPrefix + "/lib/cmake/Qorb";
    configure = " -DQorb_DIR=" + ShellWord(cmakeDir) +
                " -DCMAKE_TOOLCHAIN_FILE=" + ShellWord(cmakeDir + "/toolchain-mingw-w64.cmake");
  } else {
    // -D rather than an environment variable: the same line in every shell.
    configure = " -DCMAKE_PREFIX_PATH=" + (prefix.empty() ? "<the Qorb SDK's prefix>" : ShellWord(prefix.string()));
  }
  Out << "Wrote the plug-in project " << choice.Name << ":\n"
      << written << "Build it and run its test in the IDE:\n"
      << "  cmake -S " << dir << " -B " << dir << "/build" << configure << '\n'
      << "  cmake --build " << dir << "/build\n"
      << "  ctest --test-dir " << dir << "/build --output-on-failure\n";
  return Out ? 0 : 1;
}
