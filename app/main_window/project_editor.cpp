#include "app/main_window/project_editor.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "app/main_window/main_commands.h"
#include "base/exception.h"
#include "base/text.h"
#include "base/utils.h"
#include "engine/format.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "midi/model/alias.h"

namespace kv {

// --- names -----------------------------------------------------------------------------------

namespace {

constexpr std::string_view kCopyOf = "Copy of ";
constexpr std::string_view kCopyOpen = "Copy (";
constexpr std::string_view kCopyClose = ") of ";
constexpr int kHighestStrippedCopy = 50;

// The name without one leading copy mark the duplicate command would have made.
std::string_view WithoutCopyMark(std::string_view name) {
  if (name.substr(0, kCopyOf.size()) == kCopyOf) return name.substr(kCopyOf.size());
  if (name.substr(0, kCopyOpen.size()) != kCopyOpen) return name;
  const size_t close = name.find(kCopyClose, kCopyOpen.size());
  if (close == std::string_view::npos) return name;
  const std::string_view digits = name.substr(kCopyOpen.size(), close - kCopyOpen.size());
  int n = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty()) return name;
  if (n < 2 || n > kHighestStrippedCopy) return name;
  return name.substr(close + kCopyClose.size());
}

}  // namespace

std::string NewPresetName(const TNameExists& exists) {
  std::string name = kNewPresetName;
  for (int n = 2; exists(name); ++n) name = std::string(kNewPresetName) + " " + std::to_string(n);
  return name;
}

std::string DuplicatePresetName(std::string_view name, const TNameExists& exists) {
  const std::string rest(WithoutCopyMark(name));
  std::string result = std::string(kCopyOf) + rest;
  for (int n = 2; exists(result); ++n)
    result = FormatText("Copy (%d) of ", {n}) + rest;
  return result;
}

std::string CheckPresetName(std::string_view name, const TNameExists& exists) {
  if (AnsiSameText(name, kNoPresetName))
    return FormatText("You can't name a Preset \"%s\".", {kNoPresetName});
  if (name.empty()) return "This is an invalid name for a Preset";
  if (exists(name)) return "A Preset with this name already exists !";
  return {};
}

std::string CheckTranslatorName(std::string_view name) {
  return name.empty() ? "This is no valid name." : std::string();
}

std::string PresetTextFileName(std::string_view presetName) {
  return MakeValidFileName(presetName) + ".txt";
}

// --- moving and deleting rows ----------------------------------------------------------------

int MoveOffset(TMoveKind kind, int count, const std::vector<int>& selected) {
  if (selected.empty()) return 0;
  switch (kind) {
    case TMoveKind::Up: return -1;
    case TMoveKind::Down: return 1;
    case TMoveKind::Top: return -selected.front();
    case TMoveKind::Bottom: return count - 1 - selected.back();
  }
  return 0;
}

std::vector<TRowMove> PlanRowMoves(int count, std::vector<int> selected, int offset) {
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  if (offset > 0) std::reverse(selected.begin(), selected.end());
  std::vector<TRowMove> moves;
  for (int row : selected) {
    if (row < 0 || row >= count) break;
    const int target = row + offset;
    if (target < 0 || target >= count) break;
    moves.push_back({row, target});
  }
  return moves;
}

int RowAfterMoves(int row, const std::vector<TRowMove>& moves) {
  if (row < 0) return row;
  for (const TRowMove& m : moves) {
    if (row == m.from) row = m.to;
    else if (m.from < row && row <= m.to) --row;
    else if (m.to <= row && row < m.from) ++row;
  }
  return row;
}

int DropOffset(int count, const std::vector<int>& selected, int dragRow, int dropRow) {
  if (selected.empty()) return 0;
  std::vector<int> sorted = selected;
  std::sort(sorted.begin(), sorted.end());
  const int top = MoveOffset(TMoveKind::Top, count, sorted);
  const int bottom = MoveOffset(TMoveKind::Bottom, count, sorted);
  return std::clamp(dropRow - dragRow, top, std::max(top, bottom));
}

std::vector<int> DeletionOrder(std::vector<int> selected) {
  std::sort(selected.begin(), selected.end(), std::greater<int>());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  return selected;
}

int PresetRowAfterDelete(int countAfter, int topmostDeleted) {
  if (countAfter <= 0) return -1;
  return std::clamp(topmostDeleted, 0, countAfter - 1);
}

