// The views of the incoming and outgoing keystroke panels.
#include "editor/win/panels/keystroke_panels_view.h"

#include <cstdlib>

namespace kv {

using ui::TRect;

namespace {

void ShowKeys(TVKEdit& edit, const TKeySequence& keys) {
  if (edit.Keys().SaveToText() != keys.SaveToText() ||
      edit.Keys().SingleKey() != keys.SingleKey()) {
    edit.Keys().Assign(keys);
    edit.UpdateText();
  }
}

// What the panel wants of its key edit.
void ApplyKeyEditFlags(TVKEdit& edit, TEPKeys& model) {
  edit.WantTab = model.WantTab();
  edit.WantBackspace = model.WantBackspace();
  edit.SetOnlyOneChar(model.Keys().SingleKey());
}

}  // namespace

TInKeystrokeView::TInKeystrokeView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                                   TEPInKeystroke& model)
    : TPanelView(page, area, host), model_(model) {
  static const char* const kModes[] = {"Key Press (Down and Up)", "Key Down event",
                                       "Key Up event"};
  for (int i = 0; i < 3; ++i) {
    modes_[i] = &Make<ui::TRadioButton>(kModes[i], TRect::FromBounds(8, 8 + 22 * i, 220, 20), i == 0);
    modes_[i]->OnClick = OnUser([this, i] { model_.SetMode(static_cast<uint8_t>(i)); });
  }
  AddLabel(*content_, "Press the key in this field:", 8, 84, 260);
  keys_ = &MakeKeyEdit(TRect::FromBounds(8, 102, 300, 22), model_);
  ApplyKeyEditFlags(*keys_, model_);
  enterTab_ = &Make<ui::TCheckBox>("Enter Tab", TRect::FromBounds(320, 103, 100, 20));
  enterTab_->OnClick = [this] {
    model_.SetEnterTab(enterTab_->Checked());
    ApplyKeyEditFlags(*keys_, model_);
  };
}

void TInKeystrokeView::Refresh() {
  TViewSync::TScope scope(sync_);
  for (int i = 0; i < 3; ++i) SetCheckedIfChanged(*modes_[i], model_.Mode() == i);
  ShowKeys(*keys_, model_.Keys());
}

