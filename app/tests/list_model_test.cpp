// The lists' rules without a window: preset names, moves and deletions of selected rows, the
// enabled state of the commands, the options column and the title.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/main_commands.h"
#include "app/preset_names.h"
#include "app/row_moves.h"
#include "base/text.h"
#include "engine/action_registry.h"
#include "engine/translator.h"

namespace kv::test {
namespace {

TNameExists Names(std::set<std::string> names) {
  return [names = std::move(names)](std::string_view n) {
    for (const auto& name : names)
      if (AnsiSameText(name, n)) return true;
    return false;
  };
}

TEST(PresetNamesTest, NewAndDuplicatedNamesSkipTakenOnes) {
  EXPECT_EQ(NewPresetName(Names({})), "New Preset");
  EXPECT_EQ(NewPresetName(Names({"new preset", "New Preset 2"})), "New Preset 3");

  EXPECT_EQ(DuplicatePresetName("Drums", Names({"Drums"})), "Copy of Drums");
  EXPECT_EQ(DuplicatePresetName("Drums", Names({"Copy of Drums", "Copy (2) of Drums"})),
            "Copy (3) of Drums");
  // An earlier copy mark is replaced, not stacked.
  EXPECT_EQ(DuplicatePresetName("Copy (3) of Drums", Names({})), "Copy of Drums");
  EXPECT_EQ(DuplicatePresetName("Copy of Drums", Names({"Copy of Drums"})), "Copy (2) of Drums");
  EXPECT_EQ(DuplicatePresetName("Copy (50) of Bass", Names({})), "Copy of Bass");
  // Only numbers a duplicate could have made are marks.
  EXPECT_EQ(DuplicatePresetName("Copy (51) of Bass", Names({})), "Copy of Copy (51) of Bass");
  EXPECT_EQ(DuplicatePresetName("Copy (1) of Bass", Names({})), "Copy of Copy (1) of Bass");
  EXPECT_EQ(DuplicatePresetName("Copy (x) of Bass", Names({})), "Copy of Copy (x) of Bass");
}

TEST(PresetNamesTest, ChecksAndFileNames) {
  EXPECT_EQ(CheckPresetName("[NONE]", Names({})), "You can't name a Preset \"[none]\".");
  EXPECT_EQ(CheckPresetName("", Names({})), "This is an invalid name for a Preset");
  EXPECT_EQ(CheckPresetName("drums", Names({"Drums"})), "A Preset with this name already exists !");
  EXPECT_EQ(CheckPresetName("Keys", Names({"Drums"})), "");
  EXPECT_EQ(CheckTranslatorName(""), "This is no valid name.");
  EXPECT_EQ(PresetTextFileName("a/b\\c*d:e?f\"g<h>i|j"), "abcdefghij.txt");
}

std::string Moved(const std::string& text, const std::vector<int>& selected, int offset) {
  std::vector<char> rows(text.begin(), text.end());
  ApplyRowMoves(rows, PlanRowMoves(static_cast<int>(rows.size()), selected, offset));
  return {rows.begin(), rows.end()};
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

TEST(MainCommandsTest, TranslatorsNeedSomewhereToGo) {
  TCommandState s;
  s.clipboardHasTranslators = true;
  // No presets: a preset "(unnamed)" will be made for them.
  EXPECT_TRUE(CommandEnabled(TMainCommand::AddTrans, s));
  EXPECT_TRUE(CommandEnabled(TMainCommand::PasteTrans, s));
  // Presets but none current (several selected, or none): nowhere to put them.
  s.presetCount = 3;
  s.selectedPresets = 2;
  EXPECT_FALSE(CommandEnabled(TMainCommand::AddTrans, s));
  EXPECT_FALSE(CommandEnabled(TMainCommand::PasteTrans, s));
  s.selectedPresets = 1;
  s.currentPreset = 1;
  EXPECT_TRUE(CommandEnabled(TMainCommand::AddTrans, s));
  EXPECT_TRUE(CommandEnabled(TMainCommand::PasteTrans, s));
  s.clipboardHasTranslators = false;
  EXPECT_FALSE(CommandEnabled(TMainCommand::PasteTrans, s));
  EXPECT_TRUE(CommandEnabled(TMainCommand::EditTrans, s));
}

TEST(MainCommandsTest, SelectionCountsEnableTheRest) {
  TCommandState s;
  s.presetCount = 2;
  s.selectedPresets = 1;
  s.selectedPresetReal = false;
  EXPECT_TRUE(CommandEnabled(TMainCommand::PresetDuplicate, s));
  EXPECT_FALSE(CommandEnabled(TMainCommand::PresetRename, s));
  EXPECT_FALSE(CommandEnabled(TMainCommand::PresetDelete, s));
  s.selectedPresets = 2;
  EXPECT_TRUE(CommandEnabled(TMainCommand::PresetDelete, s));
  EXPECT_FALSE(CommandEnabled(TMainCommand::PresetDuplicate, s));
  EXPECT_FALSE(CommandEnabled(TMainCommand::PresetProperties, s));
  EXPECT_FALSE(CommandEnabled(TMainCommand::DeleteTrans, s));
  s.selectedTranslators = 2;
  EXPECT_TRUE(CommandEnabled(TMainCommand::CutTrans, s));
  EXPECT_FALSE(CommandEnabled(TMainCommand::RenameTrans, s));
  EXPECT_TRUE(CommandEnabled(TMainCommand::TrayPresets, s));
  s.presetCount = 1;
  EXPECT_FALSE(CommandEnabled(TMainCommand::TrayPresets, s));
  EXPECT_TRUE(CommandEnabled(TMainCommand::FileOpenMerge, s));
}

TEST(MainCommandsTest, DeleteQuestionsFollowTheSelection) {
  EXPECT_EQ(PresetDeleteText(0, ""), "Please select a Preset to delete.");
  EXPECT_EQ(PresetDeleteText(1, "100%"),
            "Are you sure to delete Preset \"100%\" ?\r\nThis can't be undone later !");
  EXPECT_EQ(PresetDeleteText(3, "x"),
            "Are you sure you want to delete these 3 presets?\r\nThis can't be undone later !");
  EXPECT_EQ(TranslatorDeleteText(1, "Kick"), "Are you sure to delete Translator \"Kick\" ?");
  EXPECT_EQ(TranslatorDeleteText(2, "Kick"), "Are you sure to delete these 2 Translators ?");
}

TEST(MainCommandsTest, OptionsColumnAndTitle) {
  RegisterStandardTransActions();
  const std::string options = "Actv01Stop01OutO01";
  auto midi = TTransMsg::CreateFromText("MID1903C7F", "MID1903C7F", &options);
  EXPECT_EQ(TranslatorOptionsText(*midi), "stop, thru");
  // Letting the message through is shown only where the outgoing action is MIDI.
  auto none = TTransMsg::CreateFromText("MID1903C7F", "None", &options);
  EXPECT_EQ(TranslatorOptionsText(*none), "stop");

  EXPECT_FALSE(ProjectIsChanged(true, "", 0));
  EXPECT_TRUE(ProjectIsChanged(true, "", 1));
  EXPECT_EQ(MainWindowTitle("Zarn's Korvanta Pro", "C:\\Shows\\Live.kvxp", true),
            "Zarn's Korvanta Pro * Live.kvxp");
  EXPECT_EQ(MainWindowTitle("Zarn's Korvanta Pro", "C:\\Shows\\Live.kvxp", false),
            "Zarn's Korvanta Pro - Live.kvxp");
  EXPECT_EQ(MainWindowTitle("Zarn's Korvanta Pro", "", true), "Zarn's Korvanta Pro * ");
  EXPECT_EQ(MainWindowTitle("Zarn's Korvanta Pro", "", false), "Zarn's Korvanta Pro");
}

}  // namespace
}  // namespace kv::test
