#include "ide/MessageView.h"

#include <algorithm>

#include "ide/TitleMessage.h"

TMessageGroup* TMessageView::Own(IOTAMessageGroup* Group) const noexcept {
  if (!Group) return nullptr;
  for (const ComPtr<TMessageGroup>& g : groups_)
    if (static_cast<IOTAMessageGroup*>(g.get()) == Group) return g.get();
  return nullptr;
}

TMessageGroup* TMessageView::Target(IOTAMessageGroup* Group) {
  if (Group) return Own(Group);
  if (!current_) {
    groups_.push_back(Make<TMessageGroup>(UnicodeString(u"Messages"), autoScroll_));
    current_ = groups_.back().get();
  }
  return current_;
}

void TMessageView::ClearAllMessages() {
  for (const ComPtr<TMessageGroup>& g : Groups()) g->Clear();
}

int32_t TMessageView::GetMessageGroupCount() {
  std::lock_guard lock(lock_);
  return static_cast<int32_t>(groups_.size());
}

void TMessageView::GetMessageGroup(ComPtr<IOTAMessageGroup>& Result, int32_t Index) {
  std::lock_guard lock(lock_);
  if (Index < 0 || static_cast<size_t>(Index) >= groups_.size())
    Result.reset();
  else
    Result = groups_[static_cast<size_t>(Index)];
}

void TMessageView::AddTitleMessage(UnicodeStringRef MessageStr, IOTAMessageGroup* Group) {
  ComPtr<TMessageGroup> target;
  {
    std::lock_guard lock(lock_);
    target = Target(Group);
  }
  if (target) target->Add(Make<TTitleMessage>(UnicodeString(MessageStr)));
}

void TMessageView::ShowMessageView(IOTAMessageGroup* Group) {
  std::lock_guard lock(lock_);
  visible_ = true;
  if (TMessageGroup* g = Own(Group)) current_ = g;
}

void TMessageView::HideMessageView() {
  std::lock_guard lock(lock_);
  visible_ = false;
}

bool TMessageView::IsMessageViewVisible() {
  std::lock_guard lock(lock_);
  return visible_;
}

void TMessageView::GetCurrentGroup(ComPtr<IOTAMessageGroup>& Result) {
  std::lock_guard lock(lock_);
  Result = current_;
}

void TMessageView::SetCurrentGroup(IOTAMessageGroup* Group) {
  std::lock_guard lock(lock_);
  if (TMessageGroup* g = Own(Group)) current_ = g;
}

void TMessageView::RemoveMessageGroup(IOTAMessageGroup* Group) {
  ComPtr<TMessageGroup> gone;
  std::lock_guard lock(lock_);
  TMessageGroup* g = Own(Group);
  if (!g) return;
  if (current_ == g) current_ = nullptr;
  auto it = std::find_if(groups_.begin(), groups_.end(), [g](const ComPtr<TMessageGroup>& p) { return p.get() == g; });
  gone = std::move(*it);
  groups_.erase(it);
}

void TMessageView::AddMessageGroup(ComPtr<IOTAMessageGroup>& Result, UnicodeStringRef GroupName) {
  std::lock_guard lock(lock_);
  groups_.push_back(Make<TMessageGroup>(UnicodeString(GroupName), autoScroll_));
  if (!current_) current_ = groups_.back().get();
  Result = groups_.back();
}

void TMessageView::AddCustomMessage(IOTACustomMessage* CustomMsg, IOTAMessageGroup* Group) {
  if (!CustomMsg) return;
  ComPtr<TMessageGroup> target;
  {
    std::lock_guard lock(lock_);
    target = Target(Group);
    if (!target) return;
    ++customAdded_;
  }
  target->Add(CustomMsg);
  if (OnMessageAdded) OnMessageAdded(*target, CustomMsg);
}

int32_t TMessageView::GetMessageCount(IOTAMessageGroup* Group) {
  std::lock_guard lock(lock_);
  TMessageGroup* g = Own(Group);
  return g ? static_cast<int32_t>(g->Count()) : 0;
}

void TMessageView::GetMessage(ComPtr<IOTACustomMessage>& Result, IOTAMessageGroup* Group, int32_t Index) {
  ComPtr<TMessageGroup> g;
  {
    std::lock_guard lock(lock_);
    g = Own(Group);
  }
  Result = (g && Index >= 0) ? g->Line(static_cast<size_t>(Index)) : nullptr;
}

void TMessageView::ClearMessageGroup(IOTAMessageGroup* Group) {
  ComPtr<TMessageGroup> g;
  {
    std::lock_guard lock(lock_);
    g = Own(Group);
  }
  if (g) g->Clear();
}

void TMessageView::ClearCurrentGroup() {
  ComPtr<TMessageGroup> g;
  {
    std::lock_guard lock(lock_);
    g = current_;
  }
  if (g) g->Clear();
}

bool TMessageView::GetAutoScroll() {
  std::lock_guard lock(lock_);
  return autoScroll_;
}

void TMessageView::SetAutoScroll(bool Value) {
  std::lock_guard lock(lock_);
  autoScroll_ = Value;
}

void TMessageView::GetGroup(ComPtr<IOTAMessageGroup>& Result, UnicodeStringRef GroupName) {
  Result = FindGroup(GroupName.view());
}

std::vector<ComPtr<TMessageGroup>> TMessageView::Groups() const {
  std::lock_guard lock(lock_);
  return groups_;
}

ComPtr<TMessageGroup> TMessageView::FindGroup(std::u16string_view Name) const {
  std::lock_guard lock(lock_);
  for (const ComPtr<TMessageGroup>& g : groups_)
    if (SameText(g->Name().view(), Name)) return g;
  return nullptr;
}

size_t TMessageView::CustomMessagesAdded() const {
  std::lock_guard lock(lock_);
  return customAdded_;
}
