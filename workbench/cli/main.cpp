#include <iostream>
#include <string>
#include <vector>

#include "workbench/CommandLine.h"
#include "workbench/NewProject.h"
#include "workbench/Program.h"
#include "rtl/Exception.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "new")
    return WriteNewProject(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
  const TParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.ExitStatus >= 0) {
    std::ostream& out = parsed.ExitStatus == 0 ? std::cout : std::cerr;
    out << parsed.Message << std::flush;
    return out ? parsed.ExitStatus : 1;
  }
  try {
    return RunQorbIDE(parsed.Options, std::cout, std::cerr);
  } catch (...) {
    CaughtException e = DescribeCurrentException();
    std::cerr << "qorb-ide: " << e.ClassName.ToUtf8() << ": " << e.Message.ToUtf8() << '\n';
    return 1;
  }
}
