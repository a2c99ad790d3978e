#pragma once
// An add-in that the IDE keeps for the lifetime of its package.
#include "rtl/UnicodeString.h"
#include "toolsapi/Notifier.h"
#include "toolsapi/WizardState.h"

struct IOTAWizard : IOTANotifier {
  using Base = IOTANotifier;
  static constexpr GUID IID = MakeGuid("{0F77A7EE-B4BA-41E7-BA55-532F48407BB7}");
  // Unique, stable identity, e.g. "Vendor.Product.Wizard".
  virtual void GetIDString(UnicodeString& Result) = 0;  // 7
  virtual void GetName(UnicodeString& Result) = 0;      // 8
  virtual TWizardState GetState() = 0;                  // 9
  virtual void Execute() = 0;                           // 10
};
