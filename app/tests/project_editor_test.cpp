// The owner of the project's edits: what the lists show, every change and what each view is
// told of it; and the rules it follows: names of new presets, moves and deletions of rows,
// whether the preset properties changed a preset.
#include "app/main_window/project_editor.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/main_window/translator_clipboard.h"
#include "base/exception.h"
#include "base/text.h"
#include "engine/action_registry.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translate_params.h"
#include "midi/model/alias.h"
#include "midi/model/router.h"

namespace kv::test {
namespace {

TTransMsgPtr Make(const std::string& name, const char* in, const char* out, std::string options) {
  RegisterStandardTransActions();
  TTransMsgPtr t = TTransMsg::CreateFromText(in, out, &options);
  t->SetName(name);
  return t;
}

TNameExists NameSet(std::set<std::string> names) {
  return [names = std::move(names)](std::string_view n) {
    for (const auto& name : names)
      if (AnsiSameText(name, n)) return true;
    return false;
  };
}

TEST(PresetNamesTest, NewAndDuplicatedNamesSkipTakenOnes) {
  EXPECT_EQ(NewPresetName(NameSet({})), "New Preset");
  EXPECT_EQ(NewPresetName(NameSet({"new preset", "New Preset 2"})), "New Preset 3");

  EXPECT_EQ(DuplicatePresetName("Drums", NameSet({"Drums"})), "Copy of Drums");
  EXPECT_EQ(DuplicatePresetName("Drums", NameSet({"Copy of Drums", "Copy (2) of Drums"})),
            "Copy (3) of Drums");
  // An earlier copy mark is replaced, not stacked.
  EXPECT_EQ(DuplicatePresetName("Copy (3) of Drums", NameSet({})), "Copy of Drums");
  EXPECT_EQ(DuplicatePresetName("Copy of Drums", NameSet({"Copy of Drums"})), "Copy (2) of Drums");
  EXPECT_EQ(DuplicatePresetName("Copy (50) of Bass", NameSet({})), "Copy of Bass");
  // Only numbers a duplicate could have made are marks.
  EXPECT_EQ(DuplicatePresetName("Copy (51) of Bass", NameSet({})), "Copy of Copy (51) of Bass");
  EXPECT_EQ(DuplicatePresetName("Copy (1) of Bass", NameSet({})), "Copy of Copy (1) of Bass");
  EXPECT_EQ(DuplicatePresetName("Copy (x) of Bass", NameSet({})), "Copy of Copy (x) of Bass");
}

TEST(PresetNamesTest, ChecksAndFileNames) {
  EXPECT_EQ(CheckPresetName("[NONE]", NameSet({})), "You can't name a Preset \"[none]\".");
  EXPECT_EQ(CheckPresetName("", NameSet({})), "This is an invalid name for a Preset");
  EXPECT_EQ(CheckPresetName("drums", NameSet({"Drums"})), "A Preset with this name already exists !");
  EXPECT_EQ(CheckPresetName("Keys", NameSet({"Drums"})), "");
  EXPECT_EQ(CheckTranslatorName(""), "This is no valid name.");
  EXPECT_EQ(PresetTextFileName("a/b\\c*d:e?f\"g<h>i|j"), "abcdefghij.txt");
}

// The rows (a character each) after the planned steps, applied one after the other.
std::string Moved(const std::string& text, const std::vector<int>& selected, int offset) {
  std::string rows = text;
  for (const TRowMove& m : PlanRowMoves(static_cast<int>(rows.size()), selected, offset)) {
    const char row = rows[static_cast<size_t>(m.from)];
    rows.erase(static_cast<size_t>(m.from), 1);
    rows.insert(static_cast<size_t>(m.to), 1, row);
  }
  return rows;
}

TEST(RowMovesTest, SelectedRowsMoveTogetherAndKeepTheirGaps) {
  const std::vector<int> sel{2, 4, 7};
  EXPECT_EQ(Moved("abcdefgh", sel, MoveOffset(TMoveKind::Top, 8, sel)), "caebdhfg");
  const std::vector<int> low{0, 3};
  EXPECT_EQ(Moved("abcdefgh", low, MoveOffset(TMoveKind::Bottom, 8, low)), "bcefaghd");
  EXPECT_EQ(Moved("abcdefgh", {1, 2}, MoveOffset(TMoveKind::Down, 8, {1, 2})), "adbcefgh");
  EXPECT_EQ(Moved("abcdefgh", {1, 2}, MoveOffset(TMoveKind::Up, 8, {1, 2})), "bcadefgh");
  // Up from the first row stops the walk before anything moves.
  EXPECT_TRUE(PlanRowMoves(8, {0, 3}, -1).empty());
  // Down with the last row selected: the walk begins there and stops at once.
  EXPECT_TRUE(PlanRowMoves(8, {3, 7}, 1).empty());
  // The first step's target is the row to scroll into view.
  EXPECT_EQ(PlanRowMoves(8, {5, 6}, 1).front().to, 7);
  EXPECT_EQ(MoveOffset(TMoveKind::Top, 8, {}), 0);
}

// The marks of a row go where its item went: rows 1 and 3 moved down with the focus on 3 leave
// it on 4, not on the last target of the walk (2); a row passed by a move shifts with it.
TEST(RowMovesTest, EachRowsMarksGoWhereItsItemWent) {
  const std::vector<TRowMove> down = PlanRowMoves(5, {1, 3}, 1);
  EXPECT_EQ(RowAfterMoves(3, down), 4);
  EXPECT_EQ(RowAfterMoves(1, down), 2);
  EXPECT_EQ(RowAfterMoves(2, down), 1);  // not selected: passed by row 1
  const std::vector<TRowMove> top = PlanRowMoves(5, {2, 4}, MoveOffset(TMoveKind::Top, 5, {2, 4}));
  EXPECT_EQ(RowAfterMoves(4, top), 2);
  EXPECT_EQ(RowAfterMoves(0, top), 1);
  EXPECT_EQ(RowAfterMoves(-1, top), -1);
}

TEST(RowMovesTest, DropsStayWithinTheList) {
  EXPECT_EQ(DropOffset(8, {2, 3}, 2, 7), 4);   // bottom offset: 7 - 3
  EXPECT_EQ(DropOffset(8, {2, 3}, 3, 0), -2);  // top offset: -2
  EXPECT_EQ(DropOffset(8, {2, 3}, 2, 4), 2);
}

TEST(RowMovesTest, SelectionAfterDeleting) {
  EXPECT_EQ(DeletionOrder({1, 5, 3}), (std::vector<int>{5, 3, 1}));
  EXPECT_EQ(PresetRowAfterDelete(3, 1), 1);
  EXPECT_EQ(PresetRowAfterDelete(2, 2), 1);   // the last row was deleted
  EXPECT_EQ(PresetRowAfterDelete(0, 0), -1);  // the only preset: no current preset left
  EXPECT_EQ(TranslatorRowAfterDelete(5, 2), 2);
  EXPECT_EQ(TranslatorRowAfterDelete(2, 4), 1);
  EXPECT_EQ(TranslatorRowAfterDelete(4, 0), -1);
  EXPECT_EQ(TranslatorRowAfterDelete(0, 0), -1);
}

TEST(RowMovesTest, TheEditorStepsThroughOneRowAtATime) {
  EXPECT_EQ(StepTranslatorRow(4, {}, true), 0);
  EXPECT_EQ(StepTranslatorRow(4, {}, false), 3);
  EXPECT_EQ(StepTranslatorRow(4, {1}, true), 2);
  EXPECT_EQ(StepTranslatorRow(4, {3}, true), -1);
  EXPECT_EQ(StepTranslatorRow(4, {0}, false), -1);
  EXPECT_EQ(StepTranslatorRow(4, {1, 2}, true), -1);
  EXPECT_EQ(StepTranslatorRow(0, {}, true), -1);
}

struct PresetEditsTest : ::testing::Test {
  TGlobalTranslateParams params;
  TMidiRouter router{MidiAliasManager()};
  TPresetHandler project{&params, {}, {}, {}, {}, &router};
  TMidiAlias* in = MidiAliasManager().Lookup("Edits Keys", makMidiIn, true);
  TMidiAlias* synth = MidiAliasManager().Lookup("Edits Synth", makMidiOut, true);
  TMidiAlias* drums = MidiAliasManager().Lookup("Edits Drums", makMidiOut, true);

