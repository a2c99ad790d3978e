#include "workbench/ProcessGuard.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "rtl/ForeignFrames.h"
#include "workbench/CrashContext.h"
#include "workbench/CrashReport.h"
#include "workbench/FileNamePart.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/SignalSafeText.h"

namespace {

std::mutex takenLock;
std::vector<std::string>& Taken() {
  static std::vector<std::string> taken;
  return taken;
}

std::string ModuleOf(const void* address) {
  Dl_info info{};
  if (!::dladdr(address, &info) || !info.dli_fname || !*info.dli_fname) return "an unknown library";
  return info.dli_fname;
}

}  // namespace

void NotePluginTookFaultHandling(const void* Caller, const char* What) {
  std::string line = std::string(FileNamePart(ModuleOf(Caller).c_str())) + " " + What;
  TSignalSafeText(2).Add("qorb-ide: ").Add(line.c_str()).Add("; the IDE kept its own\n");
  const std::lock_guard lock(takenLock);
  Taken().push_back(std::move(line));
}

std::vector<std::string> FaultHandlingTaken() {
  const std::lock_guard lock(takenLock);
  return Taken();
}

void EndForPluginExit(const void* Caller, const char* How, int Status) noexcept {
  // No loader look-up: a thread held elsewhere may own the loader's lock.
  static TCodePlace place;
  const bool known = FindCodePlace(reinterpret_cast<uintptr_t>(Caller), place) && place.Module[0];
  TSignalSafeText out(2);
  out.Add("qorb-ide: ended by a plug-in: ").Add(known ? place.Module : "an unknown library").Add(" called ").Add(How)
      .Add("(").Decimal(static_cast<uint64_t>(static_cast<unsigned>(Status))).Add(")");
  if (known && place.Symbol[0]) out.Add(" in ").Add(place.Symbol);
  AddCrashContext(out, qorb::rtl::ForeignTop);
  out.Flush();
  RunCrashCleanup();
  ::_exit(CrashExitStatus);
}
