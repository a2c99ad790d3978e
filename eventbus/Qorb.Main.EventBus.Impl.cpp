#include "eventbus/Qorb.Main.EventBus.Impl.h"

#include <memory>
#include <mutex>
#include <utility>

#include "logging/Qorb.Main.Logging.h"
#include "rtl/Exception.h"
#include "rtl/ForeignCall.h"
#include "rtl/ForeignHolds.h"
#include "rtl/ForeignRead.h"
#include "rtl/ForeignRef.h"
#include "rtl/Format.h"
#include "rtl/SchedulePoint.h"

namespace {

// Events and subscribers may come from plug-ins written in C, whose method
// tables are plain arrays of code addresses: they are called by slot, as
// such a plug-in expects, never as C++ objects. These run foreign code:
// call them inside CallForeign.
bool QueryEvent(IInterface* event, const GUID& iid, void** out) {
  using QueryFn = HRESULT (*)(void* self, const GUID* iid, void** obj);
  *out = nullptr;
  const HRESULT hr = reinterpret_cast<QueryFn>(SlotCode(event, 0))(event, &iid, out);
  return hr == S_OK && *out;
}

void ReleaseEvent(void* intf) {
  using ReleaseFn = int32_t (*)(void* self);
  reinterpret_cast<ReleaseFn>(SlotCode(intf, 2))(intf);
}

// Slot 0 of a runtime object's method table answers its class name. The
// object and its table are the plug-in's memory, the slot its code: read
// and called inside the boundary (a subscriber the plug-in freed, or whose
// library is gone, faults there); if that fails, the line goes without
// the name.
UnicodeString SubscriberClassName(const void* subscriber) {
  if (!subscriber) return UnicodeString();
  using ClassNameFn = const char16_t* (*)(const void* self);
  try {
    return CallForeign({u"the subscriber's class name", subscriber}, [&] {
      const auto className = reinterpret_cast<ClassNameFn>(ForeignSlotCode(subscriber, 0));
      return UnicodeString(className(subscriber));
    });
  } catch (...) {
    return UnicodeString();
  }
}

// A subscription with the hold on its handler's code, which lasts as long
// as the subscription does.
struct THeldSubscription {
  THeldSubscription(const GUID& AEventGuid, const TQorbEventHandler& AHandler, UnicodeStringRef AHandlerName)
      : Subscription{AHandler.Data, AHandler, UnicodeString(AHandlerName.view()), AEventGuid},
        Hold({qorb::rtl::THoldKind::Subscription, reinterpret_cast<const void*>(AHandler.Code),
              Subscription.HandlerName.ToUtf8(), AEventGuid}) {}
  const TQorbSubscription Subscription;
  const qorb::rtl::TForeignHold Hold;
};

std::shared_ptr<const TQorbSubscription> MakeSubscription(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                                                          UnicodeStringRef AHandlerName) {
  auto held = std::make_shared<const THeldSubscription>(AEventGuid, AHandler, AHandlerName);
  return {held, &held->Subscription};
}

bool SameHandler(const TQorbEventHandler& a, const TQorbEventHandler& b) {
  return a.Code == b.Code && a.Data == b.Data;
}

// Never throws: the publish goes on with the next handler whatever happens.
void ReportFailure(const TQorbSubscription& s) noexcept {
  try {
    const CaughtException e = DescribeCurrentException();
    const UnicodeString text =
        Format(u"%s.%s: %s: %s", {SubscriberClassName(s.Subscriber), s.HandlerName, e.ClassName, e.Message});
    LogError(UnicodeString(u"EventBus"), text);
  } catch (...) {
    // Nothing left to report it with.
  }
}

// Where the identifiers the event supports are noted, made before the
// publish's foreign call, so that nothing is allocated inside it.
class TSupported {
 public:
  explicit TSupported(size_t identifiers) {
    if (identifiers > std::size(FInPlace)) FMore = std::make_unique<uint32_t[]>(identifiers);
  }
  uint32_t* Indexes() noexcept { return FMore ? FMore.get() : FInPlace; }

 private:
  uint32_t FInPlace[64];
  std::unique_ptr<uint32_t[]> FMore;
};

}  // namespace

// A publish's hold on the table it took. Taking the count before reading
// the table, and a replacer reading the count after putting a new table in
// place (all sequentially consistent), leave no moment where a publish
// reads a table that was found unread and freed. The last publish to let
// go frees what was replaced meanwhile.
class TQorbEventBus::TReading {
 public:
  explicit TReading(TQorbEventBus& ABus) noexcept : FBus(ABus) { FBus.FPublishing.fetch_add(1); }
  ~TReading() {
    if (FBus.FPublishing.fetch_sub(1) == 1 && FBus.FHasReplaced.load()) {
      TLock lock(FBus.FLock);
      FBus.FreeReplacedIfQuiet();
    }
  }
  TReading(const TReading&) = delete;
  TReading& operator=(const TReading&) = delete;

 private:
  TQorbEventBus& FBus;
};

TQorbEventBus::TQorbEventBus() : FTable(nullptr), FOwned(std::make_unique<const TTable>()) { FTable.store(FOwned.get()); }

TQorbEventBus::~TQorbEventBus() = default;

void TQorbEventBus::Replace(std::unique_ptr<const TTable> ATable) {
  SCHEDULE_POINT("bus.replacing");
  FTable.store(ATable.get());
  FReplaced.push_back(std::exchange(FOwned, std::move(ATable)));
  FHasReplaced.store(true);
  FreeReplacedIfQuiet();
}

