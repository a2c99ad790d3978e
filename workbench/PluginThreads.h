#pragma once
// Threads named by the plug-in they belong to, as a debugger names them.
// Just before a library's code leaves the process, every thread is looked
// at: one whose stack runs through that library (its start routine, or code
// of it further up) is still running there. It is held where it is, so it
// never runs code that is gone, and reported as left alive. Crash and hang
// reports ask, with async-signal-safe calls only, whose a thread is and
// which unloaded library held an address.
#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct TLeftThread {
  pid_t Thread = 0;
  std::string Library;       // full path
  std::string StartRoutine;  // the outermost of its functions on the thread's stack; empty when unnamed
};

class TPluginThreads {
 public:
  // Watches every unload until it goes; one at a time.
  TPluginThreads();
  ~TPluginThreads();
  TPluginThreads(const TPluginThreads&) = delete;
  TPluginThreads& operator=(const TPluginThreads&) = delete;

  std::vector<TLeftThread> Left() const;

 private:
  static void OnUnloading(void* Self, uintptr_t First, uintptr_t Last, const char* Path) noexcept;
  mutable std::mutex lock_;
  std::vector<TLeftThread> left_;
};

// Its entry under "Left alive:": a line, and the library's path under it.
std::string FormatLeftThread(const TLeftThread& Left);
// One line for standard error, without "qorb-ide: left alive: ".
std::string DescribeLeftThread(const TLeftThread& Left);

// The library a thread belongs to: one found left at an unload, else the
// outermost module on its stack that MayBePluginModule (Frames, innermost first); null when none.
// One caller at a time.
const char* PluginOfThread(pid_t Thread, const uintptr_t* Frames, int Depth) noexcept;
// The file of the unloaded library whose code lay at Address; null if none.
const char* UnloadedLibraryAt(uintptr_t Address) noexcept;
