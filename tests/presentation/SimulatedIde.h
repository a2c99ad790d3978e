#pragma once
// A simulated IDE whose services the host sees as it does once the package
// is loaded. The global service variables are cleared at the end, whatever
// a test put there.
#include <gtest/gtest.h>

#include "ide/IDE.h"
#include "ide/WelcomePageService.h"
#include "toolsapi/Globals.h"

class SimulatedIdeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BorlandIDEServices = ide.ServicesObject();
    SplashScreenServices = BorlandIDEServices.As<IOTASplashScreenServices>();
    WelcomePagePluginService = BorlandIDEServices.As<INTAWelcomePagePluginService>();
  }
  void TearDown() override {
    Service<TWelcomePageService>().Clear();
    BorlandIDEServices = nullptr;
    SplashScreenServices = nullptr;
    WelcomePagePluginService = nullptr;
  }
  template <class T>
  T& Service() {
    return *ide.Services().Service<T>();
  }

  TIDE ide;
};
