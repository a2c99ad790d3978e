#include "ide/MessageGroup.h"

bool TMessageGroup::GetCanClose() {
  std::lock_guard lock(lock_);
  return canClose_;
}

void TMessageGroup::SetCanClose(bool Value) {
  std::lock_guard lock(lock_);
  canClose_ = Value;
}

bool TMessageGroup::GetAutoScroll() {
  std::lock_guard lock(lock_);
  return autoScroll_;
}

void TMessageGroup::SetAutoScroll(bool Value) {
  std::lock_guard lock(lock_);
  autoScroll_ = Value;
}

void TMessageGroup::Add(ComPtr<IOTACustomMessage> Line) {
  std::lock_guard lock(lock_);
  lines_.push_back(std::move(Line));
}

void TMessageGroup::Clear() {
  std::vector<ComPtr<IOTACustomMessage>> gone;
  {
    std::lock_guard lock(lock_);
    gone.swap(lines_);
  }
  // Released outside the lock: a line's destructor may call back.
}

size_t TMessageGroup::Count() const {
  std::lock_guard lock(lock_);
  return lines_.size();
}

ComPtr<IOTACustomMessage> TMessageGroup::Line(size_t Index) const {
  std::lock_guard lock(lock_);
  return Index < lines_.size() ? lines_[Index] : nullptr;
}

std::vector<ComPtr<IOTACustomMessage>> TMessageGroup::Lines() const {
  std::lock_guard lock(lock_);
  return lines_;
}

std::vector<UnicodeString> TMessageGroup::Texts() const {
  std::vector<UnicodeString> texts;
  for (const ComPtr<IOTACustomMessage>& line : Lines()) {
    UnicodeString text;
    line->GetLineText(text);
    texts.push_back(std::move(text));
  }
  return texts;
}
