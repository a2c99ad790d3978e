#pragma once
// qorb-ide --hang-timeout: a watchdog over the IDE's main thread. While the
// main thread is inside a step that calls plug-in code (loading, a click,
// a page, the main loop's work, shutting down), a step that has not ended
// after the timeout ends the process with a report of what the IDE was
// doing and every thread's stack, and the crash report's exit status.
// From WatchToTheEnd on, everything the process still does (printing, its
// exit) is one last step: a run never hangs unwatched.
#include <chrono>
#include <memory>

class THangWatch {
 public:
  explicit THangWatch(std::chrono::milliseconds Timeout);
  // Stops watching, unless WatchToTheEnd was called.
  ~THangWatch();
  THangWatch(const THangWatch&) = delete;
  THangWatch& operator=(const THangWatch&) = delete;

  // Main thread: a step is watched while one of these lives. Steps may nest;
  // the outermost one is timed. A step that ends while its hang is being
  // reported waits for the report to end the process, so that the report
  // tells what hung, not what came after.
  class TStep {
   public:
    explicit TStep(THangWatch& Watch) noexcept;
    ~TStep();
    TStep(const TStep&) = delete;
    TStep& operator=(const TStep&) = delete;

   private:
    THangWatch& watch_;
  };

  // Main thread: what is left of the run, to the process's exit, is a step
  // the watch outlives this object to time.
  void WatchToTheEnd() noexcept;

  struct TState;

 private:
  std::shared_ptr<TState> state_;
};
