#pragma once
// Events between plug-ins: the bus the host offers, the marker interface of
// events, the handler type and the subscriber attribute. A machine-level
// contract like Qorb.Plugin.Contracts (qorb_plugin.h states the same in C).
//
// An event is any interface reference; its type is an interface identifier.
// A handler subscribed for an identifier is called, on the publishing thread
// and before Publish returns, for every event whose QueryInterface accepts
// that identifier, with the event's interface for it.
//
// An event type of a plug-in's own is an interface deriving from IQorbEvent
// (with its IID and Base = IQorbEvent) in a header shared with the plug-ins
// that subscribe; the publisher implements it, e.g. with TInterfacedObjectOf
// (rtl/InterfacedObject.h), and publishes a fresh object:
//   bus->Publish(Make<TThingEvent>(...)->AsIInterface());
// A subscriber that keeps an event beyond its handler holds code of the
// publisher's library: let it go before Shutdown returns.
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "rtl/ComPtr.h"
#include "rtl/Interface.h"
#include "rtl/Object.h"
#include "rtl/UnicodeString.h"

struct IQorbEvent : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{40002E98-C3C8-43A3-A280-F694D959342D}");

 protected:
  ~IQorbEvent() = default;
};

// A callback bound to an object: code, then object. The code is called with
// the object word, then the event; it does not release the event. The
// object word must point at an object laid out as TObject (the bus names
// its class when the handler raises).
struct TQorbEventHandler {
  using CodeType = void (*)(void* Self, IInterface* AEvent);
  CodeType Code = nullptr;
  void* Data = nullptr;

  // A code word below 0x10000 (null included) is unassigned.
  bool Assigned() const noexcept { return reinterpret_cast<uintptr_t>(Code) >= 0x10000; }
  void operator()(IInterface* AEvent) const { Code(Data, AEvent); }
};
static_assert(sizeof(TQorbEventHandler) == 16);

struct IQorbEventBus : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{F14B8FB2-1DA0-45FC-B8A8-DD0936C5BC03}");
  // Subscribing the same handler again for the same identifier changes
  // nothing; AHandlerName only labels error lines.
  virtual void SubscribeHandler(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                                UnicodeStringRef AHandlerName) = 0;  // 3
  // Removes every subscription whose handler is bound to ASubscriber. The
  // bus never drops a subscription by itself: unsubscribe before the object
  // goes, and before Shutdown returns.
  virtual void Unsubscribe(TObject* ASubscriber) = 0;  // 4
  // Any thread; the handlers run on it before Publish returns.
  virtual void Publish(IInterface* AEvent) = 0;  // 5

 protected:
  ~IQorbEventBus() = default;
};

// The runtime's base of attribute classes.
class TCustomAttribute : public TObject {};
// Marks a method as an event subscriber. The host never reads it: handlers
// are subscribed through SubscribeHandler only.
class QorbSubscribeAttribute : public TCustomAttribute {};

namespace qorb_event_detail {
template <auto MemFn>
struct HandlerThunk;
template <class C, class E, void (C::*F)(E*)>
struct HandlerThunk<F> {
  using Class = C;
  using Event = E;
  static void Call(void* self, IInterface* event) {
    // The bus hands over the interface for E's identifier.
    (static_cast<C*>(static_cast<TObject*>(self))->*F)(reinterpret_cast<E*>(event));
  }
};
}  // namespace qorb_event_detail

// MakeQorbEventHandler<&TMyPlugin::OnThing>(this) for a method
// void OnThing(IThingEvent* AEvent): the object word is the object's TObject
// part, as Unsubscribe(this) expects.
template <auto MemFn>
TQorbEventHandler MakeQorbEventHandler(typename qorb_event_detail::HandlerThunk<MemFn>::Class* AObject) {
  using T = qorb_event_detail::HandlerThunk<MemFn>;
  static_assert(std::is_base_of_v<TObject, typename T::Class>, "handlers belong to TObject descendants");
  return TQorbEventHandler{&T::Call, static_cast<TObject*>(AObject)};
}

// Subscribes a method for its event parameter's interface:
//   QorbSubscribe<&TMyPlugin::OnThing>(bus, this, u"OnThing");
template <auto MemFn>
void QorbSubscribe(IQorbEventBus* ABus, typename qorb_event_detail::HandlerThunk<MemFn>::Class* AObject,
                   std::u16string_view AHandlerName) {
  using E = typename qorb_event_detail::HandlerThunk<MemFn>::Event;
  if (ABus) ABus->SubscribeHandler(E::IID, MakeQorbEventHandler<MemFn>(AObject), UnicodeString(AHandlerName));
}

// Keeps an object's subscriptions for as long as it lives: unsubscribes the
// object when it goes out of scope. As a member of the subscriber, declare
// it after the members its handlers use, so that it goes before them:
//   TQorbSubscriptions FSubscriptions{GetInterface.Get<IQorbEventBus>(), this};
//   QorbSubscribe<&TMyPlugin::OnThing>(FSubscriptions.Bus(), this, u"OnThing");
class TQorbSubscriptions {
 public:
  TQorbSubscriptions() noexcept = default;
  TQorbSubscriptions(ComPtr<IQorbEventBus> ABus, TObject* ASubscriber) noexcept
      : FBus(std::move(ABus)), FSubscriber(ASubscriber) {}
  TQorbSubscriptions(TQorbSubscriptions&& o) noexcept
      : FBus(std::move(o.FBus)), FSubscriber(std::exchange(o.FSubscriber, nullptr)) {}
  TQorbSubscriptions& operator=(TQorbSubscriptions&& o) noexcept {
    if (this != &o) {
      Reset();
      FBus = std::move(o.FBus);
      FSubscriber = std::exchange(o.FSubscriber, nullptr);
    }
    return *this;
  }
  ~TQorbSubscriptions() { Reset(); }

  IQorbEventBus* Bus() const noexcept { return FBus.get(); }
  // Unsubscribes now and lets go of the bus.
  void Reset() noexcept {
    if (FBus && FSubscriber) FBus->Unsubscribe(FSubscriber);
    FBus.reset();
    FSubscriber = nullptr;
  }

 private:
  ComPtr<IQorbEventBus> FBus;
  TObject* FSubscriber = nullptr;
};
