#pragma once
// qorb-ide --strict: what else makes a run fail for a plug-in author's CI,
// besides what always does (a failed registration, anything left alive).
#include <string>
#include <vector>

#include "rtl/OwnMutex.h"
#include "workbench/LoadedModules.h"

class TIDE;

#include <memory>
#include <mutex>

// The lines logged at the error level, as shown, caught as they are added
// (a group may be gone by the end of a run). Lines come from any thread.
class TErrorLines {
 public:
  void Watch(TIDE& Ide);
  std::vector<std::string> Lines() const;

 private:
  struct TShared {
    TMutex Lock;
    std::vector<std::string> Lines;
  };
  std::shared_ptr<TShared> shared_ = std::make_shared<TShared>();
};

struct TStrictInputs {
  // Plug-ins of the folder the host did not load or never looked at, by
  // their paths within it.
  std::vector<TSkippedFile> NotLoaded;
  std::vector<std::string> ErrorLines;
  // Exceptions from foreign code that a boundary caught, one line each.
  std::vector<std::string> CaughtExceptions;
  // "x.dll: what the host shows wrongly", one line each.
  std::vector<std::string> ResourceMistakes;
  // "x.dll replaced the handler of SIGSEGV", one line each.
  std::vector<std::string> FaultHandlingTaken;
};

// One line per cause; empty when a strict run passes.
std::vector<std::string> StrictCauses(const TStrictInputs& Inputs);
