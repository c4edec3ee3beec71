// The view of the window-message panel.
#include "editor/win/panels/message_panel_view.h"

namespace kv {

using ui::TRect;

TMessageView::TMessageView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                           TEPOutMessage& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  AddGroupBox(*content_, "Target Window", TRect::FromBounds(8, 4, w, 94));
  byClass_ = &Make<ui::TCheckBox>("Match by class:", TRect::FromBounds(18, 22, 120, 20));
  class_ = &Make<ui::TEdit>(TRect::FromBounds(140, 21, 220, 22));
  byTitle_ = &Make<ui::TCheckBox>("Match by title:", TRect::FromBounds(18, 48, 120, 20));
  title_ = &Make<ui::TEdit>(TRect::FromBounds(140, 47, 220, 22));
  static const char* const kModes[] = {"Equal", "Beginning", "Substring", "End"};
  static const uint8_t kModeCodes[] = {kMatchTitleExact, kMatchTitleStartsWith,
                                       kMatchTitleContains, kMatchTitleEndsWith};
  for (int i = 0; i < 4; ++i) {
    titleModes_[i] = &Make<ui::TRadioButton>(kModes[i], TRect::FromBounds(140 + 84 * i, 72, 82, 20), i == 0);
    titleModes_[i]->OnClick = OnUser([this, i] { model_.SetTitleMode(kModeCodes[i]); });
  }
  byClass_->OnClick = OnUser([this] { model_.SetMatchByClass(byClass_->Checked()); });
  byTitle_->OnClick = OnUser([this] { model_.SetMatchByTitle(byTitle_->Checked()); });
  class_->OnChange = OnUser([this] {
    model_.ClassName() = class_->Text();
    model_.FieldChanged();
  });
  title_->OnChange = OnUser([this] {
    model_.Title() = title_->Text();
    model_.FieldChanged();
  });

  AddGroupBox(*content_, "Message ID", TRect::FromBounds(8, 102, w, 76));
  numerical_ = &Make<ui::TRadioButton>("Numerical:", TRect::FromBounds(18, 122, 120, 20), true);
  number_ = &Make<TModelCombo>(TRect::FromBounds(140, 120, 140, 22));
  byRegister_ = &Make<ui::TRadioButton>("By registering the following string:",
                                        TRect::FromBounds(18, 148, 230, 20), false);
  register_ = &Make<ui::TEdit>(TRect::FromBounds(250, 147, 108, 22));
  // The note fits on one line inside the group.
  AddLabel(*content_, "using RegisterWindowsMessage", 364, 150, w - 360);
  numerical_->OnClick = OnUser([this] { model_.SetNumerical(true); });
  byRegister_->OnClick = OnUser([this] { model_.SetNumerical(false); });
  number_->OnChange = OnUser([this] {
    number_->Read(model_.MessageNumber());
    model_.FieldChanged();
  });
  register_->OnChange = OnUser([this] {
    model_.RegisterString() = register_->Text();
    model_.FieldChanged();
  });

  AddGroupBox(*content_, "Parameters", TRect::FromBounds(8, 182, w - 110, 52));
  wParam_ = &LabeledCombo(*content_, "WParam:", 18, 202, 56, 120);
  lParam_ = &LabeledCombo(*content_, "LParam:", 204, 202, 56, 120);
  wParam_->OnChange = OnUser([this] {
    wParam_->Read(model_.WParam());
    model_.FieldChanged();
  });
  lParam_->OnChange = OnUser([this] {
    lParam_->Read(model_.LParam());
    model_.FieldChanged();
  });
  auto& test = Make<ui::TButton>("Test", TRect::FromBounds(w - 90, 188, 96, 24));
  test.SetHint("Clicking this button will send the specified message");
  auto& verify = Make<ui::TButton>("Verify", TRect::FromBounds(w - 90, 214, 96, 24));
  verify.SetHint("Clicking this button will verify that this is a well-defined message");
  auto report = [this](const TEPOutMessage::TCheckResult& result) {
    Refresh();  // a registered name shows its number
    if (host_.message) host_.message(result.text, result.error);
  };
  test.OnClick = [this, report] { report(model_.Test(host_.params ? host_.params() : nullptr)); };
  verify.OnClick = [this, report] { report(model_.Verify()); };
}

void TMessageView::Refresh() {
  TViewSync::TScope scope(sync_);
  static const uint8_t kModeCodes[] = {kMatchTitleExact, kMatchTitleStartsWith,
                                       kMatchTitleContains, kMatchTitleEndsWith};
  SetCheckedIfChanged(*byClass_, model_.MatchByClass());
  SetTextIfChanged(*class_, model_.ClassName());
  class_->SetEnabled(model_.ClassEnabled());
  SetCheckedIfChanged(*byTitle_, model_.MatchByTitle());
  SetTextIfChanged(*title_, model_.Title());
  title_->SetEnabled(model_.TitleEnabled());
  for (int i = 0; i < 4; ++i) {
    SetCheckedIfChanged(*titleModes_[i], model_.TitleMode() == kModeCodes[i]);
    titleModes_[i]->SetEnabled(model_.TitleEnabled());
  }
  SetCheckedIfChanged(*numerical_, model_.Numerical());
  SetCheckedIfChanged(*byRegister_, !model_.Numerical());
  number_->Show(model_.MessageNumber());
  number_->SetEnabled(model_.NumberEnabled());
  SetTextIfChanged(*register_, model_.RegisterString());
  register_->SetEnabled(model_.RegisterEnabled());
  wParam_->Show(model_.WParam());
  lParam_->Show(model_.LParam());
}

}  // namespace kv
