#pragma once
// What a program run to its end left: its exit status and its output. On
// Windows RunChild lives in windows/ChildProcess.cpp (it needs the system's
// header, which a test of our platform layer cannot include).
#include <chrono>
#include <string>
#include <vector>

struct TChildRun {
  int ExitStatus = -1;  // -1 when a signal ended it
  int Signal = 0;
  bool TimedOut = false;  // killed when it had not ended in time
  std::string Out, Err;
};

#if defined(_WIN32)
// Runs Argv (the program's full path first) with ExtraEnv added; a run
// that has not ended after Patience is ended. Signal is always 0.
TChildRun RunChild(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv = {},
                   std::chrono::seconds Patience = std::chrono::seconds(120));
#endif