void TQorbEventBus::FreeReplacedIfQuiet() {
  if (FReplaced.empty() || FPublishing.load() != 0) return;
  // A publish that starts from here on reads the current table.
  FReplaced.clear();
  FHasReplaced.store(false);
}

size_t TQorbEventBus::TTable::IndexOf(const GUID& AGuid) const noexcept {
  for (size_t i = 0; i < Guids.size(); ++i)
    if (Guids[i] == AGuid) return i;
  return Guids.size();
}

void TQorbEventBus::SubscribeHandler(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                                     UnicodeStringRef AHandlerName) {
  const TOwnFrame ours;
  if (!AHandler.Assigned()) return;
  const TSubscriptionRef subscription = MakeSubscription(AEventGuid, AHandler, AHandlerName);
  TLock lock(FLock);
  const size_t at = FOwned->IndexOf(AEventGuid);
  if (at < FOwned->Guids.size())
    for (const TSubscriptionRef& s : FOwned->Lists[at])
      if (SameHandler(s->Handler, AHandler)) return;  // the first name stays
  auto table = std::make_unique<TTable>(*FOwned);
  if (at == table->Guids.size()) {
    table->Guids.push_back(AEventGuid);
    table->Lists.emplace_back();
  }
  table->Lists[at].push_back(std::move(subscription));
  Replace(std::move(table));
}

void TQorbEventBus::Unsubscribe(TObject* ASubscriber) {
  const TOwnFrame ours;
  if (!ASubscriber) return;
  const void* subscriber = ASubscriber;
  TLock lock(FLock);
  auto table = std::make_unique<TTable>(*FOwned);
  // Emptied lists stay: matching keeps asking for their identifiers.
  for (auto& list : table->Lists)
    std::erase_if(list, [subscriber](const TSubscriptionRef& s) { return s->Subscriber == subscriber; });
  Replace(std::move(table));
}

void TQorbEventBus::Publish(IInterface* AEvent) {
  const TOwnFrame ours;
  if (!AEvent) return;
  // Subscribing and unsubscribing from now on, by handlers or by the
  // event's own queries, affect later publishes only.
  const TReading reading(*this);
  const TTable* const table = FTable.load();
  SCHEDULE_POINT("bus.read");
  const size_t identifiers = table->Guids.size();
  if (identifiers == 0) return;
  TSupported supported(identifiers);
  // One foreign call asks the event for every identifier and then calls
  // the handlers of those it supports, each with the event's answer for its
  // identifier asked anew and let go of after it. Nothing of ours is made
  // or held inside: a fault leaves it through here. A failure while
  // matching leaves Publish and calls no handler; a failing handler is
  // reported and the next call goes on after it. Where a call may not come
  // back, what is needed to go on after it is kept in memory; the loops
  // themselves run in registers.
  TForeignCall call{u"the event's QueryInterface", SlotCode(AEvent, 0)};
  struct TPlace {
    size_t Matches = 0;  // how many of supported's indexes hold an identifier
    size_t Match = 0, Index = 0;  // the next subscription to call
    const TQorbSubscription* Current = nullptr;
    void* Intf = nullptr;  // the answer the current handler was given
    bool Matched = false;
  } at;
  auto dispatch = [&at, &call, AEvent, table, identifiers, indexes = supported.Indexes()] {
    if (!at.Matched) {
      const GUID* guids = table->Guids.data();
      size_t matches = 0;
      for (size_t i = 0; i < identifiers; ++i) {
        void* intf;
        if (!QueryEvent(AEvent, guids[i], &intf)) continue;
        ReleaseEvent(intf);
        indexes[matches++] = static_cast<uint32_t>(i);
      }
      at.Matches = matches;
      at.Matched = true;
      call.What = u"event handler";
    }
    for (; at.Match < at.Matches; ++at.Match, at.Index = 0) {
      const std::vector<TSubscriptionRef>& list = table->Lists[indexes[at.Match]];
      while (at.Index < list.size()) {
        const TQorbSubscription* s = list[at.Index++].get();
        at.Current = s;
        call.Code = reinterpret_cast<const void*>(s->Handler.Code);
        call.Subject = s->HandlerName.c_str();
        if (!QueryEvent(AEvent, s->EventGuid, &at.Intf)) continue;
        s->Handler.Code(s->Handler.Data, static_cast<IInterface*>(at.Intf));
        ReleaseEvent(std::exchange(at.Intf, nullptr));
      }
    }
  };
  for (;;) {
    try {
      CallForeign(call, dispatch);
      return;
    } catch (...) {
      if (!at.Matched) throw;
      ReportFailure(*at.Current);
      // Already reported: the handler failed before this.
      if (void* left = std::exchange(at.Intf, nullptr)) ForeignReleaseNoted(static_cast<IInterface*>(left));
    }
  }
}

size_t TQorbEventBus::IdentifierCount() const {
  TLock lock(FLock);
  return FOwned->Guids.size();
}

std::vector<TQorbSubscription> TQorbEventBus::SubscriptionsFor(const GUID& AEventGuid) const {
  TLock lock(FLock);
  std::vector<TQorbSubscription> copies;
  if (const size_t at = FOwned->IndexOf(AEventGuid); at < FOwned->Guids.size())
    for (const TSubscriptionRef& s : FOwned->Lists[at]) copies.push_back(*s);
  return copies;
}

size_t TQorbEventBus::TablesKept() const {
  TLock lock(FLock);
  return 1 + FReplaced.size();
}
