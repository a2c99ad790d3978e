// Loading N plug-ins (N = 10, 100, 1000 copies of one small plug-in with a
// version resource, a 32 by 32 icon and an empty InitPlugin): the plug-in
// list's LoadPlugins and UnloadPlugins (probe, load, InitPlugin, version
// texts, icon, Shutdown, free) beside the bare loader doing dlopen, dlsym of
// "InitPlugin" and "Shutdown" and dlclose over the same files. The two run
// in turn, each run timed whole; medians are reported with their ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/BareLoader.h"
#include "plugins/Qorb.Main.LoadedPluginList.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double bareMs = 0;
  double oursMs = 0;
};
std::map<int, Figures> results;

// The host's plug-in folder is Plugins/ beside this program; it is pointed
// at the copies for N.
void UsePluginsOf(int n) {
  const fs::path link = fs::path(QORB_LOADING_DIR) / "Plugins";
  std::error_code ec;
  fs::remove(link, ec);
  fs::create_directory_symlink("plugins-" + std::to_string(n), link);
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double BareLoader() {
  const auto start = Clock::now();
  BareLoadFolder(std::string(QORB_LOADING_DIR) + "/Plugins");
  return Ms(Clock::now() - start);
}

double OurLoading(int n, bool& complete) {
  const auto start = Clock::now();
  {
    TLoadedPluginList list;
    list.LoadPlugins(TGetInterface{});
    const auto plugins = list.GetLoadedPlugins();
    complete = plugins.Length() == n && plugins[0].Graphic && !plugins[0].Version.IsEmpty();
  }
  return Ms(Clock::now() - start);
}


void BM_LoadPlugins(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  UsePluginsOf(n);
  bool complete = false;
  BareLoader();  // both read the files from the page cache from here on
  OurLoading(n, complete);
  if (!complete) {
    state.SkipWithError("the plug-in list did not load every copy with its version and icon");
    return;
  }
  std::vector<double> bare, ours;
  for (auto _ : state) {
    // In turn, and which goes first alternates.
    if (bare.size() % 2) {
      bare.push_back(BareLoader());
      ours.push_back(OurLoading(n, complete));
    } else {
      ours.push_back(OurLoading(n, complete));
      bare.push_back(BareLoader());
    }
    state.SetIterationTime((bare.back() + ours.back()) / 1000);
  }
  Figures& f = results[n];
  f.bareMs = Median(bare);
  f.oursMs = Median(ours);
  state.counters["bare_ms"] = f.bareMs;
  state.counters["ours_ms"] = f.oursMs;
  state.counters["ratio"] = f.oursMs / f.bareMs;
  state.counters["ours_us_per_plugin"] = f.oursMs * 1000 / n;
}
BENCHMARK(BM_LoadPlugins)->Arg(10)->Iterations(301)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlugins)->Arg(100)->Iterations(61)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlugins)->Arg(1000)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (results.empty()) return 0;
  std::printf("\n%6s %10s %10s %6s %18s %18s %18s\n", "N", "ours ms", "bare ms", "ratio", "ours us/plug-in",
              "bare us/plug-in", "beyond bare us");
  for (const auto& [n, f] : results)
    std::printf("%6d %10.2f %10.2f %6.2f %18.1f %18.1f %18.1f\n", n, f.oursMs, f.bareMs, f.oursMs / f.bareMs,
                f.oursMs * 1000 / n, f.bareMs * 1000 / n, (f.oursMs - f.bareMs) * 1000 / n);
  if (results.count(10) && results.count(1000)) {
    // The bare loader's own cost per library grows with the number loaded
    // (it compares names against every loaded object): what is ours is
    // the part beyond it.
    const Figures& a = results[10];
    const Figures& b = results[1000];
    std::printf("per-plug-in cost at N = 1000 / at N = 10: ours %.2f, bare loader %.2f, ours beyond the bare loader %.2f\n",
                (b.oursMs / 1000) / (a.oursMs / 10), (b.bareMs / 1000) / (a.bareMs / 10),
                ((b.oursMs - b.bareMs) / 1000) / ((a.oursMs - a.bareMs) / 10));
  }
  return 0;
}
