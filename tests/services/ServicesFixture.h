#pragma once
// A simulated IDE with the host's logger, as the package has them once it is
// loaded: BorlandIDEServices set, the logger made on this (the main) thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ide/IDE.h"
#include "ide/MessageView.h"
#include "ide/ThemingServices.h"
#include "logging/Qorb.Main.Logging.h"
#include "toolsapi/Globals.h"

inline UnicodeString Text(const char16_t* s) { return UnicodeString(s); }

class ServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BorlandIDEServices = ide.ServicesObject();
    LoggingInitialization();
  }
  void TearDown() override {
    LoggingFinalization();
    BorlandIDEServices.reset();
  }

  TIDE ide;
  TMessageView& View() { return *ide.Services().Service<TMessageView>(); }
  TThemingServices& Theming() { return *ide.Services().Service<TThemingServices>(); }

  static int Pump() {
    int total = 0;
    while (int n = ProcessMessages()) total += n;
    return total;
  }

  // The lines of the group "Qorb" after their time stamps: "[Source] [Level] text".
  std::vector<std::u16string> QorbBodies(bool pump = true) {
    if (pump) Pump();
    std::vector<std::u16string> r;
    ComPtr<TMessageGroup> group = View().FindGroup(u"Qorb");
    for (const UnicodeString& l : group ? group->Texts() : std::vector<UnicodeString>{})
      r.emplace_back(l.view().substr(std::min<size_t>(15, l.view().size())));
    return r;
  }
};
