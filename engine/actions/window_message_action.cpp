#include "engine/actions/window_message_action.h"

#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/format.h"
#include "engine/translate_params.h"

namespace kv {

namespace {
constexpr size_t kFieldTagLength = 2;
}  // namespace

TTransMessageAction::TTransMessageAction(bool incoming)
    : TTransAction(incoming), target_(std::make_unique<TTargetWindow>()) {}

void TTransMessageAction::Clear() {
  target_ = std::make_unique<TTargetWindow>();
}

void TTransMessageAction::SetRegisteredMessage(std::string name) {
  registeredName_ = std::move(name);
  message_ = TNumberOrVariable::Number(
      static_cast<int32_t>(GetWindowSystem().RegisterWindowMessage(registeredName_)));
}

void TTransMessageAction::Assign(const TTransAction& source) {
  const auto* other = dynamic_cast<const TTransMessageAction*>(&source);
  if (other == nullptr || other == this) return;
  message_ = other->message_;
  wParam_ = other->wParam_;
  lParam_ = other->lParam_;
  if (other->registeredName_.empty())
    registeredName_.clear();
  else
    SetRegisteredMessage(other->registeredName_);
  comment_ = other->comment_;
  target_->Assign(*other->target_);
}

std::unique_ptr<TTransAction> TTransMessageAction::Clone() const {
  auto copy = std::make_unique<TTransMessageAction>(IsIncoming());
  copy->Assign(*this);
  return copy;
}

std::string TTransMessageAction::SaveToText() const {
  std::string text = "SMsg";
  if (!registeredName_.empty())
    text += "|R" + EncodeLengthPrefixed(registeredName_);
  else
    text += "|D" + NumberOrVariableToText(message_);
  text += "|W" + NumberOrVariableToText(wParam_);
  text += "|L" + NumberOrVariableToText(lParam_);
  if (!comment_.empty()) text += "|C" + EncodeLengthPrefixed(comment_);
  text += "|T" + target_->SaveToText();
  return text;
}

size_t TTransMessageAction::LoadFromText(std::string_view text) {
  size_t position = text.starts_with("SMsg") ? 5 : 1;  // 1-based
  TNumberOrVariable message, wParam, lParam;
  std::string registeredName, comment;
  auto target = std::make_unique<TTargetWindow>();
  bool haveMessage = false, haveW = false, haveL = false;
  // A field that cannot be read ends reading; an incomplete text is not loaded (result 0),
  // and the translator keeps it as an unknown action. Length prefixes and the target window
  // raise their own errors.
  while (text.size() >= position + kFieldTagLength) {  // more than two characters remain
    const std::string_view tag = text.substr(position - 1, kFieldTagLength);
    const size_t value = position + kFieldTagLength;
    size_t used = 0;
    if (tag == "|D") {
      used = ParseNumberOrVariableAt(text, value, message);
      registeredName.clear();
      haveMessage = true;
    } else if (tag == "|R") {
      used = DecodeLengthPrefixed(text, value, registeredName);
      haveMessage = true;
    } else if (tag == "|W") {
      used = ParseNumberOrVariableAt(text, value, wParam);
      haveW = true;
    } else if (tag == "|L") {
      used = ParseNumberOrVariableAt(text, value, lParam);
      haveL = true;
    } else if (tag == "|C") {
      used = DecodeLengthPrefixed(text, value, comment);
    } else if (tag == "|T") {
      used = target->LoadFromText(text, value);
    }
    if (used == 0) return 0;  // unknown tag, or a value that uses no characters
    position = value + used;
  }
  if (!haveMessage || !haveW || !haveL) return 0;
  wParam_ = wParam;
  lParam_ = lParam;
  comment_ = std::move(comment);
  target_ = std::move(target);
  if (!registeredName.empty()) {
    SetRegisteredMessage(std::move(registeredName));
  } else {
    registeredName_.clear();
    message_ = message;
  }
  return position - 1;
}

std::string TTransMessageAction::InnerText() const {
  if (!comment_.empty()) return comment_;
  const std::string message =
      registeredName_.empty() ? NumberOrVariableToText(message_) : registeredName_;
  return FormatText("%s,%s,%s",
                    {message, NumberOrVariableToText(wParam_), NumberOrVariableToText(lParam_)});
}

std::string TTransMessageAction::GetDescription() const {
  return FormatText("Window Message \"%s\"", {InnerText()});
}

void TTransMessageAction::Log(const TExecutionContext& context, const std::string& line) const {
  if (context.params != nullptr && context.params->IsLogging()) context.params->Log(line);
}

bool TTransMessageAction::ExecuteOutgoing(TExecutionContext& context) {
  if (!target_->IsDefined()) {
    Log(context, FormatText("Error sending Windows message %s: target window not fully defined",
                            {comment_}));
    return false;
  }
  const int32_t lParam = EvaluateNumberOrVariable(lParam_, context);
  const int32_t wParam = EvaluateNumberOrVariable(wParam_, context);
  const int32_t message = EvaluateNumberOrVariable(message_, context);
  const TWindowHandle window = target_->Find();
  if (window == 0) {
    Log(context, FormatText("Error sending Windows message %s: could not get HWND !", {comment_}));
    return false;
  }
  IWindowSystem& system = GetWindowSystem();
  const bool posted = system.PostMessage(window, static_cast<uint32_t>(message),
                                         static_cast<uint32_t>(wParam), lParam);
  const std::string error = posted ? std::string() : system.LastErrorText();
  Log(context, FormatText(posted ? "Sent Windows message %s: HWND=%d, message=%d, wParam=%d, "
                                   "lParam=%d"
                                 : "Error sending Windows message %s: HWND=%d, message=%d, "
                                   "wParam=%d, lParam=%d",
                          {comment_, static_cast<uint64_t>(window), message, wParam, lParam}));
  if (!posted && !error.empty()) Log(context, FormatText("Reported error: %s", {error}));
  return posted;
}

void RegisterMessageActions() {
  RegisterTransActionClass<TTransMessageAction>("SMsg");
}

}  // namespace kv
