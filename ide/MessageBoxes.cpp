#include "ide/MessageBoxes.h"

int32_t TMessageBoxLog::Show(UnicodeStringRef Text, UnicodeStringRef Caption, uint32_t Type) {
  std::lock_guard lock(lock_);
  shown_.push_back({UnicodeString(Caption), UnicodeString(Text), Type});
  return 1;
}

std::vector<TShownMessageBox> TMessageBoxLog::Shown() const {
  std::lock_guard lock(lock_);
  return shown_;
}

void TMessageBoxLog::Clear() {
  std::lock_guard lock(lock_);
  shown_.clear();
}
