#include "editor/win/rules_view.h"

#include "ui/button.h"
#include "ui/label.h"

namespace kv {

using ui::TRect;

namespace {

constexpr int kBuilderHeight = 64;

}  // namespace

TRulesView::TRulesView(ui::TWindow& page, TRulesPage& model, TChooser chooser)
    : chooseRule(std::move(chooser)), model_(model) {
  descriptionLabel_ = &AddLabel(page, "Rules Description:", 8, 11, 110);
  description_ = &page.Add<ui::TEdit>(page, TRect::FromBounds(120, 8, 300, 22));
  description_->OnChange = sync_.Guard([this] {
    model_.SetDescription(description_->Text());
    Changed();
  });
  add_ = &page.Add<ui::TButton>(page, "Add", TRect::FromBounds(8, 36, 70, 24));
  add_->SetHint("Add a rule");
  add_->OnClick = [this] { AddRule(); };
  note_ = &AddLabel(page, "Note: prefix hexadecimal numbers with 0x, e.g. 0x5A.", 90, 41, 400);
  memo_ = &page.Add<TZarnMemo>(page, TRect::FromBounds(8, 64, 300, 100));
  memo_->SetFontSpec({"Courier New", -11});
  memo_->GutterOptions().SetVisible(false);
  memo_->SetUndoSize(200);
  memo_->SetWantTabs(false);  // Tab moves on to the builder; a rule holds no tab
  memo_->OnChange = sync_.Guard([this] { TextChanged(); });
  memo_->OnCaretMove = sync_.Guard([this] { CaretMoved(); });

  builder_ = &page.Add<ui::TPanel>(page, TRect::FromBounds(8, 170, 540, kBuilderHeight),
                                   ui::TPanel::TBevel::Lowered);
  for (auto*& p : pages_) {
    p = &builder_->Add<ui::TPanel>(*builder_, TRect::FromBounds(2, 2, 536, kBuilderHeight - 4));
  }
  // IfThen: the condition row, then the action pages; their fields are built when first shown.
  ui::TPanel& ifThen = *pages_[TRulesPage::kPageIfThen];
  ifRow_ = &ifThen.Add<ui::TPanel>(ifThen, TRect::FromBounds(0, 2, 536, 26));
  for (auto*& a : actions_) a = &ifThen.Add<ui::TPanel>(ifThen, TRect::FromBounds(0, 30, 536, 28));
  // Label
  ui::TPanel& labelPage = *pages_[TRulesPage::kPageLabel];
  AddLabel(labelPage, "Label", 6, 7, 40);
  label_ = &labelPage.Add<ui::TEdit>(labelPage, TRect::FromBounds(50, 4, 180, 22));
  label_->OnChange = sync_.Guard([this] {
    model_.LabelName() = label_->Text();
    model_.BuilderChanged();
    ShowText();
    ShowCaret();
    Changed();
  });
  AddLabel(labelPage, "Labels are the destination of jumps. They are identified by the name.",
           6, 32, 520);
  // Error
  ui::TPanel& errorPage = *pages_[TRulesPage::kPageError];
  auto& errorTitle = AddLabel(errorPage, "ERROR:", 6, 7, 50);
  errorTitle.SetTextColor(ui::clRed);
  error_ = &AddLabel(errorPage, "", 60, 7, 470);
}

void TRulesView::BuildConditionRow() {
  if (if0_) return;
  AddLabel(*ifRow_, "IF", 6, 5, 16);
  if0_ = &Combo(*ifRow_, 24, 2, 70, model_.IfFirst());
  ifComp_ = &Combo(*ifRow_, 98, 2, 50, model_.IfComparison(), ui::TComboStyle::DropDownList);
  if1_ = &Combo(*ifRow_, 152, 2, 70, model_.IfSecond());
  AddLabel(*ifRow_, "THEN", 228, 5, 34);
  chooser_ = &Combo(*ifRow_, 264, 2, 260, model_.RuleType(), ui::TComboStyle::DropDownList);
  chooser_->OnChange = sync_.Guard([this] {
    model_.RuleTypeChosen(chooser_->ItemIndex());
    ShowText();
    ShowCaret();
    ShowBuilder();
    Changed();
  });
  MatchEnabled(*ifRow_);
}

void TRulesView::BuildActionPage(TRulesPage::TActionPage page) {
  if (actionBuilt_[page]) return;
  actionBuilt_[page] = true;
  ui::TPanel& panel = *actions_[page];
  switch (page) {
    case TRulesPage::kActionAssignment:
      ass0_ = &Combo(panel, 24, 2, 70, model_.AssignTarget());
      AddLabel(panel, "=", 100, 5, 10);
      ass1_ = &Combo(panel, 114, 2, 70, model_.AssignValue());
      break;
    case TRulesPage::kActionExpression:
      exp0_ = &Combo(panel, 24, 2, 70, model_.ExprTarget());
      AddLabel(panel, "=", 100, 5, 10);
      exp1_ = &Combo(panel, 114, 2, 70, model_.ExprFirst());
      expOp_ = &Combo(panel, 188, 2, 44, model_.ExprOperator(), ui::TComboStyle::DropDownList);
      exp2_ = &Combo(panel, 236, 2, 70, model_.ExprSecond());
      break;
    case TRulesPage::kActionGoto:
      AddLabel(panel, "Go to:", 24, 5, 40);
      jumpTo_ = &Combo(panel, 68, 2, 200, model_.JumpTo());
      break;
    case TRulesPage::kActionExecute:
      AddLabel(panel, "Exit Rules and execute this Translator", 24, 5, 400);
      break;
    case TRulesPage::kActionDoNotExecute:
      AddLabel(panel, "Exit Rules and do not execute this Translator", 24, 5, 400);
      break;
    case TRulesPage::kActionSkipNext:
      AddLabel(panel, "Skip next Rule", 24, 5, 400);
      break;
    case TRulesPage::kActionSkip2:
      AddLabel(panel, "Skip 2 Rules", 24, 5, 400);
      break;
    default:
      break;
  }
  MatchEnabled(panel);
}

void TRulesView::MatchEnabled(ui::TWindow& built) {
  // Built into a disabled editor: disabled with it.
  if (!IsWindowEnabled(built.Handle())) EnableControlTree(built, false);
}

TModelCombo& TRulesView::Combo(ui::TWindow& parent, int x, int y, int width, TComboModel& model,
                               ui::TComboStyle style) {
  auto& combo = parent.Add<TModelCombo>(parent, TRect::FromBounds(x, y, width, 22), style);
  combos_.push_back({&combo, &model});
  combo.OnChange = sync_.Guard([this, &combo, &model] { BuilderChanged(combo, model); });
  return combo;
}

void TRulesView::Arrange(int width, int height) {
  description_->SetBounds(120, 8, width - 128, 22);
  const int builderTop = height - kBuilderHeight - 6;
  memo_->SetBounds(8, 64, width - 16, builderTop - 70);
  builder_->SetBounds(8, builderTop, width - 16, kBuilderHeight);
}

void TRulesView::TextChanged() {
  model_.SetLines(memo_->Lines().Lines());
  model_.SetCaret(memo_->GetCaretY(), memo_->SelActive() && !(memo_->SelStart() == memo_->SelEnd()));
  ShowBuilder();
  Changed();
}

void TRulesView::CaretMoved() {
  model_.SetCaret(memo_->GetCaretY(), memo_->SelActive() && !(memo_->SelStart() == memo_->SelEnd()));
  ShowBuilder();
}

void TRulesView::BuilderChanged(TModelCombo& combo, TComboModel& model) {
  combo.Read(model);
  model_.BuilderChanged();
  ShowText();
  ShowCaret();
  Changed();
}

void TRulesView::AddRule() {
  uint8_t code = 0;
  bool condition = false;
  if (!chooseRule || !chooseRule(code, condition)) return;
  model_.AddRule(code, condition);
  ShowText();
  ShowCaret();
  ShowBuilder();
  Changed();
  memo_->SetFocus();
}

void TRulesView::ShowText() {
  TViewSync::TScope scope(sync_);
  const std::vector<std::string>& lines = model_.Lines();
  if (memo_->Lines().Lines() == lines) return;
  if (static_cast<int>(lines.size()) == memo_->Lines().Count()) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (memo_->Lines()[static_cast<int>(i)] != lines[i]) memo_->Lines().Put(static_cast<int>(i), lines[i]);
    }
  } else {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    memo_->Lines().SetText(text);
  }
  memo_->Invalidate();
}