int TranslatorRowAfterDelete(int countAfter, int firstDeleted) {
  const int row = std::min(firstDeleted, countAfter - 1);
  return row > 0 ? row : -1;
}

int StepTranslatorRow(int count, const std::vector<int>& selected, bool forward) {
  if (count <= 0) return -1;
  if (selected.empty()) return forward ? 0 : count - 1;
  if (selected.size() != 1) return -1;
  const int target = selected.front() + (forward ? 1 : -1);
  return target >= 0 && target < count ? target : -1;
}

// --- the preset properties dialog ------------------------------------------------------------

TPresetEditWatch::TPresetEditWatch(const TTransList& preset)
    : preset_(&preset), before_(Take(preset)) {}

TPresetEditWatch::TEdited TPresetEditWatch::Take(const TTransList& preset) {
  TEdited edited;
  edited.switchIgnore = preset.PresetSwitchIgnore();
  edited.inPorts = preset.GetDefaultInPorts().Items();
  edited.outPorts = preset.GetDefaultOutPorts().Items();
  return edited;
}

bool TPresetEditWatch::Changed(const TPresetHandler& project) const {
  // A preset that left the project is not looked at: it may be gone.
  if (project.IndexOfPreset(preset_) < 0) return false;
  return !(Take(*preset_) == before_);
}

// --- the owner of the edits ------------------------------------------------------------------

namespace {

TProjectEdit Edit(TProjectEditKind kind, int preset, std::vector<int> rows = {}) {
  TProjectEdit edit;
  edit.kind = kind;
  edit.preset = preset;
  edit.rows = std::move(rows);
  return edit;
}

}  // namespace

TProjectEditor::TProjectEditor(TProjectSource project) : project_(std::move(project)) {}

void TProjectEditor::AddView(TProjectEditorView& view) {
  if (std::find(views_.begin(), views_.end(), &view) == views_.end()) views_.push_back(&view);
}

void TProjectEditor::RemoveView(TProjectEditorView& view) {
  views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
}

void TProjectEditor::Notify(const TProjectEdit& edit) {
  // A copy: a view may register or leave while it is told.
  const std::vector<TProjectEditorView*> views = views_;
  for (TProjectEditorView* view : views)
    if (std::find(views_.begin(), views_.end(), view) != views_.end()) view->ProjectEdited(edit);
}

void TProjectEditor::Modified() {
  if (onModified) onModified();
}

TPresetHandler* TProjectEditor::Project() const { return project_ ? project_() : nullptr; }

TTransList* TProjectEditor::CurrentPreset() const {
  TPresetHandler* project = Project();
  return project && current_ >= 0 ? project->GetPreset(current_) : nullptr;
}

// --- what the rows show ----------------------------------------------------------------------

int TProjectEditor::PresetCount() const {
  TPresetHandler* project = Project();
  return project ? project->GetPresetCount() : 0;
}

std::string TProjectEditor::PresetText(int row, int column) const {
  TPresetHandler* project = Project();
  TTransList* preset = project ? project->GetPreset(row) : nullptr;
  if (!preset) return {};
  return column == 0 ? preset->GetDisplayName() : std::to_string(row);
}

bool TProjectEditor::PresetChecked(int row) const {
  TPresetHandler* project = Project();
  TTransList* preset = project ? project->GetPreset(row) : nullptr;
  return preset && preset->Active();
}

int TProjectEditor::TranslatorCount() const {
  TTransList* preset = CurrentPreset();
  return preset ? preset->GetCount() : 0;
}

TTransMsgPtr TProjectEditor::Translator(int row) const {
  TTransList* preset = CurrentPreset();
  return preset ? preset->GetTranslatorRef(row) : nullptr;
}

std::string TProjectEditor::TranslatorText(int row, int column) const {
  TTransMsgPtr translator = Translator(row);
  if (!translator) return {};
  switch (column) {
    case 0: return translator->Name();
    case 1: return std::to_string(row);
    case 2:
      return friendly_ ? translator->GetIncomingShortDescription()
                       : translator->GetIncomingDescription();
    case 3:
      return friendly_ ? translator->GetOutgoingShortDescription()
                       : translator->GetOutgoingDescription();
    case 4: return TranslatorOptionsText(*translator);
    default: return {};
  }
}

bool TProjectEditor::TranslatorChecked(int row) const {
  TTransMsgPtr translator = Translator(row);
  return translator && translator->Active();
}

