#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "rtl/ForeignCallNow.h"
#include "tests/services/EventTypes.h"

namespace {

// Subscribers outlive every publish that may still reach them: a publish
// on another thread may call a handler after its Unsubscribe.
class TCounter : public TObject {
 public:
  std::atomic<int> Pings{0}, Pongs{0};
  IQorbEventBus* Bus = nullptr;
  std::vector<TCounter>* Nested = nullptr;
  void OnPing(IPingEvent*) { ++Pings; }
  // Subscribes, publishes and unsubscribes from inside a handler, while
  // other threads do the same.
  void OnPong(IPongEvent* e) {
    ++Pongs;
    if (e->Value() % 16 != 0) return;
    TCounter& nested = (*Nested)[static_cast<size_t>(e->Value() / 16)];
    QorbSubscribe<&TCounter::OnPing>(Bus, &nested, UnicodeString(u"Nested"));
    Bus->Publish(Make<TPing>()->AsIInterface());
    Bus->Unsubscribe(&nested);
  }
};

// While it is asked, and while its handler runs, another thread asks the
// bus something under the bus's lock and must get in: a publish holds no
// lock of the bus across foreign code. Everything foreign it runs, it runs
// inside a call into foreign code.
class TWatchedPing : public TPing {
 public:
  explicit TWatchedPing(TQorbEventBus* bus) : bus_(bus) {}
  HRESULT QueryInterface(const GUID& iid, void** obj) override {
    Check();
    return TPing::QueryInterface(iid, obj);
  }
  void Check() {
    if (!InnermostForeignCall()) ++outsideACall;
    std::mutex lock;
    std::condition_variable done;
    bool answered = false;
    std::thread other([&] {
      bus_->IdentifierCount();
      const std::lock_guard guard(lock);
      answered = true;
      done.notify_one();
    });
    {
      std::unique_lock guard(lock);
      if (!done.wait_for(guard, std::chrono::seconds(10), [&] { return answered; })) ++blocked;
    }
    // Joined in any case: once the publish lets go of the lock, it ends.
    waiting.push_back(std::move(other));
  }
  int outsideACall = 0, blocked = 0;
  std::vector<std::thread> waiting;

 private:
  TQorbEventBus* bus_;
};

class TPingWatcher : public TObject {
 public:
  TWatchedPing* Event = nullptr;
  int Calls = 0;
  void OnPing(IPingEvent*) {
    ++Calls;
    Event->Check();
  }
};

}  // namespace

TEST(EventBusThreaded, APublishHoldsNoLockOfTheBusAcrossTheEventOrItsHandlers) {
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  TPingWatcher watcher;
  QorbSubscribe<&TPingWatcher::OnPing>(bus.get(), &watcher, UnicodeString(u"OnPing"));
  ComPtr<TWatchedPing> event = Make<TWatchedPing>(bus.get());
  watcher.Event = event.get();
  bus->Publish(event->AsIInterface());
  for (std::thread& t : event->waiting) t.join();
  EXPECT_EQ(watcher.Calls, 1);
  EXPECT_EQ(event->waiting.size(), 3u);  // the match, the handler's query, the handler
  EXPECT_EQ(event->blocked, 0);
  EXPECT_EQ(event->outsideACall, 0);
}

TEST(EventBusThreaded, PublishSubscribeAndUnsubscribeFromManyThreadsAtOnce) {
  constexpr int kThreads = 6, kRounds = 300, kPublishes = 5, kNested = (kThreads * kRounds + 15) / 16;
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  std::vector<TCounter> nestedCounters(kNested), roundCounters(kThreads * kRounds);
  TCounter steady;
  steady.Bus = bus.get();
  steady.Nested = &nestedCounters;
  QorbSubscribe<&TCounter::OnPing>(bus.get(), &steady, UnicodeString(u"OnPing"));
  QorbSubscribe<&TCounter::OnPong>(bus.get(), &steady, UnicodeString(u"OnPong"));

  std::atomic<int> shortChanged{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int r = 0; r < kRounds; ++r) {
        TCounter& mine = roundCounters[static_cast<size_t>(t * kRounds + r)];
        QorbSubscribe<&TCounter::OnPing>(bus.get(), &mine, UnicodeString(u"Mine"));
        for (int i = 0; i < kPublishes; ++i) bus->Publish(Make<TPing>(i)->AsIInterface());
        bus->Publish(Make<TPong>(t * kRounds + r)->AsIInterface());
        bus->Unsubscribe(&mine);
        // Its own publishes all reached it; others' may have too.
        if (mine.Pings.load() < kPublishes) ++shortChanged;
      }
    });
  for (std::thread& th : threads) th.join();

  EXPECT_EQ(shortChanged.load(), 0);
  EXPECT_EQ(steady.Pongs.load(), kThreads * kRounds);
  // Every ping, including those published from handlers, reached the steady subscriber.
  EXPECT_EQ(steady.Pings.load(), kThreads * kRounds * kPublishes + kNested);
  EXPECT_EQ(bus->SubscriptionsFor(IPingEvent::IID).size(), 1u);  // only the steady subscriber is left
  EXPECT_EQ(bus->RefCount(), 1);
}
