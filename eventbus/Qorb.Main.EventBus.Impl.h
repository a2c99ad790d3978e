#pragma once
// The host's event bus: per event identifier, the subscriptions made for
// it, in subscription order. A publish takes the subscriptions as they are
// under the lock and calls the matching ones outside it, on the publishing
// thread; a failing handler is logged and the others still run.
#include <memory>
#include <unordered_map>
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

  using TSubscriptionMap = std::unordered_map<GUID, std::vector<TSubscriptionRef>, GuidHash>;
  struct TTable;
  // Under FLock: a new table for publishes from now on; the one it replaces
  // goes to AOld, to be let go of outside the lock.
  void Changed(std::shared_ptr<const TTable>& AOld);

  mutable TCriticalSection FLock;
  TSubscriptionMap FSubscriptions;
  std::shared_ptr<const TTable> FTable;
};
