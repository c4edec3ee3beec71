#pragma once
// What the key-recording edit does with each key its hook hears: records presses and
// releases into its key sequence (Tab, Backspace and the caret keys only when asked to), and
// keeps its text the sequence's display text. The edit window (controls/win/vk_edit.h) owns
// one and subscribes its hook while it has the focus. Main thread only.
#include <bitset>
#include <memory>
#include <string>

#include "controls/keyboard_hook.h"
#include "engine/keys/key_events.h"
#include "ui/event.h"

namespace kv {

class TVKEditLogic {
 public:
  TVKEditLogic();
  virtual ~TVKEditLogic() = default;
  TVKEditLogic(const TVKEditLogic&) = delete;
  TVKEditLogic& operator=(const TVKEditLogic&) = delete;

  bool WantTab = false;
  bool WantBackspace = false;
  bool WantSpecialChars = true;
  bool OnlyOneChar() const { return keys_.SingleKey(); }
  void SetOnlyOneChar(bool v) { keys_.SetSingleKey(v); }

  TKeySequence& Keys() { return keys_; }
  const TKeySequence& Keys() const { return keys_; }
  void Clear() { keys_.Clear(); }
  // Loads the source's text form (throws kv::Exception when it is not a key sequence).
  void AssignKeys(const TKeySequence& source);
  const std::string& DisplayText() const { return text_; }

  // May veto the recording of a key (doAdd false); the key is still swallowed.
  ui::TEvent<void(const TKeyData& key, bool& doAdd)> OnKeyEvent;
  ui::TEvent<void(const std::string& text)> OnDebug;

  // The hook's callback: only while the edit has the focus.
  void HandleKey(const TKeyData& key, bool& claimed);
  void UpdateText();
  // The edit lost or gained the focus: keys held from before are not its own.
  void ForgetHeldKeys() { pressed_.reset(); }

 protected:
  // The window shows the new text (and fires the edit's OnChange when it changed).
  virtual void ShowText(const std::string& /*text*/) {}

 private:
  TKeySequence keys_;
  std::string text_;
  // Keys whose first press this edit saw while focused. A release or repeat of any other key
  // belongs to whatever had the focus when it went down (Ctrl+N that moved the focus here).
  std::bitset<256> pressed_;
};

}  // namespace kv
