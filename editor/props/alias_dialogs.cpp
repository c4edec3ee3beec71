#include "editor/props/alias_dialogs.h"

#include "base/text.h"
#include "midi/manager/midi_manager.h"

namespace kv {

// --- chooser -----------------------------------------------------------------------------

TAliasChooser::TAliasChooser(uint8_t kind, bool preselect) {
  if (!preselect) return;
  for (size_t i = 0; i < kAliasKindItems.size(); ++i)
    if (kAliasKindItems[i].kind == kind) selected_ = static_cast<int>(i);
}

void TAliasChooser::Select(int item) {
  selected_ = item >= 0 && item < static_cast<int>(kAliasKindItems.size()) ? item : -1;
}

bool TAliasChooser::DoubleClick(int item) {
  Select(item);
  return OkEnabled();
}

bool ChooseAliasKind(const TShowAliasChooser& show, uint8_t& kind, bool preselect) {
  TAliasChooser chooser(kind, preselect);
  const bool ok = show(chooser);
  if (ok && chooser.Selected() >= 0)
    kind = kAliasKindItems[static_cast<size_t>(chooser.Selected())].kind;
  return ok;
}

// --- definition --------------------------------------------------------------------------

std::vector<std::string> DeviceNameList(TMidiManager& manager, bool isInput) {
  std::vector<std::string> names{kNoDevice};
  for (int i = 0; i < manager.GetDeviceCount(isInput); ++i)
    if (const TMMMidiDev* slot = manager.GetDevice(i, isInput)) names.push_back(slot->GetName());
  return names;
}

std::string TDeviceCombo::Chosen() const {
  if (selected <= 0 || selected >= static_cast<int>(entries.size())) return {};
  return entries[static_cast<size_t>(selected)];
}

TDefineMidiAlias::TDefineMidiAlias(TMidiAliasManager& aliases, TMidiManager& manager)
    : aliases_(aliases), manager_(manager) {
  manager_.AddChangeListener({&TDefineMidiAlias::DevicesChanged, this});
}

TDefineMidiAlias::~TDefineMidiAlias() {
  manager_.RemoveChangeListener({&TDefineMidiAlias::DevicesChanged, this});
}

void TDefineMidiAlias::DevicesChanged(void* dialog, TMidiManager&) {
  auto* self = static_cast<TDefineMidiAlias*>(dialog);
  if (self->first_) self->RefreshDevices();
}

bool TDefineMidiAlias::Init(const std::string& aliasName) {
  first_ = aliases_.Lookup(aliasName, makMidiIn, false);
  second_ = aliases_.Lookup(aliasName, makMidiOut, false);
  if (!first_) {
    first_ = second_;
    second_ = nullptr;
  }
  if (!first_ || first_->IsAutomatic()) {
    first_ = nullptr;
    return false;
  }
  // The program's own virtual ports are bound by the program; their aliases stay as made.
  if (second_ && second_->IsAutomatic()) second_ = nullptr;
  RefreshDevices();
  UpdateOK();
  return true;
}

void TDefineMidiAlias::RefreshDevices() {
  deviceLists_[makMidiIn] = DeviceNameList(manager_, true);
  deviceLists_[makMidiOut] = DeviceNameList(manager_, false);
  UpdateDialog();
}

void TDefineMidiAlias::FillCombo(TDeviceCombo& combo, const TMidiAlias& alias) {
  const std::string kept = combo.Chosen();
  combo.label = alias.GetKind() == makMidiIn ? "MIDI INPUT device:" : "MIDI OUTPUT device:";
  combo.entries = deviceLists_[alias.GetKind() < deviceLists_.size() ? alias.GetKind() : 0];
  combo.visible = true;
  auto find = [&combo](const std::string& text) {
    for (size_t i = 0; i < combo.entries.size(); ++i)
      if (AnsiSameText(combo.entries[i], text)) return static_cast<int>(i);
    return -1;
  };
  const int wanted = find(kept.empty() ? alias.GetDeviceName() : kept);
  combo.selected = wanted >= 0 ? wanted : 0;
  combo.initial = alias.GetDeviceName().empty() ? -1 : find(alias.GetDeviceName());
}

void TDefineMidiAlias::UpdateDialog() {
  aliasName_ = first_->GetName();
  FillCombo(combos_[0], *first_);
  if (second_) {
    FillCombo(combos_[1], *second_);
  } else {
    combos_[1] = {};
  }
}

void TDefineMidiAlias::Choose(int combo, int entry) {
  TDeviceCombo& c = combos_[static_cast<size_t>(combo)];
  if (entry >= -1 && entry < static_cast<int>(c.entries.size())) c.selected = entry;
  UpdateOK();
}

void TDefineMidiAlias::UpdateOK() {
  okEnabled_ = combos_[0].selected != combos_[0].initial || combos_[1].selected != combos_[1].initial;
}

void TDefineMidiAlias::Accept() {
  auto bind = [this](TMidiAlias* alias, const TDeviceCombo& combo) {
    const std::string device = combo.Chosen();
    if (!alias || device.empty()) return;
    const std::string name = alias->GetName();
    aliases_.DefineAlias(name, alias->GetKind(), name, device, false);
  };
  bind(first_, combos_[0]);
  bind(second_, combos_[1]);
}

bool ShowDefineMidiAlias(TMidiAliasManager& aliases, TMidiManager& manager,
                         const std::string& aliasName, const TShowDefineMidiAlias& show) {
  TDefineMidiAlias dialog(aliases, manager);
  if (!dialog.Init(aliasName)) return false;
  if (!show(dialog)) return false;
  dialog.Accept();
  return true;
}

}  // namespace kv
