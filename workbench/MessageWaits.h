#pragma once
// qorb-ide --wait-for: the message-view lines a run has seen, and waiting
// on the IDE's main loop for one that contains a text. Each wait starts
// after the line the previous one found, so texts are met in order.
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TIDE;

class TMessageWaits {
 public:
  // Sees every line added from now on, from any thread, until the IDE goes.
  explicit TMessageWaits(TIDE& Ide);
  TMessageWaits(const TMessageWaits&) = delete;
  TMessageWaits& operator=(const TMessageWaits&) = delete;

  // Main thread. Runs the main loop until a line containing Text has been
  // added or Timeout has passed; answers "" when found, else why not with
  // the last lines seen. RunWork runs what has come (the main loop's
  // RunUntilIdle, or a wrapper that watches it).
  std::string WaitFor(const std::string& Text, std::chrono::milliseconds Timeout,
                      const std::function<void()>& RunWork);

  static constexpr size_t LinesShownOnFailure = 5;

 private:
  bool Found(const std::string& Text);
  std::string Failure(const std::string& Text, std::chrono::milliseconds Timeout) const;

  struct Seen {
    std::mutex lock;
    std::vector<std::string> lines;
  };
  TIDE& ide_;
  // Shared with the view, which may add lines after this object is gone.
  std::shared_ptr<Seen> seen_ = std::make_shared<Seen>();
  size_t next_ = 0;  // where the next wait starts looking
};
