#pragma once
// A worker thread with a termination request, as the program's long-lived threads (logger,
// dispatcher, lamps, virtual-port receive) are built. Execute polls Terminated() or waits on
// something that TerminateRequested wakes.
//
// Lifecycle: Start once; Stop (Terminate + WaitFor) before the derived object is destroyed,
// normally from the derived destructor, because Execute runs derived code. The base
// destructor stops a thread still running only as a last resort.
#include <atomic>
#include <functional>
#include <thread>

namespace kv {

class TThread {
 public:
  TThread() = default;
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start();
  void Terminate();
  bool Terminated() const { return terminated_.load(std::memory_order_acquire); }
  // Waits for Execute to return. On the main thread it keeps serving main-thread calls, so a
  // worker blocked in Synchronize can finish.
  void WaitFor();
  void Stop() {
    Terminate();
    WaitFor();
  }
  bool Started() const { return worker_.joinable(); }
  bool Finished() const { return finished_.load(std::memory_order_acquire); }

 protected:
  virtual void Execute() = 0;
  // Called on the terminating thread after the flag is set: wake Execute's waits here.
  virtual void TerminateRequested() {}
  // Runs fn on the main thread and waits; false when the program is shutting down.
  static bool Synchronize(std::function<void()> fn);

 private:
  void Run();

  std::thread worker_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
};

}  // namespace kv