int TProjectEditor::RowOf(const void* translator) const {
  TTransList* preset = CurrentPreset();
  if (!preset || !translator) return -1;
  for (int row = 0; row < preset->GetCount(); ++row)
    if (preset->GetTranslator(row) == translator) return row;
  return -1;
}

bool TProjectEditor::Holds(const void* translator) const {
  int preset = -1, row = -1;
  return Locate(translator, preset, row);
}

bool TProjectEditor::Locate(const void* translator, int& preset, int& row) const {
  TPresetHandler* project = Project();
  for (int p = 0; project && translator && p < project->GetPresetCount(); ++p) {
    TTransList* list = project->GetPreset(p);
    for (int r = 0; list && r < list->GetCount(); ++r) {
      if (list->GetTranslator(r) != translator) continue;
      preset = p;
      row = r;
      return true;
    }
  }
  return false;
}

std::vector<std::string> TProjectEditor::PresetNames() const {
  std::vector<std::string> names;
  TPresetHandler* project = Project();
  for (int row = 0; project && row < project->GetPresetCount(); ++row)
    if (TTransList* preset = project->GetPreset(row)) names.push_back(preset->GetName());
  return names;
}

std::vector<std::string> TProjectEditor::TimerNames() const {
  std::vector<std::string> names;
  if (TPresetHandler* project = Project())
    for (const TPresetHandler::TTimerName& timer : project->GetTimerNames())
      names.push_back(timer.name);
  return names;
}

// --- the current preset ----------------------------------------------------------------------

void TProjectEditor::SetCurrentPreset(int row) {
  if (row < 0 || row >= PresetCount()) row = -1;
  current_ = row;
  Notify(Edit(TProjectEditKind::CurrentPreset, current_));
}

void TProjectEditor::ProjectReplaced() {
  current_ = -1;
  Notify(Edit(TProjectEditKind::Presets, current_));
}

// --- presets ---------------------------------------------------------------------------------

void TProjectEditor::SetPresetActive(int row, bool active) {
  TPresetHandler* project = Project();
  TTransList* preset = project ? project->GetPreset(row) : nullptr;
  if (!preset) return;
  preset->SetActive(active);
  Notify(Edit(TProjectEditKind::PresetRows, row, {row}));
}

std::shared_ptr<TTransList> TProjectEditor::PresetRef(int row) const {
  TPresetHandler* project = Project();
  if (!project) return nullptr;
  const TPresetSnapshot presets = project->GetPresets();
  if (!presets || row < 0 || row >= static_cast<int>(presets->size())) return nullptr;
  return (*presets)[static_cast<size_t>(row)];
}

std::string TProjectEditor::RenamePreset(const TTransList* target, const std::string& name) {
  TPresetHandler* project = Project();
  const int row = project && target ? project->IndexOfPreset(target) : -1;
  TTransList* preset = row >= 0 ? project->GetPreset(row) : nullptr;
  if (!preset) return {};
  std::string error = CheckPresetName(name, [project, preset](std::string_view n) {
    const int found = project->FindPreset(n);
    return found >= 0 && project->GetPreset(found) != preset;
  });
  if (!error.empty()) return error;
  if (preset->GetName() == name) return {};
  preset->SetName(name);
  Notify(Edit(TProjectEditKind::PresetRows, row, {row}));
  Modified();
  return {};
}

int TProjectEditor::NewPreset() {
  TPresetHandler* project = Project();
  if (!project) throw Exception("No project");
  const std::string name =
      NewPresetName([project](std::string_view n) { return project->FindPreset(n) >= 0; });
  if (!project->AddPresetNamed(name)) throw Exception(name);
  const int row = project->FindPreset(name);
  TTransList* preset = project->GetPreset(row);
  if (!preset) throw Exception(name);
  preset->SetActive(true);
  Notify(Edit(TProjectEditKind::Presets, row, {row}));
  Modified();
  return row;
}

std::string TProjectEditor::DuplicateName() const {
  TPresetHandler* project = Project();
  TTransList* preset = CurrentPreset();
  if (!project || !preset || preset->GetName().empty()) return {};
  return DuplicatePresetName(preset->GetName(), [project](std::string_view n) {
    return project->FindPreset(n) >= 0;
  });
}

