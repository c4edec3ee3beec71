// The view of both preset change panels.
#include "editor/win/panels/preset_panels_view.h"

#include <string>

#include "base/exception.h"

namespace kv {

using ui::TRect;

TPresetView::TPresetView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                         TEPPreset& model)
    : TPanelView(page, area, host), model_(model), out_(dynamic_cast<TEPOutPreset*>(&model)) {
  int y = 8;
  auto choice = [&](uint8_t code, const char* caption) {
    auto& button = Make<ui::TRadioButton>(caption, TRect::FromBounds(8, y, 230, 20), choices_.empty());
    button.OnClick = OnUser([this, code] { model_.SetChoice(code); });
    choices_.push_back({code, &button});
    y += 24;
    return &button;
  };
  ui::TRadioButton* byName;
  ui::TRadioButton* byNumber;
  if (out_) {
    choice(kPresetNext, "Activate &Next Preset");
    choice(kPresetPrevious, "Activate &Previous Preset");
    byName = choice(kPresetActivateNamed, "Activate by N&ame:");
    byNumber = choice(kPresetActivateNumber, "Activate by number:");
    choice(kPresetDeactivateNamed, "Deactivate by Name:");
    choice(kPresetDeactivateNumber, "Deactivate by number:");
  } else {
    AddLabel(*content_, "Trigger this Incoming Event if...", 8, y, 300);
    y += 22;
    choice(kPresetThisActivated, "the current preset is activated");
    choice(kPresetThisDeactivated, "the current preset is deactivated");
    byName = choice(kPresetActivateNamed, "preset is activated (by name):");
    choice(kPresetDeactivateNamed, "preset is deactivated (by name):");
    byNumber = choice(kPresetActivateNumber, "preset is activated (by number):");
    choice(kPresetDeactivateNumber, "preset is deactivated (by number):");
  }
  name_ = &Make<TModelCombo>(TRect::FromBounds(244, byName->Top(), 200, 22));
  number_ = &Make<TModelCombo>(TRect::FromBounds(244, byNumber->Top(), 100, 22));
  name_->OnChange = OnUser([this] {
    name_->Read(model_.NameCombo());
    model_.FieldChanged();
  });
  number_->OnChange = OnUser([this] {
    number_->Read(model_.NumberCombo());
    model_.FieldChanged();
  });
  const int width = area.Width() - 16;
  if (out_) {
    const TRect box = TRect::FromBounds(8, y + 4, width, 20);
    const std::string caption = "Deactivate all other presets (except the always active)";
    others_ = &Make<ui::TCheckBox>(caption, box);
    others_->OnClick = OnUser([this] { out_->SetDeactivateOthers(others_->Checked()); });
    othersCopy_ = &Make<ui::TCheckBox>(caption, box);
    othersCopy_->SetEnabled(false);
    y += 32;
    AddLabel(*content_, "Changing to a preset by number is 0-based, i.e. the first preset is "
                        "selected with number 0.", 8, y, width);
    AddLabel(*content_, "If the number is negative or higher than the number of presets, nothing "
                        "happens.", 8, y + 18, width);
  } else {
    y += 8;
    AddLabel(*content_, "The preset number is 0-based, i.e. if the first preset is selected, it "
                        "will have number 0.", 8, y, width);
    AddLabel(*content_, "The variable pp will be set to the preset number.", 8, y + 18, width);
  }
}

ui::TRadioButton& TPresetView::ChoiceButton(uint8_t code) {
  for (const TChoice& c : choices_) {
    if (c.code == code) return *c.button;
  }
  throw Exception("no preset choice " + std::to_string(code));
}

void TPresetView::Refresh() {
  TViewSync::TScope scope(sync_);
  for (const TChoice& c : choices_) SetCheckedIfChanged(*c.button, model_.Choice() == c.code);
  name_->Show(model_.NameCombo());
  number_->Show(model_.NumberCombo());
  name_->SetEnabled(model_.NameEnabled());
  number_->SetEnabled(model_.NumberEnabled());
  if (out_) {
    const bool real = out_->DeactivateOthersEnabled();
    others_->SetVisible(real);
    othersCopy_->SetVisible(!real);
    othersCopy_->SetEnabled(false);  // enabling the editor's pages enables it with the rest
    SetCheckedIfChanged(*others_, out_->DeactivateOthers());
    SetCheckedIfChanged(*othersCopy_, out_->DeactivateOthersShownChecked());
  }
}

}  // namespace kv
