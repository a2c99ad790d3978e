#pragma once
// A plain text line the message view makes itself.
#include "rtl/InterfacedObject.h"
#include "toolsapi/CustomMessage.h"

class TTitleMessage : public TInterfacedObjectOf<IOTACustomMessage> {
 public:
  explicit TTitleMessage(UnicodeString Text) : text_(std::move(Text)) {}

  int32_t GetColumnNumber() override { return 0; }
  void GetFileName(UnicodeString& Result) override { Result.Clear(); }
  int32_t GetLineNumber() override { return 0; }
  void GetLineText(UnicodeString& Result) override { Result = text_; }
  void ShowHelp() override {}

 private:
  const UnicodeString text_;
};
