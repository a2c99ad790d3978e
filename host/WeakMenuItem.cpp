#include "host/WeakMenuItem.h"

#include <utility>

#include "vcl/Menus.h"

namespace {

// Freed with the item that owns it, and clears the slot then.
class TFreeWatch final : public TComponent {
 public:
  TFreeWatch(TMenuItem* AItem, std::shared_ptr<TMenuItem*> ASlot) : TComponent(AItem), slot_(std::move(ASlot)) {}
  ~TFreeWatch() override { *slot_ = nullptr; }

 private:
  std::shared_ptr<TMenuItem*> slot_;
};

}  // namespace

TWeakMenuItem::TWeakMenuItem(TMenuItem* AItem) {
  if (!AItem) return;
  slot_ = std::make_shared<TMenuItem*>(AItem);
  new TFreeWatch(AItem, slot_);  // owned by AItem
}
