#pragma once
// The host's event bus: per event identifier, the subscriptions made for
// it, in subscription order. A publish takes the subscriptions as they are
// and calls the matching ones on the publishing thread; a failing handler
// is logged and the others still run.
#include <atomic>
#include <cstdint>
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
  TQorbEventBus();
  ~TQorbEventBus() override;

  void SubscribeHandler(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                        UnicodeStringRef AHandlerName) override;
  void Unsubscribe(TObject* ASubscriber) override;
  void Publish(IInterface* AEvent) override;

  // For inspection: identifiers ever subscribed for (lists stay when they
  // empty), and the subscriptions under one of them.
  size_t IdentifierCount() const;
  std::vector<TQorbSubscription> SubscriptionsFor(const GUID& AEventGuid) const;
  // Tables in memory: the current one and those replaced while a publish
  // was under way.
  size_t TablesKept() const;

 private:
  // A subscription never changes once made; publishes under way share it
  // with the list instead of copying it.
  using TSubscriptionRef = std::shared_ptr<const TQorbSubscription>;

  // Every identifier ever subscribed for, with its subscriptions. Never
  // changed once made: subscribing and unsubscribing put a new one in its
  // place under the lock, and a publish reads the one it took, without a
  // lock, for as long as it runs.
  struct TTable {
    std::vector<GUID> Guids;  // in the order they were first subscribed for
    std::vector<std::vector<TSubscriptionRef>> Lists;
    size_t IndexOf(const GUID& AGuid) const noexcept;
  };
  class TReading;

  // Under FLock. A replaced table is kept until no publish is under way,
  // since one may still read it.
  void Replace(std::unique_ptr<const TTable> ATable);
  void FreeReplacedIfQuiet();

  mutable TCriticalSection FLock;  // subscribing and unsubscribing
  std::atomic<const TTable*> FTable;
  std::atomic<uint32_t> FPublishing{0};  // publishes between taking a table and letting go of it
  std::atomic<bool> FHasReplaced{false};
  std::unique_ptr<const TTable> FOwned;  // what FTable points at
  std::vector<std::unique_ptr<const TTable>> FReplaced;
};
