#pragma once
// The engine's logger: any thread adds lines; one logger thread hands them, in order, to a
// receiver on the main thread (the log window or the controller). Lines live in a fixed ring,
// so adding a line never allocates and never waits for the user interface.
//
// Lifecycle: a TLogger is made and destroyed on the main thread (TGlobalTranslateParams does
// both, when logging is switched on and off). Destruction stops the logger thread and keeps
// serving main-thread calls until it has ended, so a line being delivered can finish.
//
// Locks: TLogDispatcher::lock_ guards the ring and the receiver; it is held only while a slot
// is copied or counted, never while the receiver runs. TLogger::lock_ guards the logger's
// reference to its dispatcher. Both come after the MIDI manager's locks and before the
// dispatcher's lock in the lock order.
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "base/lock.h"
#include "base/thread.h"

namespace kv {

using TLogReceiver = std::function<void(const std::string& line)>;

class TLogDispatcher final : public TThread {
 public:
  static constexpr size_t kSlots = 2000;
  static constexpr size_t kSlotSize = 101;
  static constexpr size_t kMaxLineLength = 99;

  // The thread starts at once (so the class is final: Execute must not run before a derived
  // part exists). onEnd runs on the logger thread when its body ends.
  explicit TLogDispatcher(std::function<void()> onEnd = {});
  ~TLogDispatcher() override;

  // Any thread: queues the line cut to its first 99 characters; with 2000 lines pending the
  // line is dropped.
  void Add(std::string_view line);
  void SetOnLog(TLogReceiver receiver);
  // Asks the thread to end; returns at once.
  void StopAsync() { Terminate(); }
  size_t Pending() const;

 protected:
  void Execute() override;
  void TerminateRequested() override { wake_.Signal(); }

 private:
  mutable std::mutex lock_;  // guards slots_, readIndex_, writeIndex_, pending_, onLog_
  TEvent wake_;
  std::array<std::array<char, kSlotSize>, kSlots> slots_{};
  size_t readIndex_ = 0;
  size_t writeIndex_ = 0;
  size_t pending_ = 0;
  TLogReceiver onLog_;
  std::function<void()> onEnd_;
};

class TLogger {
 public:
  TLogger();
  ~TLogger();
  TLogger(const TLogger&) = delete;
  TLogger& operator=(const TLogger&) = delete;

  // Any thread. Once the logger thread has ended, lines are dropped.
  void Log(std::string_view line);
  void SetOnLog(TLogReceiver receiver);
  bool Running() const;

 private:
  mutable std::mutex lock_;  // guards ended_ and the use of dispatcher_
  bool ended_ = false;
  std::unique_ptr<TLogDispatcher> dispatcher_;
};

}  // namespace kv