  static TMidiAliasList List(std::initializer_list<TMidiAlias*> aliases) {
    TMidiAliasList list;
    for (TMidiAlias* alias : aliases) list.Add(alias);
    return list;
  }
};

TEST_F(PresetEditsTest, ActivationAndNamesAreNoEditsOfTheDialog) {
  TTransList& preset = project.NewPreset();
  const TPresetEditWatch watch(preset);
  preset.SetActive(!preset.Active());
  EXPECT_FALSE(watch.Changed(project));
  // Setting what is already there changes nothing either.
  preset.SetPresetSwitchIgnore(preset.PresetSwitchIgnore());
  preset.SetDefaultOutPorts(nullptr);
  EXPECT_FALSE(watch.Changed(project));
}

TEST_F(PresetEditsTest, SwitchingOptionAndEachPortListCount) {
  TTransList& preset = project.NewPreset();
  {
    const TPresetEditWatch watch(preset);
    preset.SetPresetSwitchIgnore(!preset.PresetSwitchIgnore());
    EXPECT_TRUE(watch.Changed(project));
  }
  {
    const TPresetEditWatch watch(preset);
    const TMidiAliasList ports = List({in});
    preset.SetDefaultInPorts(&ports);
    EXPECT_TRUE(watch.Changed(project));
  }
  {
    const TPresetEditWatch watch(preset);
    const TMidiAliasList ports = List({synth, drums});
    preset.SetDefaultOutPorts(&ports);
    EXPECT_TRUE(watch.Changed(project));
  }
  {
    // Back to what it was: the file would be written the same.
    const TPresetEditWatch watch(preset);
    const TMidiAliasList other = List({drums});
    preset.SetDefaultOutPorts(&other);
    const TMidiAliasList same = List({synth, drums});
    preset.SetDefaultOutPorts(&same);
    EXPECT_FALSE(watch.Changed(project));
  }
}

TEST_F(PresetEditsTest, APresetThatLeftTheProjectIsNotRead) {
  project.NewPreset();
  TTransList& second = project.NewPreset();
  const TPresetEditWatch watch(second);
  second.SetPresetSwitchIgnore(!second.PresetSwitchIgnore());
  project.DeletePreset(1);
  // The watch must not read the preset after it went (the sanitizer would see it).
  EXPECT_FALSE(watch.Changed(project));
}


// The owner of the project's edits, with the views it tells.
struct ProjectEditorTest : ::testing::Test, TProjectEditorView {
  TGlobalTranslateParams params;
  TMidiRouter router{MidiAliasManager()};
  TPresetHandler project{&params, {}, {}, {}, {}, &router};
  TProjectEditor editor{[this] { return &project; }};
  std::vector<TProjectEdit> edits;
  int modified = 0;

