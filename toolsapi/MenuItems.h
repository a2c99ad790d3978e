#pragma once
// What a plug-in from any compiler, or in C, does with a main-menu item it
// was given: the item's layout belongs to the component library, this
// interface does not depend on it. Plain slots, the handler by address.
#include <cstdint>

#include "rtl/Interface.h"
#include "vcl/Classes.h"

struct INTAMenuItems : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{A2178E55-E572-4C3C-9C0A-6FF6F4C86A23}");
  // Main thread. Both answer 0 and do nothing when Item is not an item of
  // the main menu, 1 otherwise.
  virtual int32_t SetOnClick(void* Item, const TNotifyEvent* Handler) = 0;  // 3
  // Takes the item out of the menu and frees it, with its sub-items.
  virtual int32_t FreeItem(void* Item) = 0;  // 4
};
