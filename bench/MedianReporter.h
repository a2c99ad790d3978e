#pragma once
// The console output, plus the median real and CPU time of every benchmark
// by function name and thread count, for ratios printed after the run.
#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TMedianReporter : public benchmark::ConsoleReporter {
 public:
  struct TTimes {
    double Real;
    double Cpu;
  };

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians_[{run.run_name.function_name, run.threads}] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    ConsoleReporter::ReportRuns(runs);
  }

  std::optional<TTimes> Median(const std::string& function, int64_t threads = 1) const {
    const auto it = medians_.find({function, threads});
    if (it == medians_.end()) return std::nullopt;
    return it->second;
  }

 private:
  std::map<std::pair<std::string, int64_t>, TTimes> medians_;
};

// Runs the benchmarks the command line selects through the reporter.
inline bool RunWithMedians(int& argc, char** argv, TMedianReporter& reporter) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return false;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return true;
}
