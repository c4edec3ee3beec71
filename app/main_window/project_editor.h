#pragma once
// TProjectEditor: the one owner of the open project's edits. The main window's lists, the
// translator editor and the dialogs show the project; none of them changes it. Every change
// goes through here and every view hears of it through TProjectEditorView::ProjectEdited,
// saying what kind of change it was, in which preset and on which rows. The rows the lists
// show are read from here too (PresetText, TranslatorText, ...), so a list need keep no copy
// of a translator's texts.
//
// Also here, the rules the edits follow: the names new and duplicated presets get, where
// moved and deleted rows go, and whether the preset properties changed a preset.
//
// Main thread only; each change takes the preset's own lock through the project.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/translator.h"

namespace kv {

class TMidiAlias;
class TPresetHandler;
class TTransList;

// --- names -----------------------------------------------------------------------------------
// True when a preset of that name exists.
using TNameExists = std::function<bool(std::string_view name)>;

inline constexpr const char* kNewPresetName = "New Preset";
inline constexpr const char* kNewTranslatorName = "New Translator";
inline constexpr const char* kNoPresetName = "[none]";

// "New Preset", else "New Preset 2", "New Preset 3", ...
std::string NewPresetName(const TNameExists& exists);
// "Copy of " + the name without an earlier "Copy of " or "Copy (n) of " (n 2..50), else
// "Copy (2) of " + that, "Copy (3) of " + that, ...
std::string DuplicatePresetName(std::string_view name, const TNameExists& exists);
// The error text a preset name gives, empty when the name may be used. exists must not count
// the preset being renamed.
std::string CheckPresetName(std::string_view name, const TNameExists& exists);
// The error text an in-place translator rename gives, empty when the name may be used.
std::string CheckTranslatorName(std::string_view name);
// The proposed text-file name of a preset: its name without / \ * : ? " < > | and ".txt".
std::string PresetTextFileName(std::string_view presetName);

// --- moving and deleting rows ----------------------------------------------------------------
enum class TMoveKind { Up, Down, Top, Bottom };

// One step of a move: the row at from goes to to (the rows between shift by one).
struct TRowMove {
  int from = 0;
  int to = 0;
};

// The offset of a move of the selected rows (sorted, inside 0..count-1); 0 with no selection.
int MoveOffset(TMoveKind kind, int count, const std::vector<int>& selected);
// The steps that move each selected row by offset, applied one after the other: from the top
// row for offset <= 0, from the bottom row for offset > 0, stopping at the first target
// outside the list. The first step's target is the row to scroll into view.
std::vector<TRowMove> PlanRowMoves(int count, std::vector<int> selected, int offset);
// Where the row's item is once the steps have run: a moved row at its target, a row passed
// by a move one further up or down. Each moved row takes its own selected and focused marks
// there. -1 stays -1.
int RowAfterMoves(int row, const std::vector<TRowMove>& moves);
// Drag and drop moves the selection by (drop row - drag row), kept within the Top and Bottom
// offsets.
int DropOffset(int count, const std::vector<int>& selected, int dragRow, int dropRow);

// The selected rows in the order they are deleted (bottom up).
std::vector<int> DeletionOrder(std::vector<int> selected);
// The preset row selected after deleting: the last deleted (topmost) index, clamped to the
// rows left; -1 when none is left.
int PresetRowAfterDelete(int countAfter, int topmostDeleted);
// The translator row that becomes the item index after deleting: the first deleted index
// clamped to the last row, when that is above 0; -1 (no row) otherwise.
int TranslatorRowAfterDelete(int countAfter, int firstDeleted);

// The row the editor's next (or previous) command selects: one row on from the single selected
// row, the first (or last) row when none is selected; -1 when the selection stays.
int StepTranslatorRow(int count, const std::vector<int>& selected, bool forward);

// --- the preset properties dialog ------------------------------------------------------------
// Whether the preset properties dialog changed a preset. The preset's own change notice does
// not tell: it also comes with every activation, which is no change of the project, so the
// main window compares what the dialog edits before and after. Main thread only.


class TMidiAlias;
class TPresetHandler;
class TTransList;

class TPresetEditWatch {
 public:
  // Takes what the dialog edits of the preset now.
  explicit TPresetEditWatch(const TTransList& preset);
  // True when the preset is still in the project and its switching option or either list of
  // default ports differs from what was taken (the lists' order counts: it is stored).
  bool Changed(const TPresetHandler& project) const;

 private:
  struct TEdited {
    bool switchIgnore = false;
    std::vector<TMidiAlias*> inPorts;
    std::vector<TMidiAlias*> outPorts;
    bool operator==(const TEdited&) const = default;
  };
  static TEdited Take(const TTransList& preset);

  const TTransList* preset_;
  TEdited before_;
};

// --- the owner of the edits ------------------------------------------------------------------

// What changed. Rows are the rows as they are after the change.
enum class TProjectEditKind {
  // The preset list as a whole: presets came, went or moved, or another project is shown.
  Presets,
  // These preset rows show other texts or check marks.
  PresetRows,
  // Another preset is the current one: the translator list shows it.
  CurrentPreset,
  // The current preset's translators as a whole: rows came, went or moved. gone holds the
  // translators that left the project.
  Translators,
  // The translators in items were switched on or off (active).
  TranslatorsActivated,
  // The translator in items was renamed (name).
  TranslatorRenamed,
  // The translator in items was replaced by replacement (the editor's Apply).
  TranslatorReplaced,
};

struct TProjectEdit {
  TProjectEditKind kind = TProjectEditKind::Presets;
  int preset = -1;  // the preset concerned, or -1
  std::vector<int> rows;
  std::vector<const TTransMsg*> items;
  std::vector<const TTransMsg*> gone;
  const TTransMsg* replacement = nullptr;
  bool active = false;
  std::string name;
};

// A view of the project: told of every change after it is made. A view must not change the
// project from inside ProjectEdited.
class TProjectEditorView {
 public:
  virtual ~TProjectEditorView() = default;
  virtual void ProjectEdited(const TProjectEdit& edit) = 0;
};

class TProjectEditor {
 public:
  // The project now shown; none while the program has no engine.
  using TProjectSource = std::function<TPresetHandler*()>;

