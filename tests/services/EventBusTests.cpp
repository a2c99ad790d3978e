#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "rtl/Exception.h"
#include "tests/services/EventTypes.h"
#include "tests/support/Raised.h"
#include "tests/services/ServicesFixture.h"

// The plug-in written in C (CEventPlugin.c): it reaches the bus through raw method tables only.
extern "C" {
int c_plugin_init(const TGetInterface* get_interface);  // subscribes its handler for IQorbEvent
int32_t c_plugin_publish(void);                         // answers the C event's reference count afterwards
int32_t c_plugin_handled(void);
void* c_plugin_subscriber(void);  // the object its handler is bound to, of class "TCSubscriber"
void c_plugin_shutdown(void);     // unsubscribes its object and lets go of the bus
}

namespace {

std::vector<std::string> calls;
using Calls = std::vector<std::string>;
using Lines = std::vector<std::u16string>;

class TListener : public TObject {
 public:
  explicit TListener(std::string name, IQorbEventBus* bus = nullptr) : Bus(bus), name_(std::move(name)) {}
  IQorbEventBus* Bus;
  TQorbEventHandler Late{};

  void OnPing(IPingEvent* e) { calls.push_back(name_ + ".ping" + std::to_string(e->Value())); }
  void OnPong(IPongEvent* e) { calls.push_back(name_ + ".pong" + std::to_string(e->Value())); }
  void OnAny(IQorbEvent*) { calls.push_back(name_ + ".any"); }
  void UnsubscribeSelf(IPingEvent*) {
    calls.push_back(name_ + ".leave");
    Bus->Unsubscribe(this);
  }
  void SubscribeLate(IPingEvent*) {
    calls.push_back(name_ + ".subscribe");
    Bus->SubscribeHandler(IPingEvent::IID, Late, Text(u"Late"));
  }
  void PublishPong(IPingEvent*) {
    calls.push_back(name_ + ".publish");
    Bus->Publish(Make<TPong>(2)->AsIInterface());
    calls.push_back(name_ + ".published");
  }

 private:
  std::string name_;
};

// Answers IQorbEvent as it says (1 yes, 0 no, -1 as its interfaces derive),
// and raises once it has answered `answers` queries.
template <class Event>
class TOdd : public Event {
 public:
  explicit TOdd(int says, int answers = 1000) : says_(says), answers_(answers) {}
  HRESULT QueryInterface(const GUID& iid, void** obj) override {
    if (answers_-- <= 0) throw EConvertError(u"query failed");
    if (says_ < 0 || !(iid == IQorbEvent::IID)) return Event::QueryInterface(iid, obj);
    *obj = says_ ? this->AsIInterface() : nullptr;
    if (says_) this->AddRef();
    return says_ ? S_OK : E_NOINTERFACE;
  }

 private:
  int says_, answers_;
};

// Its first interface query subscribes handlers for many new identifiers,
// enough to make the bus's map grow while it is being matched.
class TSubscribingEvent : public TPing {
 public:
  TSubscribingEvent(IQorbEventBus* bus, TListener* subscriber) : bus_(bus), subscriber_(subscriber) {}
  HRESULT QueryInterface(const GUID& iid, void** obj) override {
    if (IQorbEventBus* bus = std::exchange(bus_, nullptr))
      for (uint32_t i = 1; i <= 300; ++i) {
        GUID other = IPongEvent::IID;
        other.Data1 += i;
        bus->SubscribeHandler(other, MakeQorbEventHandler<&TListener::OnPong>(subscriber_), Text(u"OnPong"));
      }
    return TPing::QueryInterface(iid, obj);
  }

 private:
  IQorbEventBus* bus_;
  TListener* subscriber_;
};

// An object whose class-name slot fails.
class TNameless : public TObject {
 public:
  const char16_t* ClassNamePtr() const override { throw EConvertError(u"no name"); }
};

class EventBusTest : public ServicesTest {
 protected:
  void SetUp() override {
    ServicesTest::SetUp();
    calls.clear();
  }
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
};

}  // namespace

