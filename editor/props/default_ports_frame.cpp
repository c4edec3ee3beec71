#include "editor/props/default_ports_frame.h"

#include <algorithm>

namespace kv {

namespace {

constexpr const char* kPresetHelp =
    "Here you can assign default MIDI ports for this preset. These ports will be used for "
    "incoming/outgoing MIDI messages. If you do not set any, the project default ports will be "
    "used. You can override these default ports in individual translator entries.";
constexpr const char* kProjectHelp =
    "Here you can assign default MIDI ports for the entire project. These ports will be used "
    "for incoming/outgoing MIDI messages unless you override them with individual preset "
    "default ports, or with specific ports settings in individual translator entries.";

int ClampRatio(int ratio) {
  return std::clamp(ratio, TSetupDefaultPortsFrame::kMinRatio, TSetupDefaultPortsFrame::kMaxRatio);
}

void RemoveAlias(TMidiAliasList& list, const TMidiAlias* alias) {
  TMidiAliasList kept;
  for (TMidiAlias* a : list.Items())
    if (a != alias) kept.Add(a);
  list.Assign(&kept);
}

}  // namespace

int RoundHalfEven(int64_t numerator, int64_t denominator) {
  const bool negative = numerator < 0;
  const int64_t n = negative ? -numerator : numerator;
  int64_t quotient = n / denominator;
  const int64_t twice = 2 * (n % denominator);
  if (twice > denominator || (twice == denominator && quotient % 2 == 1)) ++quotient;
  return static_cast<int>(negative ? -quotient : quotient);
}

TSetupDefaultPortsFrame::TSetupDefaultPortsFrame(TMidiAliasManager& aliases) : aliases_(aliases) {
  aliases_.AddChangeListener({&TSetupDefaultPortsFrame::AliasesChanged, this});
}

TSetupDefaultPortsFrame::~TSetupDefaultPortsFrame() {
  aliases_.RemoveChangeListener({&TSetupDefaultPortsFrame::AliasesChanged, this});
}

void TSetupDefaultPortsFrame::AliasesChanged(void* frame, TMidiAliasManager&) {
  static_cast<TSetupDefaultPortsFrame*>(frame)->RefreshLists();
}

void TSetupDefaultPortsFrame::SetPorts(const TMidiAliasList* in, const TMidiAliasList* out,
                                       bool presetMode) {
  in_.ports.Assign(in);
  out_.ports.Assign(out);
  presetMode_ = presetMode;
  LoadValues();
}

void TSetupDefaultPortsFrame::LoadValues() {
  changeReported_ = false;
  ++loading_;
  aliasesVisible_ = !SettingsVisible();
  helpText_ = presetMode_ ? kPresetHelp : kProjectHelp;
  in_.projectDefault = presetMode_ && in_.ports.IsEmpty();
  out_.projectDefault = presetMode_ && out_.ports.IsEmpty();
  RefreshLists();
  UpdateListsEnabled();
  --loading_;
}

void TSetupDefaultPortsFrame::Revert() {
  in_.ports.Clear();
  out_.ports.Clear();
}

void TSetupDefaultPortsFrame::Apply(bool showErrors) {
  if (!changeReported_) return;
  changeReported_ = false;
  if (OnApply) {
    const TMidiAliasList none;
    const bool inDefault = presetMode_ && in_.projectDefault;
    const bool outDefault = presetMode_ && out_.projectDefault;
    OnApply(inDefault ? none : in_.ports, outDefault ? none : out_.ports, showErrors);
  }
  UpdateListsEnabled();
}

void TSetupDefaultPortsFrame::ReportChange() {
  if (loading_ > 0 || changeReported_) return;
  changeReported_ = true;
  PanelChanged();
}

void TSetupDefaultPortsFrame::UpdateListsEnabled() {
  in_.enabled = !presetMode_ || !in_.projectDefault;
  out_.enabled = !presetMode_ || !out_.projectDefault;
}

void TSetupDefaultPortsFrame::CheckRow(bool input, int row, bool checked) {
  if (loading_ > 0) return;
  TPortSide& side = input ? in_ : out_;
  if (row < 0 || row >= static_cast<int>(side.rows.size())) return;
  TPortRow& r = side.rows[static_cast<size_t>(row)];
  r.checked = checked;
  if (side.ports.Contains(r.alias) == checked) return;
  if (checked)
    side.ports.Add(r.alias);
  else
    RemoveAlias(side.ports, r.alias);
  ReportChange();
}

void TSetupDefaultPortsFrame::ChooseSide(bool input, bool projectDefault) {
  (input ? in_ : out_).projectDefault = projectDefault;
  if (loading_ > 0) return;
  ReportChange();
  UpdateListsEnabled();
}

void TSetupDefaultPortsFrame::AliasesClick() {
  if (!SettingsVisible() && ShowPortAliasSettings) ShowPortAliasSettings();
}

void TSetupDefaultPortsFrame::RefreshSide(TPortSide& side, uint8_t kind) {
  TMidiAliasList kept;
  for (TMidiAlias* alias : side.ports.Items())
    if (alias && alias->GetKind() != makNone) kept.Add(alias);
  side.ports.Assign(&kept);
  side.rows.clear();
  for (int i = 0; i < aliases_.GetCount(); ++i) {
    TMidiAlias* alias = aliases_.GetItem(i);
    if (alias && alias->GetKind() == kind) side.rows.push_back({alias, side.ports.Contains(alias)});
  }
}

void TSetupDefaultPortsFrame::RefreshLists() {
  RefreshSide(in_, makMidiIn);
  RefreshSide(out_, makMidiOut);
}

void TSetupDefaultPortsFrame::SetSplitterRatio(int value) {
  ratio_ = ClampRatio(value);
  ApplyRatio();
}

void TSetupDefaultPortsFrame::ApplyRatio() { leftWidth_ = RoundHalfEven(int64_t{clientWidth_} * ratio_, 1000); }

void TSetupDefaultPortsFrame::SplitterMoved(int leftWidth) {
  // A frame not laid out yet has no width to take a share of.
  if (clientWidth_ <= 0) return;
  leftWidth_ = leftWidth;
  ratio_ = ClampRatio(RoundHalfEven(int64_t{leftWidth} * 1000, clientWidth_));
}

void TSetupDefaultPortsFrame::Resize(int clientWidth) {
  clientWidth_ = std::max(0, clientWidth);
  ratio_ = ClampRatio(ratio_);
  ApplyRatio();
}

}  // namespace kv
