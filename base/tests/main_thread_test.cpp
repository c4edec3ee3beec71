#include "base/main_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "base/thread.h"

namespace kv {
namespace {

class MainThreadCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    calls().SetMainThread();
    calls().Restart();
  }
  void TearDown() override {
    while (calls().Serve(0)) {
    }
  }
  static TMainThreadCalls& calls() { return TMainThreadCalls::Instance(); }
};

class FnThread : public TThread {
 public:
  explicit FnThread(std::function<void(FnThread&)> fn) : fn_(std::move(fn)) {}
  ~FnThread() override { Stop(); }
  using TThread::Synchronize;

 protected:
  void Execute() override { fn_(*this); }

 private:
  std::function<void(FnThread&)> fn_;
};

TEST_F(MainThreadCalls, SynchronizeRunsOnTheMainThreadAndWaits) {
  std::atomic<bool> ranOnMain{false};
  std::atomic<bool> returned{false};
  FnThread t([&](FnThread&) {
    FnThread::Synchronize([&] { ranOnMain = calls().IsMainThread(); });
    returned = true;
  });
  t.Start();
  // WaitFor on the main thread serves the call the worker is blocked in.
  t.WaitFor();
  EXPECT_TRUE(ranOnMain);
  EXPECT_TRUE(returned);
}

TEST_F(MainThreadCalls, SynchronizeOnTheMainThreadRunsAtOnce) {
  int n = 0;
  EXPECT_TRUE(calls().Synchronize([&] { ++n; }));
  EXPECT_EQ(n, 1);
}

TEST_F(MainThreadCalls, ExceptionsReachTheCaller) {
  std::atomic<bool> caught{false};
  FnThread t([&](FnThread&) {
    try {
      FnThread::Synchronize([] { throw std::runtime_error("boom"); });
    } catch (const std::runtime_error&) {
      caught = true;
    }
  });
  t.Start();
  t.WaitFor();
  EXPECT_TRUE(caught);
}

TEST_F(MainThreadCalls, PostedCallsRunInOrderWhenServed) {
  std::vector<int> order;
  FnThread t([&](FnThread&) {
    for (int i = 0; i < 5; ++i) calls().Queue([&order, i] { order.push_back(i); });
  });
  t.Start();
  t.WaitFor();
  EXPECT_TRUE(order.empty() || order.size() == 5);  // served while waiting, or not yet
  calls().Serve(0);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(MainThreadCalls, ShutdownReleasesABlockedCaller) {
  std::atomic<bool> result{true};
  std::atomic<bool> entered{false};
  FnThread t([&](FnThread&) {
    entered = true;
    result = FnThread::Synchronize([] {});
  });
  t.Start();
  while (!entered) std::this_thread::yield();
  calls().Shutdown();
  t.Stop();
  EXPECT_FALSE(result.load());
  calls().Restart();
}

TEST_F(MainThreadCalls, TerminateWakesAWaitingThread) {
  class Waiter : public TThread {
   public:
    ~Waiter() override { Stop(); }
    std::mutex m;
    std::condition_variable cv;

   protected:
    void Execute() override {
      std::unique_lock<std::mutex> lock(m);
      cv.wait(lock, [&] { return Terminated(); });
    }
    void TerminateRequested() override {
      std::lock_guard<std::mutex> lock(m);
      cv.notify_all();
    }
  };
  Waiter w;
  w.Start();
  w.Stop();
  EXPECT_TRUE(w.Finished());
}

}  // namespace
}  // namespace kv
