#include "workbench/PluginThreads.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "winapi/ModuleUnloadWatch.h"
#include "workbench/FileNamePart.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/ThreadStacks.h"

namespace {

// Fixed tables, filled outside any signal handler and read inside one:
// an entry is complete before the count that shows it.
struct TRange {
  uintptr_t First = 0, Last = 0;
  char Path[512] = {};
};
TRange unloaded[512];
std::atomic<size_t> unloadedCount{0};

struct TOwner {
  pid_t Thread = 0;
  char Path[512] = {};
};
TOwner owners[64];
std::atomic<size_t> ownerCount{0};

void Copy(char (&to)[512], const char* from) noexcept {
  std::strncpy(to, from, sizeof to - 1);
  to[sizeof to - 1] = 0;
}

const char* FileName(const std::string& path) { return FileNamePart(path.c_str()); }

}  // namespace

TPluginThreads::TPluginThreads() {
  InstallThreadStacks();
  // Threads that never answer (a sanitizer's) are found now, not while an
  // unload is timed.
  static TThreadStack first[64];
  ReadThreadStacks(first, std::size(first));
  qorb::winapi::SetModuleUnloadWatcher(&OnUnloading, this);
}

TPluginThreads::~TPluginThreads() { qorb::winapi::SetModuleUnloadWatcher(nullptr, nullptr); }

std::vector<TLeftThread> TPluginThreads::Left() const {
  const std::lock_guard guard(lock_);
  return left_;
}

void TPluginThreads::OnUnloading(void* Self, uintptr_t First, uintptr_t Last, const char* Path) noexcept {
  auto& self = *static_cast<TPluginThreads*>(Self);
  if (const size_t n = unloadedCount.load(); n < std::size(unloaded)) {
    unloaded[n].First = First;
    unloaded[n].Last = Last;
    Copy(unloaded[n].Path, Path);
    unloadedCount.store(n + 1);
  }
  // Neither the unloading thread nor the workbench's own can be a plug-in's
  // thread left running: only the others are asked.
  static TThreadStack stacks[64];
  const size_t count = ReadOtherThreadStacks(stacks, std::size(stacks));
  const pid_t me = CurrentThreadId();
  for (size_t i = 0; i < count; ++i) {
    TThreadStack& s = stacks[i];
    // A thread made a moment ago may not have reached its start routine:
    // let it get there before deciding whose it is.
    for (int tries = 0; s.Thread != me && tries < 100 && IsThreadStarting(s); ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ReadThreadStack(s.Thread, s);
    }
    // A stack only scanned may hold stale addresses: it names no owner.
    if (!s.Read) continue;
    int outermost = -1;
    for (int f = 0; f < s.Depth; ++f)
      if (s.Frames[f] - 1 >= First && s.Frames[f] - 1 <= Last) outermost = f;
    if (s.Thread == me || outermost < 0) continue;
    const uintptr_t startRoutine = s.Frames[outermost] - 1;
    // Held only at an instruction of the library itself; in our code, the
    // C library or the loader it may hold a lock: it is let run on until it
    // is back in the library's code (or, past that, left to fault there,
    // which names it).
    // One waiting in the system straight from the library may stay there;
    // each look at its stack tells whether it waits so now. A thread that
    // is mostly in our code is caught in its own now and then: a few
    // seconds are given to that, spent only on a thread left running.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < giveUp) {
      if (FreezeThreadIn(s.Thread, First, Last, s, WaitsInTheSystemFrom(s, First, Last)) != THold::Elsewhere) break;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    try {
      TLeftThread left{s.Thread, Path, {}};
      static TCodePlace place;
      if (FindCodePlace(startRoutine, place)) left.StartRoutine = place.Symbol;
      if (const size_t n = ownerCount.load(); n < std::size(owners)) {
        owners[n].Thread = s.Thread;
        Copy(owners[n].Path, Path);
        ownerCount.store(n + 1);
      }
      const std::lock_guard guard(self.lock_);
      self.left_.push_back(std::move(left));
    } catch (...) {
      // Out of memory while naming it: it stays held, only unnamed.
    }
  }
}

std::string DescribeLeftThread(const TLeftThread& Left) {
  std::string text = "a thread of " + std::string(FileName(Left.Library));
  if (!Left.StartRoutine.empty()) text += " (in " + Left.StartRoutine + ")";
  return text + " still ran when " + FileName(Left.Library) + " was unloaded; it was held there";
}

std::string FormatLeftThread(const TLeftThread& Left) {
  std::string text = "  thread " + std::to_string(Left.Thread) + " of " + FileName(Left.Library);
  if (!Left.StartRoutine.empty()) text += ", in " + Left.StartRoutine;
  return text + ": still running when the library was unloaded\n    " + Left.Library + "\n";
}

const char* PluginOfThread(pid_t Thread, const uintptr_t* Frames, int Depth) noexcept {
  for (size_t i = 0, n = ownerCount.load(); i < n; ++i)
    if (owners[i].Thread == Thread) return owners[i].Path;
  static TCodePlace place;
  for (int f = Depth - 1; f >= 0; --f) {
    if (FindCodePlace(Frames[f] - 1, place)) {
      if (MayBePluginModule(place.Module)) return place.Module;
    } else if (const char* gone = UnloadedLibraryAt(Frames[f] - 1)) {
      return gone;
    }
  }
  return nullptr;
}

const char* UnloadedLibraryAt(uintptr_t Address) noexcept {
  // The latest unload wins: a range may have been mapped again since.
  for (size_t i = unloadedCount.load(); i-- > 0;)
    if (Address >= unloaded[i].First && Address <= unloaded[i].Last) return unloaded[i].Path;
  return nullptr;
}
