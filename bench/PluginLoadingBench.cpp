// What loading one plug-in costs the host: the probe, the real load, the
// version texts and the icon, all from one file (read once and shared).
#include <benchmark/benchmark.h>

#include "plugins/Qorb.Main.PluginGraphics.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "winapi/Modules.h"

namespace {

const UnicodeString& PluginPath() {
  static const UnicodeString path = UnicodeString::FromUtf8(QORB_BENCH_PLUGIN);
  return path;
}

void BM_Probe(benchmark::State& state) {
  for (auto _ : state) {
    HMODULE probe = LoadLibraryExW(PluginPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    benchmark::DoNotOptimize(GetProcAddress(probe, "InitPlugin"));
    FreeLibrary(probe);
  }
}
BENCHMARK(BM_Probe);

void BM_VersionInfo(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GetQorbVersionInfo(PluginPath()));
}
BENCHMARK(BM_VersionInfo);

// The icon of a loaded plug-in: its resource found, decoded and made a bitmap.
void BM_Icon(benchmark::State& state) {
  HMODULE lib = LoadLibraryW(PluginPath().c_str());
  for (auto _ : state) benchmark::DoNotOptimize(LoadPngResourceBitmap(lib, UnicodeString(u"QORBPLUGINICON")));
  FreeLibrary(lib);
}
BENCHMARK(BM_Icon);

// The whole path a plug-in file takes, minus its own InitPlugin.
void BM_ProbeLoadDescribeUnload(benchmark::State& state) {
  for (auto _ : state) {
    HMODULE probe = LoadLibraryExW(PluginPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    benchmark::DoNotOptimize(GetProcAddress(probe, "InitPlugin"));
    FreeLibrary(probe);
    HMODULE lib = LoadLibraryW(PluginPath().c_str());
    benchmark::DoNotOptimize(GetQorbVersionInfo(PluginPath()));
    benchmark::DoNotOptimize(LoadPngResourceBitmap(lib, UnicodeString(u"QORBPLUGINICON")));
    FreeLibrary(lib);
  }
}
BENCHMARK(BM_ProbeLoadDescribeUnload)->Unit(benchmark::kMicrosecond);

}  // namespace
