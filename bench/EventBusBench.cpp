// Publishing an event to one handler, next to a Boost.Signals2 emission to
// one slot; and the matching cost of ten subscribed identifiers.
#include <benchmark/benchmark.h>

#include <boost/signals2/signal.hpp>

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

}  // namespace
