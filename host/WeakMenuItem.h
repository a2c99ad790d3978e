#pragma once
// A menu item reference that turns null when the item is freed. The IDE's
// menu items have no free notification, so a small component owned by the
// item clears the reference from its destructor. Main thread only.
#include <memory>

class TMenuItem;

class TWeakMenuItem {
 public:
  TWeakMenuItem() = default;
  // Null stays null; otherwise the item gets one more owned component.
  explicit TWeakMenuItem(TMenuItem* AItem);

  // The item, or null once it has been freed.
  TMenuItem* get() const noexcept { return slot_ ? *slot_ : nullptr; }

 private:
  std::shared_ptr<TMenuItem*> slot_;
};
