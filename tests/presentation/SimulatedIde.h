#pragma once
// A simulated IDE whose services the host sees, as it does once the package
// is loaded: BorlandIDEServices and WelcomePagePluginService are set.
#include <gtest/gtest.h>

#include <memory>

#include "ide/IDE.h"
#include "ide/ThemingServices.h"
#include "ide/WelcomePagePainter.h"
#include "ide/WelcomePageService.h"
#include "tests/presentation/IdeGlobals.h"

class SimulatedIdeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ide = std::make_unique<TIDE>();
    globals.Services(ide->ServicesObject());
    globals.WelcomePage(ide->ServicesObject());
  }
  void TearDown() override {
    WelcomePage().Clear();
    BorlandIDEServices = nullptr;
    WelcomePagePluginService = nullptr;
    ide.reset();
  }

  TWelcomePageService& WelcomePage() { return *ide->Services().Service<TWelcomePageService>(); }
  TWelcomePagePainter& Painter() { return *ide->Services().Service<TWelcomePagePainter>(); }
  TThemingServices& Theming() { return *ide->Services().Service<TThemingServices>(); }

  std::unique_ptr<TIDE> ide;
  TIdeGlobals globals;
};
