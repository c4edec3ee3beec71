#include "editor/rules_page.h"

#include <algorithm>

#include "base/text.h"

namespace kv {
namespace {

constexpr const char* kComparisonTexts[] = {"<=", "==", "!=", ">=", "<", ">"};
constexpr uint8_t kChooserStepCodes[] = {kStepGoto, kStepSkipNext, kStepSkipNext2,
                                         kStepExitExecute, kStepExitSkip};

std::string StepDisplayText(uint8_t stepType) {
  TTransStepMathEntry entry;
  entry.stepType = stepType;
  return entry.GetActionText();
}

// A rule name is written between double quotes; one inside would end it early.
bool IsValidRuleName(const std::string& name) {
  return name.find('"') == std::string::npos;
}

bool ReadOperand(const TComboModel& combo, TNumberOrVariable& value) {
  return ParseNumberOrVariable(combo, value);
}

// The left side of an assignment must be a variable.
bool ReadTarget(const TComboModel& combo, TNumberOrVariable& value) {
  return ReadOperand(combo, value) && value.IsVariable();
}

void ShowOperand(TComboModel& combo, const TNumberOrVariable& value) {
  ShowNumberOrVariable(combo, value);
}

// A target stored as a number is shown as the variable of that index.
void ShowTarget(TComboModel& combo, const TNumberOrVariable& value) {
  ShowNumberOrVariable(combo, TNumberOrVariable::Variable(value.value));
}

}  // namespace

TRulesPage::TRulesPage() {
  for (TComboModel* combo : {&ass0_, &ass1_, &exp0_, &exp1_, &exp2_, &if0_, &if1_}) {
    combo->FillVariableNames();
    combo->Select(0);
  }
  for (uint8_t code = kStepAdd; code <= kStepXor; ++code) {
    expOp_.AddItem(std::string(1, kStepOperatorChars[code]), code);
  }
  expOp_.Select(0);
  for (int cond = kCondLessEqual; cond < kCondNone; ++cond) {
    ifComp_.AddItem(kComparisonTexts[cond], cond);
  }
  ifComp_.Select(0);
  actionChooser_.AddItem("Assignment", kStepAssign);
  actionChooser_.AddItem("Expression", kStepAdd);
  for (uint8_t code : kChooserStepCodes) actionChooser_.AddItem(StepDisplayText(code), code);
  actionChooser_.Select(0);
}

void TRulesPage::Load(std::vector<std::string> lines, std::string description) {
  ++updating_;
  lines_ = std::move(lines);
  description_ = std::move(description);
  caretLine_ = lines_.empty() ? -1 : 0;
  hasSelection_ = false;
  lineSelected_ = false;
  LoadBuilder();
  --updating_;
}

void TRulesPage::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  if (caretLine_ >= static_cast<int>(lines_.size())) caretLine_ = static_cast<int>(lines_.size()) - 1;
  lineSelected_ = false;
  if (updating_ == 0) {
    LoadBuilder();
    Modified();
  }
}

void TRulesPage::SetDescription(std::string description) {
  description_ = std::move(description);
  Modified();
}

void TRulesPage::SetCaret(int line, bool hasSelection) {
  // The builder's own selection of the line it shows an invalid field of keeps it bound.
  if (hasSelection && lineSelected_ && line == boundLine_) return;
  caretLine_ = line;
  hasSelection_ = hasSelection;
  lineSelected_ = false;
  LoadBuilder();
}

void TRulesPage::LoadBuilder() {
  ++updating_;
  const bool exists = caretLine_ >= 0 && caretLine_ < static_cast<int>(lines_.size());
  const std::string line = exists ? Trim(lines_[static_cast<size_t>(caretLine_)]) : std::string();
  boundLine_ = (!hasSelection_ && !line.empty()) ? caretLine_ : -1;
  TTransStepMathEntry entry;
  if (boundLine_ < 0) {
    page_ = kPageNone;
  } else if (!entry.ParseText(line)) {
    page_ = kPageError;
    errorText_ = "Erronous rule: " + entry.parseError;
  } else {
    conditionVisible_ = entry.HasCondition();
    if (conditionVisible_) {
      ShowOperand(if0_, entry.conditionFirst);
      SelectComboByObject(ifComp_, entry.condition);
      ShowOperand(if1_, entry.conditionSecond);
      SelectComboByObject(actionChooser_,
                          entry.stepType >= kStepAdd && entry.stepType <= kStepXor
                              ? static_cast<int>(kStepAdd)
                              : entry.stepType);
    }
    if (entry.stepType == kStepLabel) {
      page_ = kPageLabel;
      labelName_ = entry.labelName;
    } else {
      page_ = kPageIfThen;
      LoadAction(entry);
    }
  }
  --updating_;
}

