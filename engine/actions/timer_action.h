#pragma once
// TTransTimerAction (tag Tim0, kind 4, both directions, execution level 1): as an outgoing
// action it starts or kills a named timer; as an incoming trigger it fires when the named
// timer does.
//
// Stored forms: "Tim0TimS" + length-prefixed name + count ":" delay ":" period (start),
// "Tim0TimK" + name (kill), "Tim0TimT" + name (on timer); the old start form "Tim0" + name +
// count, delay and period as 4 hexadecimal digits each is read, never written.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/action.h"
#include "engine/variables.h"

namespace kv {

class TTransTimerAction : public TTransAction {
 public:
  enum TMode : uint8_t { kStart = 0, kKill = 1, kOnTimer = 2 };

  explicit TTransTimerAction(bool incoming) : TTransAction(incoming) {}

  void Clear() override;
  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override;
  // Throws kv::Exception "Corrupt timer configuration." on a corrupt text.
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  bool MatchIncoming(TIncomingEvent& event) override;
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionTimer; }
  int GetExecutionLevel() const override { return kLevelNotCallback; }
  int GetDirections() const override { return kDirectionBoth; }

  // Trims the name and takes its id (added to the name set); a new id is reported to the
  // program-wide timer-name receiver (the project's list of timer names).
  void SetTimerName(std::string_view name);
  const std::string& GetTimerName() const { return name_; }
  int32_t GetNameId() const { return nameId_; }

  uint8_t GetMode() const { return mode_; }
  void SetMode(uint8_t mode) { mode_ = mode; }
  const TNumberOrVariable& GetTimerDelay() const { return delay_; }
  void SetTimerDelay(const TNumberOrVariable& v) { delay_ = v; }
  const TNumberOrVariable& GetPeriod() const { return period_; }
  void SetPeriod(const TNumberOrVariable& v) { period_ = v; }
  const TNumberOrVariable& GetCount() const { return count_; }
  void SetCount(const TNumberOrVariable& v) { count_ = v; }

 private:
  std::string name_;
  int32_t nameId_ = 0;
  TNumberOrVariable delay_;   // ms until the first firing
  TNumberOrVariable period_;  // ms between firings
  TNumberOrVariable count_;   // number of firings; a number <= 0 runs endlessly
  uint8_t mode_ = kStart;
};

// The stored texts of the kill and trigger forms.
std::string EncodeKillTimer(std::string_view name);
std::string EncodeTimerTrigger(std::string_view name);

// Registers the tag Tim0 (engine/standard_actions.cpp calls it at start-up).
void RegisterTimerActions();

}  // namespace kv
