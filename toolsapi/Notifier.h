#pragma once
// The base of every interface the IDE calls back on.
#include "rtl/Interface.h"

struct IOTANotifier : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{3ADC3961-C7B4-42B2-8048-4D52D39A8B4B}");
  virtual void AfterSave() = 0;   // 3
  virtual void BeforeSave() = 0;  // 4
  // The IDE is about to drop its reference.
  virtual void Destroyed() = 0;   // 5
  virtual void Modified() = 0;    // 6
};
