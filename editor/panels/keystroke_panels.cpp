#include "editor/panels/keystroke_panels.h"

#include <algorithm>

namespace kv {
namespace {

uint8_t ValidMode(uint8_t mode) {
  return mode <= kKeyUp ? mode : static_cast<uint8_t>(kKeyStroke);
}

}  // namespace

bool TEPKeys::LoadKeys(const TTransAction* action) {
  const auto* keys = dynamic_cast<const TTransKeyAction*>(action);
  if (keys == nullptr) return false;
  mode_ = ValidMode(keys->Mode());
  if (keys->Keys() != nullptr) {
    keys_.AssignKeys(*keys->Keys());
  } else {
    keys_.Clear();
  }
  return true;
}

TEPInKeystroke::TEPInKeystroke() : TEPKeys("Keystroke", true, kActionKeystroke) {
  keys_.SetSingleKey(true);
  wantBackspace_ = true;
}

void TEPInKeystroke::Clear() {
  mode_ = kKeyStroke;
  keys_.Clear();
}

void TEPInKeystroke::LoadAction(const TTransAction* action) {
  if (!LoadKeys(action)) Clear();
}

std::string TEPInKeystroke::GetActionText() {
  return KeyActionToTextNoRepeat(mode_, &keys_);
}

void TEPInKeystroke::SetMode(uint8_t mode) {
  mode_ = ValidMode(mode);
  Changed();
}

TEPOutKeyStroke::TEPOutKeyStroke() : TEPKeys("Key Stroke Emulation", false, kActionKeystroke) {
  Clear();
  UpdateControls();
}

void TEPOutKeyStroke::Clear() {
  keys_.Clear();
  repeat_ = true;
  initialDelay_ = std::clamp(GetSystemKeyRepeatDelay(), kMinInitialDelay, kMaxInitialDelay);
  speed_ = std::clamp(GetSystemKeyRepeatRate(), kMinSpeed, kMaxSpeed);
}

void TEPOutKeyStroke::UpdateControls() {
  keys_.SetSingleKey(mode_ != kKeyStroke);
}

void TEPOutKeyStroke::LoadAction(const TTransAction* action) {
  if (!LoadKeys(action)) {
    Clear();
    return;
  }
  const auto& keys = static_cast<const TTransKeyAction&>(*action);
  repeat_ = keys.Repeat();
  initialDelay_ = std::clamp(keys.RepeatDelay(), kMinInitialDelay, kMaxInitialDelay);
  speed_ = std::clamp(keys.RepeatRate(), kMinSpeed, kMaxSpeed);
  UpdateControls();
}

std::string TEPOutKeyStroke::GetActionText() {
  return KeyActionToText(mode_, repeat_, initialDelay_, speed_, &keys_);
}

void TEPOutKeyStroke::SetMode(uint8_t mode) {
  mode_ = ValidMode(mode);
  UpdateControls();
  Changed();
}

void TEPOutKeyStroke::ClearKeys() {
  keys_.Clear();
  Changed();
}

void TEPOutKeyStroke::SetRepeat(bool repeat) {
  repeat_ = repeat;
  UpdateControls();
  Changed();
}

void TEPOutKeyStroke::SetInitialDelay(int ms) {
  initialDelay_ = std::clamp(ms, kMinInitialDelay, kMaxInitialDelay);
  Changed();
}

void TEPOutKeyStroke::SetSpeed(int charsPerSecond) {
  speed_ = std::clamp(charsPerSecond, kMinSpeed, kMaxSpeed);
  Changed();
}

void TEPOutKeyStroke::RevertToDefaultRepeat() {
  initialDelay_ = std::clamp(GetSystemKeyRepeatDelay(), kMinInitialDelay, kMaxInitialDelay);
  speed_ = std::clamp(GetSystemKeyRepeatRate(), kMinSpeed, kMaxSpeed);
  Changed();
}

}  // namespace kv
