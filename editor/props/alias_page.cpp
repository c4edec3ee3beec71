#include "editor/props/alias_page.h"

#include <algorithm>
#include <tuple>

#include "base/text.h"
#include "midi/manager/midi_manager.h"

namespace kv {

namespace {

constexpr const char* kDuplicateName =
    "A port alias of this name already exists. Please choose a different name.";
constexpr const char* kInvalidName = "This is not a valid port alias name. Please do not use quotes.";
constexpr const char* kNothingToOpen = "No MIDI ports needed to be opened or closed.";

bool MeansDevice(const std::string& deviceName) {
  return !deviceName.empty() && !AnsiSameText(deviceName, kNoDevice);
}

bool IsPortKind(uint8_t kind) { return kind == makMidiIn || kind == makMidiOut; }

std::string AskDeleteUsed(const std::string& name) {
  return "Alias \"" + name +
         "\" is used in your project.\r\nIf you delete this alias, it will be removed from your "
         "preset or project, too.\r\nDo you really want to delete this alias?";
}

// Raised while the selection moves, so that the moves report no change.
class TSelectionMove {
 public:
  explicit TSelectionMove(int& count) : count_(count) { ++count_; }
  ~TSelectionMove() { --count_; }
  TSelectionMove(const TSelectionMove&) = delete;
  TSelectionMove& operator=(const TSelectionMove&) = delete;

