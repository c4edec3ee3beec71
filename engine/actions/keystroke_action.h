#pragma once
// TTransKeyAction: the keystroke kind (id 2, both directions, execution level 1). As a
// trigger it fires on keystrokes that the key-input watcher reports; as an action it types a
// key sequence, presses a key (optionally auto-repeating it through a named timer) or
// releases it. Tags "KAM1", "KAM2", "KSQ1" and "Key ".
//
// Threads: matching runs on the main thread (keystroke events); key output on the dispatcher
// or the main thread; auto-repeat on the multimedia timer thread, under the timer manager's
// lock. A repeat presses a copy of the key taken when it started, so it never reads the
// action, which may be freed or reloaded meanwhile.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/action.h"
#include "engine/keys/key_events.h"

namespace kv {

class TTransTimerManager;

enum TKeyActionMode : uint8_t { kKeyStroke = 0, kKeyDown = 1, kKeyUp = 2 };

// Program-wide options, set from the settings and by the main window (main thread); read
// from any thread.
void SetSuppressKeysWhenActive(bool on);  // default on: send nothing while we are active
void SetSuppressKeyInWhenActive(bool on);  // default off: ignore key triggers while active
bool GetSuppressKeyInWhenActive();
void SetApplicationActive(bool active);  // the program's own window is the active one
bool GetApplicationActive();

// The system's repeat values, read once on first use: 250 + 250 x the keyboard delay setting
// (500 when unavailable) and the keyboard speed setting + 2 (33 when unavailable).
int GetSystemKeyRepeatDelay();
int GetSystemKeyRepeatRate();

// The timers auto-repeat runs on: the program's timer manager unless a test put another in
// place (nullptr restores it). Set while no key repeats.
void SetKeyRepeatTimerManager(TTransTimerManager* manager);
TTransTimerManager& KeyRepeatTimerManager();

class TTransKeyAction : public TTransAction {
 public:
  static constexpr int kMaxRepeatRate = 255;
  static constexpr int kMaxRepeatDelay = 60000;

  explicit TTransKeyAction(bool incoming);
  ~TTransKeyAction() override;

  void Clear() override;
  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override;
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }
  bool MatchIncoming(TIncomingEvent& event) override;
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionKeystroke; }
  int GetExecutionLevel() const override { return kLevelNotCallback; }
  int GetDirections() const override { return kDirectionBoth; }

  // The sequence, none until the first load or SetKeys.
  const TKeySequence* Keys() const { return keys_.get(); }
  // Copies the keys in (none frees the own sequence); single-key mode follows the mode.
  void SetKeys(const TKeySequence* keys);
  uint8_t Mode() const { return mode_; }
  void SetMode(uint8_t mode);
  bool Repeat() const { return repeat_; }
  void SetRepeat(bool repeat) { repeat_ = repeat; }
  int32_t RepeatDelay() const { return repeatDelay_; }
  void SetRepeatDelay(int32_t delay) { repeatDelay_ = delay; }
  int32_t RepeatRate() const { return repeatRate_; }
  void SetRepeatRate(int32_t rate) { repeatRate_ = rate; }

  // " InternalTimer" + the first key's virtual key in hexadecimal + "1" (extended) or "0";
  // empty without keys. The blank keeps it apart from user timer names, which are trimmed.
  std::string GetRepeatTimerName() const;
  // The ms between repeats: 1000 div rate, at least 1.
  int32_t RepeatPeriodMs() const;

 private:
  bool UsesSystemRepeat() const;
  bool HasKey() const { return keys_ != nullptr && keys_->GetCount() > 0; }
  bool PressKey();
  // The repeat timer's callback (multimedia timer thread): the key down again, no release
  // between repeats, as a held key does. It gets its own copy of the key, so freeing the
  // action while its timer is due frees nothing the callback reads.
  static void RepeatKey(const TKeyEvent& key);
  bool ReleaseKey();

  std::unique_ptr<TKeySequence> keys_;
  uint8_t mode_ = kKeyStroke;
  bool repeat_ = false;
  int32_t repeatDelay_;
  int32_t repeatRate_;
  // Set once this action started a repeat timer, so that freeing it stops that timer.
  std::atomic<bool> repeatStarted_{false};
};

// The stored text of a keystroke action: "KAM2" for a repeating key-down whose delay and rate
// are not the system's (rate clamped to 1..255, delay to 0..60000), else "KAM1"; then the
// sequence's text. Empty without keys.
std::string KeyActionToText(uint8_t mode, bool repeat, int32_t delay, int32_t rate,
                            const TKeySequence* keys);
// The "KAM1" text of a mode and keys with repeat off (the editor uses it); empty without keys.
std::string KeyActionToTextNoRepeat(uint8_t mode, const TKeySequence* keys);

// Registers "KAM1", "KAM2", "KSQ1" and "Key ".
void RegisterKeyActions();

}  // namespace kv
