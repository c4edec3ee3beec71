#include "engine/logger.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/main_thread.h"

namespace kv {

TLogDispatcher::TLogDispatcher(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
  Start();
}

TLogDispatcher::~TLogDispatcher() {
  Stop();
  std::lock_guard<std::mutex> guard(lock_);
  pending_ = 0;
  readIndex_ = writeIndex_ = 0;
}

void TLogDispatcher::Add(std::string_view line) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (pending_ >= kSlots) return;
    ++pending_;
    auto& slot = slots_[writeIndex_];
    const size_t n = std::min(line.size(), kMaxLineLength);
    std::memcpy(slot.data(), line.data(), n);
    slot[n] = '\0';
    writeIndex_ = (writeIndex_ + 1) % kSlots;
  }
  wake_.Signal();
}

void TLogDispatcher::SetOnLog(TLogReceiver receiver) {
  std::lock_guard<std::mutex> guard(lock_);
  onLog_ = std::move(receiver);
}

size_t TLogDispatcher::Pending() const {
  std::lock_guard<std::mutex> guard(lock_);
  return pending_;
}

void TLogDispatcher::Execute() {
  while (!Terminated()) {
    for (;;) {
      std::string line;
      TLogReceiver receiver;
      {
        std::lock_guard<std::mutex> guard(lock_);
        if (pending_ == 0) break;
        line = slots_[readIndex_].data();
        receiver = onLog_;
      }
      if (receiver) {
        try {
          Synchronize([&receiver, &line] { receiver(line); });
        } catch (...) {
          // A receiver's failure must not stop the log.
        }
      }
      {
        std::lock_guard<std::mutex> guard(lock_);
        if (pending_ > 0) {
          --pending_;
          readIndex_ = (readIndex_ + 1) % kSlots;
        }
      }
      if (Terminated()) break;
    }
    wake_.WaitFor(1000);
  }
  if (onEnd_) onEnd_();
}

TLogger::TLogger() {
  dispatcher_ = std::make_unique<TLogDispatcher>([this] {
    std::lock_guard<std::mutex> guard(lock_);
    ended_ = true;
  });
}

TLogger::~TLogger() {
  // TThread::WaitFor serves main-thread calls while it waits, so a line being delivered
  // through the main thread can finish before the thread is joined.
  dispatcher_->StopAsync();
  dispatcher_->WaitFor();
  dispatcher_.reset();
}

void TLogger::Log(std::string_view line) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!ended_) dispatcher_->Add(line);
}

void TLogger::SetOnLog(TLogReceiver receiver) {
  std::lock_guard<std::mutex> guard(lock_);
  dispatcher_->SetOnLog(std::move(receiver));
}

bool TLogger::Running() const {
  std::lock_guard<std::mutex> guard(lock_);
  return !ended_;
}

}  // namespace kv
