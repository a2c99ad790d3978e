#pragma once
// What qorb-ide does, apart from reading its command line: boot the IDE,
// load the package, click, print, shut down, report. Answers the exit
// status.
#include <iosfwd>

#include "workbench/CommandLine.h"

int RunQorbIDE(const TCommandLine& Options, std::ostream& Out, std::ostream& Err);

inline constexpr char DefaultPackageName[] = "Qorb_DelphiMain.bpl";