 private:
  int& count_;
};

}  // namespace

bool OpenProjectPorts(TProjectPorts& controller, TPropsMessages& messages) {
  controller.BindUsedAliases(false);
  const bool changed = controller.OpenUsedPorts(false);
  if (!changed) messages.ShowInfo(kNothingToOpen);
  return changed;
}

TSetupAliasFrame::TSetupAliasFrame(TProjectPorts& controller, TPropsMessages& messages)
    : controller_(controller), messages_(messages), aliases_(MidiAliasManager()) {
  aliases_.AddChangeListener({&TSetupAliasFrame::AliasesChanged, this});
}

TSetupAliasFrame::~TSetupAliasFrame() {
  if (MidiAliasManagerExists())
    aliases_.RemoveChangeListener({&TSetupAliasFrame::AliasesChanged, this});
  if (followingManager_ && MidiManagerExists())
    MidiManager().RemoveChangeListener({&TSetupAliasFrame::DevicesChanged, this});
}

void TSetupAliasFrame::AliasesChanged(void* frame, TMidiAliasManager&) {
  static_cast<TSetupAliasFrame*>(frame)->RefreshRows();
}

void TSetupAliasFrame::DevicesChanged(void* frame, TMidiManager&) {
  static_cast<TSetupAliasFrame*>(frame)->RefreshDevices();
}

void TSetupAliasFrame::VisibleChanged() {
  if (Visible()) RefreshRows();
}

// --- loading and refreshing --------------------------------------------------------------

void TSetupAliasFrame::LoadValues() {
  changeReported_ = false;
  renaming_ = nullptr;
  RefreshDevices();
  if (!followingManager_) {
    MidiManager().AddChangeListener({&TSetupAliasFrame::DevicesChanged, this});
    followingManager_ = true;
  }
  if (!selected_ && !rows_.empty())
    SelectRow(0);
  else
    RefreshRows();
}

void TSetupAliasFrame::RefreshDevices() {
  TMidiManager& manager = MidiManager();
  deviceLists_[makMidiIn] = DeviceNameList(manager, true);
  deviceLists_[makMidiOut] = DeviceNameList(manager, false);
  comboKind_ = -1;  // the in-place list takes the new names at the next selection
  RefreshRows();
}

void TSetupAliasFrame::ReadFromAlias(TGAlias& row) {
  row.kind = row.alias->GetKind();
  row.name = row.alias->GetName();
  row.deviceName = row.alias->GetDeviceName();
  row.edited = false;
}

void TSetupAliasFrame::RefreshRows() {
  if (!Visible()) return;
  controller_.CollectUsedAliases(used_);
  for (const std::unique_ptr<TGAlias>& row : rows_) row->kept = false;
  // Only aliases that still exist can wait for their deletion.
  std::vector<const TMidiAlias*> removed;
  for (int i = 0; i < aliases_.GetCount(); ++i)
    if (std::find(removed_.begin(), removed_.end(), aliases_.GetItem(i)) != removed_.end())
      removed.push_back(aliases_.GetItem(i));
  removed_.swap(removed);
  for (int i = 0; i < aliases_.GetCount(); ++i) {
    TMidiAlias* alias = aliases_.GetItem(i);
    if (!alias || alias->GetKind() == makNone) continue;
    if (std::find(removed_.begin(), removed_.end(), alias) != removed_.end()) continue;
    auto found = std::find_if(rows_.begin(), rows_.end(),
                              [alias](const std::unique_ptr<TGAlias>& r) { return r->alias == alias; });
    TGAlias* row = nullptr;
    if (found == rows_.end()) {
      rows_.push_back(std::make_unique<TGAlias>());
      row = rows_.back().get();
      row->alias = alias;
      ReadFromAlias(*row);
    } else {
      row = found->get();
      // A device change must not take back what the user changed and has not applied.
      if (!row->edited) ReadFromAlias(*row);
    }
    RefreshTexts(*row);
    row->kept = true;
  }
  for (int i = RowCount() - 1; i >= 0; --i) {
    const TGAlias& row = *rows_[static_cast<size_t>(i)];
    if (row.alias && !row.kept) RemoveRow(i, false);
  }
  Sort();
  SelectRow(Selected());
}

// --- row states and texts ----------------------------------------------------------------

TSetupAliasFrame::TSlotState TSetupAliasFrame::StateOf(const TGAlias& row) const {
  TSlotState state;
  if (row.deviceName.empty() || !IsPortKind(row.kind) || !MidiManagerExists()) return state;
  const bool isInput = row.kind == makMidiIn;
  TMidiManager& manager = MidiManager();
  const TMMMidiDev* slot = manager.GetDevice(manager.IndexOfDevice(row.deviceName, isInput), isInput);
  if (!slot) return state;
  state.pending = slot->IsOpenRequested();
  state.open = slot->IsOpen() || state.pending;
  state.present = slot->IsPresent();
  state.unplugged = !state.present;
  return state;
}

bool TSetupAliasFrame::IsAliasRow(const TGAlias& row) const {
  return !(AnsiSameText(row.name, row.deviceName) && StateOf(row).present);
}

bool TSetupAliasFrame::IsEditable(const TGAlias& row) const {
  return !row.name.empty() && IsAliasRow(row) && !(row.alias && row.alias->IsAutomatic());
}

bool TSetupAliasFrame::IsUsed(const TGAlias& row) const {
  if (row.alias) return used_.Contains(row.alias);
  return used_.FindAlias(row.name, row.kind) != nullptr;
}

void TSetupAliasFrame::RefreshTexts(TGAlias& row) {
  const TSlotState state = StateOf(row);
  const bool aliasRow = IsAliasRow(row);
  const bool automatic = row.alias && row.alias->IsAutomatic();
  row.italic = aliasRow;
  row.deviceText = !aliasRow ? std::string() : row.deviceName.empty() ? kNoDevice : row.deviceName;
  if (!aliasRow)
    row.typeText = row.kind == makMidiIn ? "INPUT port" : "OUTPUT port";
  else if (row.kind == makMidiIn)
    row.typeText = automatic ? "INPUT auto" : "INPUT alias";
  else if (row.kind == makMidiOut)
    row.typeText = automatic ? "OUTPUT auto" : "OUTPUT alias";
  else
    row.typeText = GetMidiAliasKindName(row.kind);
  if (state.pending)
    row.typeText += " (pending)";
  else if (state.open)
    row.typeText += " (open)";
  else if (state.unplugged)
    row.typeText += " (unplugged)";
  row.usedText.clear();
  if (IsUsed(row)) row.usedText = 'U';
  row.open = state.open;
  row.checked = state.open;
}

void TSetupAliasFrame::Sort() {
  // Higher weight first: aliases, used ones (unbound before bound), user aliases, automatic
  // ones; then by name, device name and MIDI IN before MIDI OUT.
  auto weight = [this](const TGAlias& row) {
    int w = row.alias ? 256 : 0;
    if (IsUsed(row)) w += (row.deviceName.empty() ? 128 : 0) + 64;
    const bool automatic = row.alias && row.alias->IsAutomatic();
    if (IsAliasRow(row) && !automatic) w += 32;
    if (automatic) w += 16;
    return w;
  };
  std::stable_sort(rows_.begin(), rows_.end(),
                   [&](const std::unique_ptr<TGAlias>& a, const std::unique_ptr<TGAlias>& b) {
                     return std::make_tuple(-weight(*a), a->name, a->deviceName, a->kind != makMidiIn) <
                            std::make_tuple(-weight(*b), b->name, b->deviceName, b->kind != makMidiIn);
                   });
}

// --- selection ---------------------------------------------------------------------------

int TSetupAliasFrame::Selected() const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].get() == selected_) return static_cast<int>(i);
  return -1;
}