  ProjectEditorTest() {
    RegisterStandardTransActions();
    editor.AddView(*this);
    editor.onModified = [this] { ++modified; };
  }
  void ProjectEdited(const TProjectEdit& edit) override { edits.push_back(edit); }

  // A preset of translators with those names, current.
  void Preset(const std::string& name, std::initializer_list<const char*> translators) {
    project.AddPresetNamed(name);
    TTransList* preset = project.GetPreset(project.FindPreset(name));
    for (const char* t : translators) preset->AddTranslator(TTransMsg::Create(t));
    editor.SetCurrentPreset(project.FindPreset(name));
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int row = 0; row < editor.TranslatorCount(); ++row)
      names.push_back(editor.TranslatorText(row, 0));
    return names;
  }
  const TProjectEdit& Last() const { return edits.back(); }
  void Forget() {
    edits.clear();
    modified = 0;
  }
};

TEST_F(ProjectEditorTest, RowsAreReadFromTheProject) {
  Preset("", {"A", "B"});
  EXPECT_EQ(editor.PresetText(0, 0), "(unnamed)");
  EXPECT_EQ(editor.PresetText(0, 1), "0");
  EXPECT_EQ(editor.TranslatorText(1, 0), "B");
  EXPECT_EQ(editor.TranslatorText(1, 1), "1");
  EXPECT_TRUE(editor.TranslatorChecked(1));
  EXPECT_EQ(editor.TranslatorText(2, 0), "");  // past the end: nothing, no failure
  EXPECT_EQ(editor.RowOf(project.GetPreset(0)->GetTranslator(1)), 1);
  EXPECT_EQ(Last().kind, TProjectEditKind::CurrentPreset);
  const void* b = project.GetPreset(0)->GetTranslator(1);
  EXPECT_TRUE(editor.Holds(b));
  // Another project: no preset is current, and the translators are no longer held.
  project.ClearProject();
  editor.ProjectReplaced();
  EXPECT_EQ(editor.CurrentPresetIndex(), -1);
  EXPECT_EQ(Last().kind, TProjectEditKind::Presets);
  EXPECT_FALSE(editor.Holds(b));
  Preset("Again", {"C"});
  editor.SetCurrentPreset(5);
  EXPECT_EQ(editor.CurrentPresetIndex(), -1);
  EXPECT_EQ(editor.TranslatorCount(), 0);
  EXPECT_EQ(modified, 0);  // choosing a preset is no edit
}

TEST_F(ProjectEditorTest, ActivationAndNamesChangeTheTranslatorsAndTellTheViews) {
  Preset("P", {"A", "B", "C"});
  TTransMsg* b = project.GetPreset(0)->GetTranslator(1);
  Forget();
  editor.SetTranslatorsActive({0, 1}, false);
  EXPECT_FALSE(b->Active());
  EXPECT_FALSE(editor.TranslatorChecked(0));
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(Last().kind, TProjectEditKind::TranslatorsActivated);
  EXPECT_EQ(Last().rows, (std::vector<int>{0, 1}));
  EXPECT_EQ(Last().items[1], b);
  EXPECT_FALSE(Last().active);
  // Rows already so are no change.
  editor.SetTranslatorsActive({1}, false);
  EXPECT_EQ(modified, 1);

  EXPECT_EQ(editor.RenameTranslator(b, ""), "This is no valid name.");
  EXPECT_EQ(b->Name(), "B");
  EXPECT_EQ(editor.RenameTranslator(b, "Bee"), "");
  EXPECT_EQ(b->Name(), "Bee");
  EXPECT_EQ(Last().kind, TProjectEditKind::TranslatorRenamed);
  EXPECT_EQ(Last().rows, std::vector<int>{1});
  EXPECT_EQ(Last().items, (std::vector<const TTransMsg*>{b}));
  EXPECT_EQ(Last().name, "Bee");
  EXPECT_EQ(modified, 2);

  // The editor's Apply: in place of the item while it is in the current preset.
  TTransMsgPtr applied = TTransMsg::Create("Applied");
  const TTransMsg* replacement = applied.get();
  editor.ReplaceTranslator(b, std::move(applied));
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", "Applied", "C"}));
  EXPECT_EQ(Last().kind, TProjectEditKind::TranslatorReplaced);
  EXPECT_EQ(Last().replacement, replacement);
  EXPECT_THROW(editor.ReplaceTranslator(b, TTransMsg::Create("Late")), Exception);
  EXPECT_EQ(modified, 3);
}

TEST_F(ProjectEditorTest, RowsComeAndGoWithTheirTranslators) {
  // Nothing to paste into a project without presets: the preset made for it goes again.
  EXPECT_TRUE(editor.PasteTranslators({nullptr}).empty());
  EXPECT_EQ(project.GetPresetCount(), 0);
  EXPECT_EQ(modified, 0);
  // Adding to a project without presets makes the preset first.
  EXPECT_EQ(editor.AddTranslator(-1), 0);
  ASSERT_EQ(project.GetPresetCount(), 1);
  EXPECT_EQ(editor.CurrentPresetIndex(), 0);
  EXPECT_EQ(editor.PresetText(0, 0), "(unnamed)");
  EXPECT_TRUE(editor.PresetChecked(0));
  EXPECT_EQ(edits[0].kind, TProjectEditKind::Presets);
  EXPECT_EQ(Last().kind, TProjectEditKind::Translators);
  EXPECT_EQ(Last().rows, std::vector<int>{0});
  // After the item index; at the start without one.
  editor.RenameTranslator(editor.Translator(0).get(), "First");
  EXPECT_EQ(editor.AddTranslator(0), 1);
  EXPECT_EQ(editor.AddTranslator(-1), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"New Translator", "First", "New Translator"}));
  EXPECT_EQ(editor.DuplicateTranslator(1), 2);
  EXPECT_EQ(editor.TranslatorText(2, 0), "First");
  EXPECT_NE(editor.Translator(2), editor.Translator(1));
  // A translator the preset refuses to take (no name) changes nothing and marks nothing.
  const int marked = modified;
  editor.Translator(0)->SetName("");
  EXPECT_EQ(editor.DuplicateTranslator(0), -1);
  EXPECT_EQ(editor.TranslatorCount(), 4);
  EXPECT_EQ(modified, marked);
  editor.Translator(0)->SetName("New Translator");

  // Moves: the rows they went to; the first is scrolled to.
  Forget();
  EXPECT_EQ(editor.MoveTranslators({2, 3}, -2), (std::vector<int>{0, 1}));
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"First", "New Translator", "New Translator", "First"}));
  EXPECT_EQ(modified, 1);
  EXPECT_TRUE(editor.MoveTranslators({0}, -1).empty());

  // Deleting tells which translators went, and the row after.
  const TTransMsg* first = editor.Translator(0).get();
  Forget();
  EXPECT_EQ(editor.DeleteTranslators({0, 2}), -1);
  EXPECT_EQ(Last().gone.size(), 2u);
  EXPECT_EQ(Last().gone.back(), first);
  EXPECT_EQ(editor.DeleteTranslators({1}), -1);
  EXPECT_EQ(modified, 2);
}

