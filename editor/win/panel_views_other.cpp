// The views of the timer, mouse, preset change, window-message, execute-file, special and
// None panels.
#include <cstdlib>

#include "base/exception.h"
#include "editor/win/panel_views.h"
#include "ui/file_dialog.h"

namespace kv {

using ui::TRect;

namespace {

// A combo with its label to the left and a unit to the right.
TModelCombo& LabeledCombo(ui::TPanel& parent, const std::string& caption, int x, int y,
                          int labelWidth, int comboWidth, const std::string& unit = {}) {
  AddLabel(parent, caption, x, y + 3, labelWidth);
  auto& combo = parent.Add<TModelCombo>(parent, TRect::FromBounds(x + labelWidth, y, comboWidth, 22));
  if (!unit.empty()) AddLabel(parent, unit, x + labelWidth + comboWidth + 6, y + 3, 60);
  return combo;
}

}  // namespace

// --- timers ----------------------------------------------------------------------------------

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

// --- mouse -----------------------------------------------------------------------------------

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

// --- preset change ---------------------------------------------------------------------------

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

// --- window message ----------------------------------------------------------------------------

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

// --- execute file ------------------------------------------------------------------------------

TExecuteFileView::TExecuteFileView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                                   TEPOutExecuteFile& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  AddLabel(*content_, "Start a program, or open a document:", 8, 8, w);
  AddLabel(*content_, "Filename:", 8, 33, 70);
  file_ = &Make<ui::TEdit>(TRect::FromBounds(80, 30, w - 110, 22));
  auto& browse = Make<ui::TButton>("...", TRect::FromBounds(w - 24, 29, 32, 24));
  AddLabel(*content_, "Parameters:", 8, 61, 70);
  params_ = &Make<ui::TEdit>(TRect::FromBounds(80, 58, w - 110, 22));
  auto& test = Make<ui::TButton>("Test", TRect::FromBounds(80, 86, 80, 24));
  auto& note1 = AddLabel(*content_,
                         "Specifying a relative folder will base it on the folder containing the "
                         "project file.", 8, 118, w);
  (void)note1;
  auto& note2 = Make<ui::TLabel>("You can also embed variables. They are enclosed in % characters "
                                 "and can include an optional formatting specification (see "
                                 "examples below).",
                                 TRect::FromBounds(8, 138, w, 32));
  (void)note2;
  AddLabel(*content_, "Examples for embedding variable pp with value 107:", 8, 174, w);
  ui::TEditOptions o;
  o.multiLine = true;
  o.readOnly = true;
  auto& examples = Make<ui::TEdit>(TRect::FromBounds(8, 192, w, area.Height() - 198), o);
  // Columns: format, result, comment (tab stops in dialog units).
  const int stops[] = {44, 80};
  SendMessageW(examples.Handle(), EM_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
  SetWindowLongW(examples.Handle(), GWL_STYLE,
                 GetWindowLongW(examples.Handle(), GWL_STYLE) | WS_VSCROLL);
  SetWindowPos(examples.Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  examples.SetText(
      "%pp%\t107\tdefault: decimal\r\n"
      "%d pp%\t107\tdecimal\r\n"
      "%4d pp%\t 107\tdecimal, width 4\r\n"
      "%05d pp%\t00107\tfive digits, zero-padded\r\n"
      "%06X pp%\t00006B\tsix upper-case hexadecimal digits\r\n"
      "%x pp%\t6b\tlower-case hexadecimal\r\n"
      "%c pp%\tk\tthe character with that code");
  file_->OnChange = OnUser([this] { model_.SetFileName(file_->Text()); });
  params_->OnChange = OnUser([this] { model_.SetParameters(params_->Text()); });
  browse.OnClick = [this] { Browse(); };
  test.OnClick = [this] {
    if (!model_.RunTest(host_.params ? host_.params() : nullptr) && host_.message) {
      host_.message("Could not execute the file.", true);
    }
  };
}

void TExecuteFileView::Browse() {
  const std::string folder = host_.projectFolder ? host_.projectFolder() : std::string();
  const TBrowseStart start = ExecuteFileBrowseStart(folder, model_.FileName());
  ui::TOpenDialog dialog;
  dialog.title = "Select File to Execute";
  dialog.filter = "All Files (*.*)|*.*";
  dialog.initialDir = start.folder;
  dialog.fileName = start.fileName;
  if (!dialog.Execute(content_->Handle())) return;
  model_.FileChosen(folder, dialog.fileName);
  Refresh();
}

void TExecuteFileView::Refresh() {
  TViewSync::TScope scope(sync_);
  SetTextIfChanged(*file_, model_.FileName());
  SetTextIfChanged(*params_, model_.Parameters());
}

// --- special and None --------------------------------------------------------------------------

TInSpecialView::TInSpecialView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                               TEPInSpecial& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  AddLabel(*content_, "This special event is triggered when...", 8, 8, w);
  struct TItem {
    uint8_t value;
    const char* caption;
    const char* note;
  };
  static const TItem kItems[] = {
      {kProjectOpened, "the project file is opened",
       "The project is opened: use it to set up variables or send initial MIDI messages."},
      {kDisableProcessing, "processing is disabled",
       "The panic button is pressed, or a Disable Processing action is run."},
      {kEnableProcessing, "processing is enabled",
       "The panic button is released, or an Enable Processing action is run."},
  };
  int y = 32;
  for (const TItem& item : kItems) {
    auto& button = Make<ui::TRadioButton>(item.caption, TRect::FromBounds(8, y, w, 20), y == 32);
    button.OnClick = OnUser([this, value = item.value] { model_.SetValue(value); });
    values_[item.value] = &button;
    AddLabel(*content_, item.note, 26, y + 20, w - 18);
    y += 48;
  }
}

void TInSpecialView::Refresh() {
  TViewSync::TScope scope(sync_);
  for (int v = 0; v < 3; ++v) SetCheckedIfChanged(*values_[v], model_.Value() == v);
}

TOutSpecialView::TOutSpecialView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                                 TEPOutSpecial& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  disable_ = &Make<ui::TRadioButton>(
      "Disable processing (after that, only the Enable processing action will work)",
      TRect::FromBounds(8, 8, w, 20), true);
  enable_ = &Make<ui::TRadioButton>(
      "Enable processing (when it was disabled with the action above)",
      TRect::FromBounds(8, 34, w, 20), false);
  disable_->OnClick = OnUser([this] { model_.SetDisableProcessing(true); });
  enable_->OnClick = OnUser([this] { model_.SetDisableProcessing(false); });
}

void TOutSpecialView::Refresh() {
  TViewSync::TScope scope(sync_);
  SetCheckedIfChanged(*disable_, model_.DisableProcessing());
  SetCheckedIfChanged(*enable_, !model_.DisableProcessing());
}

TNoneView::TNoneView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                     TEPOutNone& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  Make<ui::TLabel>("This outgoing action does nothing. Use it to stop processing of an event "
                   "(together with the option \"Stop processing with this translator\"), or to "
                   "test incoming triggers.",
                   TRect::FromBounds(8, 8, w, 48));
}

}  // namespace kv
