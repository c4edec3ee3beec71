#include "engine/actions/unknown_action.h"

#include "engine/format.h"

namespace kv {

TTransUnknownAction::TTransUnknownAction(bool incoming, std::string_view text)
    : TTransAction(incoming) {
  LoadFromText(text);
}

void TTransUnknownAction::Assign(const TTransAction& source) {
  if (const auto* unknown = dynamic_cast<const TTransUnknownAction*>(&source)) {
    text_ = unknown->text_;
  }
}

std::unique_ptr<TTransAction> TTransUnknownAction::Clone() const {
  return std::make_unique<TTransUnknownAction>(IsIncoming(), text_);
}

size_t TTransUnknownAction::LoadFromText(std::string_view text) {
  text_.assign(text);
  return text_.size();
}

std::string TTransUnknownAction::GetDescription() const {
  if (text_.empty()) return "unknown empty action";
  return FormatText("Unknown Action: %s", {text_});
}

std::string TTransUnknownAction::GetShortDescription() const {
  if (text_.empty()) return "unknown empty action";
  return FormatText("Unknown Action: %s", {std::string_view(text_).substr(0, 4)});
}

}  // namespace kv
