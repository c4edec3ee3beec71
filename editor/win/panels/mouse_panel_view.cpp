// The view of the mouse panel.
#include "editor/win/panels/mouse_panel_view.h"

namespace kv {

using ui::TRect;

TMouseView::TMouseView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                       TEPOutMouse& model)
    : TPanelView(page, area, host), model_(model) {
  static const char* const kKinds[] = {"&Movement", "&Button Clicks", "&Abs Position", "&Wheel"};
  // Radio order on screen: movement, clicks, position, wheel (the model's kinds).
  for (int i = 0; i < 4; ++i) {
    kinds_[i] = &Make<ui::TRadioButton>(kKinds[i], TRect::FromBounds(8, 8 + 24 * i, 120, 20), i == 0);
    kinds_[i]->OnClick = OnUser([this, i] { model_.SetKind(static_cast<TEPOutMouse::TKind>(i)); });
  }
  kinds_[TEPOutMouse::kWheel]->SetHint("Mouse Wheel: only works on Windows NT/2000/XP");
  // Every sub-panel stands at the same spot, right of the radio buttons.
  const TRect subArea = TRect::FromBounds(140, 4, area.Width() - 148, 200);
  for (auto*& sub : subs_) sub = &Make<ui::TPanel>(subArea);
  auto field = [this](TModelCombo& combo, TComboModel& (TEPOutMouse::*slot)()) {
    combo.OnChange = OnUser([this, &combo, slot] {
      combo.Read((model_.*slot)());
      model_.FieldChanged();
    });
  };
  moveX_ = &LabeledCombo(*subs_[TEPOutMouse::kMovement], "&Right/Left", 4, 4, 80, 100, "mickeys");
  moveY_ = &LabeledCombo(*subs_[TEPOutMouse::kMovement], "&Down/Up", 4, 34, 80, 100, "mickeys");
  posX_ = &LabeledCombo(*subs_[TEPOutMouse::kPosition], "&X", 4, 4, 30, 100, "pixels");
  posY_ = &LabeledCombo(*subs_[TEPOutMouse::kPosition], "&Y", 4, 34, 30, 100, "pixels");
  field(*moveX_, &TEPOutMouse::MoveX);
  field(*moveY_, &TEPOutMouse::MoveY);
  field(*posX_, &TEPOutMouse::PosX);
  field(*posY_, &TEPOutMouse::PosY);
  ui::TPanel& clicks = *subs_[TEPOutMouse::kClicks];
  static const char* const kButtons[] = {"&Left", "&Middle", "&Right", "Button &4", "Button &5",
                                         "Button &6"};
  for (int i = 0; i < 6; ++i) {
    buttons_[i] = &clicks.Add<ui::TRadioButton>(
        clicks, kButtons[i], TRect::FromBounds(4 + 100 * (i / 3), 4 + 22 * (i % 3), 96, 20), i == 0);
    buttons_[i]->OnClick =
        OnUser([this, i] { model_.SetButton(static_cast<TEPOutMouse::TButtonChoice>(i)); });
  }
  onlyDown_ = &clicks.Add<ui::TCheckBox>(clicks, "Only &Down", TRect::FromBounds(4, 80, 100, 20));
  onlyUp_ = &clicks.Add<ui::TCheckBox>(clicks, "Only &Up", TRect::FromBounds(104, 80, 100, 20));
  onlyDown_->OnClick = OnUser([this] { model_.SetOnlyDown(onlyDown_->Checked()); });
  onlyUp_->OnClick = OnUser([this] { model_.SetOnlyUp(onlyUp_->Checked()); });
  ui::TPanel& wheel = *subs_[TEPOutMouse::kWheel];
  static const char* const kWheels[] = {
      "Wheel &1: forward/away (positive) / backward (negative)",
      "Wheel &2: right (positive) / left (negative)"};
  for (int i = 0; i < 2; ++i) {
    wheels_[i] = &wheel.Add<ui::TRadioButton>(wheel, kWheels[i],
                                              TRect::FromBounds(4, 4 + 22 * i, subArea.Width() - 8, 20),
                                              i == 0);
    wheels_[i]->OnClick = OnUser([this, i] { model_.SetSecondWheel(i == 1); });
  }
  delta_ = &wheel.Add<TModelCombo>(wheel, TRect::FromBounds(4, 54, 100, 22));
  AddLabel(wheel, "ticks", 110, 57, 60);
  field(*delta_, &TEPOutMouse::WheelDelta);
}

void TMouseView::Refresh() {
  TViewSync::TScope scope(sync_);
  for (int i = 0; i < 4; ++i) {
    SetCheckedIfChanged(*kinds_[i], model_.Kind() == i);
    subs_[i]->SetVisible(model_.Kind() == i);
  }
  moveX_->Show(model_.MoveX());
  moveY_->Show(model_.MoveY());
  posX_->Show(model_.PosX());
  posY_->Show(model_.PosY());
  for (int i = 0; i < 6; ++i) SetCheckedIfChanged(*buttons_[i], model_.Button() == i);
  SetCheckedIfChanged(*onlyDown_, model_.OnlyDown());
  SetCheckedIfChanged(*onlyUp_, model_.OnlyUp());
  SetCheckedIfChanged(*wheels_[0], !model_.SecondWheel());
  SetCheckedIfChanged(*wheels_[1], model_.SecondWheel());
  delta_->Show(model_.WheelDelta());
}

}  // namespace kv
