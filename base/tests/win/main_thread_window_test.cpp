#include "base/win/main_thread_window.h"

#include <gtest/gtest.h>

#include <atomic>

#include "base/main_thread.h"
#include "base/thread.h"

namespace kv {
namespace {

class CallingThread : public TThread {
 public:
  std::atomic<bool> ranOnMain{false};
  std::atomic<bool> done{false};
  ~CallingThread() override { Stop(); }

 protected:
  void Execute() override {
    Synchronize([this] { ranOnMain = TMainThreadCalls::Instance().IsMainThread(); });
    TMainThreadCalls::Instance().Queue([this] { done = true; });
  }
};

// A worker's blocking call is served by the ordinary message loop through the hidden window.
TEST(MainThreadWindow, TheMessageLoopServesCallsFromOtherThreads) {
  TMainThreadCalls::Instance().Restart();
  win::TMainThreadWindow window;
  ASSERT_NE(window.Handle(), nullptr);
  CallingThread t;
  t.Start();
  const DWORD start = GetTickCount();
  MSG msg;
  while (!t.done && GetTickCount() - start < 10000) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  EXPECT_TRUE(t.ranOnMain);
  EXPECT_TRUE(t.done);
  t.WaitFor();
}

}  // namespace
}  // namespace kv
