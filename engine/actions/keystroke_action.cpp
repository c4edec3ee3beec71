#include "engine/actions/keystroke_action.h"

#include <algorithm>

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/format.h"
#include "engine/system/key_system.h"
#include "engine/timer_manager.h"
#include "engine/translate_params.h"

namespace kv {

namespace {

constexpr const char* kUndefinedKeyAction = "Undefined type of Key Action";
constexpr const char* kIllegalRepeatValues = "Illegal key repeat values";

std::atomic<bool> gSuppressKeysWhenActive{true};
std::atomic<bool> gSuppressKeyInWhenActive{false};
std::atomic<bool> gApplicationActive{false};
std::atomic<TTransTimerManager*> gRepeatTimers{nullptr};

bool KeysSuppressed() {
  return gSuppressKeysWhenActive.load(std::memory_order_relaxed) &&
         gApplicationActive.load(std::memory_order_relaxed);
}

// The hexadecimal digit at the 1-based position as a number, or -1.
int DigitAt(std::string_view text, size_t position) {
  return HexToIntAt(text, position, 1);
}

}  // namespace

void SetSuppressKeysWhenActive(bool on) {
  gSuppressKeysWhenActive.store(on, std::memory_order_relaxed);
}
void SetSuppressKeyInWhenActive(bool on) {
  gSuppressKeyInWhenActive.store(on, std::memory_order_relaxed);
}
bool GetSuppressKeyInWhenActive() {
  return gSuppressKeyInWhenActive.load(std::memory_order_relaxed);
}
void SetApplicationActive(bool active) {
  gApplicationActive.store(active, std::memory_order_relaxed);
}
bool GetApplicationActive() {
  return gApplicationActive.load(std::memory_order_relaxed);
}

int GetSystemKeyRepeatDelay() {
  static const int delay = [] {
    int setting = 1;
    if (!GetKeySystem().GetKeyboardDelay(setting)) setting = 1;
    return 250 + 250 * setting;
  }();
  return delay;
}

int GetSystemKeyRepeatRate() {
  static const int rate = [] {
    int setting = 31;
    if (!GetKeySystem().GetKeyboardSpeed(setting)) setting = 31;
    return setting + 2;
  }();
  return rate;
}

void SetKeyRepeatTimerManager(TTransTimerManager* manager) {
  gRepeatTimers.store(manager, std::memory_order_release);
}

TTransTimerManager& KeyRepeatTimerManager() {
  TTransTimerManager* manager = gRepeatTimers.load(std::memory_order_acquire);
  return manager != nullptr ? *manager : GetTimerManager();
}

// ---------------------------------------------------------------------------------------

TTransKeyAction::TTransKeyAction(bool incoming)
    : TTransAction(incoming),
      repeatDelay_(GetSystemKeyRepeatDelay()),
      repeatRate_(GetSystemKeyRepeatRate()) {}

TTransKeyAction::~TTransKeyAction() {
  if (repeatStarted_.load(std::memory_order_acquire) && HasKey()) {
    try {
      KeyRepeatTimerManager().KillTimer(GetRepeatTimerName());
    } catch (...) {
    }
  }
}

void TTransKeyAction::Clear() {
  repeat_ = false;
  repeatDelay_ = GetSystemKeyRepeatDelay();
  repeatRate_ = GetSystemKeyRepeatRate();
}

void TTransKeyAction::Assign(const TTransAction& source) {
  const auto* other = dynamic_cast<const TTransKeyAction*>(&source);
  if (other == nullptr || other == this) return;
  mode_ = other->mode_;  // first: the copied keys take the single-key mode of this mode
  SetKeys(other->keys_.get());
  repeat_ = other->repeat_;
  repeatDelay_ = other->repeatDelay_;
  repeatRate_ = other->repeatRate_;
}

std::unique_ptr<TTransAction> TTransKeyAction::Clone() const {
  auto copy = std::make_unique<TTransKeyAction>(IsIncoming());
  copy->Assign(*this);
  return copy;
}

void TTransKeyAction::SetKeys(const TKeySequence* keys) {
  if (keys == nullptr) {
    keys_.reset();
    return;
  }
  if (keys_ == nullptr) keys_ = std::make_unique<TKeySequence>();
  keys_->Assign(*keys);
  keys_->SetSingleKey(mode_ != kKeyStroke);
}

void TTransKeyAction::SetMode(uint8_t mode) {
  mode_ = mode;
  if (keys_ != nullptr) keys_->SetSingleKey(mode_ != kKeyStroke);
}

bool TTransKeyAction::UsesSystemRepeat() const {
  return repeatDelay_ == GetSystemKeyRepeatDelay() && repeatRate_ == GetSystemKeyRepeatRate();
}

std::string TTransKeyAction::SaveToText() const {
  return KeyActionToText(mode_, repeat_, repeatDelay_, repeatRate_, keys_.get());
}

std::string KeyActionToText(uint8_t mode, bool repeat, int32_t delay, int32_t rate,
                            const TKeySequence* keys) {
  if (keys == nullptr) return {};
  const std::string sequence = keys->SaveToText();
  const bool systemRepeat =
      delay == GetSystemKeyRepeatDelay() && rate == GetSystemKeyRepeatRate();
  if (mode == kKeyDown && repeat && !systemRepeat) {
    const int storedRate = std::clamp(rate, 1, TTransKeyAction::kMaxRepeatRate);
    const int storedDelay = std::clamp(delay, 0, TTransKeyAction::kMaxRepeatDelay);
    return "KAM2" + IntToHex(mode, 1) + "1" + IntToHex(static_cast<uint32_t>(storedRate), 2) +
           IntToHex(static_cast<uint32_t>(storedDelay), 4) + sequence;
  }
  return "KAM1" + IntToHex(mode & 0xF, 1) + (repeat ? "1" : "0") + "00" + sequence;
}

std::string KeyActionToTextNoRepeat(uint8_t mode, const TKeySequence* keys) {
  return KeyActionToText(mode, false, GetSystemKeyRepeatDelay(), GetSystemKeyRepeatRate(), keys);
}

size_t TTransKeyAction::LoadFromText(std::string_view text) {
  if (keys_ == nullptr) keys_ = std::make_unique<TKeySequence>();
  keys_->SetSingleKey(false);
  size_t used = 0;
  const bool kam1 = text.substr(0, 4) == "KAM1";
  const bool kam2 = text.substr(0, 4) == "KAM2";
  if (kam1 || kam2) {
    const int mode = DigitAt(text, 5);
    if (mode < 0 || mode > kKeyUp) throw Exception(kUndefinedKeyAction);
    const bool repeat = text.size() >= 6 && text[5] != '0';
    int32_t rate = GetSystemKeyRepeatRate();
    int32_t delay = GetSystemKeyRepeatDelay();
    size_t sequenceStart = 9;
    if (kam2) {
      rate = HexToIntAt(text, 7, 2);
      delay = HexToIntAt(text, 9, 4);
      if (delay < 0 || rate <= 0) throw Exception(kIllegalRepeatValues);
      sequenceStart = 13;
    }
    const std::string_view sequence =
        text.size() >= sequenceStart ? text.substr(sequenceStart - 1) : std::string_view();
    used = sequenceStart - 1 + keys_->LoadFromText(sequence);
    mode_ = static_cast<uint8_t>(mode);
    repeat_ = repeat;
    repeatRate_ = rate;
    repeatDelay_ = delay;
  } else {
    used = keys_->LoadFromText(text);
    mode_ = kKeyStroke;
  }
  keys_->SetSingleKey(mode_ != kKeyStroke);
  return used;
}

std::string TTransKeyAction::GetDescription() const {
  if (keys_ == nullptr) return {};
  const std::string keys = keys_->GetDisplayText();
  switch (mode_) {
    case kKeyStroke:
      return FormatText("Keystroke: %s", {keys});
    case kKeyDown:
      if (!repeat_) return FormatText("Key down: %s", {keys});
      if (UsesSystemRepeat()) return FormatText("Key down: %s [repeat active]", {keys});
      return FormatText("Key down: %s [repeat delay %dms, speed %d c/s]",
                        {keys, repeatDelay_, repeatRate_});
    case kKeyUp:
      return FormatText("Key up: %s", {keys});
    default:
      return {};
  }
}

bool TTransKeyAction::MatchIncoming(TIncomingEvent& event) {
  if (!HasKey()) return false;
  if (GetSuppressKeyInWhenActive() && GetApplicationActive()) return false;
  const TKeyData record = KeyDataFromWords(event.keyData);
  if (!TKeyEvent::SameKey(keys_->Keys().front(), record)) return false;
  bool matched = false;
  switch (mode_) {
    case kKeyStroke:
      matched = !record.IsKeyUp();
      break;
    case kKeyDown:
      matched = record.IsFirstKeyDown();
      break;
    case kKeyUp:
      matched = record.IsKeyUp();
      break;
    default:
      break;
  }
  if (matched && event.params != nullptr && event.params->IsLogging())
    event.params->LogIncoming(GetDescription(), event);
  return matched;
}

std::string TTransKeyAction::GetRepeatTimerName() const {
  if (!HasKey()) return {};
  const TKeyEvent& first = keys_->Keys().front();
  return " InternalTimer" + IntToHex(first.VirtualKey(), 1) + (first.Extended() ? "1" : "0");
}

int32_t TTransKeyAction::RepeatPeriodMs() const {
  const int32_t rate = std::max<int32_t>(repeatRate_, 1);
  // A rate above 1000 per second still repeats once per millisecond, never with period 0.
  return std::max<int32_t>(1000 / rate, 1);
}

bool TTransKeyAction::PressKey() {
  if (!HasKey()) return false;
  const bool pressed = keys_->PressFirstKey();
  if (pressed && repeat_) {
    const TKeyEvent key = keys_->Keys().front();
    repeatStarted_.store(true, std::memory_order_release);
    KeyRepeatTimerManager().StartNamedTimer(
        GetRepeatTimerName(), static_cast<uint32_t>(std::max<int32_t>(repeatDelay_, 0)),
        [key](const std::string&) { RepeatKey(key); },
        0, RepeatPeriodMs());
  }
  return pressed;
}

void TTransKeyAction::RepeatKey(const TKeyEvent& key) {
  // While the program is active and keys are suppressed, a repeat must not type into the
  // program's own windows; the timer keeps running until the key-up.
  if (!KeysSuppressed()) key.Send(TKeyEvent::TSendAs::Down);
}

bool TTransKeyAction::ReleaseKey() {
  if (!HasKey()) return false;
  return keys_->ReleaseFirstKey();
}

bool TTransKeyAction::ExecuteOutgoing(TExecutionContext& context) {
  if (keys_ == nullptr) return false;
  // A key-up always ends its key's repeat, also while sending is suppressed: otherwise a
  // repeat started before the program became active would never stop.
  if (mode_ == kKeyUp && HasKey()) KeyRepeatTimerManager().KillTimer(GetRepeatTimerName());
  if (KeysSuppressed()) return false;
  bool result = false;
  switch (mode_) {
    case kKeyStroke:
      result = keys_->Play();
      break;
    case kKeyDown:
      result = PressKey();
      break;
    case kKeyUp:
      result = ReleaseKey();
      break;
    default:
      break;
  }
  if (result && context.params != nullptr && context.params->IsLogging())
    context.params->LogOutgoing(GetDescription(), context);
  return result;
}

void RegisterKeyActions() {
  RegisterTransActionClass<TTransKeyAction>("KAM1");
  RegisterTransActionClass<TTransKeyAction>("KAM2");
  RegisterTransActionClass<TTransKeyAction>("KSQ1");
  RegisterTransActionClass<TTransKeyAction>("Key ");
}

}  // namespace kv
