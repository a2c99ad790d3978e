#include "workbench/ProcessGuard.h"

#include <windows.h>

#include "rtl/FaultHandler.h"
#include "rtl/ForeignFrames.h"
#include "rtl/OwnModules.h"
#include "workbench/CrashReport.h"
#include "workbench/PluginExitReport.h"
#include "workbench/SignalSafeSymbols.h"

namespace {

// The function of the system's a plug-in called to end the process, found
// on the stack of the thread that ends it: the first frame past the
// system's that is not ours is the plug-in's caller. False when the IDE
// ends it itself.
bool FindPluginEnding(const void*& caller, uintptr_t& called) {
  void* frames[62];
  const USHORT depth = ::RtlCaptureStackBackTrace(0, 62, frames, nullptr);
  USHORT i = 0;
  // Our own frames first (this one, DllMain and the runtime's start-up).
  while (i < depth && qorb::rtl::IsOwnCode(reinterpret_cast<uintptr_t>(frames[i]) - 1)) ++i;
  called = 0;
  for (; i < depth; ++i) {
    const uintptr_t pc = reinterpret_cast<uintptr_t>(frames[i]) - 1;
    if (qorb::rtl::SystemCodeKind(pc) == qorb::rtl::TSystemKind::None) break;
    called = pc;
  }
  if (i == depth || !IsForeignCodeAt(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(frames[i]) - 1)))
    return false;
  caller = frames[i];
  return true;
}

}  // namespace

void EndForPluginExit(const void* Caller, const char* How, int Status) noexcept {
  ReportPluginExit(Caller, How, Status);
  // Also from inside the process's end, where nothing else may run.
  ::TerminateProcess(::GetCurrentProcess(), CrashExitStatus);
  ::ExitProcess(CrashExitStatus);
}

// Every library hears of the process's end on the thread that ends it,
// whichever way it was asked for (exit, _exit, ExitProcess, of any C
// runtime), before the libraries loaded after it go: the frames on that
// thread say whether a plug-in asked.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD Reason, LPVOID Reserved) {
  if (Reason != DLL_PROCESS_DETACH || !Reserved) return TRUE;
  const void* caller = nullptr;
  uintptr_t called = 0;
  if (!FindPluginEnding(caller, called)) return TRUE;
  static TCodePlace place;
  const bool named = called && FindCodePlace(called, place) && place.Symbol[0];
  EndForPluginExit(caller, named ? place.Symbol : "for the process to end", -1);
}
