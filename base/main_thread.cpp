#include "base/main_thread.h"

#include <chrono>

namespace kv {

TMainThreadCalls& TMainThreadCalls::Instance() {
  static TMainThreadCalls instance;
  return instance;
}

TMainThreadCalls::TMainThreadCalls() : mainThread_(std::this_thread::get_id()) {}

void TMainThreadCalls::SetMainThread() {
  std::lock_guard<std::mutex> lock(mutex_);
  mainThread_ = std::this_thread::get_id();
}

bool TMainThreadCalls::IsMainThread() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return mainThread_ == std::this_thread::get_id();
}

void TMainThreadCalls::SetWaker(std::function<void()> waker) {
  std::lock_guard<std::mutex> lock(mutex_);
  waker_ = std::move(waker);
}

void TMainThreadCalls::Wake() {
  std::function<void()> waker;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waker = waker_;
  }
  changed_.notify_all();
  if (waker) waker();
}

bool TMainThreadCalls::Synchronize(std::function<void()> fn) {
  if (IsMainThread()) {
    fn();
    return true;
  }
  bool done = false;
  std::exception_ptr error;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (shutDown_) return false;
    pending_.push_back(Call{std::move(fn), &done, &error});
  }
  Wake();
  std::unique_lock<std::mutex> lock(mutex_);
  // After a shut-down the call is taken back unless the main thread is already running it;
  // then it is waited for, so the main thread never writes to this frame once it is gone.
  auto withdrawn = [&] {
    for (auto it = pending_.begin(); it != pending_.end(); ++it)
      if (it->done == &done) {
        pending_.erase(it);
        return true;
      }
    return false;
  };
  bool gaveUp = false;
  changed_.wait(lock, [&] { return done || (shutDown_ && (gaveUp = withdrawn())); });
  if (gaveUp) return false;
  lock.unlock();
  if (error) std::rethrow_exception(error);
  return true;
}

void TMainThreadCalls::Queue(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shutDown_) return;
    pending_.push_back(Call{std::move(fn), nullptr, nullptr});
  }
  Wake();
}

bool TMainThreadCalls::Serve(uint32_t timeoutMs) {
  bool ranAny = false;
  std::unique_lock<std::mutex> lock(mutex_);
  if (shutDown_) return false;
  if (pending_.empty() && timeoutMs > 0)
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return !pending_.empty(); });
  while (!pending_.empty() && !shutDown_) {
    Call call = std::move(pending_.front());
    pending_.pop_front();
    lock.unlock();
    std::exception_ptr error;
    try {
      call.fn();
    } catch (...) {
      error = std::current_exception();
    }
    ranAny = true;
    lock.lock();
    if (call.done) {
      *call.error = error;
      *call.done = true;
      changed_.notify_all();
    }
    // An exception from a posted call has no one to go to; it must not end the main loop.
  }
  return ranAny;
}

void TMainThreadCalls::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    for (auto it = pending_.begin(); it != pending_.end();) {
      if (!it->done)
        it = pending_.erase(it);
      else
        ++it;
    }
  }
  changed_.notify_all();
}

void TMainThreadCalls::Restart() {
  std::lock_guard<std::mutex> lock(mutex_);
  shutDown_ = false;
}

}  // namespace kv
