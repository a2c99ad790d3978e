#pragma once
// IOTAMessageServices: the IDE's message view, named groups of lines that
// add-ins fill. The view holds its groups, the groups their lines, until
// they are cleared or removed, or the IDE goes.
#include <functional>
#include <mutex>
#include <vector>

#include "ide/IDEService.h"
#include "ide/MessageGroup.h"
#include "rtl/OwnMutex.h"
#include "toolsapi/MessageServices.h"

class TMessageView : public TIDEServiceOf<IOTAMessageServices> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  void ClearAllMessages() override;
  int32_t GetMessageGroupCount() override;
  void GetMessageGroup(ComPtr<IOTAMessageGroup>& Result, int32_t Index) override;
  void AddTitleMessage(UnicodeStringRef MessageStr, IOTAMessageGroup* Group) override;
  void ShowMessageView(IOTAMessageGroup* Group) override;
  void HideMessageView() override;
  bool IsMessageViewVisible() override;
  void GetCurrentGroup(ComPtr<IOTAMessageGroup>& Result) override;
  void SetCurrentGroup(IOTAMessageGroup* Group) override;
  void RemoveMessageGroup(IOTAMessageGroup* Group) override;
  void AddMessageGroup(ComPtr<IOTAMessageGroup>& Result, UnicodeStringRef GroupName) override;
  void AddCustomMessage(IOTACustomMessage* CustomMsg, IOTAMessageGroup* Group) override;
  int32_t GetMessageCount(IOTAMessageGroup* Group) override;
  void GetMessage(ComPtr<IOTACustomMessage>& Result, IOTAMessageGroup* Group, int32_t Index) override;
  void ClearMessageGroup(IOTAMessageGroup* Group) override;
  void ClearCurrentGroup() override;
  bool GetAutoScroll() override;
  void SetAutoScroll(bool Value) override;
  void GetGroup(ComPtr<IOTAMessageGroup>& Result, UnicodeStringRef GroupName) override;

  // For inspection, in the order the groups were added.
  std::vector<ComPtr<TMessageGroup>> Groups() const;
  // The first group of that name, ignoring case.
  ComPtr<TMessageGroup> FindGroup(std::u16string_view Name) const;
  // Lines added through AddCustomMessage, ever.
  size_t CustomMessagesAdded() const;

  // Runs after a line has joined a group, on the adding thread. Whatever it
  // raises reaches the caller of AddCustomMessage, as a failing view would.
  std::function<void(TMessageGroup& Group, IOTACustomMessage* Line)> OnMessageAdded;

 private:
  // The view's own group behind an interface it handed out; null for null
  // or a foreign group. The lock is held.
  TMessageGroup* Own(IOTAMessageGroup* Group) const noexcept;
  // Group, or the current group for null; made ("Messages") when there is
  // none yet. The lock is held.
  TMessageGroup* Target(IOTAMessageGroup* Group);

  mutable TMutex lock_;
  std::vector<ComPtr<TMessageGroup>> groups_;
  TMessageGroup* current_ = nullptr;
  bool visible_ = false;
  bool autoScroll_ = true;
  size_t customAdded_ = 0;
};
