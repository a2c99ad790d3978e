#include "workbench/HangWatch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "rtl/FaultHandler.h"
#include "workbench/CrashReport.h"
#include "workbench/ExceptionPassageReport.h"
#include "workbench/FileNamePart.h"
#include "workbench/MessageViewSoFar.h"
#include "workbench/PluginThreads.h"
#include "workbench/SignalSafeSymbols.h"
#include "workbench/SignalSafeText.h"
#include "workbench/ThreadStacks.h"

namespace {

pid_t mainThread = 0;

void AddCall(TSignalSafeText& out, const TThreadStack& s) noexcept {
  out.Add(s.InsideWhat);
  if (s.InsideSubject[0]) out.Add(" (").Add(s.InsideSubject).Add(")");
}


void AddFrame(TSignalSafeText& out, int index, uintptr_t address) noexcept {
  static TCodePlace place;
  out.Add("\n    #").Decimal(static_cast<uint64_t>(index)).Add(" ").Hex(address);
  // A return address points after its call: look the call up.
  if (FindCodePlace(address - 1, place)) {
    out.Add(" in ").Add(FileNamePart(place.Module));
    if (place.Symbol[0]) out.Add(" (").Add(place.Symbol).Add("+0x").Hex(place.Offset + 1, 4).Add(")");
  } else if (const char* unloaded = UnloadedLibraryAt(address)) {
    out.Add(" in ").Add(FileNamePart(unloaded)).Add(", unloaded");
  } else {
    out.Add(" in no mapped module");
  }
}

}  // namespace

struct THangWatch::TState {
  explicit TState(std::chrono::milliseconds Timeout) : Timeout(Timeout) {}
  void Watch();
  [[noreturn]] void ReportHang(std::chrono::milliseconds Waited, const char* Doing) noexcept;

  const std::chrono::milliseconds Timeout;
  std::mutex Lock;
  std::condition_variable Stop;
  bool Stopping = false;
  int Depth = 0;
  std::chrono::steady_clock::time_point StepStart{};
  std::atomic<bool> Reporting{false};
  std::thread Watcher;
};

THangWatch::THangWatch(std::chrono::milliseconds Timeout) : state_(std::make_shared<TState>(Timeout)) {
  mainThread = CurrentThreadId();
  InstallThreadStacks();
  state_->Watcher = std::thread([state = state_] { state->Watch(); });
}

THangWatch::~THangWatch() {
  {
    const std::lock_guard guard(state_->Lock);
    state_->Stopping = true;
  }
  state_->Stop.notify_all();
  state_->Watcher.join();
}

void WatchTheExit(std::chrono::milliseconds Timeout) {
  auto state = std::make_shared<THangWatch::TState>(Timeout);
  state->Depth = 1;
  state->StepStart = std::chrono::steady_clock::now();
  // The thread holds the state; the process's end ends both.
  std::thread([state] { state->Watch(); }).detach();
}

namespace {

// A step of the main thread that ends while its hang is reported: it stays
// where it is until the report ends the process.
void HoldWhileReporting(const THangWatch::TState& state) {
  if (!state.Reporting.load()) return;
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

}  // namespace

THangWatch::TStep::TStep(THangWatch& Watch) noexcept : watch_(Watch) {
  HoldWhileReporting(*watch_.state_);
  const std::lock_guard guard(watch_.state_->Lock);
  if (watch_.state_->Depth++ == 0) watch_.state_->StepStart = std::chrono::steady_clock::now();
}

THangWatch::TStep::~TStep() {
  HoldWhileReporting(*watch_.state_);
  const std::lock_guard guard(watch_.state_->Lock);
  --watch_.state_->Depth;
}

void THangWatch::TState::Watch() {
  const TOwnThread own;
  // The thread-locals the report reads are made now: made first in the
  // report (emulated on Windows), they would wait for the heap, which the
  // thread that hung may hold.
  PrepareThreadForFaults();
  // Often enough that a hang is ended close to its timeout.
  const auto look = std::max(std::chrono::milliseconds(10), std::min(Timeout / 20, std::chrono::milliseconds(250)));
  std::unique_lock guard(Lock);
  while (!Stop.wait_for(guard, look, [this] { return Stopping; })) {
    if (Depth == 0) continue;
    const auto waited = std::chrono::steady_clock::now() - StepStart;
    if (waited >= Timeout) {
      // What the IDE was doing when the time ran out, before the main
      // thread can move on.
      static char doing[512];
      Reporting.store(true);
      std::strncpy(doing, CrashActivity(), sizeof doing - 1);
      guard.unlock();
      ReportHang(std::chrono::duration_cast<std::chrono::milliseconds>(waited), doing);
    }
  }
}

void THangWatch::TState::ReportHang(std::chrono::milliseconds Waited, const char* Doing) noexcept {
  static TThreadStack stacks[64];
  const size_t count = ReadThreadStacks(stacks, sizeof stacks / sizeof stacks[0]);
  const TThreadStack* inside = nullptr;
  bool mainListed = false;
  for (size_t i = 0; i < count; ++i) {
    mainListed |= stacks[i].Thread == mainThread;
    if (stacks[i].Thread == mainThread && stacks[i].InsideWhat[0]) inside = &stacks[i];
  }
  {
    TSignalSafeText out(2);
    out.Add("qorb-ide: hung: the main thread has not returned from ");
    if (inside)
      AddCall(out, *inside);
    else
      out.Add("its step");
    out.Add(" for ").Decimal(static_cast<uint64_t>(Waited.count() / 1000)).Add(".")
        .Decimal(static_cast<uint64_t>(Waited.count() % 1000 / 100)).Add(" s (--hang-timeout)");
    if (*Doing) out.Add("\n  while the IDE was ").Add(Doing);
    // Wine ends a thread whose stack overflowed past the room its handlers
    // need, without a word to the process.
    if (count > 0 && !mainListed) out.Add("\n  the main thread is gone: it ended without returning");
    AddExceptionPassage(out);
    out.Add("\nThreads:");
    for (size_t i = 0; i < count; ++i) {
      const TThreadStack& s = stacks[i];
      out.Add("\n  thread ").Decimal(static_cast<uint64_t>(s.Thread));
      if (s.Thread == mainThread)
        out.Add(" (the main thread)");
      else if (s.Thread == CurrentThreadId())
        out.Add(" (qorb-ide's hang watch)");
      else if (const char* plugin = PluginOfThread(s.Thread, stacks[i].Frames, s.Depth))
        out.Add(" (started by ").Add(FileNamePart(plugin)).Add(")");
      if (s.InsideWhat[0]) {
        out.Add(", inside ");
        AddCall(out, s);
      }
      if (s.Scanned)
        out.Add(": did not answer; its stack scanned from where it waits in the kernel (some frames may be stale)");
      else if (!s.Read)
        out.Add(": its stack could not be read");
      for (int f = 0; f < s.Depth; ++f) AddFrame(out, f, s.Frames[f]);
    }
    out.Add("\nMessage view so far:\n");
    WriteMessageViewSoFar(out);
  }
  RunCrashCleanup();
  EndProcessNow(CrashExitStatus);
}
