#include "ide/MainLoop.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

TMainLoop::TMainLoop() : mainThread_(std::this_thread::get_id()) {}

void TMainLoop::Post(TTask Task) {
  {
    std::lock_guard lock(lock_);
    tasks_.push_back(std::move(Task));
  }
  wakeup_.notify_all();
}

void TMainLoop::Wake() {
  {
    std::lock_guard lock(lock_);
    woken_ = true;
  }
  wakeup_.notify_all();
}

int TMainLoop::AddWorkSource(TWorkSource Fn, TPending Pending) {
  std::lock_guard lock(lock_);
  sources_.push_back({nextSourceId_, std::make_shared<TWorkSource>(std::move(Fn)),
                      Pending ? std::make_shared<TPending>(std::move(Pending)) : nullptr});
  return nextSourceId_++;
}

void TMainLoop::RemoveWorkSource(int Id) {
  std::lock_guard lock(lock_);
  std::erase_if(sources_, [Id](const Source& s) { return s.Id == Id; });
}

void TMainLoop::SetErrorHandler(TErrorHandler Handler) {
  std::lock_guard lock(lock_);
  onError_ = std::move(Handler);
}

void TMainLoop::Report() {
  CaughtException e = DescribeCurrentException();
  TErrorHandler handler;
  {
    std::lock_guard lock(lock_);
    handler = onError_;
  }
  if (handler) handler(e);
}

size_t TMainLoop::RunRound() {
  std::deque<TTask> tasks;
  std::vector<Source> sources;
  {
    std::lock_guard lock(lock_);
    tasks.swap(tasks_);
    sources = sources_;
    woken_ = false;
  }
  size_t done = 0;
  for (TTask& task : tasks) {
    ++done;
    try {
      task();
    } catch (...) {
      Report();
    }
  }
  for (const Source& s : sources) {
    try {
      done += (*s.Fn)();
    } catch (...) {
      Report();
    }
  }
  return done;
}

size_t TMainLoop::RunUntilIdle() {
  if (!IsMainThread()) throw std::logic_error("the main loop runs on the main thread only");
  size_t total = 0;
  for (size_t round = 0; round < MaxRounds; ++round) {
    const size_t done = RunRound();
    if (done == 0) break;
    total += done;
  }
  return total;
}

bool TMainLoop::SourcesPending() {
  std::vector<Source> sources;
  {
    std::lock_guard lock(lock_);
    sources = sources_;
  }
  for (const Source& s : sources) {
    try {
      if (s.Pending && (*s.Pending)()) return true;
    } catch (...) {
      Report();
    }
  }
  return false;
}

size_t TMainLoop::WaitAndRun(std::chrono::milliseconds Timeout) {
  WaitForWork(Timeout);
  return RunUntilIdle();
}

bool TMainLoop::WaitForWork(std::chrono::milliseconds Timeout) {
  if (!IsMainThread()) throw std::logic_error("the main loop runs on the main thread only");
  const auto deadline = std::chrono::steady_clock::now() + Timeout;
  for (;;) {
    if (SourcesPending()) return true;
    std::unique_lock lock(lock_);
    const bool anyPending = std::any_of(sources_.begin(), sources_.end(), [](const Source& s) { return s.Pending != nullptr; });
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    // Without pending checks only Post and Wake can end the wait early.
    const auto until = anyPending ? std::min(deadline, now + PendingPollInterval) : deadline;
    if (wakeup_.wait_until(lock, until, [this] { return woken_ || !tasks_.empty(); })) return true;
  }
}
