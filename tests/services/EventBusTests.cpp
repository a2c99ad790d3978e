#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "rtl/Exception.h"
#include "tests/services/EventTypes.h"
#include "tests/services/ServicesFixture.h"

namespace {

std::vector<std::string> calls;

class EInvalidThing : public Exception {
 public:
  using Exception::Exception;
};

class TListener : public TObject {
 public:
  explicit TListener(std::string name) : name_(std::move(name)) {}

  IQorbEventBus* Bus = nullptr;
  bool Throw = false;
  TQorbEventHandler Late{};

  void OnPing(IPingEvent* e) {
    calls.push_back(name_ + ".ping" + std::to_string(e->Value()));
    if (Throw) throw EInvalidThing(UnicodeString(u"no such thing"));
  }
  void OnPong(IPongEvent* e) { calls.push_back(name_ + ".pong" + std::to_string(e->Value())); }
  void OnAny(IQorbEvent*) { calls.push_back(name_ + ".any"); }
  void UnsubscribeSelf(IPingEvent*) {
    calls.push_back(name_ + ".leave");
    Bus->Unsubscribe(this);
  }
  void SubscribeLate(IPingEvent*) {
    calls.push_back(name_ + ".subscribe");
    Bus->SubscribeHandler(IPingEvent::IID, Late, UnicodeString(u"Late"));
  }
  void PublishPong(IPingEvent*) {
    calls.push_back(name_ + ".publish");
    Bus->Publish(Make<TPong>(2)->AsIInterface());
    calls.push_back(name_ + ".published");
  }
  void ThrowStd(IPingEvent*) { throw std::out_of_range("index 9"); }
  void ThrowOther(IPingEvent*) { throw 42; }

 private:
  std::string name_;
};

// An event whose interface derives from IQorbEvent but whose query refuses
// that identifier.
class TRefusingPing : public TPing {
 public:
  HRESULT QueryInterface(const GUID& iid, void** obj) override {
    if (iid == IQorbEvent::IID) {
      *obj = nullptr;
      return E_NOINTERFACE;
    }
    return TPing::QueryInterface(iid, obj);
  }
};

// An event unrelated to IQorbEvent by derivation whose query accepts it.
class TAcceptingPong : public TPong {
 protected:
  HRESULT QueryOther(const GUID& iid, void** obj) override {
    if (!(iid == IQorbEvent::IID)) return E_NOINTERFACE;
    *obj = static_cast<IPongEvent*>(this);
    AddRef();
    return S_OK;
  }
};

// Answers IPingEvent once, then raises on every further query.
class TFlakyPing : public TPing {
 public:
  bool RaiseInSnapshot = false;
  HRESULT QueryInterface(const GUID& iid, void** obj) override {
    if (RaiseInSnapshot || queries_++ > 0) throw EInvalidThing(UnicodeString(u"query failed"));
    return TPing::QueryInterface(iid, obj);
  }

 private:
  int queries_ = 0;
};

class EventBusTest : public ServicesTest {
 protected:
  void SetUp() override {
    ServicesTest::SetUp();
    calls.clear();
    bus = Make<TQorbEventBus>();
  }
  void TearDown() override {
    bus.reset();
    ServicesTest::TearDown();
  }
  std::vector<std::u16string> ErrorLines() {
    Pump();
    std::vector<std::u16string> r;
    for (const UnicodeString& l : QorbLines()) r.push_back(WithoutTime(l));
    return r;
  }
  ComPtr<TQorbEventBus> bus;
};

}  // namespace

TEST_F(EventBusTest, HandlersOfOneIdentifierRunInSubscriptionOrderWithTheirInterface) {
  TListener a("a"), b("b"), c("c");
  QorbSubscribe<&TListener::OnPing>(bus.get(), &b, UnicodeString(u"OnPing"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"OnPing"));
  QorbSubscribe<&TListener::OnPong>(bus.get(), &c, UnicodeString(u"OnPong"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &c, UnicodeString(u"OnPing"));

  bus->Publish(Make<TPing>(5)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"b.ping5", "a.ping5", "c.ping5"}));

  // An event supporting no subscribed identifier reaches nobody and logs nothing.
  calls.clear();
  bus->Publish(Make<TUnrelated>()->AsIInterface());
  bus->Publish(nullptr);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(ErrorLines().empty());
}

