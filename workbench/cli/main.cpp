#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include <iostream>
#include <string>
#include <vector>

#include "workbench/CommandLine.h"
#include "workbench/CrashReport.h"
#include "workbench/HangWatch.h"
#include "workbench/NewProject.h"
#include "workbench/Program.h"
#include "rtl/Exception.h"

int main(int argc, char** argv) {
#if defined(_WIN32)
  // The same bytes as on Linux, and as the crash report writes: lines end
  // in \n, which every Windows console and editor of today shows as such.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
#endif
  if (argc > 1 && std::string(argv[1]) == "new")
    return WriteNewProject(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
  const TParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.ExitStatus >= 0) {
    std::ostream& out = parsed.ExitStatus == 0 ? std::cout : std::cerr;
    out << parsed.Message << std::flush;
    return out ? parsed.ExitStatus : 1;
  }
  int status = 1;
  try {
    status = RunQorbIDE(parsed.Options, std::cout, std::cerr);
  } catch (...) {
    CaughtException e = DescribeCurrentException();
    std::cerr << "qorb-ide: " << e.ClassName.ToUtf8() << ": " << e.Message.ToUtf8() << '\n';
  }
  if (!parsed.Options.Check) {
    SetCrashActivity("exiting");
    WatchTheExit(parsed.Options.HangTimeout);
  }
  return status;
}