TEST_F(ProjectEditorTest, PasteGoesToTheCurrentPresetAndNeverToAnUnchosenOne) {
  project.AddPresetNamed("A");
  project.AddPresetNamed("B");
  auto clip = WriteTranslatorClip({{0, Make("X", "MID1903C7F", "None", "").get()},
                                   {1, Make("Y", "MID1903C7F", "None", "").get()}});
  auto pasted = ReadTranslatorClip(clip.blocks.data(), clip.blocks.size());
  editor.SetCurrentPreset(-1);  // several presets selected
  EXPECT_TRUE(editor.PasteTranslators(pasted).empty());
  EXPECT_EQ(editor.AddTranslator(-1), -1);
  EXPECT_EQ(project.GetPresetCount(), 2);
  EXPECT_EQ(project.GetPreset(0)->GetCount() + project.GetPreset(1)->GetCount(), 0);
  EXPECT_EQ(modified, 0);

  editor.SetCurrentPreset(1);
  EXPECT_EQ(editor.PasteTranslators(pasted), (std::vector<int>{0, 1}));
  EXPECT_EQ(project.GetPreset(1)->GetTranslator(1)->Name(), "Y");
  EXPECT_EQ(Last().rows, (std::vector<int>{0, 1}));
  EXPECT_EQ(modified, 1);
}

