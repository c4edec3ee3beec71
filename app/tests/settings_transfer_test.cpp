// Export Settings and Import Settings with a scripted host: the help page and its choice, the
// file name rules, and a refused file that changes nothing.
#include <fstream>
#include <optional>

#include "app/controller/settings_transfer.h"
#include "app/tests/controller_fixture.h"
#include "base/ini_file.h"
#include "base/texts.h"

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
