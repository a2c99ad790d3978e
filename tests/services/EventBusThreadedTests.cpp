#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/services/EventTypes.h"

namespace {

// Subscribers outlive every publish that may still reach them: a publish
// on another thread may call a handler after its Unsubscribe.
class TCounter : public TObject {
 public:
  std::atomic<int> Pings{0};
  std::atomic<int> Pongs{0};
  IQorbEventBus* Bus = nullptr;
  std::vector<TCounter>* Nested = nullptr;
  void OnPing(IPingEvent*) { ++Pings; }
  // Subscribes, publishes and unsubscribes from inside a handler, while
  // other threads do the same.
  void OnPong(IPongEvent* e) {
    ++Pongs;
    if (e->Value() % 16 == 0) {
      TCounter& nested = (*Nested)[static_cast<size_t>(e->Value() / 16)];
      QorbSubscribe<&TCounter::OnPing>(Bus, &nested, UnicodeString(u"Nested"));
      Bus->Publish(Make<TPing>()->AsIInterface());
      Bus->Unsubscribe(&nested);
    }
  }
};

}  // namespace

TEST(EventBusThreaded, PublishSubscribeAndUnsubscribeFromManyThreadsAtOnce) {
  constexpr int kThreads = 6;
  constexpr int kRounds = 300;
  constexpr int kPublishes = 5;
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  std::vector<TCounter> nestedCounters((kThreads * kRounds + 15) / 16);
  std::vector<TCounter> roundCounters(kThreads * kRounds);
  TCounter steady;
  steady.Bus = bus.get();
  steady.Nested = &nestedCounters;
  QorbSubscribe<&TCounter::OnPing>(bus.get(), &steady, UnicodeString(u"OnPing"));
  QorbSubscribe<&TCounter::OnPong>(bus.get(), &steady, UnicodeString(u"OnPong"));

  std::atomic<int> pingsPublished{0}, pongsPublished{0}, shortChanged{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int r = 0; r < kRounds; ++r) {
        TCounter& mine = roundCounters[static_cast<size_t>(t * kRounds + r)];
        QorbSubscribe<&TCounter::OnPing>(bus.get(), &mine, UnicodeString(u"Mine"));
        for (int i = 0; i < kPublishes; ++i) {
          bus->Publish(Make<TPing>(i)->AsIInterface());
          ++pingsPublished;
        }
        bus->Publish(Make<TPong>(t * kRounds + r)->AsIInterface());
        ++pongsPublished;
        bus->Unsubscribe(&mine);
        // Its own publishes all reached it; others' may have too.
        if (mine.Pings.load() < kPublishes) ++shortChanged;
      }
    });
  for (std::thread& th : threads) th.join();

  EXPECT_EQ(shortChanged.load(), 0);
  EXPECT_EQ(steady.Pongs.load(), pongsPublished.load());
  // Every ping, including those published from handlers, reached the steady subscriber.
  const int nested = (kThreads * kRounds + 15) / 16;
  EXPECT_EQ(steady.Pings.load(), pingsPublished.load() + nested);
  // Only the steady subscriber is left.
  EXPECT_EQ(bus->SubscriptionsFor(IPingEvent::IID).size(), 1u);
  EXPECT_EQ(bus->RefCount(), 1);
}