TEST_F(EventBusTest, HandlersRunInSubscriptionOrderAndFailuresAreReportedUnderTheFirstName) {
  TListener a("a"), b("b"), c("c");
  const TQorbEventHandler fail{[](void*, IInterface*) { throw EConvertError(u"no such thing"); }, &a};
  QorbSubscribe<&TListener::OnPing>(bus.get(), &b, Text(u"OnPing"));
  bus->SubscribeHandler(IPingEvent::IID, fail, Text(u"First"));
  bus->SubscribeHandler(IPingEvent::IID, fail, Text(u"Second"));  // the same handler again: ignored
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, Text(u"OnPing"));
  bus->SubscribeHandler(IPingEvent::IID, {[](void*, IInterface*) { throw std::out_of_range("index 9"); }, &b},
                        Text(u"Std"));
  bus->SubscribeHandler(IPingEvent::IID, {[](void*, IInterface*) { throw 42; }, &b}, Text(u"Other"));
  TNameless nameless;  // reported without its class name
  bus->SubscribeHandler(IPingEvent::IID, {[](void*, IInterface*) { throw EConvertError(u"bad"); }, &nameless},
                        Text(u"Parse"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &c, Text(u"OnPing"));
  ComPtr<TPing> ping = Make<TPing>(5);
  bus->Publish(ping->AsIInterface());
  EXPECT_EQ(calls, (Calls{"b.ping5", "a.ping5", "c.ping5"}));  // in order, past the failures
  EXPECT_EQ(ping->RefCount(), 1);                              // every reference given back
  EXPECT_EQ(QorbBodies(), (Lines{u"[EventBus] [Error] TListener.First: EConvertError: no such thing",
                                 u"[EventBus] [Error] TListener.Std: out_of_range: index 9",
                                 u"[EventBus] [Error] TListener.Other: UnknownException: Unknown exception",
                                 u"[EventBus] [Error] .Parse: EConvertError: bad"}));
  // An event supporting no subscribed identifier, or no event, reaches nobody.
  calls.clear();
  bus->Publish(Make<TPong>()->AsIInterface());
  bus->Publish(nullptr);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(QorbBodies().size(), 4u);
}

TEST_F(EventBusTest, TheEventIsAskedOnlyThroughItsQueryInterfaceAndItsFailuresAreContained) {
  TListener a("a");
  QorbSubscribe<&TListener::OnAny>(bus.get(), &a, Text(u"OnAny"));
  bus->Publish(Make<TOdd<TPing>>(0)->AsIInterface());
  EXPECT_TRUE(calls.empty());
  bus->Publish(Make<TOdd<TPong>>(1)->AsIInterface());
  EXPECT_EQ(calls, Calls{"a.any"});
  bus = Make<TQorbEventBus>();  // one identifier from here on
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, Text(u"OnPing"));
  // Failing while the bus looks for subscribers: the error leaves Publish and nobody is called.
  EXPECT_EQ(Raised([&] { bus->Publish(Make<TOdd<TPing>>(-1, 0)->AsIInterface()); }), "EConvertError: query failed");
  // It let go of the bus on the way out: another thread gets in. A lock
  // never let go of fails here instead of hanging the suite.
  {
    std::packaged_task<size_t()> count([b = bus] { return b->IdentifierCount(); });
    std::future<size_t> counted = count.get_future();
    std::thread other(std::move(count));
    if (counted.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      other.detach();
      FAIL() << "another thread still waits for the bus after the failed publish";
    }
    other.join();
    EXPECT_EQ(counted.get(), 1u);
  }
  // Failing when a handler's interface is asked for: reported like a failing handler.
  EXPECT_NO_THROW(bus->Publish(Make<TOdd<TPing>>(-1, 1)->AsIInterface()));
  EXPECT_EQ(QorbBodies(), Lines{u"[EventBus] [Error] TListener.OnPing: EConvertError: query failed"});
  bus->Publish(Make<TPing>(4)->AsIInterface());  // the bus still works
  EXPECT_EQ(calls, (Calls{"a.any", "a.ping4"}));
}