TEST_F(EventBusTest, UnassignedHandlersNullSubscribersAndNullEventsChangeNothing) {
  TListener a("a");
  bus->SubscribeHandler(IPingEvent::IID, TQorbEventHandler{nullptr, &a}, UnicodeString(u"Null"));
  bus->SubscribeHandler(IPingEvent::IID,
                        TQorbEventHandler{reinterpret_cast<TQorbEventHandler::CodeType>(uintptr_t{0xFFFF}), &a},
                        UnicodeString(u"Low"));
  EXPECT_EQ(bus->IdentifierCount(), 0u);
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"OnPing"));
  bus->Unsubscribe(nullptr);
  TListener stranger("s");
  bus->Unsubscribe(&stranger);
  EXPECT_EQ(bus->SubscriptionsFor(IPingEvent::IID).size(), 1u);
}

TEST_F(EventBusTest, SecondSubscriptionOfAHandlerIsIgnoredAndFailuresCarryTheFirstName) {
  TListener a("a"), b("b");
  a.Throw = true;
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"First"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"Second"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &b, UnicodeString(u"OnPing"));

  bus->Publish(Make<TPing>(1)->AsIInterface());
  // a raised, b still ran.
  EXPECT_EQ(calls, (std::vector<std::string>{"a.ping1", "b.ping1"}));
  EXPECT_EQ(ErrorLines(),
            (std::vector<std::u16string>{u"[EventBus] [Error] TListener.First: EInvalidThing: no such thing"}));
}

TEST_F(EventBusTest, ForeignExceptionsAreNamedToo) {
  TListener a("a");
  QorbSubscribe<&TListener::ThrowStd>(bus.get(), &a, UnicodeString(u"Std"));
  QorbSubscribe<&TListener::ThrowOther>(bus.get(), &a, UnicodeString(u"Other"));
  bus->Publish(Make<TPing>()->AsIInterface());
  const std::vector<std::u16string> lines = ErrorLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"[EventBus] [Error] TListener.Std: out_of_range: index 9");
  EXPECT_EQ(lines[1], u"[EventBus] [Error] TListener.Other: UnknownException: Unknown exception");
}

TEST_F(EventBusTest, MatchingAsksOnlyTheEventsQueryInterface) {
  TListener a("a");
  QorbSubscribe<&TListener::OnAny>(bus.get(), &a, UnicodeString(u"OnAny"));
  bus->Publish(Make<TRefusingPing>()->AsIInterface());
  EXPECT_TRUE(calls.empty());
  bus->Publish(Make<TAcceptingPong>()->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"a.any"}));
  bus->Publish(Make<TPing>()->AsIInterface());  // derives from IQorbEvent and says so
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(EventBusTest, AHandlerForTwoSupportedIdentifiersRunsOncePerIdentifier) {
  TListener a("a");
  const TQorbEventHandler h = MakeQorbEventHandler<&TListener::OnAny>(&a);
  bus->SubscribeHandler(IPingEvent::IID, h, UnicodeString(u"Any"));
  bus->SubscribeHandler(IPongEvent::IID, h, UnicodeString(u"Any"));
  bus->Publish(Make<TPingPong>()->AsIInterface());
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(EventBusTest, EventReferencesAreReleasedAlsoWhenAHandlerRaises) {
  TListener a("a"), b("b");
  b.Throw = true;
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"OnPing"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &b, UnicodeString(u"OnPing"));
  QorbSubscribe<&TListener::OnAny>(bus.get(), &a, UnicodeString(u"OnAny"));
  ComPtr<TPing> ping = Make<TPing>(3);
  bus->Publish(ping->AsIInterface());
  EXPECT_EQ(calls.size(), 3u);
  EXPECT_EQ(ping->RefCount(), 1);
}

TEST_F(EventBusTest, UnsubscribingDuringAPublishTakesEffectFromTheNextOne) {
  TListener a("a"), b("b");
  a.Bus = bus.get();
  QorbSubscribe<&TListener::UnsubscribeSelf>(bus.get(), &a, UnicodeString(u"Leave"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &b, UnicodeString(u"OnPing"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"OnPing"));
  bus->Publish(Make<TPing>(1)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"a.leave", "b.ping1", "a.ping1"}));
  calls.clear();
  bus->Publish(Make<TPing>(2)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"b.ping2"}));
}

