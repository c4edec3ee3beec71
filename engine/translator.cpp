#include "engine/translator.h"

#include <atomic>

#include "base/exception.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/actions/midi_action_text.h"
#include "engine/actions/unknown_action.h"
#include "engine/format.h"
#include "engine/translate_params.h"

namespace kv {

namespace {

std::atomic<int32_t> g_nextTranslatorId{1};

const char* const kNoDelayWithoutOutgoing =
    "[internal error] cannot specify delay if no outgoing action is defined.";

const char* FlagText(uint8_t flag) {
  return flag ? "01" : "00";
}

// "Actv01Stop00OutO00" and a delay of up to ten digits: the text before the rules.
constexpr size_t kOptionsHeadRoom = 48;

std::string DelaySuffix(const TTransAction& outgoing) {
  const std::string value = NumberOrVariableToText(outgoing.GetDelay());
  switch (outgoing.GetDelayUnit()) {
    case kDelaySeconds:
      return ", delay:" + value + "sec";
    case kDelayMillis:
      return ", delay:" + value + "millisec";
    default:
      return {};
  }
}

}  // namespace

std::unique_ptr<TTransAction> CreateActionFromText(
    std::string_view text, bool incoming,
    const std::function<void(const std::string& text)>& onError, size_t* used) {
  auto report = [&onError](const std::string& message) {
    if (onError) onError(message);
  };
  std::unique_ptr<TTransAction> action;
  std::string converted;  // only a legacy MIDI text is loaded from a text of its own
  std::string_view toLoad = text;
  if (!text.empty()) {
    action = CreateTransActionFromText(text, incoming);
    if (!action && IsLegacyMidiText(text)) {
      converted = ConvertLegacyMidiText(text, {}, {});
      toLoad = converted;
      action = CreateTransActionFromText(toLoad, incoming);
    }
  }
  if (action && !(incoming ? action->AllowsIncoming() : action->AllowsOutgoing())) {
    action.reset();
  }
  if (action) {
    try {
      const size_t n = action->LoadFromText(toLoad);
      if (used) *used = n;
      // A kind that reads nothing from its own tagged text did not understand it.
      if (n == 0) action.reset();
    } catch (const std::exception& e) {
      report(e.what());
      action.reset();
    }
  }
  if (!action) {
    if (!text.empty()) {
      report(FormatText(incoming ? "Incoming Action corrupt or not supported: %s"
                                 : "Outgoing Action corrupt or not supported: %s",
                        {text.substr(0, 4)}));
    }
    action = std::make_unique<TTransUnknownAction>(incoming, text);
    if (used) *used = text.size();
  }
  return action;
}

TTransMsg::TTransMsg(std::string name) : name_(std::move(name)) {
  Init();
}

TTransMsgPtr TTransMsg::Create(std::string name) {
  return std::make_shared<TTransMsg>(std::move(name));
}

TTransMsgPtr TTransMsg::CreateFromText(std::string_view incomingText, std::string_view outgoingText,
                                       const std::string* optionsText,
                                       const TTransMsgErrorCallback& onError) {
  TTransMsgPtr t = Create();
  t->SetActionsFromText(incomingText, outgoingText, onError);
  if (optionsText) t->ParseOptions(*optionsText, onError);
  return t;
}

void TTransMsg::Init() {
  active_ = 1;
  stop_ = 0;
  outputOriginal_ = 0;
  optionTail_.clear();
  id_ = g_nextTranslatorId.fetch_add(1, std::memory_order_relaxed);
}

TTransMsgPtr TTransMsg::Clone() const {
  TTransMsgPtr copy = Create(name_);
  copy->Assign(this);
  return copy;
}

void TTransMsg::Assign(const TTransMsg* other) {
  if (other == this) return;
  if (!other) {
    Init();
    ClearActions();
    return;
  }
  active_ = other->active_;
  stop_ = other->stop_;
  outputOriginal_ = other->outputOriginal_;
  optionTail_ = other->optionTail_;
  incoming_ = other->incoming_ ? other->incoming_->Clone() : nullptr;
  outgoing_ = other->outgoing_ ? other->outgoing_->Clone() : nullptr;
  if (outgoing_ && other->outgoing_) {
    outgoing_->SetDelayUnit(other->outgoing_->GetDelayUnit());
    outgoing_->SetDelay(other->outgoing_->GetDelay());
  }
  SetRules(other->rules_.get());
}

void TTransMsg::Report(const TTransMsgErrorCallback& onError, const std::string& text) {
  if (onError) onError(*this, text);
}

void TTransMsg::SetActionsFromText(std::string_view incomingText, std::string_view outgoingText,
                                   const TTransMsgErrorCallback& onError) {
  ClearActions();
  std::function<void(const std::string&)> report;
  if (onError) report = [this, &onError](const std::string& text) { onError(*this, text); };
  incoming_ = CreateActionFromText(incomingText, true, report);
  outgoing_ = CreateActionFromText(outgoingText, false, report);
}

bool TTransMsg::ParseOptions(std::string_view text, const TTransMsgErrorCallback& onError) {
  Init();
  size_t pos = 0;  // 0-based
  std::string error;
  while (pos < text.size()) {
    const size_t tagStart = pos;
    bool corrupt = false;
    if (text.size() - pos < 4) {
      corrupt = true;
    } else {
      const std::string_view tag = text.substr(pos, 4);
      pos += 4;
      if (tag == "Actv" || tag == "Stop" || tag == "OutO") {
        const int32_t value = HexToIntAt(text, pos + 1, 2);
        if (value < 0) {
          corrupt = true;
        } else {
          const uint8_t flag = value > 0 ? 1 : 0;
          (tag == "Actv" ? active_ : tag == "Stop" ? stop_ : outputOriginal_) = flag;
          pos += 2;
        }
      } else if (tag == "Dlay") {
        if (text.size() - pos < 8) {
          corrupt = true;
        } else if (!outgoing_) {
          Report(onError, kNoDelayWithoutOutgoing);
          optionTail_.assign(text.substr(tagStart));
          return false;
        } else {
          TNumberOrVariable delay;
          const size_t used = ParseNumberOrVariableAt(text, pos + 1, delay);
          const std::string_view rest = text.substr(pos + used);
          if (used == 0) {
            corrupt = true;
          } else if (rest.substr(0, 8) == ":Seconds") {
            outgoing_->SetDelay(delay);
            outgoing_->SetDelayUnit(kDelaySeconds);
            pos += used + 8;
          } else if (rest.substr(0, 7) == ":Millis") {
            outgoing_->SetDelay(delay);
            outgoing_->SetDelayUnit(kDelayMillis);
            pos += used + 7;
          } else {
            corrupt = true;
          }
        }
      } else if (tag == kRulesTag) {
        // Loaded aside: rules that fail to load must not stay half-built beside the tail
        // that keeps their text.
        auto rules = std::make_unique<TTransStepMath>();
        try {
          pos = tagStart + rules->LoadFromText(text.substr(tagStart));
          rules_ = std::move(rules);
        } catch (const std::exception& e) {
          error = e.what();
          corrupt = true;
        }
      } else {
        corrupt = true;
      }
    }
    if (corrupt) {
      const std::string_view failing = text.substr(tagStart);
      Report(onError,
             FormatText("corrupt options: %s", {error.empty() ? std::string(failing) : error}));
      optionTail_.assign(failing);
      return false;
    }
  }
  return true;
}

std::string TTransMsg::GetIncomingText() const {
  return incoming_ ? incoming_->SaveToText() : std::string();
}

std::string TTransMsg::GetOutgoingText() const {
  return outgoing_ ? outgoing_->SaveToText() : std::string();
}

std::string TTransMsg::GetOptionsText() const {
  const std::string rules = HasRules() ? rules_->SaveToText() : std::string();
  std::string text;
  text.reserve(kOptionsHeadRoom + rules.size() + optionTail_.size());
  text += "Actv";
  text += FlagText(active_);
  text += "Stop";
  text += FlagText(stop_);
  text += "OutO";
  text += FlagText(outputOriginal_);
  if (outgoing_) {
    const uint8_t unit = outgoing_->GetDelayUnit();
    if (unit == kDelaySeconds || unit == kDelayMillis) {
      text += "Dlay";
      text += NumberOrVariableToText(outgoing_->GetDelay());
      text += unit == kDelaySeconds ? ":Seconds" : ":Millis";
    }
  }
  text += rules;
  text += optionTail_;
  return text;
}

std::string TTransMsg::GetIncomingDescription() const {
  return incoming_ ? incoming_->GetDescription() : std::string();
}

std::string TTransMsg::GetIncomingShortDescription() const {
  return incoming_ ? incoming_->GetShortDescription() : std::string();
}

std::string TTransMsg::GetOutgoingDescription() const {
  return outgoing_ ? outgoing_->GetDescription() + DelaySuffix(*outgoing_) : std::string();
}

std::string TTransMsg::GetOutgoingShortDescription() const {
  return outgoing_ ? outgoing_->GetShortDescription() + DelaySuffix(*outgoing_) : std::string();
}

int TTransMsg::GetIncomingType() const {
  return incoming_ ? incoming_->GetActionType() : kActionUnknown;
}

int TTransMsg::GetOutgoingType() const {
  return outgoing_ ? outgoing_->GetActionType() : kActionUnknown;
}

int64_t TTransMsg::GetDelayMs(const TExecutionContext& context) const {
  if (!outgoing_) return 0;
  const int64_t value = EvaluateNumberOrVariable(outgoing_->GetDelay(), context);
  switch (outgoing_->GetDelayUnit()) {
    case kDelaySeconds:
      return value * 1000;
    case kDelayMillis:
      return value;
    default:
      return 0;
  }
}

bool TTransMsg::MatchIncoming(TIncomingEvent& event, uint16_t& activity) {
  if (!active_ || !incoming_) return false;
  if (incoming_->GetActionType() != event.kind) return false;
  if (!incoming_->MatchIncoming(event)) return false;
  event.passThrough = outputOriginal_;
  activity |= kActivityMatched;
  return true;
}

void TTransMsg::ExecuteOutgoing(TExecutionContext& context, uint16_t& activity) {
  if (!active_ || !outgoing_) return;
  try {
    if (outgoing_->ExecuteOutgoing(context)) {
      activity |= ActivityFlagForActionType(outgoing_->GetActionType(), false);
    }
  } catch (...) {
    // An outgoing action's failure must not end the processing of the event.
  }
}

void TTransMsg::SetRules(const TTransStepMath* rules) {
  if (!rules) {
    rules_.reset();
    return;
  }
  if (rules == rules_.get()) return;
  auto copy = std::make_unique<TTransStepMath>();
  copy->Assign(rules);
  rules_ = std::move(copy);
}

void TTransMsg::ClearActions() {
  rules_.reset();
  incoming_.reset();
  outgoing_.reset();
}

bool TTransMsg::IsEmpty() const {
  auto sideEmpty = [](const TTransAction* a) {
    if (!a) return true;
    const auto* unknown = dynamic_cast<const TTransUnknownAction*>(a);
    return unknown && unknown->Text().empty();
  };
  return sideEmpty(incoming_.get()) && sideEmpty(outgoing_.get()) && !HasRules() &&
         optionTail_.empty();
}

void TTransMsg::CopyToStrings(std::vector<std::string>& list) const {
  list.push_back(kClipNameKey + name_);
  list.push_back(kClipIncomingKey + GetIncomingText());
  list.push_back(kClipOutgoingKey + GetOutgoingText());
  list.push_back(kClipOptionsKey + GetOptionsText());
}

bool TTransMsg::PasteFromStrings(const std::vector<std::string>& list, size_t& index,
                                 const TTransMsgErrorCallback& onError) {
  if (index >= list.size() || list.size() - index < 4) {
    index = list.size();
    return false;
  }
  const char* const keys[4] = {kClipNameKey, kClipIncomingKey, kClipOutgoingKey, kClipOptionsKey};
  std::string values[4];
  bool found[4] = {false, false, false, false};
  for (size_t line = index; line < index + 4; ++line) {
    for (int k = 0; k < 4; ++k) {
      if (StrHasPrefix(list[line], keys[k], false)) {
        values[k] = list[line].substr(std::string_view(keys[k]).size());
        found[k] = true;
        break;
      }
    }
  }
  index += 4;
  if (!(found[0] && found[1] && found[2] && found[3])) return false;
  Init();
  SetActionsFromText(values[1], values[2], onError);
  ParseOptions(values[3], onError);
  name_ = values[0];
  return true;
}

}  // namespace kv