// Unsubscribing and subscribing during a publish take effect from the next
// one; a publish from a handler completes before the outer one goes on.
TEST_F(EventBusTest, ChangesDuringAPublishAndPublishesFromAHandler) {
  TListener a("a", bus.get()), b("b", bus.get()), c("c", bus.get()), d("d"), late("late");
  b.Late = MakeQorbEventHandler<&TListener::OnPing>(&late);
  QorbSubscribe<&TListener::UnsubscribeSelf>(bus.get(), &a, Text(u"Leave"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &b, Text(u"OnPing"));
  QorbSubscribe<&TListener::SubscribeLate>(bus.get(), &b, Text(u"Subscribe"));
  QorbSubscribe<&TListener::PublishPong>(bus.get(), &c, Text(u"Publish"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, Text(u"OnPing"));
  QorbSubscribe<&TListener::OnPong>(bus.get(), &d, Text(u"OnPong"));
  bus->Publish(Make<TPing>(1)->AsIInterface());
  EXPECT_EQ(calls, (Calls{"a.leave", "b.ping1", "b.subscribe", "c.publish", "d.pong2", "c.published", "a.ping1"}));
  calls.clear();
  bus->Publish(Make<TPing>(2)->AsIInterface());
  EXPECT_EQ(calls, (Calls{"b.ping2", "b.subscribe", "c.publish", "d.pong2", "c.published", "late.ping2"}));
}

TEST_F(EventBusTest, UnsubscribeRemovesEveryIdentifierAndUnassignedHandlersAreRefused) {
  TListener a("a"), b("b"), stranger("s");
  bus->SubscribeHandler(IPingEvent::IID, {nullptr, &a}, Text(u"Null"));
  bus->SubscribeHandler(IPingEvent::IID, {reinterpret_cast<TQorbEventHandler::CodeType>(uintptr_t{0xFFFF}), &a},
                        Text(u"Low"));
  EXPECT_EQ(bus->IdentifierCount(), 0u);
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, Text(u"OnPing"));
  QorbSubscribe<&TListener::OnPong>(bus.get(), &a, Text(u"OnPong"));
  QorbSubscribe<&TListener::OnAny>(bus.get(), &a, Text(u"OnAny"));
  QorbSubscribe<&TListener::OnAny>(bus.get(), &b, Text(u"OnAny"));
  bus->Unsubscribe(nullptr);
  bus->Unsubscribe(&stranger);
  bus->Unsubscribe(&a);
  bus->Publish(Make<TEvent<IPingEvent, IPongEvent>>()->AsIInterface());
  EXPECT_EQ(calls, Calls{"b.any"});
  {  // a guard's subscriptions last until it goes, and it lets go of the bus
    TQorbSubscriptions guard(bus, &a);
    QorbSubscribe<&TListener::OnPong>(guard.Bus(), &a, Text(u"OnPong"));
    bus->Publish(Make<TPong>(1)->AsIInterface());
  }
  bus->Publish(Make<TPong>(2)->AsIInterface());
  EXPECT_EQ(calls, (Calls{"b.any", "a.pong1"}));
  EXPECT_EQ(bus->RefCount(), 1);
}

// A plug-in written in C, through the registry's lookup callback, the raw
// two-word handler and the bus's slots 3 to 5.
TEST_F(EventBusTest, ACPluginSubscribesAndPublishesThroughRawSlots) {
  TPluginInterfaceRegistry registry;
  registry.Add(bus->AsIInterface());
  const TGetInterface lookup = registry.Callback();
  ASSERT_EQ(c_plugin_init(&lookup), 1);
  EXPECT_EQ(bus->SubscriptionsFor(IQorbEvent::IID).at(0).HandlerName, u"OnEvent");
  // A C++ subscriber sees the C plug-in's events, and the other way round.
  TListener cxx("cxx");
  QorbSubscribe<&TListener::OnAny>(bus.get(), &cxx, Text(u"OnAny"));
  EXPECT_EQ(c_plugin_publish(), 1);  // every reference the bus took is given back
  bus->Publish(Make<TPing>()->AsIInterface());
  EXPECT_EQ(c_plugin_handled(), 2);
  EXPECT_EQ(calls, (Calls{"cxx.any", "cxx.any"}));
  // A failing handler bound to the C object is named by the object's class.
  const TQorbEventHandler parse{[](void*, IInterface*) { throw EConvertError(u"not a number"); },
                                c_plugin_subscriber()};
  bus->SubscribeHandler(IPingEvent::IID, parse, Text(u"Parse"));
  bus->Publish(Make<TPing>()->AsIInterface());
  EXPECT_EQ(QorbBodies(), Lines{u"[EventBus] [Error] TCSubscriber.Parse: EConvertError: not a number"});
  c_plugin_shutdown();  // unsubscribes everything of its object and lets go of the bus
  bus->Publish(Make<TPing>()->AsIInterface());
  EXPECT_EQ(c_plugin_handled(), 3);
  EXPECT_TRUE(bus->SubscriptionsFor(IPingEvent::IID).empty());
  registry.Remove(bus->AsIInterface());
  EXPECT_EQ(bus->RefCount(), 1);
}


TEST_F(EventBusTest, SubscribingFromTheEventsQueryWhileMatchingStillReachesEveryEarlierSubscriber) {
  TListener a("a"), b("b"), c("c");
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, Text(u"OnPing"));
  QorbSubscribe<&TListener::OnAny>(bus.get(), &b, Text(u"OnAny"));
  for (uint32_t i = 1; i <= 6; ++i) {  // identifiers the event does not support
    GUID other = IPingEvent::IID;
    other.Data1 += 1000 + i;
    bus->SubscribeHandler(other, MakeQorbEventHandler<&TListener::OnAny>(&c), Text(u"OnAny"));
  }
  bus->Publish(Make<TSubscribingEvent>(bus.get(), &c)->AsIInterface());
  std::sort(calls.begin(), calls.end());  // the order across identifiers is the map's
  EXPECT_EQ(calls, (Calls{"a.ping0", "b.any"}));
  EXPECT_EQ(bus->IdentifierCount(), 2u + 6u + 300u);
}
