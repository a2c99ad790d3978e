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
  void Set(size_t i, const T& item) noexcept { (i < N ? first_[i] : more_[i - N]) = item; }
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

// From NEXT on, each handler in one foreign call with the event's query for
// its identifier and the release of what the query answered; nothing of
// ours is made or held inside it. A failure is reported and the next call
// goes on after the handler that failed.
template <class TSubscriptions>
void Deliver(IInterface* AEvent, const TSubscriptions& ASnapshot, size_t& ANext) noexcept {
  const TQorbSubscription* current = nullptr;
  void* intf = nullptr;
  TForeignCall call{u"event handler"};
  try {
    CallForeign(call, [&] {
      while (ANext < ASnapshot.Size()) {
        current = ASnapshot[ANext++].get();
        call.Code = reinterpret_cast<const void*>(current->Handler.Code);
        call.Subject = current->HandlerName.c_str();
        if (!QueryEvent(AEvent, current->EventGuid, &intf)) continue;
        current->Handler.Code(current->Handler.Data, static_cast<IInterface*>(intf));
        ReleaseEvent(std::exchange(intf, nullptr));
      }
    });
  } catch (...) {
    ReportFailure(*current);
    // Already reported: the handler failed before this.
    if (intf) ForeignReleaseNoted(static_cast<IInterface*>(intf));
  }
}

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
    // are walked as they were, by address, which a rehash leaves alone.
    TLock lock(FLock);
    TSnapshot<const TSubscriptionMap::value_type*, 16> entries;
    for (const auto& entry : FSubscriptions) entries.Append(&entry);
    TSnapshot<uint8_t, 16> supported;
    for (size_t i = 0; i < entries.Size(); ++i) supported.Append(0);
    // Every query in one foreign call, with nothing of ours made or held
    // inside it but the answers: a fault leaves it through here, lock
    // included, and no handler is called.
    CallForeign({u"the event's QueryInterface", SlotCode(AEvent, 0)}, [&] {
      for (size_t i = 0; i < entries.Size(); ++i) {
        void* intf = nullptr;
        if (!QueryEvent(AEvent, entries[i]->first, &intf)) continue;
        ReleaseEvent(intf);
        supported.Set(i, 1);
      }
    });
    for (size_t i = 0; i < entries.Size(); ++i)
      if (supported[i])
        for (const TSubscriptionRef& s : entries[i]->second) snapshot.Append(s);
  }
  // Outside the lock: handlers may subscribe, unsubscribe and publish; what
  // they change affects later publishes only.
  size_t next = 0;
  while (next < snapshot.Size()) Deliver(AEvent, snapshot, next);
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