TEST_F(ProjectEditorTest, PresetsAreAddedRenamedMovedAndDeleted) {
  EXPECT_EQ(editor.NewPreset(), 0);
  EXPECT_EQ(editor.NewPreset(), 1);
  EXPECT_EQ(editor.PresetText(1, 0), "New Preset 2");
  EXPECT_TRUE(editor.PresetChecked(1));
  TTransList* second = project.GetPreset(1);
  EXPECT_EQ(editor.RenamePreset(second, "new preset"), "A Preset with this name already exists !");
  EXPECT_EQ(editor.RenamePreset(second, "Drums"), "");
  EXPECT_EQ(Last().kind, TProjectEditKind::PresetRows);
  editor.SetCurrentPreset(1);
  EXPECT_EQ(editor.DuplicateName(), "Copy of Drums");
  EXPECT_EQ(editor.DuplicatePreset("Copy of Drums"), 2);
  EXPECT_EQ(modified, 4);

  // Activation is not marked.
  editor.SetPresetActive(0, false);
  EXPECT_FALSE(editor.PresetChecked(0));
  EXPECT_EQ(modified, 4);

  // The current preset follows its row.
  editor.AddTranslator(-1);
  EXPECT_EQ(editor.MovePresets({1}, -1), std::vector<int>{0});
  EXPECT_EQ(editor.PresetText(0, 0), "Drums");
  EXPECT_EQ(editor.CurrentPresetIndex(), 0);
  EXPECT_EQ(editor.TranslatorCount(), 1);

  // Deleting a preset tells which translators went with it.
  const TTransMsg* gone = editor.Translator(0).get();
  EXPECT_EQ(editor.DeletePresets({0, 2}), 0);
  EXPECT_EQ(Last().kind, TProjectEditKind::Presets);
  EXPECT_EQ(Last().gone, (std::vector<const TTransMsg*>{gone}));
  EXPECT_EQ(editor.CurrentPresetIndex(), -1);
  EXPECT_EQ(editor.PresetNames(), std::vector<std::string>{"New Preset"});
}

