// The event bus under schedules this test chooses: publishers and
// subscribers run on threads of their own and stop at the named points of
// their paths. The bus is compiled into this test with its points switched
// on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "tests/services/EventTypes.h"
#include "tests/support/ScheduledThread.h"

namespace {

class TCounter : public TObject {
 public:
  std::atomic<int> Calls{0};
  void OnPing(IPingEvent*) { ++Calls; }
};

// A subscriber stopped while it puts its new table in place holds the
// bus's lock; a publish on another thread still runs to its end.
TEST(EventBusSchedule, APublishTakesNoLockOfTheBus) {
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  TCounter first, second;
  QorbSubscribe<&TCounter::OnPing>(bus.get(), &first, u"OnPing");
  TScheduledThread subscriber([&] { QorbSubscribe<&TCounter::OnPing>(bus.get(), &second, u"OnPing"); });
  ASSERT_TRUE(subscriber.RunTo("bus.replacing"));

  ComPtr<TPing> ping = Make<TPing>(1);
  TScheduledThread publisher([&] { bus->Publish(ping->AsIInterface()); });
  const bool published = publisher.TryFinish(std::chrono::seconds(5));
  subscriber.Finish();
  publisher.Finish();
  EXPECT_TRUE(published) << "the publish waited for the subscriber's lock";
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Calls, published ? 0 : 1);
}

// A publish stopped after it took its table; meanwhile the table is
// replaced again and again. The publish still calls what its table holds,
// the replaced tables stay until it ends, and then they go.
TEST(EventBusSchedule, ATableAPublishReadsOutlivesItsReplacementsAndGoesAfter) {
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  TCounter kept, passing;
  QorbSubscribe<&TCounter::OnPing>(bus.get(), &kept, u"OnPing");
  ComPtr<TPing> ping = Make<TPing>(1);
  TScheduledThread publisher([&] { bus->Publish(ping->AsIInterface()); });
  ASSERT_TRUE(publisher.RunTo("bus.read"));

  bus->Unsubscribe(&kept);
  for (int i = 0; i < 20; ++i) {
    QorbSubscribe<&TCounter::OnPing>(bus.get(), &passing, u"OnPing");
    bus->Unsubscribe(&passing);
  }
  EXPECT_EQ(bus->TablesKept(), 42u);
  publisher.Finish();
  EXPECT_EQ(kept.Calls, 1);
  EXPECT_EQ(passing.Calls, 0);
  EXPECT_EQ(bus->TablesKept(), 1u);

  bus->Publish(ping->AsIInterface());
  EXPECT_EQ(kept.Calls, 1);
}

}  // namespace
