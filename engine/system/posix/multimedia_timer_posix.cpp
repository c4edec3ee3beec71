// The portable ticker: one thread that calls the tick function every period while started,
// and sleeps on a condition variable while stopped. Its thread lives as long as the object,
// so Start never has to join a thread that might be blocked in a tick.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/system/multimedia_timer.h"

namespace kv {
namespace {

class TPortableTicker : public TMultimediaTimer {
 public:
  ~TPortableTicker() override {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      quit_ = true;
      running_ = false;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  bool Start(uint32_t periodMs, uint32_t, TTickFn tick) override {
    std::lock_guard<std::mutex> guard(mutex_);
    if (running_) return true;
    // A tick in progress (after a Stop from inside it) still uses the old function.
    if (!inTick_) tick_ = std::move(tick);
    period_ = std::chrono::milliseconds(periodMs > 0 ? periodMs : 1);
    running_ = true;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    changed_.notify_all();
    return true;
  }

  void Stop() override {
    std::unique_lock<std::mutex> guard(mutex_);
    running_ = false;
    changed_.notify_all();
    if (std::this_thread::get_id() == thread_.get_id()) return;
    changed_.wait(guard, [this] { return !inTick_; });
  }

  bool IsRunning() const override {
    std::lock_guard<std::mutex> guard(mutex_);
    return running_;
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> guard(mutex_);
    auto next = std::chrono::steady_clock::now();
    while (!quit_) {
      if (!running_) {
        changed_.wait(guard, [this] { return running_ || quit_; });
        next = std::chrono::steady_clock::now();
        continue;
      }
      next += period_;
      if (changed_.wait_until(guard, next, [this] { return !running_ || quit_; })) continue;
      inTick_ = true;
      TTickFn& tick = tick_;
      guard.unlock();
      if (tick) tick();
      guard.lock();
      inTick_ = false;
      changed_.notify_all();
      // A tick that overran its period does not make the following ones come in a burst.
      auto now = std::chrono::steady_clock::now();
      if (next < now) next = now;
    }
  }

  mutable std::mutex mutex_;  // guards every field below
  std::condition_variable changed_;
  std::thread thread_;
  TTickFn tick_;
  std::chrono::milliseconds period_{2};
  bool running_ = false;
  bool inTick_ = false;
  bool quit_ = false;
};

}  // namespace

std::unique_ptr<TMultimediaTimer> CreateMultimediaTimer() {
  return std::make_unique<TPortableTicker>();
}

// The host's timers need no resolution setting.
TTimerResolution::TTimerResolution() = default;
TTimerResolution::~TTimerResolution() = default;

}  // namespace kv