TOutKeystrokeView::TOutKeystrokeView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                                     TEPOutKeyStroke& model)
    : TPanelView(page, area, host), model_(model) {
  AddLabel(*content_, "Press the keys in this field:", 8, 8, 260);
  keys_ = &MakeKeyEdit(TRect::FromBounds(8, 26, 229, 22), model_);
  ApplyKeyEditFlags(*keys_, model_);
  clear_ = &Make<ui::TButton>("&Clear", TRect::FromBounds(240, 25, 70, 24));
  clear_->OnClick = OnUser([this] { model_.ClearKeys(); });
  tabBack_ = &Make<ui::TCheckBox>("&Enter Tab and Backspace", TRect::FromBounds(8, 54, 220, 20));
  tabBack_->SetHint(
      "When this is checked, you can enter the TAB and the BACKSPACE key in the keystroke field");
  tabBack_->OnClick = [this] {
    model_.SetTabBackspace(tabBack_->Checked());
    ApplyKeyEditFlags(*keys_, model_);
  };
  static const char* const kModes[] = {"Key &Press or Sequence", "Key &Down event",
                                       "Key &Up event"};
  for (int i = 0; i < 3; ++i) {
    modes_[i] = &Make<ui::TRadioButton>(kModes[i], TRect::FromBounds(8, 84 + 22 * i, 200, 20), i == 0);
    modes_[i]->OnClick = OnUser([this, i] { model_.SetMode(static_cast<uint8_t>(i)); });
  }
  repeatGroup_ = &AddGroupBox(*content_, "Key Repeat", TRect::FromBounds(320, 8, 240, 126));
  repeat_ = &Make<ui::TCheckBox>("Enable Key Repeat", TRect::FromBounds(330, 26, 180, 20));
  repeat_->SetHint("Enable this to have fine control over the key repeat");
  repeat_->OnClick = OnUser([this] { model_.SetRepeat(repeat_->Checked()); });
  auto& delayLabel = AddLabel(*content_, "&Initial Delay:", 330, 54, 80);
  delay_ = &Make<ui::TEdit>(TRect::FromBounds(412, 51, 56, 22));
  delay_->SetMaxLength(4);
  delayUpDown_ = &Make<ui::TUpDown>(TRect::FromBounds(468, 51, 16, 22));
  delayUpDown_->SetBuddy(*delay_);
  delayUpDown_->SetRange(TEPOutKeyStroke::kMinInitialDelay, TEPOutKeyStroke::kMaxInitialDelay);
  auto& delayUnit = AddLabel(*content_, "ms", 492, 54, 30);
  auto& speedLabel = AddLabel(*content_, "&Speed", 330, 80, 80);
  speed_ = &Make<ui::TEdit>(TRect::FromBounds(412, 77, 56, 22));
  speed_->SetMaxLength(4);
  speedUpDown_ = &Make<ui::TUpDown>(TRect::FromBounds(468, 77, 16, 22));
  speedUpDown_->SetBuddy(*speed_);
  speedUpDown_->SetRange(TEPOutKeyStroke::kMinSpeed, TEPOutKeyStroke::kMaxSpeed);
  auto& speedUnit = AddLabel(*content_, "c/s", 492, 80, 30);
  defaultRepeat_ = &Make<ui::TButton>("Revert to Default", TRect::FromBounds(412, 102, 130, 24));
  defaultRepeat_->OnClick = OnUser([this] { model_.RevertToDefaultRepeat(); });
  // Every typed change reaches the model at once (Enter, Ctrl+A or closing may follow without
  // the field losing the focus); the field keeps the half-typed text until the user leaves it
  // or Apply shows what was stored.
  delay_->OnChange = OnUser([this] { model_.SetInitialDelay(std::atoi(delay_->Text().c_str())); });
  speed_->OnChange = OnUser([this] { model_.SetSpeed(std::atoi(speed_->Text().c_str())); });
  delay_->OnExit = [this] { RefreshStored(); };
  speed_->OnExit = [this] { RefreshStored(); };
  delayUpDown_->OnChange = [this](int position) {
    if (sync_.Busy()) return;
    model_.SetInitialDelay(position);
    Refresh();
    Changed();
  };
  speedUpDown_->OnChange = [this](int position) {
    if (sync_.Busy()) return;
    model_.SetSpeed(position);
    Refresh();
    Changed();
  };
  repeatFields_ = {&delayLabel, delay_, delayUpDown_, &delayUnit, &speedLabel, speed_,
                   speedUpDown_, &speedUnit, defaultRepeat_};
}

void TOutKeystrokeView::Refresh() {
  TViewSync::TScope scope(sync_);
  for (int i = 0; i < 3; ++i) SetCheckedIfChanged(*modes_[i], model_.Mode() == i);
  ShowKeys(*keys_, model_.Keys());
  clear_->SetVisible(model_.ClearVisible());
  const bool group = model_.RepeatGroupVisible();
  repeatGroup_->SetVisible(group);
  repeat_->SetVisible(group);
  SetCheckedIfChanged(*repeat_, model_.Repeat());
  for (ui::TWindow* field : repeatFields_) {
    field->SetVisible(group);
    field->SetEnabled(model_.RepeatFieldsEnabled());
  }
  // The spinner writes its position into its field as well.
  if (showStored_ || !delay_->Focused()) {
    SetTextIfChanged(*delay_, std::to_string(model_.InitialDelay()));
    delayUpDown_->SetPosition(model_.InitialDelay());
  }
  if (showStored_ || !speed_->Focused()) {
    SetTextIfChanged(*speed_, std::to_string(model_.Speed()));
    speedUpDown_->SetPosition(model_.Speed());
  }
  // The key field ends 3 pixels left of whatever stands right of it.
  const int right = group ? repeatGroup_->Left() : clear_->Left();
  keys_->SetBounds(keys_->Left(), keys_->Top(), right - 3 - keys_->Left(), keys_->Height());
}

}  // namespace kv
