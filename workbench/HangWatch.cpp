#include "workbench/HangWatch.h"

#include <algorithm>

#include "workbench/CrashReport.h"
#include "workbench/FileNamePart.h"
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

THangWatch::THangWatch(std::chrono::milliseconds Timeout) : timeout_(Timeout) {
  mainThread = CurrentThreadId();
  InstallThreadStacks();
  watcher_ = std::thread([this] { Watch(); });
}

THangWatch::~THangWatch() {
  {
    const std::lock_guard guard(lock_);
    stopping_ = true;
  }
  stop_.notify_all();
  watcher_.join();
}

THangWatch::TStep::TStep(THangWatch& Watch) noexcept : watch_(Watch) {
  const std::lock_guard guard(watch_.lock_);
  if (watch_.depth_++ == 0) watch_.stepStart_ = std::chrono::steady_clock::now();
}

THangWatch::TStep::~TStep() {
  const std::lock_guard guard(watch_.lock_);
  --watch_.depth_;
}

void THangWatch::Watch() {
  const TOwnThread own;
  // Often enough that a hang is ended close to its timeout.
  const auto look = std::max(std::chrono::milliseconds(10), std::min(timeout_ / 20, std::chrono::milliseconds(250)));
  std::unique_lock guard(lock_);
  while (!stop_.wait_for(guard, look, [this] { return stopping_; })) {
    if (depth_ == 0) continue;
    const auto waited = std::chrono::steady_clock::now() - stepStart_;
    if (waited >= timeout_) {
      guard.unlock();
      ReportHang(std::chrono::duration_cast<std::chrono::milliseconds>(waited));
    }
  }
}

void THangWatch::ReportHang(std::chrono::milliseconds Waited) noexcept {
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
    if (const char* doing = CrashActivity(); *doing) out.Add("\n  while the IDE was ").Add(doing);
    // Wine ends a thread whose stack overflowed past the room its handlers
    // need, without a word to the process.
    if (count > 0 && !mainListed) out.Add("\n  the main thread is gone: it ended without returning");
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
    WriteMessageJournal(out);
  }
  RunCrashCleanup();
  EndProcessNow(CrashExitStatus);
}
