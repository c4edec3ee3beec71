#include "engine/tests/test_actions.h"

#include "base/exception.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"

namespace kv::test {

int TTestMidiAction::sends = 0;

std::unique_ptr<TTransAction> TTestMidiAction::Clone() const {
  auto copy = std::make_unique<TTestMidiAction>(IsIncoming());
  copy->text_ = text_;
  return copy;
}

size_t TTestMidiAction::LoadFromText(std::string_view text) {
  std::string body(text.substr(text.substr(0, 4) == "MID1" ? 4 : 0));
  std::string clean;
  for (char c : body) {
    if (c != ' ') clean += c;
  }
  if (clean.size() % 2 != 0) throw Exception("invalid MIDI message");
  text_ = clean;
  return text.size();
}

bool TTestMidiAction::MatchIncoming(TIncomingEvent& event) {
  if (static_cast<size_t>(event.length) * 2 != text_.size() || !event.data) return false;
  for (int i = 0; i < event.length; ++i) {
    if (HexToIntAt(text_, 2 * i + 1, 2) != event.data[i]) return false;
  }
  return true;
}

bool TTestMidiAction::ExecuteOutgoing(TExecutionContext&) {
  ++sends;
  return true;
}

bool TTestThrowingAction::ExecuteOutgoing(TExecutionContext&) {
  throw Exception("output failed");
}

void RegisterTestActions() {
  RegisterTransActionClass<TTestMidiAction>("MID1");
  RegisterTransActionClass<TTestNoneAction>("None");
  RegisterTransActionClass<TTestThrowingAction>("Thro");
}

}  // namespace kv::test
