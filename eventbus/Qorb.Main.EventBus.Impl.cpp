#include "eventbus/Qorb.Main.EventBus.Impl.h"

#include <array>
#include <mutex>
#include <utility>

#include "logging/Qorb.Main.Logging.h"
#include "rtl/Exception.h"
#include "rtl/ForeignCall.h"
#include "rtl/ForeignRef.h"
#include "rtl/Format.h"

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

// One foreign call: the query and the release of what it answered.
bool EventSupports(IInterface* event, const GUID& iid) {
  return CallForeign({u"the event's QueryInterface", SlotCode(event, 0)}, [&] {
    void* intf = nullptr;
    if (!QueryEvent(event, iid, &intf)) return false;
    ReleaseEvent(intf);
    return true;
  });
}

// Slot 0 of a runtime object's method table answers its class name. That
// slot is the plug-in's code: if it fails, the line goes without the name.
UnicodeString SubscriberClassName(const void* subscriber) {
  if (!subscriber) return UnicodeString();
  using ClassNameFn = const char16_t* (*)(const void* self);
  const auto className = reinterpret_cast<ClassNameFn>(SlotCode(subscriber, 0));
  try {
    return CallForeign({u"the subscriber's class name", reinterpret_cast<const void*>(className)},
                       [&] { return UnicodeString(className(subscriber)); });
  } catch (...) {
    return UnicodeString();
  }
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

// The subscriptions one publish calls, in order; the first few are kept in
// place so that a publish to a handful of handlers does not allocate.
template <class T, size_t N>
class TSnapshot {
 public:
  void Append(const T& item) {
    if (inPlace_ < N)
      first_[inPlace_++] = item;
    else
      more_.push_back(item);
  }
  size_t Size() const noexcept { return inPlace_ + more_.size(); }
  const T& operator[](size_t i) const noexcept { return i < N ? first_[i] : more_[i - N]; }
  template <class F>
  void ForEach(F&& f) const {
    for (size_t i = 0; i < inPlace_; ++i) f(first_[i]);
    for (const T& item : more_) f(item);
  }

 private:
  std::array<T, N> first_;  // only the first inPlace_ are ever read
  size_t inPlace_ = 0;
  std::vector<T> more_;
};

}  // namespace

void TQorbEventBus::SubscribeHandler(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                                     UnicodeStringRef AHandlerName) {
  const TOwnFrame ours;
  if (!AHandler.Assigned()) return;
  auto subscription = std::make_shared<const TQorbSubscription>(
      TQorbSubscription{AHandler.Data, AHandler, UnicodeString(AHandlerName.view()), AEventGuid});
  TLock lock(FLock);
  std::vector<TSubscriptionRef>& list = FSubscriptions[AEventGuid];
  for (const TSubscriptionRef& s : list)
    if (SameHandler(s->Handler, AHandler)) return;  // the first name stays
  list.push_back(std::move(subscription));
}

void TQorbEventBus::Unsubscribe(TObject* ASubscriber) {
  const TOwnFrame ours;
  if (!ASubscriber) return;
  const void* subscriber = ASubscriber;
  TLock lock(FLock);
  // Emptied lists stay: matching keeps asking for their identifiers.
  for (auto& entry : FSubscriptions)
    std::erase_if(entry.second, [subscriber](const TSubscriptionRef& s) { return s->Subscriber == subscriber; });
}

void TQorbEventBus::Publish(IInterface* AEvent) {
  const TOwnFrame ours;
  if (!AEvent) return;
  TSnapshot<TSubscriptionRef, 8> snapshot;
  {
    // The event's QueryInterface runs under the (re-entrant) lock and may
    // subscribe for new identifiers, which can rehash the map: the entries
    // are walked as they were, by address, which a rehash leaves alone. A
    // fault in it is contained at that query and unwinds through here.
    TLock lock(FLock);
    TSnapshot<const TSubscriptionMap::value_type*, 16> entries;
    for (const auto& entry : FSubscriptions) entries.Append(&entry);
    entries.ForEach([&](const TSubscriptionMap::value_type* entry) {
      if (EventSupports(AEvent, entry->first))
        for (const TSubscriptionRef& s : entry->second) snapshot.Append(s);
    });
  }
  // Outside the lock: handlers may subscribe, unsubscribe and publish; what
  // they change affects later publishes only.
  snapshot.ForEach([&](const TSubscriptionRef& s) { Deliver(AEvent, *s); });
}

// The event's query for the handler's identifier, the handler and the
// release of what the query answered are one foreign call; a failure in it
// is reported and the publish goes on with the next handler.
void TQorbEventBus::Deliver(IInterface* AEvent, const TQorbSubscription& S) noexcept {
  void* intf = nullptr;
  try {
    CallForeign({u"event handler", reinterpret_cast<const void*>(S.Handler.Code), S.HandlerName.c_str()}, [&] {
      if (!QueryEvent(AEvent, S.EventGuid, &intf)) return;
      S.Handler.Code(S.Handler.Data, static_cast<IInterface*>(intf));
      ReleaseEvent(std::exchange(intf, nullptr));
    });
  } catch (...) {
    ReportFailure(S);
    // Already reported: the handler failed before this.
    if (intf) ForeignReleaseNoted(static_cast<IInterface*>(intf));
  }
}

size_t TQorbEventBus::IdentifierCount() const {
  TLock lock(FLock);
  return FSubscriptions.size();
}

std::vector<TQorbSubscription> TQorbEventBus::SubscriptionsFor(const GUID& AEventGuid) const {
  TLock lock(FLock);
  std::vector<TQorbSubscription> copies;
  auto it = FSubscriptions.find(AEventGuid);
  if (it != FSubscriptions.end())
    for (const TSubscriptionRef& s : it->second) copies.push_back(*s);
  return copies;
}
