#include "eventbus/Qorb.Main.EventBus.Impl.h"

#include <memory>
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

// The event's answer for each identifier of a table, made before the
// publish's foreign call, so that nothing is allocated inside it.
class TAnswers {
 public:
  explicit TAnswers(size_t count) {
    if (count > sizeof inPlace_) more_ = std::make_unique<uint8_t[]>(count);
  }
  uint8_t& operator[](size_t i) noexcept { return more_ ? more_[i] : inPlace_[i]; }

 private:
  uint8_t inPlace_[64] = {};
  std::unique_ptr<uint8_t[]> more_;  // zeroed
};

}  // namespace

size_t TQorbEventBus::TTable::IndexOf(const GUID& AGuid) const noexcept {
  for (size_t i = 0; i < Guids.size(); ++i)
    if (Guids[i] == AGuid) return i;
  return Guids.size();
}

void TQorbEventBus::SubscribeHandler(const GUID& AEventGuid, const TQorbEventHandler& AHandler,
                                     UnicodeStringRef AHandlerName) {
  const TOwnFrame ours;
  if (!AHandler.Assigned()) return;
  auto subscription = std::make_shared<const TQorbSubscription>(
      TQorbSubscription{AHandler.Data, AHandler, UnicodeString(AHandlerName.view()), AEventGuid});
  std::shared_ptr<const TTable> old;  // let go of after the lock
  TLock lock(FLock);
  const size_t at = FTable->IndexOf(AEventGuid);
  if (at < FTable->Guids.size())
    for (const TSubscriptionRef& s : FTable->Lists[at])
      if (SameHandler(s->Handler, AHandler)) return;  // the first name stays
  auto table = std::make_shared<TTable>(*FTable);
  if (at == table->Guids.size()) {
    table->Guids.push_back(AEventGuid);
    table->Lists.emplace_back();
  }
  table->Lists[at].push_back(std::move(subscription));
  old = std::exchange(FTable, std::move(table));
}

void TQorbEventBus::Unsubscribe(TObject* ASubscriber) {
  const TOwnFrame ours;
  if (!ASubscriber) return;
  const void* subscriber = ASubscriber;
  std::shared_ptr<const TTable> old;
  TLock lock(FLock);
  auto table = std::make_shared<TTable>(*FTable);
  // Emptied lists stay: matching keeps asking for their identifiers.
  for (auto& list : table->Lists)
    std::erase_if(list, [subscriber](const TSubscriptionRef& s) { return s->Subscriber == subscriber; });
  old = std::exchange(FTable, std::move(table));
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
  const size_t identifiers = table->Guids.size();
  if (identifiers == 0) return;
  TAnswers supported(identifiers);
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
            supported[i] = 1;
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
  return FTable->Guids.size();
}

std::vector<TQorbSubscription> TQorbEventBus::SubscriptionsFor(const GUID& AEventGuid) const {
  TLock lock(FLock);
  std::vector<TQorbSubscription> copies;
  if (const size_t at = FTable->IndexOf(AEventGuid); at < FTable->Guids.size())
    for (const TSubscriptionRef& s : FTable->Lists[at]) copies.push_back(*s);
  return copies;
}
