#include "workbench/ProcessGuard.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "workbench/CrashReport.h"
#include "workbench/FileNamePart.h"
#include "workbench/PluginExitReport.h"
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
  ReportPluginExit(Caller, How, Status);
  ::_exit(CrashExitStatus);
}
