#pragma once
// A window timer without a window of its own: OnTimer runs on the main thread every
// Interval ms while Enabled. Setting the interval or enabling it again restarts the count.
#include "ui/event.h"

namespace kv::ui {

class TTimer {
 public:
  TTimer() = default;
  explicit TTimer(unsigned intervalMs) : interval_(intervalMs) {}
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned intervalMs);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void Start() { SetEnabled(true); }
  void Stop() { SetEnabled(false); }

  TNotifyEvent OnTimer;

  // The layer's plumbing: runs the timer with this system id.
  static void Fire(uintptr_t id);

 private:
  void Restart();
  void Kill();
  unsigned interval_ = 1000;
  bool enabled_ = false;
  uintptr_t id_ = 0;  // the system's timer id while running
};

}  // namespace kv::ui
