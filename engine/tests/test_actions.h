#pragma once
// Small action kinds of our own for the model's tests: they follow the contracts of the
// real kinds (tag first, errors as exceptions) without reaching outside the program.
#include <string>

#include "engine/action.h"

namespace kv::test {

// "MID1" + byte pairs (hexadecimal or variable names): matches an event of exactly those
// bytes; output counts one send. An odd number of characters is "invalid MIDI message".
class TTestMidiAction : public TTransAction {
 public:
  using TTransAction::TTransAction;
  void Clear() override { text_.clear(); }
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override { return "MID1" + text_; }
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override { return "MIDI " + text_; }
  bool MatchIncoming(TIncomingEvent& event) override;
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionMidi; }
  int GetExecutionLevel() const override { return kLevelAnyThread; }
  int GetDirections() const override { return kDirectionBoth; }

  static int sends;

 private:
  std::string text_;
};

// "None": outgoing only, does nothing and reports output.
class TTestNoneAction : public TTransAction {
 public:
  using TTransAction::TTransAction;
  std::unique_ptr<TTransAction> Clone() const override {
    return std::make_unique<TTestNoneAction>(IsIncoming());
  }
  std::string SaveToText() const override { return "None"; }
  size_t LoadFromText(std::string_view) override { return 4; }
  std::string GetDescription() const override { return "none"; }
  bool ExecuteOutgoing(TExecutionContext&) override { return true; }
  int GetActionType() const override { return kActionNone; }
  int GetExecutionLevel() const override { return kLevelAnyThread; }
  int GetDirections() const override { return kDirectionOutgoing; }
};

// "Thro": an outgoing action whose output always fails.
class TTestThrowingAction : public TTestNoneAction {
 public:
  using TTestNoneAction::TTestNoneAction;
  std::unique_ptr<TTransAction> Clone() const override {
    return std::make_unique<TTestThrowingAction>(IsIncoming());
  }
  std::string SaveToText() const override { return "Thro"; }
  bool ExecuteOutgoing(TExecutionContext&) override;
};

// Registers the kinds above (once).
void RegisterTestActions();

}  // namespace kv::test
