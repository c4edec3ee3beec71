#pragma once
// The countdown to the MIDI manager's follow-up scan: a one-shot timer on a thread of its own
// (started on first use). When it runs out, `due` runs on that thread; arming it again
// restarts the countdown.
//
// Lifecycle: owned by the MIDI manager; destroying it stops the thread, and `due` never runs
// after that. Lock: mutex_ guards dueAt_ only and is never held while `due` runs.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "base/thread.h"

namespace kv {

class TMidiRescanTimer final : public TThread {
 public:
  explicit TMidiRescanTimer(std::function<void()> due) : due_(std::move(due)) {}
  ~TMidiRescanTimer() override { Stop(); }

  // Any thread.
  void Arm(uint32_t intervalMs);
  void Cancel();

 protected:
  void Execute() override;
  void TerminateRequested() override;

 private:
  using Clock = std::chrono::steady_clock;

  const std::function<void()> due_;
  std::mutex mutex_;  // guards dueAt_ and started_
  std::condition_variable changed_;
  std::optional<Clock::time_point> dueAt_;
  bool started_ = false;
};

}  // namespace kv
