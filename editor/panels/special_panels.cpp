#include "editor/panels/special_panels.h"

namespace kv {

void TEPInSpecial::LoadAction(const TTransAction* action) {
  const auto* special = dynamic_cast<const TTransEnableAction*>(action);
  if (special != nullptr && special->Value() <= kProjectOpened) value_ = special->Value();
}

std::string TEPInSpecial::GetActionText() {
  const uint8_t value = value_ == kDisableProcessing || value_ == kProjectOpened
                            ? value_
                            : static_cast<uint8_t>(kEnableProcessing);
  return TTransEnableAction(true, value).SaveToText();
}

void TEPInSpecial::SetValue(uint8_t value) {
  value_ = value;
  Changed();
}

void TEPOutSpecial::LoadAction(const TTransAction* action) {
  const auto* special = dynamic_cast<const TTransEnableAction*>(action);
  keptValue_.reset();
  if (special == nullptr) return;
  if (special->Value() == kDisableProcessing) disable_ = true;
  if (special->Value() == kEnableProcessing) disable_ = false;
  if (special->Value() > kEnableProcessing) keptValue_ = special->Value();
}

std::string TEPOutSpecial::GetActionText() {
  const uint8_t shown = disable_ ? kDisableProcessing : kEnableProcessing;
  return TTransEnableAction(false, keptValue_.value_or(shown)).SaveToText();
}

void TEPOutSpecial::SetDisableProcessing(bool disable) {
  disable_ = disable;
  keptValue_.reset();
  Changed();
}

}  // namespace kv
