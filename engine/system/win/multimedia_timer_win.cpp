// The multimedia timer: one periodic timeSetEvent timer whose callback runs on winmm's timer
// thread. It is killed synchronously (TIME_KILL_SYNCHRONOUS), so after Stop from another
// thread no tick runs any more; a kill from the timer thread itself does not wait.
#include <windows.h>

#include <mmsystem.h>

#include <atomic>

#include "engine/system/multimedia_timer.h"

namespace kv {
namespace {

class TWinMultimediaTimer : public TMultimediaTimer {
 public:
  ~TWinMultimediaTimer() override { Stop(); }

  bool Start(uint32_t periodMs, uint32_t resolutionMs, TTickFn tick) override {
    if (id_.load(std::memory_order_acquire) != 0) return true;
    // No tick runs now (none is started), so the function can be replaced safely.
    tick_ = std::move(tick);
    UINT id = timeSetEvent(periodMs, resolutionMs, &TWinMultimediaTimer::Callback,
                           reinterpret_cast<DWORD_PTR>(this),
                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    id_.store(id, std::memory_order_release);
    return id != 0;
  }

  void Stop() override {
    UINT id = id_.exchange(0, std::memory_order_acq_rel);
    if (id != 0) timeKillEvent(id);
  }

  bool IsRunning() const override { return id_.load(std::memory_order_acquire) != 0; }

 private:
  static void CALLBACK Callback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* self = reinterpret_cast<TWinMultimediaTimer*>(user);
    if (self->id_.load(std::memory_order_acquire) != 0 && self->tick_) self->tick_();
  }

  std::atomic<UINT> id_{0};
  TTickFn tick_;  // written only while no timer runs
};

}  // namespace

std::unique_ptr<TMultimediaTimer> CreateMultimediaTimer() {
  return std::make_unique<TWinMultimediaTimer>();
}

TTimerResolution::TTimerResolution() : raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

TTimerResolution::~TTimerResolution() {
  if (raised_) timeEndPeriod(1);
}

}  // namespace kv
