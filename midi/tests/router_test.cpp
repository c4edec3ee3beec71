#include "midi/model/router.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"

namespace kv {
namespace {

struct RouterCounter {
  int calls = 0;
  static void Changed(void* self, TMidiRouter&) { ++static_cast<RouterCounter*>(self)->calls; }
  TMidiRouter::TListener Method() { return {&RouterCounter::Changed, this}; }
};

class MidiRouterTest : public ::testing::Test {
 protected:
  TMidiAliasManager aliases;
  TMidiRouter router{aliases};
  RouterCounter counter;
  void SetUp() override { router.AddChangeListener(counter.Method()); }
};

TEST_F(MidiRouterTest, RouteWithDeletedOutputStopsBeingValidAndIsNotSaved) {
  router.AddRouteByNames("Keys", "Synth");
  router.AddRouteByNames("Pad", "Synth2");
  ASSERT_TRUE(router.GetRoutes().GetRoute(0).IsValid());
  EXPECT_EQ(router.GetRoutes().GetRoute(0).GetOut(), aliases.Lookup("Synth", makMidiOut, false));
  EXPECT_EQ(router.GetRoutes().GetRoute(1).RoutesAtCreation(), 1);
  const int before = counter.calls;
  aliases.DeleteAlias(aliases.IndexOf("Synth", makMidiOut));
  EXPECT_FALSE(router.GetRoutes().GetRoute(0).IsValid());
  EXPECT_EQ(router.GetRoutes().GetCount(), 2);
  EXPECT_EQ(counter.calls, before + 1);

  TMemIniFile ini;
  router.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString(kMidiRoutesSection, "In0", ""), "Pad");
  EXPECT_EQ(ini.ReadString(kMidiRoutesSection, "Out0", ""), "Synth2");
  EXPECT_FALSE(ini.ValueExists(kMidiRoutesSection, "In1"));
}

TEST_F(MidiRouterTest, LoadingKeepsInvalidRoutesAndReadsOn) {
  TMemIniFile ini;
  ini.SetText(
      "[MIDI.routes]\r\nIn0=Keys\r\nOut0=\r\nIn1=Keys\r\nOut1=Synth\r\nIn2=a\"b\r\n"
      "Out2=Synth\r\nOut3=x\r\n");
  router.AddRouteByNames("Before", "Before");
  counter.calls = 0;
  router.LoadFromIni(ini);
  EXPECT_EQ(counter.calls, 1);
  const TMidiRoutes& r = router.GetRoutes();
  ASSERT_EQ(r.GetCount(), 4);
  EXPECT_FALSE(r.GetRoute(0).IsValid());  // cleared before loading
  EXPECT_FALSE(r.GetRoute(1).IsValid());
  EXPECT_TRUE(r.GetRoute(2).IsValid());
  EXPECT_FALSE(r.GetRoute(3).IsValid());
  EXPECT_EQ(r.GetRoute(2).GetInName(), "Keys");
  EXPECT_EQ(r.GetRoute(1).GetInName(), "");
  EXPECT_EQ(r.IndexOf(&r.GetRoute(2)), 2);
  EXPECT_EQ(r.IndexOf(nullptr), -1);
}

TEST_F(MidiRouterTest, OutputsOfAnInputSlotAreListedOnce) {
  router.AddRouteByNames("Keys", "Synth");
  router.AddRouteByNames("Keys", "Synth");
  router.AddRouteByNames("Keys", "Drums");
  router.AddRouteByNames("Other", "Bass");
  aliases.Lookup("Keys", makMidiIn, false)->SetDeviceIndex(2);
  aliases.Lookup("Other", makMidiIn, false)->SetDeviceIndex(5);
  TMidiAliasList outs;
  router.GetRoutes().GetOutputsOf(2, outs);
  ASSERT_EQ(outs.GetCount(), 2);
  EXPECT_EQ(outs.GetItem(0)->GetName(), "Synth");
  EXPECT_EQ(outs.GetItem(1)->GetName(), "Drums");
  router.GetRoutes().GetOutputsOf(-1, outs);
  EXPECT_TRUE(outs.IsEmpty());
  router.DeleteRoute(3);
  router.GetRoutes().GetOutputsOf(5, outs);
  EXPECT_TRUE(outs.IsEmpty());
}

TEST_F(MidiRouterTest, ChangeRouteRebindsOnlyWhenSomethingDiffers) {
  router.AddRouteByNames("A", "B");
  TMidiRoute* route = &router.GetRoutes().GetRoute(0);
  TMidiAlias* c = aliases.Lookup("C", makMidiIn, true);
  TMidiAlias* d = aliases.Lookup("D", makMidiOut, true);
  counter.calls = 0;
  router.ChangeRoute(route, c, d);
  EXPECT_EQ(route->GetIn(), c);
  EXPECT_EQ(route->GetOut(), d);
  EXPECT_EQ(counter.calls, 1);
  router.ChangeRoute(route, c, d);
  EXPECT_EQ(counter.calls, 1);
  router.ChangeRoute(nullptr, c, d);  // no route: added by the names
  EXPECT_EQ(router.GetRoutes().GetCount(), 2);
  EXPECT_EQ(router.GetRoutes().GetRoute(1).GetIn(), c);
}

TEST_F(MidiRouterTest, SavingRenumbersDeletesStaleKeysAndDefersNotifications) {
  router.BeginUpdate();
  router.AddRouteByNames("I0", "O0");
  router.AddRouteByNames("I1", "O1");
  router.AddRouteByNames("I2", "O2");
  router.DeleteRoute(1);
  router.DeleteRoute(1);  // already invalid
  router.DeleteRoute(7);  // outside the list
  EXPECT_EQ(counter.calls, 0);
  router.EndUpdate();
  EXPECT_EQ(counter.calls, 1);

  TMemIniFile ini;
  ini.SetText("[MIDI.routes]\r\nIn2=old\r\nOut2=old\r\nIn3=older\r\nOut3=older\r\n");
  router.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString(kMidiRoutesSection, "In1", ""), "I2");
  EXPECT_EQ(ini.ReadString(kMidiRoutesSection, "Out1", ""), "O2");
  for (const char* key : {"In2", "Out2", "In3", "Out3"})
    EXPECT_FALSE(ini.ValueExists(kMidiRoutesSection, key)) << key;

  router.ClearRoutes();
  EXPECT_EQ(counter.calls, 2);
  router.ClearRoutes();
  EXPECT_EQ(counter.calls, 2);
}

// A settings import rebinds aliases in place: the project's routes stay valid and are saved.
TEST_F(MidiRouterTest, SettingsImportKeepsRoutesAlive) {
  router.AddRouteByNames("Keys", "Synth");
  TMemIniFile settings;
  settings.SetText("[MIDI.alias]\r\nName0=Other\r\nDevice0=1:Dev\r\n");
  aliases.LoadFromIni(settings);
  EXPECT_TRUE(router.GetRoutes().GetRoute(0).IsValid());
  TMemIniFile project;
  router.SaveToIni(project);
  EXPECT_EQ(project.ReadString(kMidiRoutesSection, "In0", ""), "Keys");
}

TEST(MidiRouterSingleton, LivesOverTheProcessWideAliasManager) {
  EXPECT_EQ(&MidiRouter(), &MidiRouter());
  EXPECT_EQ(&MidiRouter().Aliases(), &MidiAliasManager());
}

}  // namespace
}  // namespace kv
