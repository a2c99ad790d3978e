#pragma once
// The IDE's main-thread loop. Other threads hand work over with Post (or
// Wake, for work that a source will find); the main thread runs it from
// RunUntilIdle. Window messages join as a work source.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "rtl/Exception.h"
#include "rtl/OwnMutex.h"

class TMainLoop {
 public:
  using TTask = std::function<void()>;
  // Polled on the main thread each round; answers how much it handled.
  using TWorkSource = std::function<size_t()>;
  // Whether a source has work waiting (main thread); lets a wait end for
  // work that arrives without Post or Wake, such as window messages.
  using TPending = std::function<bool()>;
  // What the loop does with an exception that a task or source raised.
  using TErrorHandler = std::function<void(const CaughtException&)>;

  // The constructing thread is the main thread.
  TMainLoop();

  bool IsMainThread() const noexcept { return std::this_thread::get_id() == mainThread_; }

  // Any thread.
  void Post(TTask Task);
  void Wake();

  int AddWorkSource(TWorkSource Source, TPending Pending = {});
  void RemoveWorkSource(int Id);
  void SetErrorHandler(TErrorHandler Handler);

  // Main thread only (std::logic_error otherwise); may nest. Runs posted
  // tasks and polls the sources until a round finds nothing to do, or
  // until a bounded number of rounds when work keeps coming. Answers how
  // many tasks and items ran.
  size_t RunUntilIdle();
  // Waits up to Timeout for a Post or Wake from another thread or for a
  // source's pending work (returns at once when there is some), then runs
  // until idle.
  size_t WaitAndRun(std::chrono::milliseconds Timeout);
  // The waiting half of WaitAndRun: answers whether work came.
  bool WaitForWork(std::chrono::milliseconds Timeout);

  static constexpr size_t MaxRounds = 10000;
  // How often a wait looks at the sources' pending work.
  static constexpr std::chrono::milliseconds PendingPollInterval{2};

 private:
  struct Source {
    int Id;
    std::shared_ptr<TWorkSource> Fn;
    std::shared_ptr<TPending> Pending;
  };
  bool SourcesPending();
  size_t RunRound();
  void Report();

  const std::thread::id mainThread_;
  TMutex lock_;
  std::condition_variable_any wakeup_;
  std::deque<TTask> tasks_;
  bool woken_ = false;
  std::vector<Source> sources_;
  int nextSourceId_ = 1;
  TErrorHandler onError_;
};
