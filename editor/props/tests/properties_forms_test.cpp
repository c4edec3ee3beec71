#include "editor/props/properties_forms.h"

#include <gtest/gtest.h>

#include "app/controller/controller.h"
#include "base/ini_file.h"
#include "base/settings_key.h"
#include "base/settings_registry.h"
#include "editor/props/router_page.h"
#include "editor/props/tests/props_test_support.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translate_params.h"
#include "midi/model/router.h"

namespace kv {
namespace {

class PropertiesFormsTest : public ::testing::Test {
 protected:
  PropertiesFormsTest() {
    aliases().ClearAliases();
    aliases().AddAlias("Keys", "", makMidiIn, false);
    aliases().AddAlias("Pads", "", makMidiIn, false);
    aliases().AddAlias("Synth", "", makMidiOut, false);
  }
  ~PropertiesFormsTest() override { aliases().ClearAliases(); }
  static TMidiAliasManager& aliases() { return MidiAliasManager(); }
  static TMidiAlias* In(const char* name) { return aliases().Lookup(name, makMidiIn, false); }
  static TMidiAlias* Out(const char* name) { return aliases().Lookup(name, makMidiOut, false); }
  const TMidiAliasList* ListOf(TMidiAlias* alias) {
    list_.Clear();
    list_.Add(alias);
    return &list_;
  }
  TMidiAliasList list_;
  std::shared_ptr<TMemIniFile> Key() { return registry.Key(GetSettingsRegKey(false)); }

