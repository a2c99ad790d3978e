#pragma once
// A simulated IDE with the host's logger, as the package has them once it is
// loaded: BorlandIDEServices set, the logger made on this (the main) thread.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ide/IDE.h"
#include "ide/MessageView.h"
#include "logging/Qorb.Main.Logging.h"
#include "toolsapi/Globals.h"
#include "toolsapi/MessageServices.h"

class ServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ide_ = std::make_unique<TIDE>();
    BorlandIDEServices = ide_->ServicesObject();
    LoggingInitialization();
  }
  void TearDown() override {
    LoggingFinalization();
    BorlandIDEServices.reset();
    ide_.reset();
  }

  TIDE& Ide() { return *ide_; }
  TMessageView& View() { return *ide_->Services().Service<TMessageView>(); }

 public:
  // Runs the main thread's message loop until nothing is waiting.
  static int Pump() {
    int total = 0;
    while (int n = ProcessMessages()) total += n;
    return total;
  }

  // The lines of the group "Qorb" as the IDE shows them; empty without one.
  static std::vector<UnicodeString> QorbLines() {
    std::vector<UnicodeString> lines;
    ComPtr<IOTAMessageServices> messages = BorlandIDEServices.As<IOTAMessageServices>();
    ComPtr<IOTAMessageGroup> group;
    messages->GetGroup(group, UnicodeString(u"Qorb"));
    if (!group) return lines;
    const int32_t n = messages->GetMessageCount(group.get());
    for (int32_t i = 0; i < n; ++i) {
      ComPtr<IOTACustomMessage> line;
      messages->GetMessage(line, group.get(), i);
      UnicodeString text;
      line->GetLineText(text);
      lines.push_back(text);
    }
    return lines;
  }

  // The part of a line after its time stamp: "[Source] [Level] text".
  static std::u16string WithoutTime(const UnicodeString& line) {
    std::u16string_view v = line.view();
    return std::u16string(v.size() > 15 ? v.substr(15) : v);
  }

 private:
  std::unique_ptr<TIDE> ide_;
};
