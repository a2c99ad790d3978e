#include "workbench/LeftAlive.h"

#include "rtl/ForeignHolds.h"
#include "winapi/Modules.h"
#include "workbench/FileNamePart.h"

namespace {

const char* StillHeld(const TLeftHold& left) { return left.Subscription ? "still subscribed" : "still registered"; }

}  // namespace

std::vector<TLeftHold> HoldsLeftIn(const std::string& Path) {
  std::vector<TLeftHold> left;
  for (const qorb::rtl::THeldCode& held : qorb::rtl::ForeignHolds()) {
    std::string owner;
    if (!held.Code || !qorb::winapi::FindUnloadedModule(held.Code, owner) || owner != Path) continue;
    if (held.Kind == qorb::rtl::THoldKind::Subscription)
      left.push_back({Path, "subscription " + held.Name + " for " + GuidToString(held.Event), true});
    else
      left.push_back({Path, "registered interface", false});
  }
  return left;
}

std::string DescribeLeftHold(const TLeftHold& Left) {
  return std::string(FileNamePart(Left.Library.c_str())) + ": " + Left.What + ", " + StillHeld(Left) + " when it was unloaded";
}

std::string FormatLeftAlive(const std::vector<TLeftThread>& Threads, const std::vector<TLeftHold>& Holds) {
  if (Threads.empty() && Holds.empty()) return {};
  std::string text = "Left alive:\n";
  for (const TLeftThread& t : Threads) text += FormatLeftThread(t);
  for (const TLeftHold& h : Holds)
    text += "  " + h.What + " of " + FileNamePart(h.Library.c_str()) + ": " + StillHeld(h) + " when the library was unloaded\n    " +
            h.Library + "\n";
  return text;
}
