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

// A list made before a publish's foreign call; the first few items are kept
// in place so that a publish to a handful of identifiers does not allocate.
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

}  // namespace

// What a publish reads: every identifier ever subscribed for, in the map's
// order, with its subscriptions at the time. Never changed once made:
// subscribing and unsubscribing put a new one in its place, and a publish
// keeps the one it took for as long as it runs.
struct TQorbEventBus::TTable {
  std::vector<GUID> Guids;
  std::vector<std::vector<TSubscriptionRef>> Lists;
};

void TQorbEventBus::Changed(std::shared_ptr<const TTable>& AOld) {
  auto table = std::make_shared<TTable>();
  table->Guids.reserve(FSubscriptions.size());
  table->Lists.reserve(FSubscriptions.size());
  for (const auto& [guid, list] : FSubscriptions) {
    table->Guids.push_back(guid);
    table->Lists.push_back(list);
  }
  AOld = std::exchange(FTable, std::move(table));
}

void TQorbEventBus::SubscribeHandler(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                                     UnicodeStringRef AHandlerName) {
  const TOwnFrame ours;
  if (!AHandler.Assigned()) return;
  auto subscription = std::make_shared<const TQorbSubscription>(
      TQorbSubscription{AHandler.Data, AHandler, UnicodeString(AHandlerName.view()), AEventGuid});
  std::shared_ptr<const TTable> old;  // let go of after the lock
  TLock lock(FLock);
  std::vector<TSubscriptionRef>& list = FSubscriptions[AEventGuid];
  for (const TSubscriptionRef& s : list)
    if (SameHandler(s->Handler, AHandler)) return;  // the first name stays
  list.push_back(std::move(subscription));
  Changed(old);
}

void TQorbEventBus::Unsubscribe(TObject* ASubscriber) {
  const TOwnFrame ours;
  if (!ASubscriber) return;
  const void* subscriber = ASubscriber;
  std::shared_ptr<const TTable> old;
  TLock lock(FLock);
  // Emptied lists stay: matching keeps asking for their identifiers.
  for (auto& entry : FSubscriptions)
    std::erase_if(entry.second, [subscriber](const TSubscriptionRef& s) { return s->Subscriber == subscriber; });
  Changed(old);
}

void TQorbEventBus::Publish(IInterface* AEvent) {
  const TOwnFrame ours;
  if (!AEvent) return;
  // Subscribing and unsubscribing from now on, by handlers or by the
  // event's own queries, affect later publishes only.
  std::shared_ptr<const TTable> table;
  {
    TLock lock(FLock);
    table = FTable;
  }
  if (!table) return;
  const size_t identifiers = table->Guids.size();
  TSnapshot<uint8_t, 64> supported;
  for (size_t i = 0; i < identifiers; ++i) supported.Append(0);
  // One foreign call asks the event for every identifier and then calls
  // the handlers of those it supports, each with the event's answer for its
  // identifier asked anew and let go of after it. Nothing of ours is made
  // or held inside: a fault leaves it through here. A failure while
  // matching leaves Publish and calls no handler; a failing handler is
  // reported and the next call goes on after it.
  TForeignCall call{u"the event's QueryInterface", SlotCode(AEvent, 0)};
  bool matched = false;
  size_t entry = 0, index = 0;
  const TQorbSubscription* current = nullptr;
  void* intf = nullptr;
  for (;;) {
    try {
      CallForeign(call, [&] {
        if (!matched) {
          for (size_t i = 0; i < identifiers; ++i) {
            if (!QueryEvent(AEvent, table->Guids[i], &intf)) continue;
            ReleaseEvent(std::exchange(intf, nullptr));
            supported.Set(i, 1);
          }
          matched = true;
          call.What = u"event handler";
        }
        for (; entry < identifiers; ++entry, index = 0) {
          if (!supported[entry]) continue;
          const std::vector<TSubscriptionRef>& list = table->Lists[entry];
          while (index < list.size()) {
            current = list[index++].get();
            call.Code = reinterpret_cast<const void*>(current->Handler.Code);
            call.Subject = current->HandlerName.c_str();
            if (!QueryEvent(AEvent, current->EventGuid, &intf)) continue;
            current->Handler.Code(current->Handler.Data, static_cast<IInterface*>(intf));
            ReleaseEvent(std::exchange(intf, nullptr));
          }
        }
      });
      return;
    } catch (...) {
      if (!matched) throw;
      ReportFailure(*current);
      // Already reported: the handler failed before this.
      if (void* left = std::exchange(intf, nullptr)) ForeignReleaseNoted(static_cast<IInterface*>(left));
    }
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
