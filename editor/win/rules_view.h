#pragma once
// The view of the editor's Rules page: the description, the rules text in the text editor
// control, the Add button and the rule builder that follows the caret. It copies the text
// and the caret into the page's model (editor/rules_page.h) and the builder's fields both
// ways; the model decides what the builder shows and which line it rewrites.
#include <functional>

#include "controls/text_editor/win/text_editor_window.h"
#include "editor/rules_page.h"
#include "editor/win/view_fields.h"
#include "ui/window.h"

namespace kv {

class TRulesView {
 public:
  // Asks which rule to add: in/out step code, out condition flag; false on Cancel.
  using TChooser = std::function<bool(uint8_t& stepCode, bool& condition)>;

  TRulesView(ui::TWindow& page, TRulesPage& model, TChooser chooser);
  TRulesView(const TRulesView&) = delete;
  TRulesView& operator=(const TRulesView&) = delete;

  // The model's text, caret and builder into the controls.
  void Refresh();
  // Lays the controls out over the page's client area.
  void Arrange(int width, int height);

  TZarnMemo& Memo() { return *memo_; }
  ui::TEdit& Description() { return *description_; }
  ui::TButton& AddButton() { return *add_; }
  ui::TPanel& BuilderPage(TRulesPage::TBuilderPage page) { return *pages_[page]; }
  ui::TPanel& ActionPage(TRulesPage::TActionPage page) { return *actions_[page]; }
  ui::TPanel& ConditionRow() { return *ifRow_; }
  // The builder's fields (built on the way when not shown yet).
  TModelCombo& AssignTarget() {
    BuildActionPage(TRulesPage::kActionAssignment);
    return *ass0_;
  }
  TModelCombo& AssignValue() {
    BuildActionPage(TRulesPage::kActionAssignment);
    return *ass1_;
  }
  TModelCombo& RuleType() {
    BuildConditionRow();
    return *chooser_;
  }
  TModelCombo& IfFirst() {
    BuildConditionRow();
    return *if0_;
  }
  ui::TLabel& ErrorLabel() { return *error_; }
  ui::TEdit& LabelName() { return *label_; }

  TChooser chooseRule;
  // After every change the user made on the page.
  std::function<void()> onChanged;

 private:
  void Changed() {
    if (onChanged) onChanged();
  }
  void TextChanged();
  void CaretMoved();
  void BuilderChanged(TModelCombo& combo, TComboModel& model);
  void ShowText();
  void ShowCaret();
  void ShowBuilder();
  void AddRule();
  // The condition row's and each action page's fields are built when first shown: made with
  // the page they kept the editor's window from answering for too long.
  void BuildConditionRow();
  void BuildActionPage(TRulesPage::TActionPage page);
  void MatchEnabled(ui::TWindow& built);
  TModelCombo& Combo(ui::TWindow& parent, int x, int y, int width, TComboModel& model,
                     ui::TComboStyle style = ui::TComboStyle::DropDown);

  TRulesPage& model_;
  TViewSync sync_;
  ui::TLabel* descriptionLabel_;
  ui::TEdit* description_;
  ui::TButton* add_;
  ui::TLabel* note_;
  TZarnMemo* memo_;
  ui::TPanel* builder_;
  ui::TPanel* pages_[4];
  ui::TPanel* ifRow_;
  ui::TPanel* actions_[8];
  bool actionBuilt_[8] = {};
  // Null until built.
  TModelCombo* if0_ = nullptr;
  TModelCombo* ifComp_ = nullptr;
  TModelCombo* if1_ = nullptr;
  TModelCombo* chooser_ = nullptr;
  TModelCombo* ass0_ = nullptr;
  TModelCombo* ass1_ = nullptr;
  TModelCombo* exp0_ = nullptr;
  TModelCombo* exp1_ = nullptr;
  TModelCombo* expOp_ = nullptr;
  TModelCombo* exp2_ = nullptr;
  TModelCombo* jumpTo_ = nullptr;
  ui::TEdit* label_;
  ui::TLabel* error_;
  std::vector<std::pair<TModelCombo*, TComboModel*>> combos_;
};

}  // namespace kv
