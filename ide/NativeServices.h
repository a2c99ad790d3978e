#pragma once
// INTAServices: the IDE's main menu.
#include <atomic>

#include "ide/IDEService.h"
#include "toolsapi/NTAServices.h"

class TNativeServices : public TIDEServiceOf<INTAServices> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  void MenuBeginUpdate() override;
  void MenuEndUpdate() override;
  TMenuItem* FindMenuItem(UnicodeStringRef Name) override;
  TMainMenu* GetMainMenu() override;

  // Open MenuBeginUpdate brackets.
  int MenuUpdateDepth() const noexcept { return updateDepth_; }

 private:
  int updateDepth_ = 0;
};
