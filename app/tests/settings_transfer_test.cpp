// Export Settings and Import Settings with a scripted host: the help page and its choice, the
// file name rules, and a refused file that changes nothing.
#include <fstream>
#include <optional>

#include "app/controller/settings_transfer.h"
#include "app/tests/controller_fixture.h"
#include "base/ini_file.h"
#include "base/texts.h"
#include "engine/project.h"
#include "engine/trans_engine.h"

namespace kv::test {
namespace {

class TScriptedTransferHost final : public TSettingsTransferHost {
 public:
  std::optional<bool> ShowHelp(TPage page, bool dontShowAgain) override {
    pages.push_back(page);
    shownChoice = dontShowAgain;
    return helpAnswer;
  }
  bool ChooseFile(bool save, const std::string& title, std::string& fileName,
                  const std::string& initialDir) override {
    titles.push_back(title);
    proposed.push_back(fileName);
    folders.push_back(initialDir);
    (void)save;
    if (chosen.empty()) return false;
    fileName = chosen;
    return true;
  }
  void Information(const std::string& text) override { messages.push_back("info " + text); }
  void Error(const std::string& text) override { messages.push_back("error " + text); }

  std::optional<bool> helpAnswer = false;
  bool shownChoice = false;
  std::string chosen;
  std::vector<int> pages;
  std::vector<std::string> titles, proposed, folders, messages;
};

using SettingsTransferTest = ControllerFixture;

TEST_F(SettingsTransferTest, ExportWritesTheSettingsAndRemembersTheFile) {
  TKVHighLevel& controller = Make();
  controller.OnWriteSettings = [](TCustomIniFile& ini) { ini.WriteString("Current", "Who", "me"); };
  TScriptedTransferHost host;
  TSettingsTransfer transfer(controller, host);
  TSettingsTransferChoices choices;

  host.helpAnswer = std::nullopt;  // Cancel on the help page ends the command
  EXPECT_FALSE(transfer.Export(choices));
  EXPECT_TRUE(host.titles.empty());

  host.helpAnswer = true;
  host.chosen = (dir_ / "out.kvxs").string();
  EXPECT_TRUE(transfer.Export(choices));
  EXPECT_EQ(host.pages, (std::vector<int>{0, 0}));
  EXPECT_EQ(host.titles.back(), "Export Settings");
  EXPECT_EQ(host.proposed.back(), "TranslatorSettings.kvxs");
  EXPECT_TRUE(choices.dontShowExport);
  EXPECT_EQ(choices.settingsFilename, host.chosen);
  EXPECT_EQ(host.messages.back(), "info Settings exported successfully.");
  TMemIniFile written(host.chosen);
  EXPECT_EQ(written.ReadString("Current", "Who", ""), "me");

  // Chosen not to be shown again: straight to the dialog, proposing the file kept.
  EXPECT_TRUE(transfer.Export(choices));
  EXPECT_EQ(host.pages.size(), 2u);
  EXPECT_EQ(host.proposed.back(), host.chosen);

  // Without a kept name the dialog keeps its own previous file and folder.
  choices.settingsFilename.clear();
  EXPECT_TRUE(transfer.Export(choices));
  EXPECT_EQ(host.proposed.back(), host.chosen);
  EXPECT_FALSE(host.folders.back().empty());
}

TEST_F(SettingsTransferTest, ImportReadsAFileAndKeepsTheHelpChoice) {
  TKVHighLevel& controller = Make();
  bool fileSaidDontShow = false;
  std::string who;
  controller.OnReadSettings = [&](TCustomIniFile& ini) {
    who = ini.ReadString("Current", "Who", "");
    fileSaidDontShow = ini.ReadBool("Current", "DontShowImSettings", false);
  };
  TScriptedTransferHost host;
  TSettingsTransfer transfer(controller, host);
  TSettingsTransferChoices choices;
  host.helpAnswer = false;
  host.chosen = File("in.kvxs", "[Current]\r\nWho=them\r\nDontShowImSettings=1\r\n");
  EXPECT_TRUE(transfer.Import(choices));
  EXPECT_EQ(host.pages, (std::vector<int>{1}));
  EXPECT_EQ(host.titles.back(), "Import Settings");
  EXPECT_EQ(who, "them");
  EXPECT_TRUE(fileSaidDontShow);
  EXPECT_FALSE(choices.dontShowImport);  // the file's value does not count
  EXPECT_EQ(choices.settingsFilename, host.chosen);
  EXPECT_EQ(host.messages.back(), "info Settings imported successfully.");
}

// The file's aliases replace the set; one the open project names keeps its object (so the
// project keeps the port at its next save), unbound; the ports present keep their own.
TEST_F(SettingsTransferTest, ImportReplacesTheAliasesButKeepsTheProjectsUnbound) {
  TKVHighLevel& controller = Make();
  controller.GoLive();
  TMidiAliasManager& aliases = MidiAliasManager();
  controller.MakeDeviceAliases();
  aliases.AddAlias("Lead", "Old Port", makMidiOut, false);
  aliases.AddAlias("Pads", "Old Port", makMidiOut, false);
  aliases.AddAlias("Stale", "Old Port", makMidiOut, false);
  TMidiAlias* lead = aliases.Lookup("Lead", makMidiOut, false);
  TMidiAlias* pads = aliases.Lookup("Pads", makMidiOut, false);
  TMidiAliasList ports;
  ports.Add(lead);
  ports.Add(pads);
  controller.Engine()->Project().SetDefaultOutPorts(&ports);

  TScriptedTransferHost host;
  TSettingsTransfer transfer(controller, host);
  TSettingsTransferChoices choices;
  choices.dontShowImport = true;
  host.chosen = File("other.kvxs",
                     "[Current]\r\n[MIDI.alias]\r\nName0=Lead\r\nDevice0=2:New Port\r\n"
                     "Name1=Drums\r\nDevice1=2:Kit\r\n");
  ASSERT_TRUE(transfer.Import(choices));

  EXPECT_EQ(aliases.Lookup("Lead", makMidiOut, false), lead);
  EXPECT_EQ(lead->GetDeviceName(), "New Port");
  ASSERT_NE(aliases.Lookup("Drums", makMidiOut, false), nullptr);
  EXPECT_EQ(aliases.Lookup("Drums", makMidiOut, false)->GetDeviceName(), "Kit");
  EXPECT_EQ(aliases.Lookup("Pads", makMidiOut, false), pads);
  EXPECT_EQ(pads->GetDeviceName(), "");
  EXPECT_EQ(aliases.Lookup("Stale", makMidiOut, false), nullptr);
  EXPECT_EQ(aliases.Lookup("Keys", makMidiIn, false)->GetDeviceName(), "Keys");
  EXPECT_EQ(controller.Engine()->Project().GetDefaultOutPorts().SaveToData(makMidiOut),
            "MIDA00020004Lead0004Pads");
  TMemIniFile saved;
  controller.WriteSettings(saved);
  std::vector<std::string> names;
  for (const auto& [key, value] : saved.ReadSectionValues(kMidiAliasSection))
    if (key.rfind("Name", 0) == 0) names.push_back(value);
  EXPECT_EQ(names, (std::vector<std::string>{"Lead", "Pads", "Drums", "Keys", "MIDI Mapper",
                                             "Synth"}));
  controller.Engine()->Project().SetDefaultOutPorts(nullptr);
}

TEST_F(SettingsTransferTest, AFileWithoutCurrentIsRefusedAndChangesNothing) {
  TKVHighLevel& controller = Make();
  int reads = 0;
  controller.OnReadSettings = [&](TCustomIniFile&) { ++reads; };
  TScriptedTransferHost host;
  TSettingsTransfer transfer(controller, host);
  TSettingsTransferChoices choices;
  choices.dontShowImport = true;
  choices.settingsFilename = "before.kvxs";
  host.chosen = File("bad.kvxs", "[Elsewhere]\r\nx=1\r\n");
  EXPECT_FALSE(transfer.Import(choices));
  EXPECT_TRUE(host.pages.empty());
  EXPECT_EQ(reads, 0);
  EXPECT_EQ(choices.settingsFilename, "before.kvxs");
  EXPECT_EQ(host.messages.back(),
            "error This is not a file with " + GetProgramTitle() + " settings !");
}

}  // namespace
}  // namespace kv::test