TEST_F(EventBusTest, UnsubscribeRemovesEveryIdentifierAndKeepsTheEmptiedLists) {
  TListener a("a"), b("b");
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"OnPing"));
  QorbSubscribe<&TListener::OnPong>(bus.get(), &a, UnicodeString(u"OnPong"));
  QorbSubscribe<&TListener::OnAny>(bus.get(), &a, UnicodeString(u"OnAny"));
  QorbSubscribe<&TListener::OnAny>(bus.get(), &b, UnicodeString(u"OnAny"));
  bus->Unsubscribe(&a);
  EXPECT_EQ(bus->IdentifierCount(), 3u);
  EXPECT_TRUE(bus->SubscriptionsFor(IPingEvent::IID).empty());
  EXPECT_TRUE(bus->SubscriptionsFor(IPongEvent::IID).empty());
  ASSERT_EQ(bus->SubscriptionsFor(IQorbEvent::IID).size(), 1u);
  EXPECT_EQ(bus->SubscriptionsFor(IQorbEvent::IID)[0].Subscriber, static_cast<TObject*>(&b));
  bus->Publish(Make<TPingPong>()->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"b.any"}));
}

TEST_F(EventBusTest, SubscribingDuringAPublishTakesEffectFromTheNextOne) {
  TListener a("a"), late("late");
  a.Bus = bus.get();
  a.Late = MakeQorbEventHandler<&TListener::OnPing>(&late);
  QorbSubscribe<&TListener::SubscribeLate>(bus.get(), &a, UnicodeString(u"Subscribe"));
  bus->Publish(Make<TPing>(1)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"a.subscribe"}));
  calls.clear();
  bus->Publish(Make<TPing>(2)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"a.subscribe", "late.ping2"}));
}

TEST_F(EventBusTest, APublishFromAHandlerCompletesBeforeTheOuterOneGoesOn) {
  TListener a("a"), b("b"), c("c");
  a.Bus = bus.get();
  QorbSubscribe<&TListener::PublishPong>(bus.get(), &a, UnicodeString(u"Publish"));
  QorbSubscribe<&TListener::OnPing>(bus.get(), &b, UnicodeString(u"OnPing"));
  QorbSubscribe<&TListener::OnPong>(bus.get(), &c, UnicodeString(u"OnPong"));
  bus->Publish(Make<TPing>(1)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"a.publish", "c.pong2", "a.published", "b.ping1"}));
}

TEST_F(EventBusTest, FailingQueriesOfTheEvent) {
  TListener a("a");
  QorbSubscribe<&TListener::OnPing>(bus.get(), &a, UnicodeString(u"OnPing"));
  // While the snapshot is taken: the error leaves Publish, nobody is called,
  // and the bus still works.
  ComPtr<TFlakyPing> early = Make<TFlakyPing>();
  early->RaiseInSnapshot = true;
  EXPECT_THROW(bus->Publish(early->AsIInterface()), EInvalidThing);
  EXPECT_TRUE(calls.empty());
  // When the handler's interface is asked for: reported like a failing handler.
  ComPtr<TFlakyPing> late = Make<TFlakyPing>();
  EXPECT_NO_THROW(bus->Publish(late->AsIInterface()));
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(ErrorLines(),
            (std::vector<std::u16string>{u"[EventBus] [Error] TListener.OnPing: EInvalidThing: query failed"}));
  bus->Publish(Make<TPing>(4)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"a.ping4"}));
}

TEST_F(EventBusTest, SubscriptionsLastUntilTheGuardGoes) {
  TListener a("a");
  {
    TQorbSubscriptions guard(bus, &a);
    QorbSubscribe<&TListener::OnPing>(guard.Bus(), &a, UnicodeString(u"OnPing"));
    bus->Publish(Make<TPing>(1)->AsIInterface());
  }
  bus->Publish(Make<TPing>(2)->AsIInterface());
  EXPECT_EQ(calls, (std::vector<std::string>{"a.ping1"}));
  EXPECT_EQ(bus->RefCount(), 1);
}
