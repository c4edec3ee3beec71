// The multimedia timer: one periodic timeSetEvent timer whose callback runs on winmm's timer
// thread. It is killed synchronously (TIME_KILL_SYNCHRONOUS), so after Stop from another
// thread no tick of it runs any more; a kill from the timer thread itself does not wait.
//
// A tick that stopped the timer goes on running (the named timers run their events after
// the stop), and a timer event may start the timer again from another thread meanwhile: the
// tick in progress keeps its function, and a stop from another thread waits for it as well.
// mutex_ is never held across a winmm call, since winmm may wait for a callback that takes it.
#include <windows.h>

#include <mmsystem.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/system/multimedia_timer.h"

namespace kv {
namespace {

class TWinMultimediaTimer : public TMultimediaTimer {
 public:
  ~TWinMultimediaTimer() override { Stop(); }

  bool Start(uint32_t periodMs, uint32_t resolutionMs, TTickFn tick) override {
    if (id_.load(std::memory_order_acquire) != 0) return true;
    {
      std::lock_guard<std::mutex> guard(mutex_);
      // A tick in progress (after a Stop from inside it) still uses the old function.
      if (!inTick_) tick_ = std::move(tick);
    }
    UINT id = timeSetEvent(periodMs, resolutionMs, &TWinMultimediaTimer::Callback,
                           reinterpret_cast<DWORD_PTR>(this),
                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    id_.store(id, std::memory_order_release);
    return id != 0;
  }

  void Stop() override {
    UINT id = id_.exchange(0, std::memory_order_acq_rel);
    if (id != 0) timeKillEvent(id);
    std::unique_lock<std::mutex> guard(mutex_);
    if (tickThread_ == std::this_thread::get_id()) return;
    idle_.wait(guard, [this] { return !inTick_; });
  }

  bool IsRunning() const override { return id_.load(std::memory_order_acquire) != 0; }

 private:
  static void CALLBACK Callback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<TWinMultimediaTimer*>(user)->RunTick();
  }

  void RunTick() {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      if (id_.load(std::memory_order_acquire) == 0 || !tick_ || inTick_) return;
      inTick_ = true;
      tickThread_ = std::this_thread::get_id();
    }
    try {
      tick_();  // not replaced while inTick_ is set
    } catch (...) {
      // Nothing may leave a winmm callback; the next tick comes as usual.
    }
    {
      std::lock_guard<std::mutex> guard(mutex_);
      inTick_ = false;
      tickThread_ = std::thread::id();
    }
    idle_.notify_all();
  }

  std::atomic<UINT> id_{0};
  std::mutex mutex_;  // guards the three fields below and tick_ while a tick may run
  std::condition_variable idle_;
  bool inTick_ = false;
  std::thread::id tickThread_;
  TTickFn tick_;
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