  TMemorySettingsRegistry registry;
  TScopedSettingsRegistry registryScope{registry};
  test::TScriptedMessages messages;
  TGlobalTranslateParams params;
  TMidiRouter router{aliases()};
  TPresetHandler project{&params, {}, {}, {}, {}, &router};
  TSetupRouterFrame routerFrame{aliases(), router, messages};
};

TEST_F(PropertiesFormsTest, StoredSplitterRatioIsClampedAndWrittenBackClamped) {
  for (auto [stored, share, written] : {std::tuple{50, 100, 100}, {950, 900, 900}, {333, 333, 333}}) {
    Key()->WriteInteger("ProjectPropertiesWindow", kAliasSplitterRatioKey, stored);
    TProjectPropertiesForm form(messages, aliases(), routerFrame);
    form.Create();
    form.SetProject(&project);
    form.Show();
    TSetupDefaultPortsFrame& frame = form.GetDefaultPortsFrame();
    frame.Resize(1000);
    EXPECT_EQ(frame.LeftWidth(), share);
    form.Close(TModalResult::None);
    EXPECT_EQ(Key()->ReadInteger("ProjectPropertiesWindow", kAliasSplitterRatioKey, 0), written);
  }
}

TEST_F(PropertiesFormsTest, SplitterRoundsHalvesToEvenAndIgnoresAnUnlaidFrame) {
  TSetupDefaultPortsFrame frame(aliases());
  frame.SplitterMoved(40);  // no width yet: nothing to divide by
  EXPECT_EQ(frame.SplitterRatio(), 500);
  frame.Resize(101);
  EXPECT_EQ(frame.LeftWidth(), 50);  // 50.5
  frame.Resize(103);
  EXPECT_EQ(frame.LeftWidth(), 52);  // 51.5
  frame.SplitterMoved(2);
  EXPECT_EQ(frame.SplitterRatio(), 100);
  frame.Resize(400);
  frame.SplitterMoved(250);
  EXPECT_EQ(frame.SplitterRatio(), 625);
  EXPECT_EQ(RoundHalfEven(-5, 2), -2);
}

TEST_F(PropertiesFormsTest, AuthorEditsApplyAloneAndCancelKeepsTheProjectsPorts) {
  project.SetDefaultInPorts(ListOf(In("Keys")));
  TProjectPropertiesForm form(messages, aliases(), routerFrame);
  form.Create();
  form.SetProject(&project);
  form.Show();
  TSetupDefaultPortsFrame& frame = form.GetDefaultPortsFrame();
  EXPECT_FALSE(frame.RadioButtonsVisible());
  EXPECT_TRUE(frame.InSide().enabled);
  EXPECT_TRUE(frame.OutSide().enabled);
  ASSERT_EQ(frame.InSide().rows.size(), 2u);
  EXPECT_TRUE(frame.InSide().rows[0].checked);
  EXPECT_FALSE(form.ApplyEnabled());

  // Behind the dialog's back the project's ports change; an author edit must not undo that.
  project.SetDefaultInPorts(ListOf(In("Pads")));
  form.EditAuthor("Mara");
  ASSERT_TRUE(form.Close(TModalResult::OK));
  EXPECT_EQ(project.GetAuthor(), "Mara");
  EXPECT_EQ(project.GetDefaultInPorts().GetItem(0), In("Pads"));

  TProjectPropertiesForm second(messages, aliases(), routerFrame);
  second.Create();
  second.SetProject(&project);
  second.Show();
  second.GetDefaultPortsFrame().CheckRow(false, 0, true);
  EXPECT_TRUE(second.ApplyEnabled());
  ASSERT_TRUE(second.Close(TModalResult::Cancel));
  EXPECT_TRUE(project.GetDefaultOutPorts().IsEmpty());

  TProjectPropertiesForm third(messages, aliases(), routerFrame);
  third.Create();
  third.SetProject(&project);
  third.Show();
  third.GetDefaultPortsFrame().CheckRow(false, 0, true);
  third.GetDefaultPortsFrame().CheckRow(true, 1, false);
  ASSERT_TRUE(third.Close(TModalResult::OK));
  EXPECT_EQ(project.GetDefaultOutPorts().GetItem(0), Out("Synth"));
  EXPECT_TRUE(project.GetDefaultInPorts().IsEmpty());
}

TEST_F(PropertiesFormsTest, PresetSidesFallBackToTheProjectPortsAsEmptyLists) {
  TLockableTransList& preset = project.NewPreset();
  preset.SetDefaultOutPorts(ListOf(Out("Synth")));
  TPresetPropertiesForm form(messages, aliases());
  form.Create();
  form.SetPreset(&preset);
  form.Show();
  EXPECT_EQ(form.Caption(), "Properties for Preset \"(unnamed)\"");
  TSetupDefaultPortsFrame& frame = form.GetDefaultPortsFrame();
  EXPECT_TRUE(frame.RadioButtonsVisible());
  EXPECT_TRUE(frame.InSide().projectDefault);
  EXPECT_FALSE(frame.InSide().enabled);
  EXPECT_FALSE(frame.OutSide().projectDefault);
  EXPECT_TRUE(frame.OutSide().enabled);

  frame.ChooseSide(false, true);
  EXPECT_FALSE(frame.OutSide().enabled);
  form.EditAlwaysActive(true);
  ASSERT_TRUE(form.Close(TModalResult::OK));
  EXPECT_TRUE(preset.GetDefaultOutPorts().IsEmpty());
  EXPECT_TRUE(preset.PresetSwitchIgnore());
  EXPECT_EQ(form.Preset(), nullptr);
}

TEST_F(PropertiesFormsTest, SwitchingPresetsOffersToApplyOnlyUnappliedChanges) {
  TLockableTransList& first = project.NewPreset();
  first.SetName("Verse");
  TLockableTransList& second = project.NewPreset();
  second.SetName("Chorus");
  TPresetPropertiesForm form(messages, aliases());
  form.Create();
  form.SetPreset(&first);
  form.Show();
  form.SetPreset(&second);
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_EQ(form.Caption(), "Properties for Preset \"Chorus\"");

  form.EditAlwaysActive(true);
  form.SetPreset(&first);
  ASSERT_EQ(messages.questions.size(), 1u);
  EXPECT_EQ(messages.delays[0], 100u);
  EXPECT_TRUE(second.PresetSwitchIgnore());  // applied to the preset shown so far
  EXPECT_FALSE(first.PresetSwitchIgnore());
  EXPECT_FALSE(form.AlwaysActive());
}

TEST_F(PropertiesFormsTest, ADialogGoneWithoutClosingLeavesTheSharedPageUnhooked) {
  {
    TProjectPropertiesForm form(messages, aliases(), routerFrame);
    form.Create();
    form.SetProject(&project);
    form.SelectPage(kRouterPageId);
    form.Show();
    EXPECT_TRUE(routerFrame.Hosted());
  }
  EXPECT_FALSE(routerFrame.Hosted());
  EXPECT_FALSE(static_cast<bool>(routerFrame.OnPanelChange));
  routerFrame.Editor().RebuildAliases();
  routerFrame.Editor().SetClientSize(400, 200);
  routerFrame.Editor().MouseDown(10, 18, true);
  routerFrame.Editor().MouseUp(390, 18);
  EXPECT_EQ(routerFrame.Editor().Connections().size(), 1u);
}

TEST_F(PropertiesFormsTest, ADeletedAliasLeavesAnOpenFrameAtOnce) {
  project.SetDefaultInPorts(ListOf(In("Keys")));
  TProjectPropertiesForm form(messages, aliases(), routerFrame);
  form.Create();
  form.SetProject(&project);
  form.Show();
  aliases().DeleteAlias(aliases().IndexOf("Keys", makMidiIn));
  const TSetupDefaultPortsFrame& frame = form.GetDefaultPortsFrame();
  EXPECT_TRUE(frame.InSide().ports.IsEmpty());
  ASSERT_EQ(frame.InSide().rows.size(), 1u);
  EXPECT_EQ(frame.InSide().rows[0].alias, In("Pads"));
}

}  // namespace
}  // namespace kv
