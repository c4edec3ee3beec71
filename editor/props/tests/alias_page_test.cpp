#include "editor/props/alias_page.h"

#include <gtest/gtest.h>

#include "app/tests/controller_fixture.h"
#include "editor/props/tests/props_test_support.h"
#include "engine/project.h"
#include "engine/trans_engine.h"

namespace kv {
namespace {

// The controller over the loopback stand-in with the ports "Keys" (in), "MIDI Mapper" and
// "Synth" (out),
// their automatic-by-name aliases, and the page shown.
class AliasPageTest : public test::ControllerFixture {
 protected:
  void SetUp() override {
    controller = &Make();
    controller->GoLive();
    controller->MakeDeviceAliases();
  }
  void TearDown() override { page.reset(); }
  TSetupAliasFrame& Page() {
    if (!page) {
      page = std::make_unique<TSetupAliasFrame>(*controller, messages);
      page->OnPanelChange = [this](TPropertyPanel&) { ++changes; };
      page->SetVisible(true);
      page->LoadValues();
    }
    return *page;
  }
  const TGAlias& RowNamed(const char* name, uint8_t kind) {
    const int index = Page().IndexOfRow(name, kind);
    EXPECT_GE(index, 0) << name;
    return Page().Row(index);
  }
  int IndexOf(const char* name, uint8_t kind) { return Page().IndexOfRow(name, kind); }
  const TGAlias* SelectedRow() { return &Page().Row(Page().Selected()); }
  void UseInProject(const char* name, uint8_t kind) {
    TMidiAliasList ports;
    ports.Add(MidiAliasManager().Lookup(name, kind, false));
    if (kind == makMidiIn)
      controller->Engine()->Project().SetDefaultInPorts(&ports);
    else
      controller->Engine()->Project().SetDefaultOutPorts(&ports);
  }
  static TMidiAlias* Alias(const char* name, uint8_t kind) {
    return MidiAliasManager().Lookup(name, kind, false);
  }
  bool Open(const char* device, bool isInput) {
    TMidiManager& m = MidiManager();
    return m.GetDevice(m.IndexOfDevice(device, isInput), isInput)->IsOpen();
  }

