#pragma once
// TTransPresetChangeAction ("Pres", id 5, both directions, level 3): as an action it
// switches, activates or deactivates presets through the project's preset change; as a
// trigger it fires when a preset is activated or deactivated. Level 3: the engine always
// queues it, so the project changes only on the main thread.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/action.h"

namespace kv {

// What the code means; the same code is an action on the outgoing side and a trigger on the
// incoming side.
enum TPresetChangeCode : uint8_t {
  kPresetNext = 0,
  kPresetPrevious = 1,
  kPresetSwitchNamed = 2,
  kPresetSwitchNumber = 3,
  kPresetActivateNamed = 4,
  kPresetActivateNumber = 5,
  kPresetDeactivateNamed = 6,
  kPresetDeactivateNumber = 7,
  kPresetThisActivated = 8,
  kPresetThisDeactivated = 9,
};

class TTransPresetChangeAction : public TTransAction {
 public:
  explicit TTransPresetChangeAction(bool incoming) : TTransAction(incoming) {}
  TTransPresetChangeAction(bool incoming, uint8_t code, std::string name,
                           const TNumberOrVariable& number);

  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override;
  // Throws kv::Exception "corrupt preset change action" or "Wrong string format".
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }
  bool MatchIncoming(TIncomingEvent& event) override;
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionPresetChange; }
  int GetExecutionLevel() const override { return kLevelMainNotInWalk; }
  int GetDirections() const override { return kDirectionBoth; }

  uint8_t Code() const { return code_; }
  const std::string& Name() const { return name_; }
  const TNumberOrVariable& Number() const { return number_; }
  // Codes 3, 5 and 7 store and use the number; the others the name.
  static bool IsByNumber(uint8_t code);

 private:
  uint8_t code_ = kPresetNext;
  std::string name_;
  TNumberOrVariable number_;
};

}  // namespace kv
