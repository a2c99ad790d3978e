#include "workbench/PluginExitReport.h"

#include "rtl/ForeignFrames.h"
#include "workbench/CrashContext.h"
#include "workbench/CrashReport.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/SignalSafeText.h"

void ReportPluginExit(const void* Caller, const char* How, int Status) noexcept {
  // No loader look-up: a thread held elsewhere may own the loader's lock.
  static TCodePlace place;
  const bool known = FindCodePlace(reinterpret_cast<uintptr_t>(Caller), place) && place.Module[0];
  TSignalSafeText out(2);
  out.Add("qorb-ide: ended by a plug-in: ").Add(known ? place.Module : "an unknown library").Add(" called ").Add(How);
  // Windows does not tell the status to those who hear of the end.
  if (Status >= 0) out.Add("(").Decimal(static_cast<uint64_t>(static_cast<unsigned>(Status))).Add(")");
  if (known && place.Symbol[0]) out.Add(" in ").Add(place.Symbol);
  AddCrashContext(out, qorb::rtl::ForeignTop);
  out.Flush();
  RunCrashCleanup();
}