void TRulesPage::LoadAction(const TTransStepMathEntry& entry) {
  switch (entry.stepType) {
    case kStepAssign:
      actionPage_ = kActionAssignment;
      ShowTarget(ass0_, entry.target);
      ShowOperand(ass1_, entry.first);
      break;
    case kStepGoto:
      actionPage_ = kActionGoto;
      jumpTo_.Clear();
      for (auto& name : JumpNames()) jumpTo_.AddItem(name);
      jumpTo_.text = entry.labelName;
      break;
    case kStepSkipNext:
      actionPage_ = kActionSkipNext;
      break;
    case kStepSkipNext2:
      actionPage_ = kActionSkip2;
      break;
    case kStepExitExecute:
      actionPage_ = kActionExecute;
      break;
    case kStepExitSkip:
      actionPage_ = kActionDoNotExecute;
      break;
    default:
      actionPage_ = kActionExpression;
      ShowTarget(exp0_, entry.target);
      ShowOperand(exp1_, entry.first);
      SelectComboByObject(expOp_, entry.stepType);
      ShowOperand(exp2_, entry.second);
      break;
  }
}

std::vector<std::string> TRulesPage::JumpNames() const {
  std::vector<std::string> names;
  for (const auto& line : lines_) {
    TTransStepMathEntry entry;
    if (!entry.ParseText(Trim(line))) continue;
    if (entry.stepType == kStepGoto || entry.stepType == kStepLabel) names.push_back(entry.labelName);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

bool TRulesPage::ReadBuilder(TTransStepMathEntry& entry) const {
  entry = TTransStepMathEntry();
  if (conditionVisible_) {
    const int comparison = ifComp_.SelectedObject();
    if (!ReadOperand(if0_, entry.conditionFirst) || comparison < 0 ||
        !ReadOperand(if1_, entry.conditionSecond)) {
      return false;
    }
    entry.condition = static_cast<uint8_t>(comparison);
  }
  if (page_ == kPageLabel) {
    entry.stepType = kStepLabel;
    entry.labelName = labelName_;
    return IsValidRuleName(labelName_);
  }
  switch (actionPage_) {
    case kActionAssignment:
      entry.stepType = kStepAssign;
      return ReadTarget(ass0_, entry.target) && ReadOperand(ass1_, entry.first);
    case kActionExpression: {
      const int op = expOp_.SelectedObject();
      if (op < kStepAdd || op > kStepXor) return false;
      entry.stepType = static_cast<uint8_t>(op);
      return ReadTarget(exp0_, entry.target) && ReadOperand(exp1_, entry.first) &&
             ReadOperand(exp2_, entry.second);
    }
    case kActionGoto:
      entry.stepType = kStepGoto;
      entry.labelName = jumpTo_.text;
      return IsValidRuleName(entry.labelName);
    case kActionExecute:
      entry.stepType = kStepExitExecute;
      return true;
    case kActionDoNotExecute:
      entry.stepType = kStepExitSkip;
      return true;
    case kActionSkipNext:
      entry.stepType = kStepSkipNext;
      return true;
    case kActionSkip2:
      entry.stepType = kStepSkipNext2;
      return true;
    default:
      return false;
  }
}

void TRulesPage::ReplaceLine(int line, const std::string& text) {
  if (line < 0 || line >= static_cast<int>(lines_.size())) return;
  lines_[static_cast<size_t>(line)] = text;
}

void TRulesPage::BuilderChanged() {
  if (updating_ > 0 || boundLine_ < 0) return;
  if (page_ != kPageIfThen && page_ != kPageLabel) return;
  TTransStepMathEntry entry;
  if (ReadBuilder(entry)) {
    ReplaceLine(boundLine_, entry.GetText());
    caretLine_ = boundLine_;
    hasSelection_ = false;
    lineSelected_ = false;
  } else {
    lineSelected_ = true;
  }
  Modified();
}

void TRulesPage::RuleTypeChosen(int itemIndex) {
  actionChooser_.Select(itemIndex);
  if (updating_ > 0 || boundLine_ < 0) return;
  TTransStepMathEntry entry;
  if (!entry.ParseText(Trim(lines_[static_cast<size_t>(boundLine_)]))) return;
  const int code = actionChooser_.SelectedObject();
  if (code < 0) return;
  entry.stepType = static_cast<uint8_t>(code);
  ReplaceLine(boundLine_, entry.GetText());
  ++updating_;
  LoadAction(entry);
  --updating_;
  BuilderChanged();
}

void TRulesPage::AddRule(uint8_t stepCode, bool withCondition) {
  const int count = static_cast<int>(lines_.size());
  int at = boundLine_;
  if (at < 0) at = (caretLine_ >= 0 && caretLine_ < count) ? caretLine_ : count;
  TTransStepMathEntry entry;
  entry.stepType = stepCode;
  entry.target = TNumberOrVariable::Variable(VariableIndexOf("pp"));
  if (withCondition) entry.condition = kCondEqual;
  ++updating_;
  lines_.insert(lines_.begin() + at, entry.GetText());
  caretLine_ = at;
  hasSelection_ = false;
  lineSelected_ = false;
  LoadBuilder();
  --updating_;
  Modified();
}

TTransStepMath TRulesPage::BuildRules(std::vector<std::string>& errors) const {
  TTransStepMath rules;
  rules.SetDescription(description_);
  rules.ParseLines(lines_, errors);
  return rules;
}

void TRulesPage::Modified() {
  if (updating_ == 0 && onModified_) onModified_();
}

}  // namespace kv
