#pragma once
// A group (tab) of the message view and the lines it holds. The group keeps
// one reference to every line until it is cleared.
#include <mutex>
#include <vector>

#include "rtl/ComPtr.h"
#include "rtl/InterfacedObject.h"
#include "rtl/OwnMutex.h"
#include "toolsapi/MessageServices.h"

class TMessageGroup : public TInterfacedObjectOf<IOTAMessageGroup> {
 public:
  TMessageGroup(UnicodeString Name, bool AutoScroll) : name_(std::move(Name)), autoScroll_(AutoScroll) {}

  void GetGroupName(UnicodeString& Result) override { Result = name_; }
  bool GetCanClose() override;
  void SetCanClose(bool Value) override;
  bool GetAutoScroll() override;
  void SetAutoScroll(bool Value) override;

  const UnicodeString& Name() const noexcept { return name_; }
  void Add(ComPtr<IOTACustomMessage> Line);
  // Releases every line.
  void Clear();
  size_t Count() const;
  // Null for an index out of range.
  ComPtr<IOTACustomMessage> Line(size_t Index) const;
  std::vector<ComPtr<IOTACustomMessage>> Lines() const;
  // Each line as its GetLineText gives it.
  std::vector<UnicodeString> Texts() const;

 private:
  const UnicodeString name_;
  mutable TMutex lock_;
  std::vector<ComPtr<IOTACustomMessage>> lines_;
  bool canClose_ = true;
  bool autoScroll_;
};
