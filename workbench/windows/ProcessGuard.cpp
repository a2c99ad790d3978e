#include "workbench/ProcessGuard.h"

#include <windows.h>

#include "rtl/ForeignFrames.h"
#include "workbench/CrashContext.h"
#include "workbench/CrashReport.h"
#include "workbench/SignalSafeText.h"

// Nothing takes part in a plug-in's calls here yet: nothing is refused.
void NotePluginTookFaultHandling(const void*, const char*) {}
std::vector<std::string> FaultHandlingTaken() { return {}; }

void EndForPluginExit(const void*, const char* How, int Status) noexcept {
  TSignalSafeText out(2);
  out.Add("qorb-ide: ended by a plug-in, which called ").Add(How).Add("(")
      .Decimal(static_cast<uint64_t>(static_cast<unsigned>(Status))).Add(")");
  AddCrashContext(out, qorb::rtl::ForeignTop);
  out.Flush();
  RunCrashCleanup();
  ::ExitProcess(CrashExitStatus);
}