int TProjectEditor::DuplicatePreset(const std::string& name) {
  TPresetHandler* project = Project();
  if (!project || name.empty()) throw Exception("No name");
  if (TTransList* preset = CurrentPreset()) {
    TTransList& copy = project->AddPresetCopy(*preset);
    try {
      copy.SetName(name);
    } catch (...) {
      // No nameless copy stays behind.
      const int row = project->IndexOfPreset(&copy);
      if (row >= 0) project->DeletePreset(row);
      throw;
    }
  } else if (!project->AddPresetNamed(name)) {
    throw Exception(name);
  }
  const int row = project->FindPreset(name);
  Notify(Edit(TProjectEditKind::Presets, row, {row}));
  Modified();
  return row;
}

int TProjectEditor::DeletePresets(const std::vector<int>& rows) {
  TPresetHandler* project = Project();
  if (!project || rows.empty()) return -1;
  TProjectEdit edit = Edit(TProjectEditKind::Presets, -1);
  current_ = -1;
  int last = rows.front();
  for (int row : DeletionOrder(rows)) {
    TTransList* preset = project->GetPreset(row);
    if (!preset) continue;
    for (int t = 0; t < preset->GetCount(); ++t) edit.gone.push_back(preset->GetTranslator(t));
    project->DeletePreset(row);
    last = row;
  }
  const int next = PresetRowAfterDelete(project->GetPresetCount(), last);
  if (next >= 0) edit.rows = {next};
  Notify(edit);
  Modified();
  return next;
}

std::vector<int> TProjectEditor::MoveRows(bool presets, const std::vector<int>& selected,
                                          int offset) {
  TPresetHandler* project = Project();
  TTransList* preset = CurrentPreset();
  if (!project || (!presets && !preset)) return {};
  const int count = presets ? project->GetPresetCount() : preset->GetCount();
  const std::vector<TRowMove> moves = PlanRowMoves(count, selected, offset);
  if (moves.empty()) return {};
  std::vector<int> targets;
  for (const TRowMove& m : moves) {
    if (presets) {
      project->MovePreset(m.from, m.to, false);
      if (current_ == m.from) current_ = m.to;
      else if (m.from < current_ && current_ <= m.to) --current_;
      else if (m.to <= current_ && current_ < m.from) ++current_;
    } else {
      preset->MoveTranslator(m.from, m.to);
    }
    // The rows moved before shift with this one.
    for (int& t : targets) {
      if (m.from < t && t <= m.to) --t;
      else if (m.to <= t && t < m.from) ++t;
    }
    targets.push_back(m.to);
  }
  if (presets) project->PresetsChanged();
  Notify(Edit(presets ? TProjectEditKind::Presets : TProjectEditKind::Translators, current_,
              targets));
  Modified();
  return targets;
}

std::vector<int> TProjectEditor::MovePresets(const std::vector<int>& selected, int offset) {
  return MoveRows(true, selected, offset);
}

// --- translators -----------------------------------------------------------------------------

void TProjectEditor::SetTranslatorsActive(const std::vector<int>& rows, bool active) {
  TTransList* preset = CurrentPreset();
  if (!preset) return;
  TProjectEdit edit = Edit(TProjectEditKind::TranslatorsActivated, current_);
  edit.active = active;
  for (int row : rows) {
    TTransMsg* translator = preset->GetTranslator(row);
    if (!translator || translator->Active() == active) continue;
    translator->SetActive(active);
    edit.rows.push_back(row);
    edit.items.push_back(translator);
  }
  if (edit.rows.empty()) return;
  Notify(edit);
  Modified();
}

std::string TProjectEditor::RenameTranslator(const void* item, const std::string& name) {
  int p = -1, row = -1;
  if (!Locate(item, p, row)) return {};
  TTransMsgPtr translator = Project()->GetPreset(p)->GetTranslatorRef(row);
  std::string error = CheckTranslatorName(name);
  if (!error.empty() || name == translator->Name()) return error;
  translator->SetName(name);
  TProjectEdit edit = Edit(TProjectEditKind::TranslatorRenamed, p);
  if (p == current_) edit.rows = {row};
  edit.items = {translator.get()};
  edit.name = name;
  Notify(edit);
  Modified();
  return {};
}

