#include "editor/rule_chooser.h"

#include "engine/rules.h"

namespace kv {
namespace {

constexpr int kItemCodes[kRuleChooserItemCount] = {kStepAssign,      kStepAdd,     kStepGoto,
                                                   kStepLabel,       kStepExitExecute,
                                                   kStepExitSkip,    -1};

}  // namespace

const std::vector<std::string>& RuleChooserCaptions() {
  static const std::vector<std::string> captions = {
      "&Assignment (e.g. pp = 20)",
      "&Expression (pp = 30 + qq)",
      "&Jump (GOTO ...)",
      "&Label (jump destination)",
      "Exit Rules and execute &Outgoing Action",
      "E&xit Rules and ignore Outgoing Action",
      "&Conditional (IF pp=10 THEN ...)",
  };
  return captions;
}

int RuleTypeToChooserIndex(int stepCode) {
  for (int i = 0; i < kRuleChooserConditionItem; ++i) {
    if (kItemCodes[i] == stepCode) return i;
  }
  return 1;
}

TRuleChooserModel::TRuleChooserModel(uint8_t stepCode, bool preselect) : stepCode_(stepCode) {
  if (preselect) itemIndex_ = RuleTypeToChooserIndex(stepCode);
}

void TRuleChooserModel::SelectItem(int index) {
  itemIndex_ = (index >= 0 && index < kRuleChooserItemCount) ? index : -1;
}

bool TRuleChooserModel::Confirm() {
  if (itemIndex_ < 0) return false;
  condition_ = itemIndex_ == kRuleChooserConditionItem;
  if (!condition_) stepCode_ = static_cast<uint8_t>(kItemCodes[itemIndex_]);
  return true;
}

}  // namespace kv
