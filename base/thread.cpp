#include "base/thread.h"

#include "base/main_thread.h"

namespace kv {

TThread::~TThread() {
  if (worker_.joinable()) {
    terminated_.store(true, std::memory_order_release);
    WaitFor();
  }
}

void TThread::Start() {
  if (worker_.joinable()) return;
  finished_.store(false, std::memory_order_release);
  worker_ = std::thread([this] { Run(); });
}

void TThread::Run() {
  try {
    Execute();
  } catch (...) {
    // A thread's failure must not end the process; Execute reports its own errors.
  }
  finished_.store(true, std::memory_order_release);
  TMainThreadCalls::Instance().Wake();
}

void TThread::Terminate() {
  terminated_.store(true, std::memory_order_release);
  TerminateRequested();
}

void TThread::WaitFor() {
  if (!worker_.joinable()) return;
  if (worker_.get_id() == std::this_thread::get_id()) return;  // never join oneself
  TMainThreadCalls& calls = TMainThreadCalls::Instance();
  if (calls.IsMainThread()) {
    while (!Finished()) calls.Serve(10);
  }
  worker_.join();
}

bool TThread::Synchronize(std::function<void()> fn) {
  return TMainThreadCalls::Instance().Synchronize(std::move(fn));
}

}  // namespace kv
