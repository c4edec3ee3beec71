#include "engine/actions/timer_action.h"

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/format.h"
#include "engine/timer_manager.h"
#include "engine/translate_params.h"

namespace kv {
namespace {

constexpr std::string_view kTag = "Tim0";
constexpr std::string_view kStartForm = "TimS";
constexpr std::string_view kKillForm = "TimK";
constexpr std::string_view kTriggerForm = "TimT";
constexpr const char* kCorrupt = "Corrupt timer configuration.";

[[noreturn]] void Corrupt() {
  throw Exception(kCorrupt);
}

// A value at the 1-based position; at least one character must be used.
size_t ReadValue(std::string_view text, size_t position, TNumberOrVariable& field) {
  if (position > text.size()) Corrupt();
  size_t used = ParseNumberOrVariableAt(text, position, field);
  if (used == 0) Corrupt();
  return used;
}

// A colon at the position, followed by at least one more character.
void ReadColon(std::string_view text, size_t position) {
  if (position >= text.size() || text[position - 1] != ':') Corrupt();
}

}  // namespace

void TTransTimerAction::Clear() {
  name_.clear();
  nameId_ = 0;
  delay_ = {};
  period_ = {};
  count_ = {};
  mode_ = kStart;
}

void TTransTimerAction::Assign(const TTransAction& source) {
  auto* other = dynamic_cast<const TTransTimerAction*>(&source);
  if (!other) return;
  SetTimerName(other->name_);
  delay_ = other->delay_;
  period_ = other->period_;
  count_ = other->count_;
  mode_ = other->mode_;
}

std::unique_ptr<TTransAction> TTransTimerAction::Clone() const {
  auto copy = std::make_unique<TTransTimerAction>(IsIncoming());
  copy->Assign(*this);
  return copy;
}

void TTransTimerAction::SetTimerName(std::string_view name) {
  std::string trimmed = Trim(name);
  int32_t id = TimerNameId(trimmed, true);
  if (id != nameId_) ReportTimerNameChange(this, trimmed, id);
  name_ = std::move(trimmed);
  nameId_ = id;
}

std::string EncodeKillTimer(std::string_view name) {
  return std::string(kTag) + std::string(kKillForm) + EncodeLengthPrefixed(name);
}

std::string EncodeTimerTrigger(std::string_view name) {
  return std::string(kTag) + std::string(kTriggerForm) + EncodeLengthPrefixed(name);
}

std::string TTransTimerAction::SaveToText() const {
  switch (mode_) {
    case kKill:
      return EncodeKillTimer(name_);
    case kOnTimer:
      return EncodeTimerTrigger(name_);
    default:
      return std::string(kTag) + std::string(kStartForm) + EncodeLengthPrefixed(name_) +
             NumberOrVariableToText(count_) + ":" + NumberOrVariableToText(delay_) + ":" +
             NumberOrVariableToText(period_);
  }
}

size_t TTransTimerAction::LoadFromText(std::string_view text) {
  if (text.size() < 9 || text.substr(0, 4) != kTag) Corrupt();
  std::string name;
  std::string_view form = text.substr(4, 4);
  TNumberOrVariable count, delay, period;
  uint8_t mode = kStart;
  size_t end = 0;  // characters used
  try {
    if (form == kKillForm || form == kTriggerForm) {
      mode = form == kKillForm ? kKill : kOnTimer;
      end = 8 + DecodeLengthPrefixed(text, 9, name);
    } else if (form == kStartForm) {
      size_t pos = 9 + DecodeLengthPrefixed(text, 9, name);
      pos += ReadValue(text, pos, count);
      ReadColon(text, pos);
      pos += 1;
      pos += ReadValue(text, pos, delay);
      ReadColon(text, pos);
      pos += 1;
      pos += ReadValue(text, pos, period);
      end = pos - 1;
    } else {
      size_t pos = 5 + DecodeLengthPrefixed(text, 5, name);
      if (pos + 11 > text.size()) Corrupt();
      int32_t values[3];
      for (int i = 0; i < 3; ++i) {
        values[i] = HexToIntAt(text, pos + 4 * static_cast<size_t>(i), 4);
        if (values[i] < 0) Corrupt();
      }
      count = TNumberOrVariable::Number(values[0]);
      delay = TNumberOrVariable::Number(values[1]);
      period = TNumberOrVariable::Number(values[2]);
      end = pos + 11;
    }
  } catch (const Exception&) {
    Corrupt();  // "Wrong string format" and the like read as a corrupt timer text
  }
  Clear();
  SetTimerName(name);
  count_ = count;
  delay_ = delay;
  period_ = period;
  mode_ = mode;
  return end;
}

std::string TTransTimerAction::GetDescription() const {
  if (mode_ == kKill) return FormatText("Kill timer \"%s\"", {name_});
  if (mode_ == kOnTimer) return FormatText("On timer \"%s\"", {name_});
  std::string delay = NumberOrVariableToText(delay_);
  std::string period = NumberOrVariableToText(period_);
  if (!count_.IsVariable() && count_.value <= 0)
    return FormatText("Periodic timer \"%s\": %s ms (initial delay: %s ms)",
                      {name_, period, delay});
  if (!count_.IsVariable() && count_.value == 1)
    return FormatText("One-shot timer \"%s\": %s ms delay", {name_, delay});
  return FormatText("Timer %s times \"%s\": %s ms (initial delay: %s ms)",
                    {NumberOrVariableToText(count_), name_, period, delay});
}

bool TTransTimerAction::MatchIncoming(TIncomingEvent& event) {
  if (event.timerId != nameId_) return false;
  if (event.params && event.params->IsLogging()) event.params->LogIncoming(GetDescription(), event);
  return true;
}

bool TTransTimerAction::ExecuteOutgoing(TExecutionContext& context) {
  const TGlobalVariables* globals = context.params ? &context.params->Globals() : nullptr;
  switch (mode_) {
    case kStart:
      GetTimerManager().StartTimer(*this, context.locals, globals);
      break;
    case kKill:
      GetTimerManager().KillTimer(name_);
      break;
    default:
      return false;
  }
  if (context.params && context.params->IsLogging())
    context.params->LogOutgoing(GetDescription(), context);
  return true;
}

void RegisterTimerActions() {
  RegisterTransActionClass<TTransTimerAction>(kTag);
}

}  // namespace kv
