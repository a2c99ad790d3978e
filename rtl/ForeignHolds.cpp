#include "rtl/ForeignHolds.h"

#include <mutex>

#include "rtl/OwnMutex.h"

namespace qorb::rtl {
namespace {

// Not constinit: MinGW's mutex is made at run time.
TMutex& HoldsLock() {
  static TMutex lock;
  return lock;
}
constinit TForeignHold* oldest = nullptr;
constinit TForeignHold* newest = nullptr;

}  // namespace

TForeignHold::TForeignHold(THeldCode Held) : held_(std::move(Held)) {
  const std::lock_guard guard(HoldsLock());
  prev_ = newest;
  (prev_ ? prev_->next_ : oldest) = this;
  newest = this;
}

TForeignHold::~TForeignHold() {
  const std::lock_guard guard(HoldsLock());
  (prev_ ? prev_->next_ : oldest) = next_;
  (next_ ? next_->prev_ : newest) = prev_;
}

std::vector<THeldCode> ForeignHolds() {
  std::vector<THeldCode> out;
  const std::lock_guard guard(HoldsLock());
  for (const TForeignHold* h = oldest; h; h = h->next_) out.push_back(h->held_);
  return out;
}

}  // namespace qorb::rtl
