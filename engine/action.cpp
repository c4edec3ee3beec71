#include "engine/action.h"

namespace kv {

void TTransAction::Assign(const TTransAction& source) {
  if (&source == this) return;
  LoadFromText(source.SaveToText());
}

std::string TTransAction::GetDescription() const {
  return SaveToText();
}

std::string TTransAction::GetShortDescription() const {
  return GetDescription();
}

bool TTransAction::MatchIncoming(TIncomingEvent&) {
  return false;
}

bool TTransAction::ExecuteOutgoing(TExecutionContext&) {
  return false;
}

}  // namespace kv
