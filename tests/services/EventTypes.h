#pragma once
// Event interfaces and objects for the event-bus tests.
#include "eventbus/Qorb.Main.EventBus.Impl.h"
#include "rtl/InterfacedObject.h"

struct IPingEvent : IQorbEvent {
  using Base = IQorbEvent;
  static constexpr GUID IID = MakeGuid("{7A1E0001-0000-4000-8000-000000000001}");
  virtual int32_t Value() = 0;
};

struct IPongEvent : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{7A1E0002-0000-4000-8000-000000000002}");
  virtual int32_t Value() = 0;
};

// Carries a value; supports every interface it lists.
template <class... I>
class TEvent : public TInterfacedObjectOf<I...> {
 public:
  explicit TEvent(int32_t v = 0) : v_(v) {}
  int32_t Value() override { return v_; }

 private:
  int32_t v_;
};
using TPing = TEvent<IPingEvent>;
using TPong = TEvent<IPongEvent>;
