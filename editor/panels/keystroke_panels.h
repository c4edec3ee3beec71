#pragma once
// The keystroke trigger and keystroke action panels. Keys are recorded into a key sequence
// by the key edit; the modes are the keystroke action's (press or sequence, down, up).
#include <string>

#include "editor/panels/edit_panel.h"
#include "engine/actions/keystroke_action.h"
#include "engine/keys/key_events.h"

namespace kv {

// What both panels hold: the mode and the key edit's sequence.
class TEPKeys : public TEditPanel {
 public:
  uint8_t Mode() const { return mode_; }
  // The key edit's sequence; the window records into it and then calls KeysChanged.
  TKeySequence& Keys() { return keys_; }
  void KeysChanged() { Changed(); }

  // How the key edit records: Tab and Backspace as keys of their own rather than moving the
  // focus and deleting the last key. Whether a new key replaces the recorded one is the
  // sequence's single-key flag.
  bool WantTab() const { return wantTab_; }
  bool WantBackspace() const { return wantBackspace_; }

 protected:
  using TEditPanel::TEditPanel;
  // The mode and keys of a keystroke action; false (nothing read) for another action. The
  // keys keep this panel's single-key flag, so a stored sequence loads whole.
  bool LoadKeys(const TTransAction* action);

  uint8_t mode_ = kKeyStroke;
  TKeySequence keys_;
  bool wantTab_ = false;
  bool wantBackspace_ = false;
};

class TEPInKeystroke : public TEPKeys {
 public:
  // A trigger is one key: each press replaces the recorded one, and Backspace can be it.
  TEPInKeystroke();

  void Clear() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;
  void SetMode(uint8_t mode);
  // "Enter Tab".
  void SetEnterTab(bool on) { wantTab_ = on; }
};

class TEPOutKeyStroke : public TEPKeys {
 public:
  // The spinners' ranges.
  static constexpr int kMinInitialDelay = 0;
  static constexpr int kMaxInitialDelay = 1000;
  static constexpr int kMinSpeed = 1;
  static constexpr int kMaxSpeed = 200;

  TEPOutKeyStroke();

  void Clear() override;
  void UpdateControls() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  void SetMode(uint8_t mode);
  // "&Clear": empties the key edit.
  void ClearKeys();
  bool Repeat() const { return repeat_; }
  void SetRepeat(bool repeat);
  // Both values are kept inside their spinner's range.
  int InitialDelay() const { return initialDelay_; }
  void SetInitialDelay(int ms);
  int Speed() const { return speed_; }
  void SetSpeed(int charsPerSecond);
  // "Revert to Default": the system's keyboard delay and speed.
  void RevertToDefaultRepeat();
  // "&Enter Tab and Backspace" (off at creation).
  void SetTabBackspace(bool on) { wantTab_ = wantBackspace_ = on; }

  // Shown and enabled controls.
  bool ClearVisible() const { return mode_ == kKeyStroke; }
  bool RepeatGroupVisible() const { return mode_ == kKeyDown; }
  bool RepeatFieldsEnabled() const { return repeat_; }
  bool SingleKeyOnly() const { return keys_.SingleKey(); }

 private:
  bool repeat_ = true;
  int initialDelay_ = 0;
  int speed_ = 1;
};

}  // namespace kv
