#pragma once
// qorb-ide --hang-timeout: a watchdog over the IDE's main thread. While the
// main thread is inside a step that calls plug-in code (loading, a click,
// a page, the main loop's work, shutting down), a step that has not ended
// after the timeout ends the process with a report of what the IDE was
// doing and every thread's stack, and the crash report's exit status.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class THangWatch {
 public:
  explicit THangWatch(std::chrono::milliseconds Timeout);
  ~THangWatch();
  THangWatch(const THangWatch&) = delete;
  THangWatch& operator=(const THangWatch&) = delete;

  // Main thread: a step is watched while one of these lives. Steps may nest;
  // the outermost one is timed.
  class TStep {
   public:
    explicit TStep(THangWatch& Watch) noexcept;
    ~TStep();
    TStep(const TStep&) = delete;
    TStep& operator=(const TStep&) = delete;

   private:
    THangWatch& watch_;
  };

 private:
  void Watch();
  [[noreturn]] void ReportHang(std::chrono::milliseconds Waited) noexcept;

  const std::chrono::milliseconds timeout_;
  std::mutex lock_;
  std::condition_variable stop_;
  bool stopping_ = false;
  int depth_ = 0;
  std::chrono::steady_clock::time_point stepStart_{};
  std::thread watcher_;
};
