#pragma once
// INTAMenuItems: click handlers and freeing for main-menu items, for
// plug-ins that cannot use the component library's classes.
#include "ide/IDEService.h"
#include "toolsapi/MenuItems.h"

class TMenuItemsService : public TIDEServiceOf<INTAMenuItems> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  int32_t SetOnClick(void* Item, const TNotifyEvent* Handler) override;
  int32_t FreeItem(void* Item) override;
};
