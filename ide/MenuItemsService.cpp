#include "ide/MenuItemsService.h"

#include "ide/IDE.h"
#include "ide/MainMenu.h"
#include "vcl/Menus.h"

namespace {
TMenuItem* ItemAt(TIDE* ide, const void* item) { return ide ? FindMenuItemAt(ide->MainMenu(), item) : nullptr; }
}  // namespace

int32_t TMenuItemsService::SetOnClick(void* Item, const TNotifyEvent* Handler) {
  TMenuItem* item = ItemAt(Ide(), Item);
  if (!item) return 0;
  item->OnClick = Handler ? *Handler : TNotifyEvent{};
  return 1;
}

int32_t TMenuItemsService::FreeItem(void* Item) {
  TMenuItem* item = ItemAt(Ide(), Item);
  if (!item) return 0;
  item->Free();
  return 1;
}
