// The views of the incoming and outgoing timer panels.
#include "editor/win/panels/timer_panels_view.h"

#include "base/exception.h"

namespace kv {

using ui::TRect;

TInTimerView::TInTimerView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                           TEPInTimer& model)
    : TPanelView(page, area, host), model_(model) {
  name_ = &LabeledCombo(*content_, "Timer name:", 8, 8, 90, 220);
  name_->OnChange = OnUser([this] {
    name_->Read(model_.NameCombo());
    model_.NameChanged();
  });
}

void TInTimerView::Refresh() {
  TViewSync::TScope scope(sync_);
  name_->Show(model_.NameCombo());
}

TOutTimerView::TOutTimerView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                             TEPOutTimer& model)
    : TPanelView(page, area, host), model_(model) {
  name_ = &LabeledCombo(*content_, "Timer Name:", 8, 8, 90, 220);
  name_->OnChange = OnUser([this] {
    name_->Read(model_.NameCombo());
    model_.NameChanged();
  });
  activate_ = &Make<ui::TRadioButton>("&Activate Timer", TRect::FromBounds(8, 40, 130, 20), true);
  kill_ = &Make<ui::TRadioButton>("&Kill Timer", TRect::FromBounds(150, 40, 130, 20), false);
  activate_->OnClick = OnUser([this] { model_.SetKill(false); });
  kill_->OnClick = OnUser([this] { model_.SetKill(true); });

  start_ = &Make<ui::TPanel>(TRect::FromBounds(0, 66, 400, 150));
  auto field = [this](TModelCombo& combo) {
    combo.OnChange = OnUser([this, &combo] {
      combo.Read(&combo == initialDelay_ ? model_.InitialDelay() : model_.PeriodicDelay());
      model_.FieldChanged();
    });
  };
  initialDelay_ = &LabeledCombo(*start_, "&Initial Delay:", 8, 4, 110, 100, "ms");
  initialDelay_->SetHint("the time after which the timer will fire for the first time");
  field(*initialDelay_);
  static const char* const kTriggers[] = {"&Once", "&Multiple Times", "In&finitely"};
  for (int i = 0; i < 3; ++i) {
    triggers_[i] = &start_->Add<ui::TRadioButton>(*start_, kTriggers[i],
                                                  TRect::FromBounds(8, 34 + 22 * i, 120, 20), i == 0);
    triggers_[i]->OnClick =
        OnUser([this, i] { model_.SetTrigger(static_cast<TEPOutTimer::TTrigger>(i)); });
  }
  count_ = &start_->Add<TModelCombo>(*start_, TRect::FromBounds(130, 55, 84, 22));
  count_->SetHint("Enter here how often this timer will fire");
  count_->OnChange = OnUser([this] {
    TComboModel typed = model_.Count();
    count_->Read(typed);
    model_.CountTyped(typed.text);
  });
  countUpDown_ = &start_->Add<ui::TUpDown>(*start_, TRect::FromBounds(214, 55, 16, 22));
  countUpDown_->SetRange(TEPOutTimer::kMinCount, TEPOutTimer::kMaxCount);
  countUpDown_->OnChange = [this](int position) {
    if (sync_.Busy()) return;
    model_.SetSpinner(position);
    Refresh();
    Changed();
  };
  periodic_ = &start_->Add<ui::TPanel>(*start_, TRect::FromBounds(0, 100, 400, 28));
  periodicDelay_ = &LabeledCombo(*periodic_, "&Repetition Delay:", 8, 2, 110, 100, "ms");
  periodicDelay_->SetHint(
      "after the first time, how many milliseconds delay in between subsequent timer triggers");
  field(*periodicDelay_);

  AddGroupBox(*content_, "Test", TRect::FromBounds(410, 66, 120, 86));
  startTest_ = &Make<ui::TButton>("&Start", TRect::FromBounds(424, 86, 90, 24));
  stopTest_ = &Make<ui::TButton>("S&top", TRect::FromBounds(424, 116, 90, 24));
  auto run = [this](bool start) {
    try {
      TGlobalTranslateParams* params = host_.params ? host_.params() : nullptr;
      if (start) {
        model_.StartTest(params);
      } else {
        model_.StopTest(params);
      }
    } catch (const Exception& e) {
      if (host_.message) host_.message(e.what(), true);
    }
  };
  startTest_->OnClick = [run] { run(true); };
  stopTest_->OnClick = [run] { run(false); };
}

void TOutTimerView::Refresh() {
  TViewSync::TScope scope(sync_);
  name_->Show(model_.NameCombo());
  SetCheckedIfChanged(*activate_, !model_.Kill());
  SetCheckedIfChanged(*kill_, model_.Kill());
  start_->SetVisible(model_.StartSettingsVisible());
  EnableControlTree(*start_, model_.StartSettingsEnabled());
  startTest_->SetEnabled(model_.StartSettingsEnabled());
  stopTest_->SetEnabled(model_.StartSettingsEnabled());
  initialDelay_->Show(model_.InitialDelay());
  periodicDelay_->Show(model_.PeriodicDelay());
  for (int i = 0; i < 3; ++i) SetCheckedIfChanged(*triggers_[i], model_.Trigger() == i);
  count_->Show(model_.Count());
  count_->SetEnabled(model_.CountEnabled());
  countUpDown_->SetEnabled(model_.CountEnabled());
  if (countUpDown_->Position() != model_.Spinner()) countUpDown_->SetPosition(model_.Spinner());
  periodic_->SetVisible(model_.PeriodicDelayVisible());
}

}  // namespace kv
