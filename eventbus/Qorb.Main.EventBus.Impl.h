#pragma once
// The host's event bus: per event identifier, the subscriptions made for
// it, in subscription order. A publish takes the subscriptions as they are
// under the lock and calls the matching ones outside it, on the publishing
// thread; a failing handler is logged and the others still run.
#include <memory>
#include <vector>

#include "eventbus/Qorb.Plugin.EventBus.h"
#include "rtl/CriticalSection.h"
#include "rtl/Guid.h"
#include "rtl/InterfacedObject.h"
#include "rtl/UnicodeString.h"

struct TQorbSubscription {
  void* Subscriber;  // the handler's object word
  TQorbEventHandler Handler;
  UnicodeString HandlerName;
  GUID EventGuid;
};

class TQorbEventBus : public TInterfacedObjectOf<IQorbEventBus> {
 public:
  TQorbEventBus() = default;

  void SubscribeHandler(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                        UnicodeStringRef AHandlerName) override;
  void Unsubscribe(TObject* ASubscriber) override;
  void Publish(IInterface* AEvent) override;

  // For inspection: identifiers ever subscribed for (lists stay when they
  // empty), and the subscriptions under one of them.
  size_t IdentifierCount() const;
  std::vector<TQorbSubscription> SubscriptionsFor(const GUID& AEventGuid) const;

 private:
  // A subscription never changes once made; publishes under way share it
  // with the list instead of copying it.
  using TSubscriptionRef = std::shared_ptr<const TQorbSubscription>;

  // Every identifier ever subscribed for, with its subscriptions. Never
  // changed once made: subscribing and unsubscribing put a new one in its
  // place under the lock, and a publish keeps the one it took for as long as
  // it runs.
  struct TTable {
    std::vector<GUID> Guids;  // in the order they were first subscribed for
    std::vector<std::vector<TSubscriptionRef>> Lists;
    size_t IndexOf(const GUID& AGuid) const noexcept;
  };
  mutable TCriticalSection FLock;
  std::shared_ptr<const TTable> FTable = std::make_shared<const TTable>();
};