  TKVHighLevel* controller = nullptr;
  test::TScriptedMessages messages;
  std::unique_ptr<TSetupAliasFrame> page;
  int changes = 0;
};

TEST_F(AliasPageTest, RowsShowPortsAndAliasesInWeightOrder) {
  MidiAliasManager().AddAlias("Lead", "Synth", makMidiOut, false);
  MidiAliasManager().AddAlias("Spare", "", makMidiIn, false);
  MidiAliasManager().AddAlias("Virt", "Keys", makMidiIn, true);
  MidiAliasManager().AddAlias("Ghost", "", makMidiOut, false);
  UseInProject("Lead", makMidiOut);
  UseInProject("Ghost", makMidiOut);  // replaces Lead as the project's output
  UseInProject("Lead", makMidiIn);    // a name of the wrong kind is not Lead
  ASSERT_EQ(Page().RowCount(), 7);

  std::vector<std::string> order;
  for (int i = 0; i < Page().RowCount(); ++i) order.push_back(Page().Row(i).name);
  EXPECT_EQ(order, (std::vector<std::string>{"Ghost", "Lead", "Spare", "Virt", "Keys",
                                               "MIDI Mapper", "Synth"}));

  const TGAlias& keys = RowNamed("Keys", makMidiIn);
  EXPECT_FALSE(keys.italic);
  EXPECT_EQ(keys.deviceText, "");
  EXPECT_EQ(keys.typeText, "INPUT port");
  EXPECT_FALSE(Page().IsEditable(keys));
  const TGAlias& ghost = RowNamed("Ghost", makMidiOut);
  EXPECT_TRUE(ghost.italic);
  EXPECT_EQ(ghost.deviceText, "(none)");
  EXPECT_EQ(ghost.typeText, "OUTPUT alias");
  EXPECT_EQ(ghost.usedText, "U");
  EXPECT_EQ(RowNamed("Virt", makMidiIn).typeText, "INPUT auto");
  EXPECT_FALSE(Page().IsEditable(RowNamed("Virt", makMidiIn)));
  EXPECT_EQ(RowNamed("Lead", makMidiOut).usedText, "");

  // The first row is selected at the load; only editable rows offer Delete and the device list.
  EXPECT_EQ(Page().Selected(), 0);
  EXPECT_TRUE(Page().DeleteEnabled());
  EXPECT_EQ(Page().DeviceEntries(),
            (std::vector<std::string>{"(none)", "MIDI Mapper", "Synth"}));
  EXPECT_EQ(Page().DeviceEntrySelected(), 0);
  Page().SelectRow(IndexOf("Keys", makMidiIn));
  EXPECT_FALSE(Page().DeleteEnabled());
  EXPECT_FALSE(Page().DeviceListVisible());
  EXPECT_EQ(changes, 0);
}

TEST_F(AliasPageTest, AddNamesRowsApartAndRenameChecksTheName) {
  const int first = Page().AddRow(makMidiIn);
  const int second = Page().AddRow(makMidiIn);
  EXPECT_EQ(Page().Row(first).name, "New MIDI IN Alias");
  EXPECT_EQ(Page().Row(second).name, "New MIDI IN Alias (2)");
  EXPECT_EQ(Page().Row(second).deviceText, "(none)");
  EXPECT_EQ(changes, 1);
  Page().AddClick([](TAliasChooser& chooser) {
    EXPECT_FALSE(chooser.OkEnabled());  // the page never preselects
    return chooser.DoubleClick(1);
  });
  EXPECT_EQ(Page().Row(Page().Selected()).name, "New MIDI OUT Alias");
  EXPECT_EQ(Page().EditingRow(), Page().Selected());
  // Escape ends the edit without a name: the keys work again and F2 edits anew.
  Page().CancelRename();
  EXPECT_EQ(Page().EditingRow(), -1);
  Page().KeyDown(TSetupAliasFrame::TPageKey::F2, false, false);
  EXPECT_EQ(Page().EditingRow(), Page().Selected());
  Page().RefuseRename("unstorable");
  EXPECT_EQ(Page().EditingRow(), -1);
  EXPECT_EQ(messages.errors.back(), "unstorable");
  messages.errors.clear();
  Page().RenameClick();
  // While a name is edited the keys do nothing; Ctrl+Shift+N never adds.
  const int rows = Page().RowCount();
  auto pickInput = [](TAliasChooser& chooser) { return chooser.DoubleClick(0); };
  Page().KeyUp(TSetupAliasFrame::TPageKey::N, false, false, true, pickInput);
  Page().KeyDown(TSetupAliasFrame::TPageKey::Delete, false, false);
  EXPECT_EQ(Page().RowCount(), rows);
  Page().Rename(Page().EditingRow(), "Out Three");
  Page().KeyUp(TSetupAliasFrame::TPageKey::N, true, false, true, pickInput);
  EXPECT_EQ(Page().RowCount(), rows);
  Page().KeyUp(TSetupAliasFrame::TPageKey::N, false, false, true, pickInput);
  EXPECT_EQ(Page().Row(Page().Selected()).name, "New MIDI IN Alias (3)");
  Page().Rename(Page().EditingRow(), "In Three");
  Page().KeyDown(TSetupAliasFrame::TPageKey::Delete, false, true);
  EXPECT_EQ(Page().RowCount(), rows + 1);
  Page().KeyDown(TSetupAliasFrame::TPageKey::Delete, false, false);
  EXPECT_EQ(Page().RowCount(), rows);

  EXPECT_EQ(Page().Rename(second, " new midi in alias "), "New MIDI IN Alias (2)");
  EXPECT_EQ(messages.errors.back(),
            "A port alias of this name already exists. Please choose a different name.");
  EXPECT_EQ(Page().Rename(second, "Say \"hi\""), "New MIDI IN Alias (2)");
  EXPECT_EQ(messages.errors.back(), "This is not a valid port alias name. Please do not use quotes.");
  EXPECT_EQ(Page().Rename(second, "  "), "New MIDI IN Alias (2)");
  EXPECT_EQ(messages.errors.size(), 3u);
  // The name of an output is free for an input.
  EXPECT_EQ(Page().Rename(second, "New MIDI OUT Alias"), "New MIDI OUT Alias");
  EXPECT_EQ(Page().Rename(IndexOf("Keys", makMidiIn), "Drums"), "Keys");  // a raw port row
  EXPECT_EQ(messages.errors.size(), 3u);
}

TEST_F(AliasPageTest, ApplyCarriesOutThePlanAndKeepsTheAutomaticFlag) {
  TMidiAliasManager& aliases = MidiAliasManager();
  aliases.AddAlias("Lead", "Synth", makMidiOut, false);
  aliases.AddAlias("Bass", "", makMidiOut, false);
  aliases.AddAlias("Virt", "Keys", makMidiIn, true);
  aliases.AddAlias("Old", "", makMidiIn, false);
  TMidiAlias* lead = Alias("Lead", makMidiOut);
  TMidiAlias* bass = Alias("Bass", makMidiOut);

  // Swap Lead and Bass by way of a third name.
  Page().Rename(IndexOf("Lead", makMidiOut), "Tmp");
  Page().Rename(IndexOf("Bass", makMidiOut), "Lead");
  Page().Rename(IndexOf("Tmp", makMidiOut), "Bass");
  Page().SelectRow(IndexOf("Old", makMidiIn));
  Page().DeleteClick();
  const int added = Page().AddRow(makMidiIn);
  Page().SelectRow(added);
  Page().ChooseDevice(SelectedRow(), "Keys");
  EXPECT_EQ(Page().Row(Page().Selected()).deviceText, "Keys");

  const std::vector<TAliasApplyStep> plan = Page().PlanApply();
  ASSERT_FALSE(plan.empty());
  EXPECT_EQ(plan.back().kind, TAliasApplyStep::Delete);
  EXPECT_EQ(plan.back().name, "Old");

  Page().Apply(true);
  EXPECT_EQ(lead->GetName(), "Bass");
  EXPECT_EQ(lead->GetDeviceName(), "Synth");
  EXPECT_EQ(bass->GetName(), "Lead");
  EXPECT_TRUE(Alias("Virt", makMidiIn)->IsAutomatic());
  EXPECT_EQ(Alias("Old", makMidiIn), nullptr);
  ASSERT_NE(Alias("New MIDI IN Alias", makMidiIn), nullptr);
  EXPECT_EQ(Alias("New MIDI IN Alias", makMidiIn)->GetDeviceName(), "Keys");
  EXPECT_FALSE(Page().ChangeReported());

  // Choosing "(none)" and applying unbinds; an unchanged page applies nothing.
  Page().SelectRow(IndexOf("Bass", makMidiOut));
  Page().ChooseDevice(SelectedRow(), "(none)");
  Page().Apply(true);
  EXPECT_EQ(lead->GetDeviceName(), "");
  EXPECT_EQ(changes, 2);
}

TEST_F(AliasPageTest, ADeviceRefreshKeepsUnappliedEditsAndCancelReadsThemBack) {
  MidiAliasManager().AddAlias("Lead", "Synth", makMidiOut, false);
  Page().Rename(IndexOf("Lead", makMidiOut), "Solo");
  const int added = Page().AddRow(makMidiOut);

  loop_.AddInput("Pads");
  MidiManager().Rescan(true, false);
  ASSERT_GE(IndexOf("Solo", makMidiOut), 0);
  EXPECT_LT(IndexOf("Lead", makMidiOut), 0);
  EXPECT_GE(IndexOf("New MIDI OUT Alias", makMidiOut), 0);
  EXPECT_EQ(Page().DeviceEntries().size(), 3u);  // the outputs' list
  Page().SelectRow(IndexOf("Keys", makMidiIn));
  EXPECT_EQ(Page().DeviceEntries(), (std::vector<std::string>{"(none)", "Keys", "Pads"}));
  (void)added;
  // A row deleted on the page stays deleted through a device change until Cancel.
  MidiAliasManager().AddAlias("Bass", "", makMidiOut, false);
  Page().SelectRow(IndexOf("Bass", makMidiOut));
  Page().DeleteClick();
  loop_.AddInput("Strings");
  MidiManager().Rescan(true, false);
  EXPECT_LT(IndexOf("Bass", makMidiOut), 0);

  Page().Revert();
  Page().RefreshRows();
  EXPECT_GE(IndexOf("Bass", makMidiOut), 0);
  EXPECT_GE(IndexOf("Lead", makMidiOut), 0);
  EXPECT_LT(IndexOf("New MIDI OUT Alias", makMidiOut), 0);

  // An alias deleted elsewhere leaves the page without counting as the user's change.
  Page().LoadValues();
  MidiAliasManager().DeleteAlias(MidiAliasManager().IndexOf("Lead", makMidiOut));
  EXPECT_LT(IndexOf("Lead", makMidiOut), 0);
  EXPECT_FALSE(Page().ChangeReported());
}

// Rows come, go and re-sort while a name is typed or the device list is open: each choice
// goes to the row it was made for, or nowhere once that row is gone.
TEST_F(AliasPageTest, ChoicesMadeWhileRowsChangeGoToTheirRow) {
  MidiAliasManager().AddAlias("Lead", "Synth", makMidiOut, false);
  MidiAliasManager().AddAlias("Bass", "", makMidiOut, false);
  const int began = IndexOf("Bass", makMidiOut);
  Page().BeginRename(began);
  MidiAliasManager().AddAlias("Alto", "", makMidiOut, false);  // sorts in before Bass
  std::string name = "Drums";
  const int renamed = Page().FinishRename(name);
  EXPECT_EQ(renamed, IndexOf("Drums", makMidiOut));
  EXPECT_NE(renamed, began);
  EXPECT_EQ(Page().Row(IndexOf("Drums", makMidiOut)).alias, Alias("Bass", makMidiOut));
  EXPECT_GE(IndexOf("Alto", makMidiOut), 0);

  Page().BeginRename(IndexOf("Alto", makMidiOut));
  MidiAliasManager().DeleteAlias(MidiAliasManager().IndexOf("Alto", makMidiOut));
  EXPECT_EQ(Page().EditingRow(), -1);
  name = "Tenor";
  EXPECT_EQ(Page().FinishRename(name), -1);
  EXPECT_LT(IndexOf("Tenor", makMidiOut), 0);

  // A port plugged in while the list is open: the entry chosen is the device of its name.
  Page().SelectRow(IndexOf("Lead", makMidiOut));
  const TGAlias* lead = SelectedRow();
  loop_.AddOutput("Pads");
  MidiManager().Rescan(true, false);
  Page().ChooseDevice(lead, "Pads");
  EXPECT_EQ(lead->deviceName, "Pads");
  Page().ChooseDevice(lead, "Gone");
  EXPECT_EQ(lead->deviceName, "Pads");
  // Shown for another row than the selected one: no choice.
  Page().SelectRow(IndexOf("Drums", makMidiOut));
  Page().ChooseDevice(lead, "Synth");
  EXPECT_EQ(lead->deviceName, "Pads");
  EXPECT_EQ(SelectedRow()->deviceName, "");
}

TEST_F(AliasPageTest, CheckingRowsOpensAndClosesPortsAtOnce) {
  MidiAliasManager().AddAlias("Piano", "Keys", makMidiIn, false);
  MidiAliasManager().AddAlias("Nowhere", "", makMidiIn, false);
  const int keys = IndexOf("Keys", makMidiIn);
  Page().CheckRow(keys, true);
  EXPECT_TRUE(Open("Keys", true));
  EXPECT_EQ(RowNamed("Keys", makMidiIn).typeText, "INPUT port (open)");
  EXPECT_TRUE(RowNamed("Piano", makMidiIn).checked);  // the same port's other rows follow

  Page().CheckRow(IndexOf("Nowhere", makMidiIn), true);
  EXPECT_FALSE(RowNamed("Nowhere", makMidiIn).checked);
  EXPECT_EQ(messages.errors.back(), "Please define the device first.");

  loop_.Unplug("Keys");
  MidiManager().Rescan(true, false);
  EXPECT_EQ(RowNamed("Piano", makMidiIn).typeText, "INPUT alias (pending)");
  Page().CheckRow(IndexOf("Piano", makMidiIn), false);
  EXPECT_FALSE(RowNamed("Piano", makMidiIn).checked);
  EXPECT_EQ(RowNamed("Piano", makMidiIn).typeText, "INPUT alias (unplugged)");
  Page().CheckRow(IndexOf("Piano", makMidiIn), true);
  EXPECT_EQ(RowNamed("Piano", makMidiIn).typeText, "INPUT alias (pending)");
  EXPECT_EQ(messages.errors.back(), "This device is not available. Please plug it in to use it.");
  EXPECT_EQ(changes, 0);
}

TEST_F(AliasPageTest, DeletingAUsedAliasAsksAndOpenUsedReportsNothingToDo) {
  MidiAliasManager().AddAlias("Lead", "Synth", makMidiOut, false);
  UseInProject("Lead", makMidiOut);
  Page().SelectRow(IndexOf("Lead", makMidiOut));
  messages.answer = false;
  Page().DeleteClick();
  ASSERT_EQ(messages.questions.size(), 1u);
  EXPECT_NE(messages.questions[0].find("Alias \"Lead\" is used in your project."), std::string::npos);
  EXPECT_GE(IndexOf("Lead", makMidiOut), 0);

  Page().OpenUsedClick();
  EXPECT_TRUE(Open("Synth", false));
  EXPECT_TRUE(messages.infos.empty());
  Page().OpenUsedClick();
  EXPECT_EQ(messages.infos, (std::vector<std::string>{"No MIDI ports needed to be opened or closed."}));
  EXPECT_EQ(RowNamed("Lead", makMidiOut).typeText, "OUTPUT alias (open)");

  // Auto-connect renames the alias after its device unless a row of that name exists.
  EXPECT_FALSE(Page().AutoConnectEnabled());  // the port's own row is named Synth
  MidiAliasManager().AddAlias("Other", "Pads", makMidiOut, false);
  Page().SelectRow(IndexOf("Other", makMidiOut));
  ASSERT_TRUE(Page().AutoConnectEnabled());
  Page().AutoConnect();
  EXPECT_GE(IndexOf("Pads", makMidiOut), 0);

  // A used alias of an absent device gets a slot: the in-place list offers and shows it.
  MidiAliasManager().AddAlias("Far", "Gone", makMidiOut, false);
  UseInProject("Far", makMidiOut);
  Page().OpenUsedClick();
  Page().SelectRow(IndexOf("Far", makMidiOut));
  ASSERT_GE(Page().DeviceEntrySelected(), 0);
  EXPECT_EQ(Page().DeviceEntries()[static_cast<size_t>(Page().DeviceEntrySelected())], "Gone");
}

}  // namespace
}  // namespace kv
