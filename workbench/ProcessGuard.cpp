#include "workbench/ProcessGuard.h"

#include <mutex>

#include "rtl/AddressInfo.h"
#include "rtl/FaultHandler.h"
#include "workbench/FileNamePart.h"
#include "workbench/SignalSafeText.h"

namespace {

std::mutex takenLock;
std::vector<std::string>& Taken() {
  static std::vector<std::string> taken;
  return taken;
}

}  // namespace

void NotePluginTookFaultHandling(const void* Caller, const char* What) {
  const std::string path = ModulePathOf(Caller);
  std::string line = std::string(path.empty() ? "an unknown library" : FileNamePart(path.c_str())) + " " + What;
  TSignalSafeText(2).Add("qorb-ide: ").Add(line.c_str()).Add("; the IDE kept its own\n");
  const std::lock_guard lock(takenLock);
  Taken().push_back(std::move(line));
}

std::vector<std::string> FaultHandlingTaken() {
  const std::lock_guard lock(takenLock);
  return Taken();
}

void ReclaimFaultHandling() {
  if (const void* filter = ReclaimUnhandledFilter())
    NotePluginTookFaultHandling(filter, "replaced the unhandled-exception filter");
}
