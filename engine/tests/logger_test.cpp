#include "engine/logger.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/main_thread.h"
#include "engine/translate_params.h"

namespace kv {
namespace {

// Serves main-thread calls until pred holds or a generous bound (30 s) passes.
template <class Pred>
bool ServeUntil(Pred pred) {
  auto& calls = TMainThreadCalls::Instance();
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!pred() && std::chrono::steady_clock::now() < giveUp) calls.Serve(5);
  return pred();
}

class LoggerTest : public ::testing::Test {
 protected:
  void SetUp() override { TMainThreadCalls::Instance().SetMainThread(); }
};

TEST_F(LoggerTest, DeliversLinesInOrderOnTheMainThread) {
  std::vector<std::string> got;
  std::thread::id deliveredOn;
  {
    TLogger logger;
    logger.SetOnLog([&](const std::string& line) {
      got.push_back(line);
      deliveredOn = std::this_thread::get_id();
    });
    std::thread producer([&] {
      for (int i = 0; i < 50; ++i) logger.Log("line " + std::to_string(i));
    });
    producer.join();
    ASSERT_TRUE(ServeUntil([&] { return got.size() == 50; }));
  }
  for (int i = 0; i < 50; ++i) EXPECT_EQ(got[i], "line " + std::to_string(i));
  EXPECT_EQ(deliveredOn, std::this_thread::get_id());
}

TEST_F(LoggerTest, LongLineIsCutTo99Characters) {
  std::vector<std::string> got;
  TLogger logger;
  logger.SetOnLog([&](const std::string& line) { got.push_back(line); });
  logger.Log(std::string(150, 'a'));
  ASSERT_TRUE(ServeUntil([&] { return got.size() == 1; }));
  EXPECT_EQ(got[0], std::string(99, 'a'));
}

TEST_F(LoggerTest, FullRingDropsLinesUntilTheBacklogDrains) {
  std::vector<std::string> got;
  TLogDispatcher dispatcher;
  dispatcher.SetOnLog([&](const std::string& line) { got.push_back(line); });
  // The main thread is not serving: the first line is held in delivery, so 2000 are pending.
  for (int i = 0; i < 2001; ++i) dispatcher.Add(std::to_string(i));
  EXPECT_EQ(dispatcher.Pending(), 2000u);
  ASSERT_TRUE(ServeUntil([&] { return dispatcher.Pending() == 0; }));
  ASSERT_EQ(got.size(), 2000u);
  EXPECT_EQ(got.back(), "1999");
  dispatcher.Add("again");
  ASSERT_TRUE(ServeUntil([&] { return got.size() == 2001; }));
  EXPECT_EQ(got.back(), "again");
}

TEST_F(LoggerTest, RemovedReceiverSkipsPendingLines) {
  std::vector<std::string> got;
  TLogDispatcher dispatcher;
  dispatcher.SetOnLog([&](const std::string& line) { got.push_back(line); });
  for (int i = 0; i < 10; ++i) dispatcher.Add("x");
  dispatcher.SetOnLog({});
  ASSERT_TRUE(ServeUntil([&] { return dispatcher.Pending() == 0; }));
  // At most the line already in delivery got through.
  EXPECT_LE(got.size(), 1u);
}

TEST_F(LoggerTest, ReceiverErrorDoesNotStopTheLog) {
  int calls = 0;
  TLogger logger;
  logger.SetOnLog([&](const std::string&) {
    ++calls;
    throw std::runtime_error("receiver failed");
  });
  logger.Log("a");
  logger.Log("b");
  ASSERT_TRUE(ServeUntil([&] { return calls == 2; }));
}

// Logging switched off while other threads log: the logger is never freed under them.
TEST_F(LoggerTest, SwitchingLoggingOffWhileThreadsLogIsSafe) {
  TGlobalTranslateParams params;
  std::atomic<bool> stop{false};
  std::atomic<int> running{0};
  std::vector<std::thread> producers;
  for (int t = 0; t < 3; ++t) {
    producers.emplace_back([&] {
      ++running;
      while (!stop) params.Log("from a worker");
    });
  }
  // The switching must meet producers that run (a new thread may take a while to start).
  EXPECT_TRUE(ServeUntil([&] { return running == 3; }));
  int delivered = 0;
  for (int round = 0; round < 20; ++round) {
    params.SetOnLog([&](const std::string&) { ++delivered; });
    TMainThreadCalls::Instance().Serve(1);
    params.SetOnLog({});
    EXPECT_FALSE(params.IsLogging());
  }
  stop = true;
  for (auto& p : producers) p.join();
  SUCCEED() << delivered << " lines delivered";
}

TEST_F(LoggerTest, DestructionWithLinesPendingReturns) {
  std::vector<std::string> got;
  {
    TLogger logger;
    logger.SetOnLog([&](const std::string& line) { got.push_back(line); });
    // Nobody serves the main thread before the destructor does: it must serve, so the line
    // in delivery can finish, and then end the thread.
    for (int i = 0; i < 100; ++i) logger.Log("pending");
  }
  EXPECT_LE(got.size(), 100u);
}

}  // namespace
}  // namespace kv
