#pragma once
// qorb-ide --strict: what else makes a run fail for a plug-in author's CI,
// besides what always does (a failed registration, anything left alive).
#include <span>
#include <string>
#include <string_view>
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

// Each kind of cause: the word its lines start with and what it means.
// Written once here: the output, --help and the guide's copy come from it.
struct TStrictCauseKind {
  const char* Name;
  const char* Meaning;
};
std::span<const TStrictCauseKind> StrictCauseKinds();

// For --help: one line a kind, "name: meaning".
std::string FormatStrictCauseKinds(std::string_view Indent);

struct TStrictInputs {
  // Files of the folder the host did not load, and plug-ins it never looked
  // at, by their paths within it.
  std::vector<TSkippedFile> NotLoaded;
  std::vector<TSkippedFile> PassedOver;
  std::vector<std::string> ErrorLines;
  // Exceptions from foreign code that a boundary caught, one line each.
  std::vector<std::string> CaughtExceptions;
  // "x.dll: what the host shows wrongly", one line each.
  std::vector<std::string> ResourceMistakes;
  // "x.dll replaced the handler of SIGSEGV", one line each.
  std::vector<std::string> FaultHandlingTaken;
  // "x.dll: subscription ..., still subscribed when it was unloaded"
  std::vector<std::string> LeftBehind;
};

// One line per cause; empty when a strict run passes.
std::vector<std::string> StrictCauses(const TStrictInputs& Inputs);
