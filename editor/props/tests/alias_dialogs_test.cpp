#include "editor/props/alias_dialogs.h"

#include <gtest/gtest.h>

#include "app/tests/controller_fixture.h"

namespace kv {
namespace {

TEST(AliasChooserTest, OnlyOfferedKindsArePreselectedAndOkNeedsAChoice) {
  uint8_t kind = makSerialPort;
  EXPECT_FALSE(ChooseAliasKind(
      [](TAliasChooser& chooser) {
        EXPECT_EQ(chooser.Selected(), -1);
        EXPECT_FALSE(chooser.OkEnabled());
        return false;
      },
      kind, true));
  EXPECT_EQ(kind, makSerialPort);
  kind = makMidiOut;
  EXPECT_TRUE(ChooseAliasKind(
      [](TAliasChooser& chooser) {
        EXPECT_EQ(chooser.Selected(), 1);
        chooser.Select(0);
        return true;
      },
      kind, true));
  EXPECT_EQ(kind, makMidiIn);
}

// The loopback stand-in has the input "Keys" and the outputs "MIDI Mapper" and "Synth".
class DefineAliasTest : public test::ControllerFixture {
 protected:
  void SetUp() override {
    MidiManager().SetSuspended(false);
    MidiManager().Rescan(true, false);
  }
  TMidiAliasManager& aliases() { return MidiAliasManager(); }
};

TEST_F(DefineAliasTest, OneKindShowsOneListAndOkWithNoneBindsNothing) {
  aliases().AddAlias("Lead", "", makMidiOut, false);
  bool shown = false;
  EXPECT_TRUE(ShowDefineMidiAlias(aliases(), MidiManager(), "lead", [&](TDefineMidiAlias& d) {
    shown = true;
    EXPECT_TRUE(d.Compact());
    EXPECT_EQ(d.AliasName(), "Lead");
    EXPECT_EQ(d.Combo(0).label, "MIDI OUTPUT device:");
    EXPECT_EQ(d.Combo(0).entries, (std::vector<std::string>{"(none)", "MIDI Mapper", "Synth"}));
    EXPECT_EQ(d.Combo(0).selected, 0);
    EXPECT_FALSE(d.Combo(1).visible);
    EXPECT_TRUE(d.OkEnabled());
    return true;
  }));
  EXPECT_TRUE(shown);
  EXPECT_EQ(aliases().Lookup("Lead", makMidiOut, false)->GetDeviceName(), "");
  EXPECT_FALSE(ShowDefineMidiAlias(aliases(), MidiManager(), "Unknown",
                                   [](TDefineMidiAlias&) { return true; }));
}

TEST_F(DefineAliasTest, BothKindsBindOnlyWhatWasChosenAndAutomaticOnesStayAsMade) {
  aliases().AddAlias("Desk", "", makMidiIn, false);
  aliases().AddAlias("Desk", "", makMidiOut, false);
  EXPECT_TRUE(ShowDefineMidiAlias(aliases(), MidiManager(), "Desk", [](TDefineMidiAlias& d) {
    EXPECT_FALSE(d.Compact());
    EXPECT_EQ(d.Combo(0).label, "MIDI INPUT device:");
    EXPECT_EQ(d.Combo(1).label, "MIDI OUTPUT device:");
    d.Choose(1, 2);
    return true;
  }));
  EXPECT_EQ(aliases().Lookup("Desk", makMidiIn, false)->GetDeviceName(), "");
  EXPECT_EQ(aliases().Lookup("Desk", makMidiOut, false)->GetDeviceName(), "Synth");

  // An automatic first alias shows nothing; an automatic second one is not offered.
  aliases().AddAlias("Virtual 1", "Virtual 1", makMidiIn, true);
  EXPECT_FALSE(ShowDefineMidiAlias(aliases(), MidiManager(), "Virtual 1",
                                   [](TDefineMidiAlias&) { return true; }));
  aliases().AddAlias("Bridge", "", makMidiIn, false);
  aliases().AddAlias("Bridge", "Elsewhere", makMidiOut, true);
  EXPECT_TRUE(ShowDefineMidiAlias(aliases(), MidiManager(), "Bridge", [](TDefineMidiAlias& d) {
    EXPECT_TRUE(d.Compact());
    d.Choose(0, 1);
    return true;
  }));
  EXPECT_EQ(aliases().Lookup("Bridge", makMidiIn, false)->GetDeviceName(), "Keys");
  EXPECT_EQ(aliases().Lookup("Bridge", makMidiOut, false)->GetDeviceName(), "Elsewhere");
  EXPECT_TRUE(aliases().Lookup("Bridge", makMidiOut, false)->IsAutomatic());
}

TEST_F(DefineAliasTest, APortPluggedInWhileOpenJoinsTheListAndTheChoiceStays) {
  aliases().AddAlias("Desk", "Synth", makMidiOut, false);
  TDefineMidiAlias dialog(aliases(), MidiManager());
  ASSERT_TRUE(dialog.Init("Desk"));
  EXPECT_EQ(dialog.Combo(0).initial, 2);
  EXPECT_FALSE(dialog.OkEnabled());
  loop_.AddOutput("Drum Box");
  loop_.AddOutput("Amp");
  MidiManager().Rescan(true, false);
  dialog.Choose(0, 2);
  ASSERT_EQ(dialog.Combo(0).entries.size(), 5u);
  const std::string chosen = dialog.Combo(0).Chosen();
  loop_.AddOutput("Another");
  MidiManager().Rescan(true, false);
  EXPECT_EQ(dialog.Combo(0).entries.size(), 6u);
  EXPECT_EQ(dialog.Combo(0).Chosen(), chosen);
  dialog.Accept();
  EXPECT_EQ(aliases().Lookup("Desk", makMidiOut, false)->GetDeviceName(), chosen);
}

}  // namespace
}  // namespace kv
