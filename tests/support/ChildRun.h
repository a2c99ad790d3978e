#pragma once
// What a program run to its end left: its exit status and its output. On
// Windows RunChild lives in windows/ChildProcess.cpp (it needs the system's
// header, which a test of our platform layer cannot include).
#include <chrono>
#include <cstdlib>
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

// For a child whose fault the program under test reports: the sanitizers'
// fault handlers stand aside, so that it ends with the program's status,
// not theirs. The sanitizers' other options stay as they were.
inline std::vector<std::string> SanitizersLeaveFaultsToTheChild() {
  std::vector<std::string> env;
  for (const char* name : {"ASAN_OPTIONS", "TSAN_OPTIONS"}) {
    const char* now = std::getenv(name);
    env.push_back(std::string(name) + "=" + (now ? now : "") +
                  ":handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0");
  }
  return env;
}
