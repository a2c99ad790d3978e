// Publishing an event to one handler, next to a Boost.Signals2 emission to
// one slot; ten subscribed identifiers next to ten slots; and the event's
// own part of a publish, which the bus cannot save.
#include <benchmark/benchmark.h>

#include <boost/signals2/signal.hpp>
#include <cstdio>

#include "bench/MedianReporter.h"
#include "eventbus/Qorb.Main.EventBus.Impl.h"
#include "rtl/InterfacedObject.h"

namespace {

template <int N>
struct IBenchEvent : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = {0x5EB00000u + N, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
};

class TEvent : public TInterfacedObjectOf<IBenchEvent<0>> {};

class THandler : public TObject {
 public:
  int64_t Calls = 0;
  void On(IBenchEvent<0>*) { ++Calls; }
  template <int N>
  void OnOther(IBenchEvent<N>*) {}
};

void BM_PublishToOneHandler(benchmark::State& state) {
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  THandler handler;
  QorbSubscribe<&THandler::On>(bus.get(), &handler, UnicodeString(u"On"));
  ComPtr<TEvent> event = Make<TEvent>();
  for (auto _ : state) bus->Publish(event->AsIInterface());
  benchmark::DoNotOptimize(handler.Calls);
}
BENCHMARK(BM_PublishToOneHandler)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Signals2EmitToOneSlot(benchmark::State& state) {
  boost::signals2::signal<void(IInterface*)> signal;
  int64_t calls = 0;
  signal.connect([&calls](IInterface*) { ++calls; });
  ComPtr<TEvent> event = Make<TEvent>();
  for (auto _ : state) signal(event->AsIInterface());
  benchmark::DoNotOptimize(calls);
}
BENCHMARK(BM_Signals2EmitToOneSlot)->Repetitions(5)->ReportAggregatesOnly(true);

// Ten identifiers with a handler each; the event answers one of them, so a
// publish asks ten queries and calls one handler.
template <int... N>
void SubscribeOthers(TQorbEventBus* bus, THandler* handler, std::integer_sequence<int, N...>) {
  (QorbSubscribe<&THandler::OnOther<N + 1>>(bus, handler, UnicodeString(u"Other")), ...);
}

void BM_PublishWithTenIdentifiers(benchmark::State& state) {
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  THandler handler;
  QorbSubscribe<&THandler::On>(bus.get(), &handler, UnicodeString(u"On"));
  SubscribeOthers(bus.get(), &handler, std::make_integer_sequence<int, 9>{});
  ComPtr<TEvent> event = Make<TEvent>();
  for (auto _ : state) bus->Publish(event->AsIInterface());
  benchmark::DoNotOptimize(handler.Calls);
}
BENCHMARK(BM_PublishWithTenIdentifiers)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Signals2EmitToTenSlots(benchmark::State& state) {
  boost::signals2::signal<void(IInterface*)> signal;
  int64_t calls = 0;
  for (int i = 0; i < 10; ++i) signal.connect([&calls](IInterface*) { ++calls; });
  ComPtr<TEvent> event = Make<TEvent>();
  for (auto _ : state) signal(event->AsIInterface());
  benchmark::DoNotOptimize(calls);
}
BENCHMARK(BM_Signals2EmitToTenSlots)->Repetitions(5)->ReportAggregatesOnly(true);

// What the event object itself does in a publish to one handler: it is asked
// once when the snapshot is taken and once more for the handler's call, and
// each answer is a reference it counts up and down. Every publish that asks
// as often pays this much before any work of the bus.
void BM_EventsOwnQueries(benchmark::State& state) {
  THandler handler;
  ComPtr<TEvent> event = Make<TEvent>();
  IInterface* e = event->AsIInterface();
  const GUID& iid = IBenchEvent<0>::IID;
  for (auto _ : state) {
    void* intf = nullptr;
    if (e->QueryInterface(iid, &intf) == S_OK) static_cast<IInterface*>(intf)->Release();
    if (e->QueryInterface(iid, &intf) == S_OK) {
      handler.On(static_cast<IBenchEvent<0>*>(intf));
      benchmark::ClobberMemory();
      static_cast<IInterface*>(intf)->Release();
    }
  }
  benchmark::DoNotOptimize(handler.Calls);
}
BENCHMARK(BM_EventsOwnQueries)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  TMedianReporter reporter;
  if (!RunWithMedians(argc, argv, reporter)) return 1;
  const auto one = reporter.Median("BM_PublishToOneHandler");
  const auto slot = reporter.Median("BM_Signals2EmitToOneSlot");
  const auto ten = reporter.Median("BM_PublishWithTenIdentifiers");
  const auto slots = reporter.Median("BM_Signals2EmitToTenSlots");
  const auto own = reporter.Median("BM_EventsOwnQueries");
  if (one && slot)
    std::printf("Publish to one handler: %.1f ns, Signals2 to one slot %.1f ns, ratio %.2f\n", one->Real, slot->Real,
                one->Real / slot->Real);
  if (ten && slots)
    std::printf("Publish with ten identifiers: %.1f ns, Signals2 to ten slots %.1f ns, ratio %.2f\n", ten->Real,
                slots->Real, ten->Real / slots->Real);
  if (one && slot && own)
    std::printf("The event's own queries: %.1f ns, ratio %.2f to Signals2 to one slot; the bus adds %.1f ns\n",
                own->Real, own->Real / slot->Real, one->Real - own->Real);
  return 0;
}
