#pragma once
// The rule chooser's logic: which kind of rule Add inserts. The dialog shows seven items;
// the last one asks for a condition and keeps the step code the caller gave.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

inline constexpr int kRuleChooserItemCount = 7;
inline constexpr int kRuleChooserConditionItem = 6;

const std::vector<std::string>& RuleChooserCaptions();
// The item of a step code; a code without an item gives the item of code 1.
int RuleTypeToChooserIndex(int stepCode);

// The dialog's state between showing and closing.
class TRuleChooserModel {
 public:
  // With preselect, the item of stepCode is chosen; else none.
  TRuleChooserModel(uint8_t stepCode, bool preselect);

  int ItemIndex() const { return itemIndex_; }
  void SelectItem(int index);
  bool OkEnabled() const { return itemIndex_ >= 0; }
  // OK: true when an item is chosen; then the step code or the condition flag is set.
  bool Confirm();
  uint8_t StepCode() const { return stepCode_; }
  bool Condition() const { return condition_; }

 private:
  int itemIndex_ = -1;
  uint8_t stepCode_;
  bool condition_ = false;
};

}  // namespace kv