int TSetupAliasFrame::IndexOfRow(std::string_view name, uint8_t kind) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i]->kind == kind && AnsiSameText(rows_[i]->name, name)) return static_cast<int>(i);
  return -1;
}

void TSetupAliasFrame::SelectRow(int index) {
  TSelectionMove move(selectionMoving_);
  selected_ = index >= 0 && index < RowCount() ? rows_[static_cast<size_t>(index)].get() : nullptr;
  if (selected_) {
    if (selected_->kind != comboKind_) {
      comboKind_ = selected_->kind;
      comboEntries_ = comboKind_ < 4 ? deviceLists_[comboKind_] : std::vector<std::string>();
    }
    comboSelected_ = comboEntries_.empty() ? -1 : 0;
    for (size_t i = 0; i < comboEntries_.size(); ++i)
      if (AnsiSameText(comboEntries_[i], selected_->deviceName)) comboSelected_ = static_cast<int>(i);
    RefreshTexts(*selected_);
  }
  UpdateButtons();
}

void TSetupAliasFrame::UpdateButtons() { selectedEditable_ = selected_ && IsEditable(*selected_); }

void TSetupAliasFrame::ReportChange() {
  if (selectionMoving_ > 0 || changeReported_) return;
  changeReported_ = true;
  PanelChanged();
}

// --- commands ----------------------------------------------------------------------------

int TSetupAliasFrame::AddRow(uint8_t kind) {
  const std::string base = "New " + GetMidiAliasKindName(kind) + " Alias";
  std::string name = base;
  for (int n = 2; IndexOfRow(name, kind) >= 0; ++n) name = base + " (" + std::to_string(n) + ")";
  auto row = std::make_unique<TGAlias>();
  row->kind = kind;
  row->name = std::move(name);
  RefreshTexts(*row);
  rows_.push_back(std::move(row));
  ReportChange();
  return RowCount() - 1;
}

void TSetupAliasFrame::AddClick(const TShowAliasChooser& chooser) {
  uint8_t kind = makNone;
  if (!ChooseAliasKind(chooser, kind, false) || kind == makNone) return;
  const int index = AddRow(kind);
  SelectRow(index);
  renaming_ = selected_;
}

void TSetupAliasFrame::RemoveRow(int index, bool report) {
  const bool wasSelected = rows_[static_cast<size_t>(index)].get() == selected_;
  if (wasSelected) selected_ = nullptr;
  if (report && rows_[static_cast<size_t>(index)]->alias)
    removed_.push_back(rows_[static_cast<size_t>(index)]->alias);
  // A name edit of the row ends with the row: the name goes nowhere.
  if (rows_[static_cast<size_t>(index)].get() == renaming_) renaming_ = nullptr;
  rows_.erase(rows_.begin() + index);
  if (wasSelected) SelectRow(index < RowCount() ? index : RowCount() - 1);
  if (report) ReportChange();
}

void TSetupAliasFrame::DeleteClick() {
  if (!selected_ || !IsEditable(*selected_)) return;
  if (selected_->alias && used_.Contains(selected_->alias) &&
      !messages_.AskYesNo(AskDeleteUsed(selected_->name), kConfirmDelayMs))
    return;
  RemoveRow(Selected(), true);
}

void TSetupAliasFrame::RenameClick() {
  if (selected_ && IsEditable(*selected_)) renaming_ = selected_;
}

