#pragma once
// MIDI capture for the translator editor: while on, every MIDI message the engine processes
// goes into a ring of the last eight, and the editor's message field receives the newest one,
// as a pattern with variables where it differs from the one before.
//
// Threads: OnEvent runs on whichever thread processed the event (MIDI input, virtual port,
// timer, dispatcher or main thread); everything else runs on the main thread. mutex_ guards
// every field below it; the notifier is called with no lock held. Detach (the editor going
// away) waits until no OnEvent is inside the notifier, and afterwards OnEvent does nothing,
// so a late event never reaches a freed window. The engine's callback holds the capture by a
// shared pointer and may outlive the editor.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/event.h"

namespace kv {

class TTransEngine;

enum TCaptureTarget { kCaptureOff = 0, kCaptureIncoming = 1, kCaptureOutgoing = 2 };

inline constexpr int kCaptureSlots = 8;
inline constexpr int kCaptureSlotBytes = 600;
inline constexpr int kMonitorLines = 8;

// The pattern of the newest message against the one before: equal bytes in hexadecimal,
// differing bytes as pp, qq, ... ww. None when the lengths differ, fewer than 2 bytes are
// equal, or more than 8 differ.
std::optional<std::string> CapturePattern(const std::vector<uint8_t>& previous,
                                          const std::vector<uint8_t>& newest);

class TMidiCapture {
 public:
  // Asks the main thread to show the newest message: at once when the event was processed
  // there (onMainThread), else by a posted message. Must never wait for the main thread.
  using TNotifier = std::function<void(bool onMainThread)>;

  explicit TMidiCapture(TNotifier notifier);
  ~TMidiCapture();
  TMidiCapture(const TMidiCapture&) = delete;
  TMidiCapture& operator=(const TMidiCapture&) = delete;

  // Main thread. A new target (off included) empties the ring and the monitor lines.
  void SetTarget(TCaptureTarget target);
  TCaptureTarget Target() const;

  // Any thread: keeps a MIDI event while capturing (cut to 600 bytes), then notifies.
  void OnEvent(const TIncomingEvent& event);

  // Main thread: the captured field's new text (pattern, else hex), with the hex text put on
  // top of the monitor lines; none while off or before the first message.
  std::optional<std::string> ShowNewest();
  std::array<std::string, kMonitorLines> MonitorLines() const;
  // A clicked monitor line's text for the captured field; an empty line gives none.
  std::optional<std::string> MonitorLineText(int index) const;

  // Stops notifying and waits until no notification is in flight. Main thread; never with a
  // lock held that an event thread may take.
  void Detach();

  // Installs the engine's event callback that feeds this capture. The engine allows that only
  // while no event is processed (start-up); the callback keeps the capture alive.
  static void BindEngine(TTransEngine& engine, const std::shared_ptr<TMidiCapture>& capture);

 private:
  struct TSlot {
    std::array<uint8_t, kCaptureSlotBytes> data{};
    uint32_t length = 0;
  };
  std::vector<uint8_t> SlotBytes(int index) const;  // mutex_ held

  TNotifier notifier_;  // set once; called without the lock
  // Mirrors target_ != off && !detached_, so events pass by without the lock while off.
  std::atomic<bool> capturing_{false};
  mutable std::mutex mutex_;
  std::condition_variable idle_;  // inFlight_ reached 0
  TCaptureTarget target_ = kCaptureOff;
  bool detached_ = false;
  int inFlight_ = 0;
  std::array<TSlot, kCaptureSlots> ring_{};
  int writeIndex_ = 0;
  int count_ = 0;
  std::array<std::string, kMonitorLines> monitor_{};
};

}  // namespace kv
