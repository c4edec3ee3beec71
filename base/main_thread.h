#pragma once
// Calls from other threads onto the main thread: a blocking call (Synchronize) and a posted
// call (Queue). The main thread runs them when it serves the queue: on Windows from a hidden
// message window whenever the message loop runs (base/win/main_thread_window.h); in native
// tests by calling Serve explicitly. A main thread that waits for another thread must keep
// serving (TThread::WaitFor does), or a worker blocked in Synchronize would never return.
//
// Lock: one mutex guards the pending calls; no call is run with it held.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kv {

class TMainThreadCalls {
 public:
  // The process-wide queue. The thread that first calls Instance is taken as the main thread
  // until SetMainThread names another.
  static TMainThreadCalls& Instance();

  void SetMainThread();  // the calling thread becomes the main thread
  bool IsMainThread() const;

  // Runs fn on the main thread and waits for it; on the main thread it runs at once. An
  // exception thrown by fn is rethrown here. False (fn not run) once the queue is shut down.
  bool Synchronize(std::function<void()> fn);
  // Leaves fn for the main thread and returns at once. Dropped once the queue is shut down.
  void Queue(std::function<void()> fn);

  // Main thread: runs every pending call, waiting up to timeoutMs for the first one when none
  // is pending. Returns true when any call ran.
  bool Serve(uint32_t timeoutMs = 0);
  // Wakes a main thread waiting in Serve (and on Windows the message loop) without a call.
  void Wake();

  // Set by the Windows message window: how to get the message loop to call Serve.
  void SetWaker(std::function<void()> waker);

  // Program end: pending posted calls are dropped, waiting Synchronize calls return false.
  void Shutdown();
  void Restart();  // tests only: accept calls again

 private:
  struct Call {
    std::function<void()> fn;
    bool* done = nullptr;  // set by the main thread for blocking calls
    std::exception_ptr* error = nullptr;
  };
  TMainThreadCalls();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Call> pending_;
  std::thread::id mainThread_;
  std::function<void()> waker_;
  bool shutDown_ = false;
};

}  // namespace kv
