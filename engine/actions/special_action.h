#pragma once
// Actions that act on the program itself: the processing switch TTransEnableAction ("EnDi",
// id 6, both directions, level 0), which also fires when processing is disabled or enabled
// and when the project is opened, and TTransNoneAction ("None", id 7, outgoing, level 0),
// which does nothing and still counts as output. The preset change and the execute-file
// action are in engine/preset_change_action.h and engine/execute_file_action.h.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/action.h"

namespace kv {

enum TEnableValue : uint8_t {
  kDisableProcessing = 0,
  kEnableProcessing = 1,
  kProjectOpened = 2,
};

class TTransEnableAction : public TTransAction {
 public:
  explicit TTransEnableAction(bool incoming) : TTransAction(incoming) {}
  TTransEnableAction(bool incoming, uint8_t value) : TTransAction(incoming), value_(value) {}

  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override;
  // Throws kv::Exception "corrupt enable/disable action".
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }
  bool MatchIncoming(TIncomingEvent& event) override;
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionSpecial; }
  int GetExecutionLevel() const override { return kLevelAnyThread; }
  int GetDirections() const override { return kDirectionBoth; }

  uint8_t Value() const { return value_; }

 private:
  uint8_t value_ = kDisableProcessing;
};

class TTransNoneAction : public TTransAction {
 public:
  explicit TTransNoneAction(bool incoming) : TTransAction(incoming) {}

  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override { return "None"; }
  // Throws kv::Exception "corrupt none action".
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override { return "(none)"; }
  std::string GetShortDescription() const override { return GetDescription(); }
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionNone; }
  int GetExecutionLevel() const override { return kLevelAnyThread; }
  int GetDirections() const override { return kDirectionOutgoing; }
};

// Registers "EnDi", "None", "Pres" and "ExF1", in that order.
void RegisterSwitchActions();

}  // namespace kv
