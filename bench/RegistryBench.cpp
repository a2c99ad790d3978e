// A plug-in's lookup through the registry with the host's four entries.
#include <benchmark/benchmark.h>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "rtl/InterfacedObject.h"

namespace {

template <int N>
struct IService : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = {0x51000000u + N, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
};

template <int N>
class TService : public TInterfacedObjectOf<IService<N>> {};

void BM_LookupLastOfFour(benchmark::State& state) {
  TPluginInterfaceRegistry registry;
  registry.Add(Make<TService<0>>()->AsIInterface());
  registry.Add(Make<TService<1>>()->AsIInterface());
  registry.Add(Make<TService<2>>()->AsIInterface());
  registry.Add(Make<TService<3>>()->AsIInterface());
  const TGetInterface callback = registry.Callback();
  for (auto _ : state) benchmark::DoNotOptimize(callback.Get<IService<3>>());
}
BENCHMARK(BM_LookupLastOfFour);

void BM_LookupUnknown(benchmark::State& state) {
  TPluginInterfaceRegistry registry;
  registry.Add(Make<TService<0>>()->AsIInterface());
  const TGetInterface callback = registry.Callback();
  for (auto _ : state) benchmark::DoNotOptimize(callback.Get<IService<9>>());
}
BENCHMARK(BM_LookupUnknown);

}  // namespace
