#pragma once
// A multimedia timer that ticks only when a test says so, on the test's thread.
#include <atomic>

#include "engine/system/multimedia_timer.h"

namespace kv::testing {

class TManualTimer : public TMultimediaTimer {
 public:
  bool Start(uint32_t periodMs, uint32_t, TTickFn tick) override {
    running_ = true;
    period_ = periodMs;
    tick_ = std::move(tick);
    ++starts_;
    return true;
  }
  void Stop() override {
    if (running_) ++stops_;
    running_ = false;
  }
  bool IsRunning() const override { return running_; }

  // One tick, as the system timer would give it; nothing while stopped.
  bool Tick() {
    if (!running_ || !tick_) return false;
    tick_();
    return true;
  }
  uint32_t Period() const { return period_; }
  int Starts() const { return starts_; }
  int Stops() const { return stops_; }

 private:
  std::atomic<bool> running_{false};
  uint32_t period_ = 0;
  TTickFn tick_;
  int starts_ = 0;
  int stops_ = 0;
};

}  // namespace kv::testing
