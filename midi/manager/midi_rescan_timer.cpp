#include "midi/manager/midi_rescan_timer.h"

namespace kv {

void TMidiRescanTimer::Arm(uint32_t intervalMs) {
  bool start = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dueAt_ = Clock::now() + std::chrono::milliseconds(intervalMs);
    start = !started_;
    started_ = true;
  }
  changed_.notify_all();
  if (start) Start();
}

void TMidiRescanTimer::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dueAt_.reset();
  }
  changed_.notify_all();
}

void TMidiRescanTimer::TerminateRequested() {
  // Under the lock, so that a countdown about to wait cannot miss the request.
  std::lock_guard<std::mutex> lock(mutex_);
  changed_.notify_all();
}

void TMidiRescanTimer::Execute() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!Terminated()) {
    if (!dueAt_) {
      changed_.wait(lock);
      continue;
    }
    if (Clock::now() < *dueAt_) {
      changed_.wait_until(lock, *dueAt_);
      continue;
    }
    dueAt_.reset();
    lock.unlock();
    due_();
    lock.lock();
  }
}

}  // namespace kv
