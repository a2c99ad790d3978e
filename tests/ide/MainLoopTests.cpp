#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "ide/IDE.h"
#include "ide/MainLoop.h"

TEST(MainLoop, RunsTasksAndSourcesUntilIdle) {
  TMainLoop loop;
  std::vector<int> order;
  int pending = 3;  // a source with three items, handled one a round
  const int id = loop.AddWorkSource([&]() -> size_t {
    if (pending == 0) return 0;
    order.push_back(100 + pending--);
    return 1;
  });
  loop.Post([&] {
    order.push_back(1);
    loop.Post([&] { order.push_back(2); });  // posted while running: still this call
  });
  EXPECT_EQ(loop.RunUntilIdle(), 5u);
  EXPECT_EQ(order, (std::vector<int>{1, 103, 2, 102, 101}));
  EXPECT_EQ(loop.RunUntilIdle(), 0u);

  loop.RemoveWorkSource(id);
  pending = 1;
  EXPECT_EQ(loop.RunUntilIdle(), 0u);
}

TEST(MainLoop, EndlessWorkStopsAtTheRoundLimit) {
  TMainLoop loop;
  loop.AddWorkSource([] { return size_t{1}; });
  EXPECT_EQ(loop.RunUntilIdle(), TMainLoop::MaxRounds);
}

TEST(MainLoop, OnlyTheMainThreadRunsIt) {
  TMainLoop loop;
  bool threw = false;
  std::thread([&] {
    EXPECT_FALSE(loop.IsMainThread());
    try {
      loop.RunUntilIdle();
    } catch (const std::logic_error&) {
      threw = true;
    }
  }).join();
  EXPECT_TRUE(threw);
}

TEST(MainLoop, TheIDEReportsWhatATaskRaises) {
  TIDE ide;
  bool after = false;
  ide.MainLoop().Post([] { throw std::runtime_error("task failed"); });
  ide.MainLoop().Post([&] { after = true; });
  bool failed = false;
  ide.MainLoop().AddWorkSource([&]() -> size_t {
    if (failed) return 0;
    failed = true;
    throw Exception(u"source failed");
  });
  ide.MainLoop().RunUntilIdle();
  EXPECT_TRUE(after);
  ASSERT_EQ(ide.Errors().size(), 2u);
  EXPECT_EQ(ide.Errors()[0], u"Exception runtime_error in the main thread: task failed");
  EXPECT_EQ(ide.Errors()[1], u"Exception Exception in the main thread: source failed");
}