  explicit TProjectEditor(TProjectSource project);
  TProjectEditor(const TProjectEditor&) = delete;
  TProjectEditor& operator=(const TProjectEditor&) = delete;

  // Views stay registered until removed; each must outlive its registration.
  void AddView(TProjectEditorView& view);
  void RemoveView(TProjectEditorView& view);
  // Called once after every change the project file keeps (the modified mark).
  std::function<void()> onModified;

  TPresetHandler* Project() const;
  int CurrentPresetIndex() const { return current_; }
  TTransList* CurrentPreset() const;

  // --- what the rows show --------------------------------------------------------------------
  int PresetCount() const;
  // Column 0 the name ("(unnamed)" when empty), 1 the row number.
  std::string PresetText(int row, int column) const;
  bool PresetChecked(int row) const;
  int TranslatorCount() const;
  // Columns: name, row number, incoming and outgoing description (short ones with friendly
  // descriptions), options.
  std::string TranslatorText(int row, int column) const;
  bool TranslatorChecked(int row) const;
  void SetFriendlyDescriptions(bool friendly) { friendly_ = friendly; }
  TTransMsgPtr Translator(int row) const;
  // The row of that translator in the current preset, or -1.
  int RowOf(const void* translator) const;
  // True when a preset of the project holds that translator.
  bool Holds(const void* translator) const;
  std::vector<std::string> PresetNames() const;
  std::vector<std::string> TimerNames() const;

  // --- the current preset --------------------------------------------------------------------
  // -1 for none; a row outside the list is none.
  void SetCurrentPreset(int row);
  // Another project is shown (opened, merged, closed): no preset is current until chosen.
  void ProjectReplaced();

  // --- presets -------------------------------------------------------------------------------
  // Activation is no change of the project file's contents the user made: no modified mark.
  void SetPresetActive(int row, bool active);
  // The preset on the row, or none; held by an edit begun on it, which ends on that preset
  // wherever its row is by then.
  std::shared_ptr<TTransList> PresetRef(int row) const;
  // The error text, empty when renamed (or the name is the same, or the project no longer
  // holds the preset: the name then goes nowhere).
  std::string RenamePreset(const TTransList* preset, const std::string& name);
  // A new active preset "New Preset" (2, 3, ...); its row. Throws when it cannot be added.
  int NewPreset();
  // The name the current preset's copy gets; empty when the user must be asked (no current
  // preset or it has no name).
  std::string DuplicateName() const;
  // A copy of the current preset under the name, or a new preset of that name when there is
  // no current preset; its row. Throws when it cannot be added.
  int DuplicatePreset(const std::string& name);
  // Deletes the rows; the row to select afterwards (-1 none). The current preset is none.
  int DeletePresets(const std::vector<int>& rows);
  // Moves the selected rows by offset; the rows they went to, in the order they moved (the
  // first is the row to scroll into view).
  std::vector<int> MovePresets(const std::vector<int>& selected, int offset);

  // --- translators of the current preset -----------------------------------------------------
  // The rows whose translators were switched.
  void SetTranslatorsActive(const std::vector<int>& rows, bool active);
  // Renames the translator in whichever preset holds it: a rename begun on it ends there, even
  // when another preset is current by then. The error text, empty when renamed (or the name
  // was the same, or no preset holds it any more). The notice has its row only while its
  // preset is the current one.
  std::string RenameTranslator(const void* translator, const std::string& name);
  // "New Translator" after itemIndex (at the start for -1); when the project has no presets an
  // active preset "(unnamed)" becomes current first. Its row, or -1.
  int AddTranslator(int itemIndex);
  // A clone right after the row; its row, or -1.
  int DuplicateTranslator(int row);
  std::vector<int> MoveTranslators(const std::vector<int>& selected, int offset);
  // Appended at the end of the current preset (a new "(unnamed)" one when the project has no
  // presets; none while presets exist but none is current). Their rows.
  std::vector<int> PasteTranslators(const std::vector<TTransMsgPtr>& translators);
  // Deletes the rows; the row to become the item index afterwards (-1 none).
  int DeleteTranslators(const std::vector<int>& rows);
  // Puts the translator in place of item's. Throws kv::Exception when item is not in the
  // current preset.
  void ReplaceTranslator(const void* item, TTransMsgPtr translator);

 private:
  // The preset and row that hold the translator; false when no preset holds it.
  bool Locate(const void* translator, int& preset, int& row) const;
  // The preset that receives new translators, made when the project has none (then
  // madePreset is set). None while presets exist but none is current.
  TTransList* TargetPreset(bool& madePreset);
  // Takes back a preset made for translators that could not be added.
  void UndoTargetPreset(bool madePreset);
  void Notify(const TProjectEdit& edit);
  void Modified();
  std::vector<int> MoveRows(bool presets, const std::vector<int>& selected, int offset);

  TProjectSource project_;
  std::vector<TProjectEditorView*> views_;
  int current_ = -1;
  bool friendly_ = false;
};

}  // namespace kv
