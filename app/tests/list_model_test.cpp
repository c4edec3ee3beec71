// The lists' rules without a window: the enabled state of the commands, the options column
// and the title.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/main_window/main_commands.h"
#include "base/text.h"
#include "engine/action_registry.h"
#include "engine/translator.h"

namespace kv::test {
namespace {

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
  EXPECT_TRUE(CommandEnabled(TMainCommand::EditTrans, s));  // the editor shows, empty
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