int TSetupAliasFrame::EditingRow() const {
  for (size_t i = 0; renaming_ && i < rows_.size(); ++i)
    if (rows_[i].get() == renaming_) return static_cast<int>(i);
  return -1;
}

void TSetupAliasFrame::BeginRename(int index) {
  if (index >= 0 && index < RowCount() && IsEditable(Row(index)))
    renaming_ = rows_[static_cast<size_t>(index)].get();
}

int TSetupAliasFrame::FinishRename(std::string& name) {
  const int index = EditingRow();
  renaming_ = nullptr;
  if (index >= 0) name = Rename(index, name);
  return index;
}

void TSetupAliasFrame::CancelRename() { renaming_ = nullptr; }

void TSetupAliasFrame::RefuseRename(const std::string& error) {
  renaming_ = nullptr;
  messages_.ShowError(error);
}

std::string TSetupAliasFrame::Rename(int index, const std::string& text) {
  renaming_ = nullptr;
  if (index < 0 || index >= RowCount()) return text;
  TGAlias& row = *rows_[static_cast<size_t>(index)];
  if (!IsEditable(row)) return row.name;
  const std::string name = Trim(text);
  const int same = IndexOfRow(name, row.kind);
  if (same >= 0 && same != index) {
    messages_.ShowError(kDuplicateName);
    return row.name;
  }
  if (!IsValidAliasName(name)) {
    messages_.ShowError(kInvalidName);
    return row.name;
  }
  if (name != row.name) {
    row.name = name;
    row.edited = true;
    RefreshTexts(row);
    ReportChange();
  }
  return row.name;
}

void TSetupAliasFrame::ChooseDevice(const TGAlias* row, const std::string& entry) {
  if (!selected_ || row != selected_ || !IsEditable(*selected_)) return;
  const auto found = std::find(comboEntries_.begin(), comboEntries_.end(), entry);
  if (found == comboEntries_.end()) return;
  comboSelected_ = static_cast<int>(found - comboEntries_.begin());
  selected_->deviceName = entry;
  selected_->edited = true;
  for (const std::unique_ptr<TGAlias>& row : rows_) RefreshTexts(*row);
  ReportChange();
}

void TSetupAliasFrame::CheckRow(int index, bool checked) {
  if (index < 0 || index >= RowCount()) return;
  TGAlias& row = *rows_[static_cast<size_t>(index)];
  if (checked == row.open) return;
  if (!IsPortKind(row.kind)) {
    row.checked = row.open;
    return;
  }
  const char* error = nullptr;
  const bool isInput = row.kind == makMidiIn;
  TMidiManager& manager = MidiManager();
  const int slotIndex = manager.IndexOfDevice(row.deviceName, isInput);
  if (const TMMMidiDev* slot = manager.GetDevice(slotIndex, isInput)) {
    if (checked)
      manager.OpenDevice(slotIndex, isInput, false);
    else
      manager.CloseDevice(slotIndex, isInput, false);
    row.open = slot->IsOpen() || slot->IsOpenRequested();
    if (checked && slot->IsOpenRequested()) error = kAbsentError;
  } else {
    row.open = false;
    error = kNoSlotError;
  }
  if (checked == row.open) {
    RefreshTexts(row);
    for (const std::unique_ptr<TGAlias>& other : rows_)
      if (other.get() != &row && other->kind == row.kind &&
          AnsiSameText(other->deviceName, row.deviceName))
        RefreshTexts(*other);
  }
  row.checked = row.open;  // a port that could not be opened shows unchecked
  if (error) messages_.ShowError(error);
}

bool TSetupAliasFrame::AutoConnectEnabled() const {
  if (!selected_) return false;
  const TGAlias& row = *selected_;
  return MeansDevice(row.deviceName) && !AnsiSameText(row.name, row.deviceName) &&
         IndexOfRow(row.deviceName, row.kind) < 0;
}

void TSetupAliasFrame::AutoConnect() {
  if (AutoConnectEnabled()) Rename(Selected(), selected_->deviceName);
}

