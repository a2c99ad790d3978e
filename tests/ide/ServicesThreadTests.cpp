#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ide/IDE.h"
#include "tests/ide/Fixtures.h"
#include "toolsapi/ToolsAPI.h"

// Plug-ins look services up from any thread while the IDE switches and adds them.
TEST(IDEServicesThreads, QueriesRaceWithSwitchingAndAdding) {
  TIDE ide;
  ComPtr<IBorlandIDEServices> services = ide.ServicesObject();
  std::atomic<bool> stop{false};
  std::atomic<int> generalMissing{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&] {
      while (!stop.load()) {
        ComPtr<INTAServices> nta = services.As<INTAServices>();  // may be switched off
        EXPECT_TRUE(!nta || nta.As<IBorlandIDEServices>());
        if (!services.As<IOTAServices>()) ++generalMissing;
      }
    });
  for (int i = 0; i < 2000; ++i) {
    ide.Services().SetEnabled(INTAServices::IID, i % 2 == 0);
    if (i == 1000) ide.Services().Add<TJournalService>();
  }
  stop = true;
  for (auto& th : threads) th.join();
  EXPECT_EQ(generalMissing.load(), 0);
  services.reset();
  EXPECT_TRUE(ide.Shutdown().empty());
}
