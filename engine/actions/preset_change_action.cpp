#include "engine/actions/preset_change_action.h"

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/format.h"
#include "engine/translate_params.h"

namespace kv {

namespace {
constexpr const char* kCorruptPresetChange = "corrupt preset change action";
constexpr int kMaxCode = kPresetThisDeactivated;
}  // namespace

TTransPresetChangeAction::TTransPresetChangeAction(bool incoming, uint8_t code, std::string name,
                                                   const TNumberOrVariable& number)
    : TTransAction(incoming), code_(code), name_(std::move(name)), number_(number) {}

bool TTransPresetChangeAction::IsByNumber(uint8_t code) {
  return code == kPresetSwitchNumber || code == kPresetActivateNumber ||
         code == kPresetDeactivateNumber;
}

void TTransPresetChangeAction::Assign(const TTransAction& source) {
  const auto* other = dynamic_cast<const TTransPresetChangeAction*>(&source);
  if (other == nullptr || other == this) return;
  code_ = other->code_;
  name_ = other->name_;
  number_ = other->number_;
}

std::unique_ptr<TTransAction> TTransPresetChangeAction::Clone() const {
  return std::make_unique<TTransPresetChangeAction>(IsIncoming(), code_, name_, number_);
}

std::string TTransPresetChangeAction::SaveToText() const {
  const std::string head = "Pres" + IntToHex(code_, 2);
  return head + (IsByNumber(code_) ? NumberOrVariableToText(number_) : EncodeLengthPrefixed(name_));
}

size_t TTransPresetChangeAction::LoadFromText(std::string_view text) {
  if (text.size() < 7 || !text.starts_with("Pres")) throw Exception(kCorruptPresetChange);
  const int32_t code = HexToIntAt(text, 5, 2);
  if (code < 0 || code > kMaxCode) throw Exception(kCorruptPresetChange);
  if (IsByNumber(static_cast<uint8_t>(code))) {
    TNumberOrVariable number;
    const size_t used = ParseNumberOrVariableAt(text, 7, number);
    if (used == 0) throw Exception(kCorruptPresetChange);
    code_ = static_cast<uint8_t>(code);
    number_ = number;
    name_.clear();
    return 6 + used;
  }
  std::string name;
  const size_t used = DecodeLengthPrefixed(text, 7, name);
  code_ = static_cast<uint8_t>(code);
  name_ = std::move(name);
  return 6 + used;
}

std::string TTransPresetChangeAction::GetDescription() const {
  const std::string number = NumberOrVariableToText(number_);
  switch (code_) {
    case kPresetNext:
      return "activate only next preset";
    case kPresetPrevious:
      return "activate only previous preset";
    case kPresetSwitchNamed:
      return FormatText("activate only preset \"%s\"", {name_});
    case kPresetSwitchNumber:
      return FormatText("activate only preset number %s", {number});
    case kPresetActivateNamed:
      return FormatText("activate preset \"%s\"", {name_});
    case kPresetActivateNumber:
      return FormatText("activate preset number %s", {number});
    case kPresetDeactivateNamed:
      return FormatText("deactivate preset \"%s\"", {name_});
    case kPresetDeactivateNumber:
      return FormatText("deactivate preset number %s", {number});
    case kPresetThisActivated:
      return IsIncoming() ? "on activation of this preset" : "activate this preset";
    case kPresetThisDeactivated:
      return IsIncoming() ? "on deactivation this preset" : "deactivate this preset";
    default:
      return {};
  }
}

bool TTransPresetChangeAction::MatchIncoming(TIncomingEvent& event) {
  const std::string eventName = event.presetName != nullptr ? event.presetName : "";
  auto numberMatches = [&] {
    const TGlobalVariables* globals = event.params != nullptr ? &event.params->Globals() : nullptr;
    return EvaluateNumberOrVariable(number_, &event.locals, globals) == event.presetNumber;
  };
  bool matched = false;
  switch (code_) {
    case kPresetActivateNamed:
      matched = event.value == 1 && AnsiSameText(eventName, name_);
      break;
    case kPresetActivateNumber:
      matched = event.value == 1 && numberMatches();
      break;
    case kPresetDeactivateNamed:
      matched = event.value == 0 && AnsiSameText(eventName, name_);
      break;
    case kPresetDeactivateNumber:
      matched = event.value == 0 && numberMatches();
      break;
    case kPresetThisActivated:
      matched = event.value == 1 && event.presetIndex == event.presetNumber;
      break;
    case kPresetThisDeactivated:
      matched = event.value == 0 && event.presetIndex == event.presetNumber;
      break;
    default:
      break;
  }
  if (matched && event.params != nullptr && event.params->IsLogging()) {
    std::string description = GetDescription();
    // For these codes the walked preset is the one that changed, whose name the event
    // carries (the walk holds the preset's lock, so it is not read from the preset).
    if ((code_ == kPresetThisActivated || code_ == kPresetThisDeactivated) &&
        event.presetIndex == event.presetNumber)
      description += " (" + (eventName.empty() ? std::string("(unnamed)") : eventName) + ")";
    event.params->LogIncoming(description, event);
  }
  return matched;
}

bool TTransPresetChangeAction::ExecuteOutgoing(TExecutionContext& context) {
  const int32_t number = IsByNumber(code_) ? EvaluateNumberOrVariable(number_, context) : 0;
  TGlobalTranslateParams* params = context.params;
  if (params == nullptr || !params->HasPresetChangeRequest()) return false;
  if (params->IsLogging()) params->LogOutgoing(GetDescription(), context);
  params->RequestPresetChange(this, code_, number, name_);
  return true;
}

}  // namespace kv
