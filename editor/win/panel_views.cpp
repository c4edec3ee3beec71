// The views of the MIDI and keystroke panels, and what every panel view shares.
#include "editor/win/panel_views.h"

#include "midi/model/alias.h"

namespace kv {

using ui::TRect;

TPanelView::TPanelView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host)
    : content_(&page.Add<ui::TPanel>(page, area)), host_(host) {
  content_->Hide();
}

std::function<void()> TPanelView::OnUser(std::function<void()> fn) {
  return sync_.Guard([this, fn = std::move(fn)] {
    fn();
    Refresh();
    Changed();
  });
}

TVKEdit& TPanelView::MakeKeyEdit(const TRect& bounds, TEPKeys& model) {
  auto& edit = Make<TVKEdit>(bounds);
  edit.OnChange = sync_.Guard([this, &edit, &model] {
    model.Keys().Assign(edit.Keys());
    model.KeysChanged();
    Changed();
  });
  return edit;
}

// --- MIDI -------------------------------------------------------------------------------------

namespace {

void AliasesChangedThunk(void* object, TMidiAliasManager& manager) {
  auto* view = static_cast<TMidiPanelView*>(object);
  static_cast<TEPMidi&>(view->Model()).AliasesChanged(manager);
  view->Refresh();
}

}  // namespace

TMidiPanelView::TMidiPanelView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                               TEPMidi& model)
    : TPanelView(page, area, host), model_(model) {
  const bool in = model.IsIncoming();
  const int w = area.Width();
  AddLabel(*content_, in ? "MIDI message trigger:" : "Outgoing MIDI message:", 8, 8, 200);
  message_ = &Make<ui::TEdit>(TRect::FromBounds(8, 26, 260, 22));
  message_->OnChange = OnUser([this] { model_.SetMessageText(message_->Text()); });
  capture_ = &Make<ui::TCheckBox>("Capture MIDI", TRect::FromBounds(280, 27, 110, 20));
  capture_->SetHint("Fill the field with any incoming MIDI message (Alt+C)");
  capture_->OnClick = sync_.Guard([this] {
    if (host_.setCapture) host_.setCapture(capture_->Checked());
  });
  reading_ = &AddLabel(*content_, "", 8, 52, w - 16);
  AddLabel(*content_, "Hexadecimal numbers (90 40 7F) or variables such as pp.", 8, 72, w - 16);
  describe_ = &Make<ui::TCheckBox>("Description of the MIDI message (optional)",
                                   TRect::FromBounds(8, 96, 280, 20));
  describe_->OnClick = OnUser([this] { model_.SetDescriptionChecked(describe_->Checked()); });
  description_ = &Make<ui::TEdit>(TRect::FromBounds(26, 118, 360, 22));
  description_->OnChange = OnUser([this] { model_.SetDescription(description_->Text()); });
  defaultPorts_ = &Make<ui::TRadioButton>("Default port(s)", TRect::FromBounds(8, 150, 160, 20), true);
  defaultPorts_->SetHint(
      in ? "MIDI messages are received from the Preset Default ports, or (if not set) the "
           "Project default ports."
         : "MIDI messages are sent to the Preset Default ports, or (if not set) the Project "
           "default ports.");
  specificPorts_ =
      &Make<ui::TRadioButton>("On specific port(s)", TRect::FromBounds(8, 172, 160, 20), false);
  defaultPorts_->OnClick = OnUser([this] { model_.SetDefaultPorts(true); });
  specificPorts_->OnClick = OnUser([this] { model_.SetDefaultPorts(false); });
  ui::TListViewOptions lo;
  lo.checkBoxes = true;
  ports_ = &Make<ui::TListView>(TRect::FromBounds(180, 150, 200, 90), lo);
  ports_->AddColumn("Port Alias", 170);
  ports_->OnItemChecked = [this](int index, bool checked) {
    if (sync_.Busy()) return;
    model_.SetPortChecked(static_cast<size_t>(index), checked);
    Changed();
  };
  editPorts_ = &Make<ui::TButton>("Edit", TRect::FromBounds(388, 150, 60, 24));
  editPorts_->SetHint("Edit Port Aliases");
  editPorts_->OnClick = [this] {
    if (host_.editPortAliases) host_.editPortAliases();
  };
  if (in) {
    swallow_ = &Make<ui::TCheckBox>(
        "Swallow incoming MIDI message and do not route to MIDI THRU port(s)",
        TRect::FromBounds(8, 250, w - 16, 20));
    swallow_->OnClick = OnUser(
        [this] { static_cast<TEPInMidi&>(model_).SetSwallow(swallow_->Checked()); });
  }
  MidiAliasManager().AddChangeListener({&AliasesChangedThunk, this});
}

TMidiPanelView::~TMidiPanelView() {
  MidiAliasManager().RemoveChangeListener({&AliasesChangedThunk, this});
}

void TMidiPanelView::Refresh() {
  TViewSync::TScope scope(sync_);
  SetTextIfChanged(*message_, model_.MessageText());
  SetTextIfChanged(*reading_, model_.ParsedReading());
  SetCheckedIfChanged(*describe_, model_.DescriptionChecked());
  SetTextIfChanged(*description_, model_.Description());
  description_->SetVisible(model_.DescriptionVisible());
  SetCheckedIfChanged(*defaultPorts_, model_.DefaultPorts());
  SetCheckedIfChanged(*specificPorts_, !model_.DefaultPorts());
  model_.RefreshPortRows(MidiAliasManager());
  const auto& rows = model_.PortRows();
  if (ports_->Count() != static_cast<int>(rows.size())) {
    ports_->Clear();
    for (const auto& row : rows) ports_->AddItem(row.alias->GetName());
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    const int index = static_cast<int>(i);
    if (ports_->ItemText(index) != rows[i].alias->GetName()) {
      ports_->SetItemText(index, 0, rows[i].alias->GetName());
    }
    if (ports_->Checked(index) != rows[i].checked) ports_->SetChecked(index, rows[i].checked);
  }
  ports_->SetVisible(model_.PortListVisible());
  editPorts_->SetVisible(model_.PortListVisible());
  editPorts_->SetEnabled(static_cast<bool>(host_.editPortAliases));
  if (swallow_) SetCheckedIfChanged(*swallow_, static_cast<TEPInMidi&>(model_).Swallow());
}

// --- keystrokes ------------------------------------------------------------------------------

namespace {

void ShowKeys(TVKEdit& edit, const TKeySequence& keys) {
  if (edit.Keys().SaveToText() != keys.SaveToText() ||
      edit.Keys().SingleKey() != keys.SingleKey()) {
    edit.Keys().Assign(keys);
    edit.UpdateText();
  }
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
  enterTab_ = &Make<ui::TCheckBox>("Enter Tab", TRect::FromBounds(320, 103, 100, 20));
  enterTab_->OnClick = [this] { keys_->WantTab = enterTab_->Checked(); };
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
  clear_ = &Make<ui::TButton>("&Clear", TRect::FromBounds(240, 25, 70, 24));
  clear_->OnClick = OnUser([this] { model_.ClearKeys(); });
  tabBack_ = &Make<ui::TCheckBox>("&Enter Tab and Backspace", TRect::FromBounds(8, 54, 220, 20));
  tabBack_->SetHint(
      "When this is checked, you can enter the TAB and the BACKSPACE key in the keystroke field");
  tabBack_->OnClick = [this] {
    keys_->WantTab = tabBack_->Checked();
    keys_->WantBackspace = tabBack_->Checked();
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
