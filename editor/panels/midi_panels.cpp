#include "editor/panels/midi_panels.h"

#include "engine/actions/midi_action.h"
#include "midi/model/midi_names.h"

namespace kv {

TEPMidi::TEPMidi(bool incoming) : TEditPanel("MIDI message", incoming, kActionMidi) {}

void TEPMidi::Clear() {
  message_.clear();
  description_.clear();
  describe_ = false;
  ports_.Clear();
  defaultPorts_ = true;
  for (auto& row : rows_) row.checked = false;
  UpdateControls();
}

void TEPMidi::LoadAction(const TTransAction* action) {
  const auto* midi = dynamic_cast<const TTransMidiAction*>(action);
  if (midi == nullptr) {
    Clear();
    return;
  }
  message_ = midi->GetSpacedMidiText();
  description_ = midi->GetMidiDescription();
  describe_ = !description_.empty();
  ports_.Clear();
  midi->GetPorts(&ports_, false);
  defaultPorts_ = ports_.IsEmpty();
  UpdateControls();
}

std::string TEPMidi::GetActionText() {
  const std::string description = describe_ ? description_ : std::string();
  return FormatMidiActionText(message_, description, defaultPorts_ ? nullptr : &ports_);
}

std::string TEPMidi::ParsedReading() const {
  return DescribeMidiHex(message_, false);
}

void TEPMidi::SetMessageText(std::string text) {
  message_ = std::move(text);
  Changed();
}

void TEPMidi::SetDescription(std::string text) {
  description_ = std::move(text);
  Changed();
}

void TEPMidi::SetDescriptionChecked(bool checked) {
  describe_ = checked;
  UpdateControls();
  Changed();
}

void TEPMidi::SetDefaultPorts(bool useDefault) {
  defaultPorts_ = useDefault;
  UpdateControls();
  Changed();
}

void TEPMidi::RebuildRows(const TMidiAliasManager& manager) {
  rows_.clear();
  for (int i = 0; i < manager.GetCount(); ++i) {
    TMidiAlias* alias = manager.GetItem(i);
    if (alias != nullptr && alias->GetKind() == PortKind()) {
      rows_.push_back({alias, ports_.Contains(alias)});
    }
  }
}

void TEPMidi::RefreshPortRows(const TMidiAliasManager& manager) {
  if (static_cast<int>(rows_.size()) != manager.CountOfKind(PortKind())) {
    RebuildRows(manager);
  } else {
    for (auto& row : rows_) row.checked = ports_.Contains(row.alias);
  }
  for (TMidiAlias* alias : ports_.Items()) {
    bool listed = false;
    for (const auto& row : rows_) listed = listed || row.alias == alias;
    if (!listed) rows_.push_back({alias, true});
  }
}

void TEPMidi::AliasesChanged(const TMidiAliasManager& manager) {
  TMidiAliasList kept;
  for (TMidiAlias* alias : ports_.Items()) {
    if (alias->IsDefined()) kept.Add(alias);
  }
  ports_.Assign(&kept);
  RebuildRows(manager);
}

void TEPMidi::SetPortChecked(size_t row, bool checked) {
  if (row >= rows_.size()) return;
  rows_[row].checked = checked;
  TMidiAlias* alias = rows_[row].alias;
  if (checked) {
    ports_.AddUnique(alias);
  } else {
    TMidiAliasList kept;
    for (TMidiAlias* a : ports_.Items()) {
      if (a != alias) kept.Add(a);
    }
    ports_.Assign(&kept);
  }
  Changed();
}

void TEPInMidi::Clear() {
  swallow_ = true;
  TEPMidi::Clear();
}

void TEPInMidi::SetSwallow(bool swallow) {
  swallow_ = swallow;
  Changed();
}

}  // namespace kv
