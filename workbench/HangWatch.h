#pragma once
// qorb-ide --hang-timeout: a watchdog over the IDE's main thread. While the
// main thread is inside a step that calls plug-in code (loading, a click,
// a page, the main loop's work, shutting down), a step that has not ended
// after the timeout ends the process with a report of what the IDE was
// doing and every thread's stack, and the crash report's exit status.
// WatchTheExit watches the process's end the same way.
#include <chrono>
#include <memory>

// The program's main thread, after the run: what is left to the process's
// exit (library finalization, exit handlers) is one last step, timed by a
// watch that lives until the process ends.
void WatchTheExit(std::chrono::milliseconds Timeout);

class THangWatch {
 public:
  explicit THangWatch(std::chrono::milliseconds Timeout);
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

  struct TState;

 private:
  std::shared_ptr<TState> state_;
};
