#pragma once
// The IDE's native services: its main menu, as live component objects.
#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"

class TMainMenu;
class TMenuItem;

struct INTAServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{8209041F-F37F-4570-88B8-6C310FFFF81A}");
  // Nested pairs bracket a batch of menu changes.
  virtual void MenuBeginUpdate() = 0;  // 3
  virtual void MenuEndUpdate() = 0;    // 4
  // A main-menu item anywhere in the tree by component name, ignoring
  // case; null when there is none.
  virtual TMenuItem* FindMenuItem(UnicodeStringRef Name) = 0;  // 5
  virtual TMainMenu* GetMainMenu() = 0;                        // 6
};
