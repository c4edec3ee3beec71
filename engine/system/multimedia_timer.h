#pragma once
// The periodic tick that drives the named timers: the multimedia timer (timeSetEvent) on
// Windows, a ticker thread of our own elsewhere; tests inject a manual one.
//
// Lifecycle: the owner creates one timer object and keeps it for its own life. Start begins
// periodic calls of the tick function on the timer's own thread; Start while running changes
// nothing. Stop ends the calls:
//   - called from inside the tick (on the timer's thread) it returns at once, and the tick in
//     progress finishes normally;
//   - called from any other thread it waits until a tick in progress has returned, so the
//     caller must not hold a lock that the tick takes.
// Start may follow Stop, also while a tick that stopped the timer from inside is still running
// (its owner goes on after the stop): the calls begin again with the function that tick runs,
// since a running function is never replaced. An owner therefore passes the same one each time.
// Destruction stops like Stop from another thread.
//
// The system timer resolution is a separate, process-wide setting: TTimerResolution raises it
// to 1 ms while it exists (the timer manager holds one for its life).
#include <cstdint>
#include <functional>
#include <memory>

namespace kv {

class TMultimediaTimer {
 public:
  using TTickFn = std::function<void()>;

  virtual ~TMultimediaTimer() = default;
  // False when the system gave no timer.
  virtual bool Start(uint32_t periodMs, uint32_t resolutionMs, TTickFn tick) = 0;
  virtual void Stop() = 0;
  virtual bool IsRunning() const = 0;
};

// The system's multimedia timer (Windows) or the portable ticker thread.
std::unique_ptr<TMultimediaTimer> CreateMultimediaTimer();

// Raises the system timer resolution to 1 ms while it exists.
class TTimerResolution {
 public:
  TTimerResolution();
  ~TTimerResolution();
  TTimerResolution(const TTimerResolution&) = delete;
  TTimerResolution& operator=(const TTimerResolution&) = delete;

  // Whether the system took the raise (always false off Windows).
  bool Raised() const { return raised_; }

 private:
  bool raised_ = false;
};

}  // namespace kv
