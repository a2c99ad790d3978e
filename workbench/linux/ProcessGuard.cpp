#include "workbench/ProcessGuard.h"

#include <unistd.h>

#include "workbench/CrashReport.h"
#include "workbench/PluginExitReport.h"

void EndForPluginExit(const void* Caller, const char* How, int Status) noexcept {
  ReportPluginExit(Caller, How, Status);
  ::_exit(CrashExitStatus);
}
