// What the foreign-call boundary adds to one call: the same function called
// directly, through CallForeign, and under the mark our entry points make
// when foreign code calls them, side by side.
#include <benchmark/benchmark.h>

#include "rtl/ForeignCall.h"

namespace {

__attribute__((noinline)) int Foreign(int x) {
  benchmark::ClobberMemory();
  return x + 1;
}

void BM_DirectCall(benchmark::State& state) {
  int (*volatile fn)(int) = &Foreign;
  int x = 0;
  for (auto _ : state) x = fn(x);
  benchmark::DoNotOptimize(x);
}
BENCHMARK(BM_DirectCall)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ThroughTheBoundary(benchmark::State& state) {
  int (*volatile fn)(int) = &Foreign;
  int x = 0;
  for (auto _ : state) x = CallForeign({u"bench", reinterpret_cast<const void*>(fn)}, [&] { return fn(x); });
  benchmark::DoNotOptimize(x);
}
BENCHMARK(BM_ThroughTheBoundary)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_UnderAnOwnFrame(benchmark::State& state) {
  int (*volatile fn)(int) = &Foreign;
  int x = 0;
  for (auto _ : state) {
    const TOwnFrame ours;
    x = fn(x);
  }
  benchmark::DoNotOptimize(x);
}
BENCHMARK(BM_UnderAnOwnFrame)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