void TRulesView::ShowCaret() {
  TViewSync::TScope scope(sync_);
  const int line = model_.CurrentLine();
  if (line < 0 || line >= memo_->Lines().Count()) return;
  if (model_.LineSelected()) {
    memo_->SelectRange(0, line, line, static_cast<int>(memo_->Lines()[line].size()));
  } else {
    memo_->SetSelectMode(false);
    memo_->SetCaretXY(0, line);
  }
}

void TRulesView::ShowBuilder() {
  TViewSync::TScope scope(sync_);
  if (model_.Page() == TRulesPage::kPageIfThen) {
    if (model_.ConditionVisible()) BuildConditionRow();
    BuildActionPage(model_.ActionPage());
  }
  for (int p = 0; p < 4; ++p) pages_[p]->SetVisible(model_.Page() == p);
  ifRow_->SetVisible(model_.ConditionVisible());
  // Without a condition the action takes the condition row's place.
  const int actionTop = model_.ConditionVisible() ? 30 : 2;
  for (int a = 0; a < 8; ++a) {
    if (actions_[a]->Top() != actionTop) actions_[a]->SetBounds(0, actionTop, 536, 28);
    actions_[a]->SetVisible(model_.ActionPage() == a);
  }
  for (auto& [combo, model] : combos_) combo->Show(*model);
  SetTextIfChanged(*label_, model_.LabelName());
  SetTextIfChanged(*error_, model_.ErrorText());
}

void TRulesView::Refresh() {
  {
    TViewSync::TScope scope(sync_);
    SetTextIfChanged(*description_, model_.Description());
  }
  ShowText();
  {
    TViewSync::TScope scope(sync_);
    const int line = model_.CaretLine();
    if (line >= 0 && line < memo_->Lines().Count() && memo_->GetCaretY() != line) {
      memo_->SetCaretXY(0, line);
    }
  }
  ShowBuilder();
}

}  // namespace kv
