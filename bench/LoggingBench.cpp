// What a log line costs the thread that writes it, next to an asynchronous
// spdlog logger writing the same line to a null sink; and what handing a
// queued batch to the message view costs the IDE's main thread.
#include <benchmark/benchmark.h>
#include <spdlog/async.h>
#include <spdlog/async_logger.h>
#include <spdlog/sinks/null_sink.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "bench/MedianReporter.h"
#include "ide/IDE.h"
#include "ide/MessageView.h"
#include "logging/Qorb.Main.Logging.h"
#include "toolsapi/Globals.h"

namespace {

// The simulated IDE on a main thread of its own. Like a real one, it gets
// to its message queue between other work (here: at most once a
// millisecond); it empties the "Qorb" group after each delivery so that
// memory stays flat.
class TIdeThread {
 public:
  TIdeThread() {
    std::unique_lock lock(lock_);
    thread_ = std::thread([this] { Run(); });
    started_.wait(lock, [this] { return ready_; });
  }
  ~TIdeThread() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    TIDE ide;
    BorlandIDEServices = ide.ServicesObject();
    LoggingInitialization();
    TMessageView* view = ide.Services().Service<TMessageView>();
    {
      std::lock_guard lock(lock_);
      ready_ = true;
    }
    started_.notify_all();
    while (!stop_) {
      if (!WaitForMessage(20)) continue;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ProcessMessages();
      if (ComPtr<TMessageGroup> group = view->FindGroup(u"Qorb")) group->Clear();
    }
    LoggingFinalization();
    BorlandIDEServices.reset();
  }

  std::mutex lock_;
  std::condition_variable started_;
  bool ready_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TIdeThread& Ide() {
  static TIdeThread ide;
  return ide;
}

const UnicodeString kSource(u"Worker");
const UnicodeString kText(u"processed item 42 of the current batch");

void BM_Post(benchmark::State& state) {
  if (state.thread_index() == 0) Ide();
  for (auto _ : state) LogInfo(kSource, kText);
}
BENCHMARK(BM_Post)->Threads(1)->Threads(4)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

std::shared_ptr<spdlog::async_logger> SpdLogger() {
  static std::once_flag once;
  static std::shared_ptr<spdlog::async_logger> logger;
  std::call_once(once, [] {
    spdlog::init_thread_pool(8192, 1);
    logger = std::make_shared<spdlog::async_logger>("bench", std::make_shared<spdlog::sinks::null_sink_mt>(),
                                                    spdlog::thread_pool(), spdlog::async_overflow_policy::block);
  });
  return logger;
}

void BM_SpdlogAsyncNullSink(benchmark::State& state) {
  static const std::string source = kSource.ToUtf8();
  static const std::string text = kText.ToUtf8();
  std::shared_ptr<spdlog::async_logger> logger = SpdLogger();
  for (auto _ : state) logger->info("[{}] {}", source, text);
}
BENCHMARK(BM_SpdlogAsyncNullSink)->Threads(1)->Threads(4)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// One wake-up that carries 10,000 waiting lines into the message view.
void BM_DeliverBatchOf10000(benchmark::State& state) {
  Ide();
  TQorbLogger logger;  // its window belongs to this thread
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 10000; ++i) logger.Post(kSource, kText, qllInfo);
    state.ResumeTiming();
    ProcessMessages();
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_DeliverBatchOf10000)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  TMedianReporter reporter;
  if (!RunWithMedians(argc, argv, reporter)) return 1;
  for (const int64_t threads : {1, 4}) {
    const auto ours = reporter.Median("BM_Post", threads);
    const auto spd = reporter.Median("BM_SpdlogAsyncNullSink", threads);
    if (!ours || !spd) continue;
    std::printf("Post from %lld thread%s: %.1f ns, spdlog async on a null sink %.1f ns, ratio %.2f"
                " (CPU time: %.1f ns against %.1f ns, ratio %.2f)\n",
                static_cast<long long>(threads), threads == 1 ? "" : "s", ours->Real, spd->Real, ours->Real / spd->Real,
                ours->Cpu, spd->Cpu, ours->Cpu / spd->Cpu);
  }
  return 0;
}
