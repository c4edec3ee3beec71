// The view of both MIDI panels.
#include "editor/win/panels/midi_panels_view.h"

#include "midi/model/alias.h"

namespace kv {

using ui::TRect;

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

}  // namespace kv
