#include "base/lock.h"

#include <chrono>

namespace kv {

void TEvent::Signal() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    signaled_ = true;
  }
  cond_.notify_one();
}

void TEvent::Wait() {
  std::unique_lock<std::mutex> guard(mutex_);
  cond_.wait(guard, [this] { return signaled_; });
  signaled_ = false;
}

TWaitResult TEvent::WaitFor(uint32_t milliseconds) {
  std::unique_lock<std::mutex> guard(mutex_);
  if (!cond_.wait_for(guard, std::chrono::milliseconds(milliseconds),
                      [this] { return signaled_; })) {
    return TWaitResult::Timeout;
  }
  signaled_ = false;
  return TWaitResult::Signaled;
}

bool TReadWriteLock::HeldForWriteByMe() const {
  return writeDepth_ > 0 && writer_ == std::this_thread::get_id();
}

void TReadWriteLock::LockRead() {
  std::unique_lock<std::mutex> guard(mutex_);
  if (HeldForWriteByMe()) {
    ++writerReadDepth_;
    return;
  }
  changed_.wait(guard, [this] { return writeDepth_ == 0 && writersWaiting_ == 0; });
  ++readers_;
}

void TReadWriteLock::UnlockRead() {
  std::unique_lock<std::mutex> guard(mutex_);
  if (HeldForWriteByMe() && writerReadDepth_ > 0) {
    --writerReadDepth_;
    return;
  }
  if (readers_ > 0 && --readers_ == 0) {
    guard.unlock();
    changed_.notify_all();
  }
}

void TReadWriteLock::LockWrite() {
  std::unique_lock<std::mutex> guard(mutex_);
  if (HeldForWriteByMe()) {
    ++writeDepth_;
    return;
  }
  ++writersWaiting_;
  changed_.wait(guard, [this] { return writeDepth_ == 0 && readers_ == 0; });
  --writersWaiting_;
  writeDepth_ = 1;
  writer_ = std::this_thread::get_id();
}

void TReadWriteLock::UnlockWrite() {
  std::unique_lock<std::mutex> guard(mutex_);
  if (!HeldForWriteByMe()) return;
  if (--writeDepth_ > 0) return;
  writerReadDepth_ = 0;
  writer_ = std::thread::id();
  guard.unlock();
  changed_.notify_all();
}

}  // namespace kv
