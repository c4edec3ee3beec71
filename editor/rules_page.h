#pragma once
// The rules page of the translator editor: the rules text, one rule per line, and the builder
// that shows the rule under the caret in combo boxes and rewrites that line when the builder
// is changed. The window mirrors the text, the caret and the builder's controls.
//
// The builder stays bound to the line it was loaded from while it selects that line to show
// an invalid field, so the next valid edit still rewrites the same line.
//
// Main thread only.
#include <functional>
#include <string>
#include <vector>

#include "editor/value_fields.h"
#include "engine/rules.h"

namespace kv {

class TRulesPage {
 public:
  enum TBuilderPage { kPageIfThen = 0, kPageLabel = 1, kPageNone = 2, kPageError = 3 };
  enum TActionPage {
    kActionAssignment = 0,
    kActionExpression = 1,
    kActionGoto = 2,
    kActionExecute = 3,
    kActionDoNotExecute = 4,
    kActionSkipNext = 5,
    kActionSkip2 = 6,
    kActionNonePage = 7,
  };

  TRulesPage();

  // Told of every change the user made (the editor marks the translator modified).
  void SetOnModified(std::function<void()> onModified) { onModified_ = std::move(onModified); }

  // --- the text and the caret, as the window shows them ------------------------------------
  const std::vector<std::string>& Lines() const { return lines_; }
  // A translator was loaded: the text and the description, without a change notification.
  void Load(std::vector<std::string> lines, std::string description);
  // The user edited the text.
  void SetLines(std::vector<std::string> lines);
  const std::string& Description() const { return description_; }
  void SetDescription(std::string description);
  // The caret moved; hasSelection when text is selected.
  void SetCaret(int line, bool hasSelection);
  int CaretLine() const { return caretLine_; }
  // The line the builder edits; -1 for none.
  int CurrentLine() const { return boundLine_; }
  // The builder selected the whole current line to show that a field is invalid.
  bool LineSelected() const { return lineSelected_; }

  // --- the builder --------------------------------------------------------------------------
  TBuilderPage Page() const { return page_; }
  TActionPage ActionPage() const { return actionPage_; }
  const std::string& ErrorText() const { return errorText_; }
  bool ConditionVisible() const { return conditionVisible_; }
  std::string& LabelName() { return labelName_; }
  TComboModel& IfFirst() { return if0_; }
  TComboModel& IfComparison() { return ifComp_; }
  TComboModel& IfSecond() { return if1_; }
  TComboModel& RuleType() { return actionChooser_; }
  TComboModel& AssignTarget() { return ass0_; }
  TComboModel& AssignValue() { return ass1_; }
  TComboModel& ExprTarget() { return exp0_; }
  TComboModel& ExprFirst() { return exp1_; }
  TComboModel& ExprOperator() { return expOp_; }
  TComboModel& ExprSecond() { return exp2_; }
  TComboModel& JumpTo() { return jumpTo_; }

  // A builder control was changed: rewrites the current line when every field is valid,
  // else selects it and leaves it as it is.
  void BuilderChanged();
  // A new rule type from the chooser combo (its object is a step code).
  void RuleTypeChosen(int itemIndex);
  // Inserts a new rule of the step code (with a "0==0" condition when asked) at the current
  // line, or the caret line, or the end.
  void AddRule(uint8_t stepCode, bool withCondition);

  // A rules object of the text; every line that does not parse is reported as
  // "Line %d: parse error: %s" in errors.
  TTransStepMath BuildRules(std::vector<std::string>& errors) const;

 private:
  void LoadBuilder();
  void LoadAction(const TTransStepMathEntry& entry);
  bool ReadBuilder(TTransStepMathEntry& entry) const;
  void ReplaceLine(int line, const std::string& text);
  void Modified();
  std::vector<std::string> JumpNames() const;

  std::function<void()> onModified_;
  std::vector<std::string> lines_;
  std::string description_;
  int caretLine_ = -1;
  bool hasSelection_ = false;
  int boundLine_ = -1;
  bool lineSelected_ = false;
  int updating_ = 0;

  TBuilderPage page_ = kPageNone;
  TActionPage actionPage_ = kActionNonePage;
  std::string errorText_;
  bool conditionVisible_ = false;
  std::string labelName_;
  TComboModel if0_, ifComp_, if1_, actionChooser_;
  TComboModel ass0_, ass1_, exp0_, exp1_, expOp_, exp2_, jumpTo_;
};

}  // namespace kv
