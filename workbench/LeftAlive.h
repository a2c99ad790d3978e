#pragma once
// The report's "Left alive:": threads still running in a library when it
// was unloaded, and what the host still held of its code then (an event
// subscription, a registered interface), which it would call into nothing.
#include <string>
#include <vector>

#include "workbench/PluginThreads.h"

struct TLeftHold {
  std::string Library;  // full path
  // "subscription OnEvent for {GUID}" or "registered interface"
  std::string What;
  bool Subscription = false;
};

// Main thread, as the library at Path has just been unloaded: the holds
// whose code lay in it.
std::vector<TLeftHold> HoldsLeftIn(const std::string& Path);

// "x.dll: <what>, still subscribed when it was unloaded", for --strict.
std::string DescribeLeftHold(const TLeftHold& Left);

// "Left alive:" and an entry for each thread and hold; empty when none.
std::string FormatLeftAlive(const std::vector<TLeftThread>& Threads, const std::vector<TLeftHold>& Holds);
