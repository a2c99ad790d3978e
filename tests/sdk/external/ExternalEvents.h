#pragma once
// What the external plug-ins share: an event type and a service interface.
#include "sdk/Qorb.Plugin.EventBus.h"

// Published by ExternalCpp on every click of its item.
struct IExternalClickEvent : IQorbEvent {
  using Base = IQorbEvent;
  static constexpr GUID IID = MakeGuid("{3E8C1D52-7A4B-4F19-9C2D-6B5A8E1F0C37}");
  virtual void GetText(UnicodeString& Result) = 0;  // 3
  virtual int32_t Number() = 0;                     // 4

 protected:
  ~IExternalClickEvent() = default;
};

// Registered by ExternalCpp for the other plug-ins.
struct IExternalCounter : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{9B47E2A1-0C6D-4D83-A5F2-71E3C9B80D64}");
  virtual int32_t Clicks() = 0;  // 3

 protected:
  ~IExternalCounter() = default;
};
