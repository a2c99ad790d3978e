#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "rtl/Exception.h"
#include "tests/services/CEventPlugin.h"
#include "tests/services/EventTypes.h"
#include "tests/services/ServicesFixture.h"

// The C and C++ declarations describe the same bytes.
static_assert(sizeof(QorbEventHandler) == sizeof(TQorbEventHandler));
static_assert(offsetof(QorbEventHandler, Data) == offsetof(TQorbEventHandler, Data));
static_assert(offsetof(QorbEventBusVtbl, SubscribeHandler) == 3 * sizeof(void*));
static_assert(offsetof(QorbEventBusVtbl, Unsubscribe) == 4 * sizeof(void*));
static_assert(offsetof(QorbEventBusVtbl, Publish) == 5 * sizeof(void*));

namespace {
int cxxHandled = 0;
void CountEvent(void*, IInterface*) { ++cxxHandled; }
void RaiseFromHandler(void*, IInterface*) { throw EConvertError(UnicodeString(u"not a number")); }
}  // namespace

class EventBusCTest : public ServicesTest {};

TEST_F(EventBusCTest, IdentifiersMatchTheCxxDeclarations) {
  EXPECT_EQ(std::memcmp(&IID_IQorbEventBus, &IQorbEventBus::IID, sizeof(GUID)), 0);
  EXPECT_EQ(std::memcmp(&IID_IQorbEvent, &IQorbEvent::IID, sizeof(GUID)), 0);
}

TEST_F(EventBusCTest, ACPluginSubscribesAndPublishesThroughRawSlots) {
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  TPluginInterfaceRegistry registry;
  registry.Add(bus->AsIInterface());
  const TGetInterface lookup = registry.Callback();
  ASSERT_EQ(c_plugin_init(reinterpret_cast<const QorbGetInterface*>(&lookup)), 1);
  ASSERT_EQ(bus->SubscriptionsFor(IQorbEvent::IID).size(), 1u);
  EXPECT_EQ(bus->SubscriptionsFor(IQorbEvent::IID)[0].HandlerName, u"OnEvent");

  // A C++ subscriber sees the C plug-in's events, and the other way round.
  bus->SubscribeHandler(IQorbEvent::IID, TQorbEventHandler{&CountEvent, nullptr}, UnicodeString(u"Count"));
  EXPECT_EQ(c_plugin_publish(11), 1);  // every reference the bus took is given back
  EXPECT_EQ(c_plugin_handled(), 1);
  EXPECT_EQ(c_plugin_last_value(), 11);
  EXPECT_EQ(cxxHandled, 1);
  bus->Publish(Make<TPing>()->AsIInterface());
  EXPECT_EQ(c_plugin_handled(), 2);
  EXPECT_EQ(c_plugin_last_value(), -1);

  c_plugin_shutdown();  // unsubscribes and lets go of the bus
  bus->Publish(Make<TPing>()->AsIInterface());
  EXPECT_EQ(c_plugin_handled(), 2);
  EXPECT_EQ(cxxHandled, 3);
  registry.Remove(bus->AsIInterface());
  EXPECT_EQ(bus->RefCount(), 1);
}

TEST_F(EventBusCTest, ASubscriberLaidOutInCIsNamedInTheErrorLine) {
  ComPtr<TQorbEventBus> bus = Make<TQorbEventBus>();
  bus->SubscribeHandler(IPingEvent::IID, TQorbEventHandler{&RaiseFromHandler, c_plugin_subscriber()},
                        UnicodeString(u"Parse"));
  bus->SubscribeHandler(IPingEvent::IID, TQorbEventHandler{&CountEvent, nullptr}, UnicodeString(u"Count"));
  const int before = cxxHandled;
  bus->Publish(Make<TPing>()->AsIInterface());
  EXPECT_EQ(cxxHandled, before + 1);
  Pump();
  const std::vector<UnicodeString> lines = QorbLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(WithoutTime(lines[0]), u"[EventBus] [Error] TCSubscriber.Parse: EConvertError: not a number");
  bus->Unsubscribe(static_cast<TObject*>(c_plugin_subscriber()));
  EXPECT_EQ(bus->SubscriptionsFor(IPingEvent::IID).size(), 1u);
}
