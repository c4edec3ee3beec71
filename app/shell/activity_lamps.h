#pragma once
// The live feedback of the engine's activity: fifteen lamps that glow for 300 ms after their
// last event and the notification-area icon state (in, out, translating) they imply.
//
// `TShowEvents` is the lamp thread. The engine's activity callback calls Trigger on whatever
// thread processed the event; Trigger only stamps times (atomics) and wakes the thread. The
// thread computes the lamp values, hands changed values to the lamp view on the main thread (a
// blocking call, served while the main thread waits in Stop), and sets the tray state itself.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "base/lock.h"
#include "base/thread.h"

namespace kv {

inline constexpr int kLampCount = 15;
inline constexpr uint32_t kLampGlowMs = 300;

using TLampValues = std::array<int32_t, kLampCount>;

// The lamp computation, portable and driven by the caller's clock.
class TLampLogic {
 public:
  // Stamps now into every lamp whose bit is set (bits 0..14); false for an empty set.
  bool Stamp(uint16_t flags, uint32_t now);
  // One pass: the values at now; true when any value changed.
  bool Compute(uint32_t now);
  // Milliseconds per brightness step for a lamp control whose positions go up to maxPosition.
  void SetMaxPosition(int32_t maxPosition);
  void Clear();

  const TLampValues& Values() const { return values_; }
  uint16_t LitMask() const { return lit_; }
  uint32_t Step() const { return step_; }

 private:
  std::array<std::atomic<uint32_t>, kLampCount> stamps_{};  // written by any thread
  TLampValues values_{};                                      // lamp thread only
  uint16_t lit_ = 0;
  uint32_t step_ = 1;
};

struct TTrayState {
  bool in = false;
  bool out = false;
  bool translating = false;
  bool operator==(const TTrayState&) const = default;
};
// What the lit lamps say about the tray icon. Mouse input (bit 9) counts as input, as every
// other incoming kind does.
TTrayState TrayStateFromLit(uint16_t lit);
// The tray icon of a state: in + 2 x out + 4 x translating.
inline int TrayIconIndex(const TTrayState& s) {
  return (s.in ? 1 : 0) + (s.out ? 2 : 0) + (s.translating ? 4 : 0);
}

// Where the lamp thread shows what it computed. Lifecycle: outlives the TShowEvents it is
// given to. ShowLamps runs on the main thread, SetTrayState on the lamp thread (and on the
// main thread when the tray is switched off or the thread stops).
class TLampTarget {
 public:
  virtual ~TLampTarget() = default;
  virtual void ShowLamps(const TLampValues& values) = 0;
  virtual void SetTrayState(const TTrayState& state) = 0;
};

class TShowEvents final : public TThread {
 public:
  // clock: milliseconds, the multimedia system time in the program. Starts at once.
  TShowEvents(TLampTarget& target, int32_t lampMaxPosition,
              std::function<uint32_t()> clock);
  ~TShowEvents() override;

  // Any thread: the engine's activity callback.
  void Trigger(uint16_t flags);
  // Main thread.
  void SetLampsEnabled(bool on);
  void SetTrayEnabled(bool on);
  // Ends the thread (serving its calls onto the main thread meanwhile), then shows every lamp
  // dark and the idle tray icon. Main thread; safe to call twice.
  void StopLamps();

 protected:
  void Execute() override;
  void TerminateRequested() override { wake_.Signal(); }

 private:
  TLampTarget& target_;
  std::function<uint32_t()> clock_;
  TLampLogic logic_;
  TEvent wake_;
  std::atomic<bool> lampsEnabled_{false};
  std::atomic<bool> trayEnabled_{false};
  std::mutex stopMutex_;  // guards stopped_
  bool stopped_ = false;
};

// Hands the engine's activity to the lamp thread while there is one. The engine reports from
// its threads at any moment; the main window makes and frees the lamp thread as the display
// needs it (the event monitor on, the tray animated), so the two meet under one lock.
class TActivityRelay {
 public:
  TActivityRelay() = default;
  ~TActivityRelay() { Free(); }
  TActivityRelay(const TActivityRelay&) = delete;
  TActivityRelay& operator=(const TActivityRelay&) = delete;

  // Any thread: the engine's activity callback.
  void Trigger(uint16_t flags);
  // Main thread. Make keeps an existing thread; Free stops the thread after no report can
  // reach it any more (its calls onto the main thread are served meanwhile).
  TShowEvents& Make(TLampTarget& target, int32_t lampMaxPosition, std::function<uint32_t()> clock);
  void Free();
  TShowEvents* Events() const;

 private:
  mutable std::mutex mutex_;  // guards events_ (the pointer; a leaf lock, nothing is called out)
  std::unique_ptr<TShowEvents> events_;
};

// The tooltip of the notification-area icon: title, " V", version; at most 62 characters.
std::string TrayTooltip(const std::string& title, const std::string& version);

}  // namespace kv
