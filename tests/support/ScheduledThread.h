#pragma once
// A thread that runs one job when the test first lets it and stops at the
// named points of the job's path that the test asks for, so interleavings
// that preemption makes rare happen every time. The code under test is
// compiled with its points switched on (rtl/SchedulePoint.h), and with
// ScheduledThread.cpp, where they arrive.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TScheduledThread {
 public:
  explicit TScheduledThread(std::function<void()> job) : job_(std::move(job)) {
    thread_ = std::thread([this] {
      Current() = this;
      {
        std::unique_lock lock(lock_);
        changed_.wait(lock, [&] { return started_; });
      }
      job_();
      const std::lock_guard lock(lock_);
      done_ = true;
      changed_.notify_all();
    });
  }
  TScheduledThread(const TScheduledThread&) = delete;
  TScheduledThread& operator=(const TScheduledThread&) = delete;
  ~TScheduledThread() { Finish(); }

  // Lets the job run until it stops at POINT; false when it finished first
  // or did not get there in time.
  bool RunTo(const char* point) {
    std::unique_lock lock(lock_);
    stopAt_ = point;
    started_ = true;
    changed_.notify_all();
    return changed_.wait_for(lock, kPatience, [&] { return stoppedAt_ == point || done_; }) && !done_;
  }
  // Lets the job run to its end; false when it did not get there in time.
  bool TryFinish(std::chrono::milliseconds patience) {
    std::unique_lock lock(lock_);
    stopAt_.clear();
    started_ = true;
    changed_.notify_all();
    return changed_.wait_for(lock, patience, [&] { return done_; });
  }
  void Finish() {
    if (!TryFinish(kPatience)) {
      ADD_FAILURE() << "a scheduled thread did not finish";
      std::abort();  // its thread cannot be joined
    }
    if (thread_.joinable()) thread_.join();
  }

  // Called at every point the code under test passes.
  static void Arrive(const char* point) {
    if (TScheduledThread* self = Current()) self->Stop(point);
  }

 private:
  static constexpr auto kPatience = std::chrono::seconds(10);
  static TScheduledThread*& Current() {
    thread_local TScheduledThread* current = nullptr;
    return current;
  }
  void Stop(const char* point) {
    std::unique_lock lock(lock_);
    if (stopAt_ != point) return;
    stoppedAt_ = point;
    changed_.notify_all();
    changed_.wait(lock, [&] { return stopAt_ != point; });
    stoppedAt_.clear();
  }

  std::function<void()> job_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::string stopAt_, stoppedAt_;
  bool started_ = false, done_ = false;
  std::thread thread_;
};
