#include "engine/actions/special_action.h"

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/actions/execute_file_action.h"
#include "engine/actions/preset_change_action.h"
#include "engine/translate_params.h"

namespace kv {

namespace {
constexpr const char* kEnableDescriptions[] = {"Disable Processing", "Enable Processing",
                                               "Project Opened"};
}  // namespace

void TTransEnableAction::Assign(const TTransAction& source) {
  if (const auto* other = dynamic_cast<const TTransEnableAction*>(&source)) value_ = other->value_;
}

std::unique_ptr<TTransAction> TTransEnableAction::Clone() const {
  return std::make_unique<TTransEnableAction>(IsIncoming(), value_);
}

std::string TTransEnableAction::SaveToText() const {
  return "EnDi" + IntToHex(value_, 2);
}

size_t TTransEnableAction::LoadFromText(std::string_view text) {
  const int32_t value = text.size() >= 6 && text.starts_with("EnDi") ? HexToIntAt(text, 5, 2) : -1;
  if (value < kDisableProcessing || value > kProjectOpened)
    throw Exception("corrupt enable/disable action");
  value_ = static_cast<uint8_t>(value);
  return 6;
}

std::string TTransEnableAction::GetDescription() const {
  return value_ <= kProjectOpened ? kEnableDescriptions[value_] : "";
}

bool TTransEnableAction::MatchIncoming(TIncomingEvent& event) {
  if (event.value != value_) return false;
  if (event.params != nullptr && event.params->IsLogging())
    event.params->LogIncoming(GetDescription(), event);
  return true;
}

bool TTransEnableAction::ExecuteOutgoing(TExecutionContext& context) {
  TGlobalTranslateParams* params = context.params;
  if (params == nullptr) return true;
  if (value_ == kDisableProcessing) params->SetEnabled(false);
  if (value_ == kEnableProcessing) params->SetEnabled(true);
  if (params->IsLogging())
    params->LogOutgoing(params->IsEnabled() ? "enabled processing" : "disabled processing",
                        context);
  return true;
}

std::unique_ptr<TTransAction> TTransNoneAction::Clone() const {
  return std::make_unique<TTransNoneAction>(IsIncoming());
}

size_t TTransNoneAction::LoadFromText(std::string_view text) {
  if (!text.starts_with("None")) throw Exception("corrupt none action");
  return 4;
}

bool TTransNoneAction::ExecuteOutgoing(TExecutionContext&) {
  return true;
}

void RegisterSwitchActions() {
  RegisterTransActionClass<TTransEnableAction>("EnDi");
  RegisterTransActionClass<TTransNoneAction>("None");
  RegisterTransActionClass<TTransPresetChangeAction>("Pres");
  RegisterTransActionClass<TTransExecuteFileAction>("ExF1");
}

}  // namespace kv
