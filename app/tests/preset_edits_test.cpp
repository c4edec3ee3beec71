// Whether the preset properties dialog changed a preset: only what the project file keeps
// counts, activation does not, and a preset that left the project is not looked at.
#include "app/preset_edits.h"

#include <gtest/gtest.h>

#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translate_params.h"
#include "midi/alias.h"
#include "midi/router.h"

namespace kv::test {
namespace {

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

}  // namespace
}  // namespace kv::test