// A rename ends after the lists may have moved on: it lands on the translator or preset it
// began on, wherever that is by then, and nowhere once it is gone.
TEST_F(ProjectEditorTest, RenamesLandOnWhatTheyBeganOn) {
  Preset("A", {"A-zero", "A-one"});
  Preset("B", {"B-zero"});
  const std::shared_ptr<TTransList> a = editor.PresetRef(0);
  ASSERT_EQ(a.get(), project.GetPreset(0));
  EXPECT_EQ(editor.PresetRef(2), nullptr);
  TTransMsg* aZero = project.GetPreset(0)->GetTranslator(0);
  Forget();
  // B is current: A's translator is renamed, and B's rows are not the ones told.
  EXPECT_EQ(editor.RenameTranslator(aZero, "NEWNAME"), "");
  EXPECT_EQ(aZero->Name(), "NEWNAME");
  EXPECT_EQ(Names(), std::vector<std::string>{"B-zero"});
  EXPECT_EQ(Last().preset, 0);
  EXPECT_TRUE(Last().rows.empty());
  EXPECT_EQ(Last().items, (std::vector<const TTransMsg*>{aZero}));

  // A preset that moved is renamed on its new row.
  editor.MovePresets({0}, 1);
  Forget();
  EXPECT_EQ(editor.RenamePreset(a.get(), "Moved"), "");
  EXPECT_EQ(editor.PresetText(1, 0), "Moved");
  EXPECT_EQ(Last().rows, std::vector<int>{1});

  // Gone: nothing is renamed, nothing marked.
  editor.DeletePresets({1});
  Forget();
  EXPECT_EQ(editor.RenamePreset(a.get(), "Late"), "");
  EXPECT_EQ(editor.RenameTranslator(aZero, "Late"), "");
  EXPECT_EQ(editor.PresetNames(), std::vector<std::string>{"B"});
  EXPECT_TRUE(edits.empty());
  EXPECT_EQ(modified, 0);
}

TEST_F(ProjectEditorTest, TimerNamesAreTheProjects) {
  EXPECT_TRUE(editor.TimerNames().empty());
  project.AddTimerName("Pulse", 7);
  EXPECT_EQ(editor.TimerNames(), std::vector<std::string>{"Pulse"});
  TProjectEditor none{[] { return static_cast<TPresetHandler*>(nullptr); }};
  EXPECT_TRUE(none.TimerNames().empty());
  EXPECT_EQ(none.AddTranslator(-1), -1);
}

}  // namespace
}  // namespace kv::test
