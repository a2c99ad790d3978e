#include "ide/NativeServices.h"

#include "ide/IDE.h"
#include "ide/MainMenu.h"

void TNativeServices::MenuBeginUpdate() { ++updateDepth_; }

void TNativeServices::MenuEndUpdate() {
  if (updateDepth_ > 0) --updateDepth_;
}

TMenuItem* TNativeServices::FindMenuItem(UnicodeStringRef Name) {
  TIDE* ide = Ide();
  return ide ? FindMenuItemByName(ide->MainMenu(), Name.view()) : nullptr;
}

TMainMenu* TNativeServices::GetMainMenu() {
  TIDE* ide = Ide();
  return ide ? &ide->MainMenu() : nullptr;
}