TTransList* TProjectEditor::TargetPreset(bool& madePreset) {
  madePreset = false;
  TPresetHandler* project = Project();
  if (!project) return nullptr;
  if (project->GetPresetCount() == 0) {
    if (!project->AddPresetNamed(kUnnamedPresetText)) return nullptr;
    madePreset = true;
    current_ = 0;
    TTransList* preset = project->GetPreset(0);
    if (preset) preset->SetActive(true);
    return preset;
  }
  return CurrentPreset();
}

void TProjectEditor::UndoTargetPreset(bool madePreset) {
  if (!madePreset) return;
  TPresetHandler* project = Project();
  current_ = -1;
  if (project && project->GetPresetCount() > 0) project->DeletePreset(0);
}

int TProjectEditor::AddTranslator(int itemIndex) {
  bool madePreset = false;
  TTransList* preset = TargetPreset(madePreset);
  if (!preset) return -1;
  int row = -1;
  try {
    row = itemIndex < 0 ? 0 : std::min(itemIndex + 1, preset->GetCount());
    row = preset->InsertTranslator(row, TTransMsg::Create(kNewTranslatorName));
  } catch (...) {
    UndoTargetPreset(madePreset);
    throw;
  }
  if (row < 0) {
    UndoTargetPreset(madePreset);
    return -1;
  }
  if (madePreset) Notify(Edit(TProjectEditKind::Presets, current_, {0}));
  Notify(Edit(TProjectEditKind::Translators, current_, {row}));
  Modified();
  return row;
}

int TProjectEditor::DuplicateTranslator(int row) {
  TTransList* preset = CurrentPreset();
  TTransMsgPtr source = preset ? preset->GetTranslatorRef(row) : nullptr;
  if (!source) return -1;
  // The preset refuses a translator without a name: nothing changed then.
  const int copy = preset->InsertTranslator(row + 1, source->Clone());
  if (copy < 0) return -1;
  Notify(Edit(TProjectEditKind::Translators, current_, {copy}));
  Modified();
  return copy;
}

std::vector<int> TProjectEditor::MoveTranslators(const std::vector<int>& selected, int offset) {
  return MoveRows(false, selected, offset);
}

std::vector<int> TProjectEditor::PasteTranslators(const std::vector<TTransMsgPtr>& translators) {
  if (translators.empty()) return {};
  bool madePreset = false;
  TTransList* preset = TargetPreset(madePreset);
  if (!preset) return {};
  const int first = preset->GetCount();
  std::vector<int> rows;
  try {
    const int added = preset->AddTranslators(translators);
    for (int i = 0; i < added; ++i) rows.push_back(first + i);
  } catch (...) {
    // All or none: what went in before the failure comes out again.
    while (preset->GetCount() > first) preset->DeleteTranslator(preset->GetCount() - 1, true);
    UndoTargetPreset(madePreset);
    throw;
  }
  if (rows.empty()) {
    UndoTargetPreset(madePreset);
    return {};
  }
  if (madePreset) Notify(Edit(TProjectEditKind::Presets, current_, {0}));
  Notify(Edit(TProjectEditKind::Translators, current_, rows));
  Modified();
  return rows;
}

int TProjectEditor::DeleteTranslators(const std::vector<int>& rows) {
  TTransList* preset = CurrentPreset();
  if (!preset || rows.empty()) return -1;
  TProjectEdit edit = Edit(TProjectEditKind::Translators, current_);
  int first = -1;
  for (int row : DeletionOrder(rows)) {
    TTransMsg* translator = preset->GetTranslator(row);
    if (!translator) continue;
    edit.gone.push_back(translator);
    preset->DeleteTranslator(row, true);
    first = row;
  }
  if (edit.gone.empty()) return -1;
  const int next = TranslatorRowAfterDelete(preset->GetCount(), first);
  if (next >= 0) edit.rows = {next};
  Notify(edit);
  Modified();
  return next;
}

void TProjectEditor::ReplaceTranslator(const void* item, TTransMsgPtr translator) {
  TTransList* preset = CurrentPreset();
  const int row = RowOf(item);
  if (!preset || row < 0 || !translator)
    throw Exception("The translator being edited is no longer in the current preset.");
  const TTransMsg* replacement = translator.get();
  preset->ReplaceTranslator(row, std::move(translator));
  TProjectEdit edit = Edit(TProjectEditKind::TranslatorReplaced, current_, {row});
  edit.items = {static_cast<const TTransMsg*>(item)};
  edit.replacement = replacement;
  Notify(edit);
  Modified();
}

}  // namespace kv
