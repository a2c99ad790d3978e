#pragma once
// Event interfaces and objects for the event-bus tests.
#include <atomic>

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

class TPing : public TInterfacedObjectOf<IPingEvent> {
 public:
  explicit TPing(int32_t v = 0) : v_(v) {}
  int32_t Value() override { return v_; }

 private:
  int32_t v_;
};

class TPong : public TInterfacedObjectOf<IPongEvent> {
 public:
  explicit TPong(int32_t v = 0) : v_(v) {}
  int32_t Value() override { return v_; }

 private:
  int32_t v_;
};

struct IUnrelated : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{7A1E0009-0000-4000-8000-000000000009}");
};
class TUnrelated : public TInterfacedObjectOf<IUnrelated> {};

// Supports both event interfaces.
class TPingPong : public TInterfacedObjectOf<IPingEvent, IPongEvent> {
 public:
  int32_t Value() override { return 7; }
};