void TSetupAliasFrame::KeyDown(TPageKey key, bool alt, bool ctrl) {
  if (renaming_ || alt || ctrl) return;
  if (key == TPageKey::Delete) DeleteClick();
  if (key == TPageKey::F2) RenameClick();
}

void TSetupAliasFrame::KeyUp(TPageKey key, bool shift, bool alt, bool ctrl,
                             const TShowAliasChooser& chooser) {
  if (renaming_) return;
  if (key == TPageKey::N && ctrl && !shift && !alt) AddClick(chooser);
}

void TSetupAliasFrame::OpenUsedClick() {
  Apply(true);
  OpenProjectPorts(controller_, messages_);
  // Opening may have added slots for absent devices without a change report: the device
  // lists take them, so the in-place list shows what the rows show.
  RefreshDevices();
  for (const std::unique_ptr<TGAlias>& row : rows_) RefreshTexts(*row);
}

// --- revert and apply --------------------------------------------------------------------

void TSetupAliasFrame::Revert() {
  for (int i = RowCount() - 1; i >= 0; --i) {
    TGAlias& row = *rows_[static_cast<size_t>(i)];
    if (row.alias) {
      ReadFromAlias(row);
      RefreshTexts(row);
    } else {
      const bool wasSelected = &row == selected_;
      rows_.erase(rows_.begin() + i);
      if (wasSelected) selected_ = nullptr;
    }
  }
  renaming_ = nullptr;
  removed_.clear();
  UpdateButtons();
}

std::vector<TAliasApplyStep> TSetupAliasFrame::PlanApply() const {
  std::vector<TAliasApplyStep> steps;
  auto device = [](const TGAlias& row) {
    return MeansDevice(row.deviceName) ? row.deviceName : std::string();
  };
  for (const std::unique_ptr<TGAlias>& row : rows_)
    if (row->alias)
      steps.push_back({TAliasApplyStep::Redefine, row->alias, row.get(), row->kind, row->name,
                       device(*row), row->alias->IsAutomatic()});
  for (const std::unique_ptr<TGAlias>& row : rows_)
    if (!row->alias)
      steps.push_back({TAliasApplyStep::Bind, nullptr, row.get(), row->kind, row->name,
                       device(*row), false});
  for (int i = 0; i < aliases_.GetCount(); ++i) {
    TMidiAlias* alias = aliases_.GetItem(i);
    if (!alias || alias->GetKind() == makNone) continue;
    const bool shown = std::any_of(rows_.begin(), rows_.end(),
                                   [alias](const std::unique_ptr<TGAlias>& r) { return r->alias == alias; });
    if (!shown) steps.push_back({TAliasApplyStep::Delete, alias, nullptr, alias->GetKind(), alias->GetName(), {}, false});
  }
  return steps;
}

void TSetupAliasFrame::Apply(bool) {
  if (!changeReported_) return;
  const std::vector<TAliasApplyStep> steps = PlanApply();
  auto rowOf = [this](const TGAlias* target) -> TGAlias* {
    for (const std::unique_ptr<TGAlias>& row : rows_)
      if (row.get() == target) return row.get();
    return nullptr;
  };
  TMidiAliasList collected;
  aliases_.BeginUpdate();
  try {
    for (const TAliasApplyStep& step : steps) {
      TGAlias* row = rowOf(step.row);
      switch (step.kind) {
        case TAliasApplyStep::Redefine:
          aliases_.RedefineAlias(*step.alias, step.name, step.device, step.automatic);
          collected.Add(step.alias);
          break;
        case TAliasApplyStep::Bind:
          row->alias = aliases_.GetItem(aliases_.SetAliasDevice(step.name, step.device, step.aliasKind));
          collected.Add(row->alias);
          break;
        case TAliasApplyStep::Delete:
          // A new row of the same name and kind may have taken the alias over.
          if (!collected.Contains(step.alias)) aliases_.DeleteAlias(aliases_.IndexOfAlias(step.alias));
          break;
      }
      if (row) {
        row->edited = false;
        RefreshTexts(*row);
      }
    }
  } catch (...) {
    aliases_.EndUpdate();
    throw;
  }
  changeReported_ = false;
  removed_.clear();
  aliases_.EndUpdate();
}

}  // namespace kv
