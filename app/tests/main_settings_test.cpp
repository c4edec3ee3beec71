// The main window's settings in section "Current": what an empty store gives, what survives a
// round trip, and a failing store that keeps what was read.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/main_window/main_settings.h"
#include "base/ini_file.h"

namespace kv::test {
namespace {

TEST(MainSettingsTest, AnEmptyStoreGivesFixedDefaultsAndKeepsCurrentValues) {
  TMainSettings s;
  s.showTrayIcon = false;
  s.minimizeToTray = true;  // "current value" keys keep what the window has
  s.friendlyDescriptions = true;
  s.presetListWidth = 222;
  s.columnWidths = {150, 30};
  s.confirmProgramExit = false;
  s.migrationDone = true;
  s.buildVersionOfInstalledPresets = 77;
  TMemIniFile ini;
  ReadMainSettings(ini, s);
  EXPECT_TRUE(s.showTrayIcon);
  EXPECT_TRUE(s.mainVisible);
  EXPECT_TRUE(s.minimizeToTray);
  EXPECT_TRUE(s.friendlyDescriptions);
  EXPECT_EQ(s.presetListWidth, 222);
  EXPECT_EQ(s.columnWidths, (std::vector<int32_t>{150, 30}));
  EXPECT_TRUE(s.confirmProgramExit);  // "DontAskForClose" absent means ask
  EXPECT_FALSE(s.migrationDone);
  EXPECT_EQ(s.buildVersionOfInstalledPresets, 0);
}

TEST(MainSettingsTest, WrittenSettingsReadBackAndTheProjectComesFromItsFile) {
  TMainSettings s;
  s.showSplashScreen = false;
  s.mainVisible = false;
  s.transfer = {"C:\\x.kvxs", true, false};
  s.columnWidths = {100, 31, 90};
  s.confirmProgramExit = false;
  s.buildVersionOfInstalledPresets = -1;
  s.presetFolder = "D:\\Presets";
  s.currentProject = "stale.kvxp";
  TMemIniFile ini;
  WriteMainSettings(ini, s, "C:\\Live.kvxp");
  EXPECT_EQ(ini.ReadString("Current", "CurrentProject", ""), "C:\\Live.kvxp");
  EXPECT_EQ(ini.ReadString("Current", "DontAskForClose", ""), "1");
  EXPECT_EQ(ini.ReadString("Current", "Column2", ""), "90");

  TMainSettings back;
  back.columnWidths.assign(3, 0);
  ReadMainSettings(ini, back);
  EXPECT_FALSE(back.showSplashScreen);
  EXPECT_FALSE(back.mainVisible);
  EXPECT_EQ(back.transfer.settingsFilename, "C:\\x.kvxs");
  EXPECT_TRUE(back.transfer.dontShowExport);
  EXPECT_EQ(back.columnWidths, s.columnWidths);
  EXPECT_FALSE(back.confirmProgramExit);
  EXPECT_EQ(back.buildVersionOfInstalledPresets, -1);
  EXPECT_EQ(back.presetFolder, "D:\\Presets");
  EXPECT_EQ(back.currentProject, "C:\\Live.kvxp");
}

// A store that fails part way, as a registry key removed under the reader may.
class TFailingIni final : public TMemIniFile {
 public:
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const override {
    if (key == "EventMonitor") throw std::runtime_error("gone");
    return TMemIniFile::ReadString(section, key, def);
  }
};

TEST(MainSettingsTest, AFailingStoreKeepsWhatWasReadAndTheRest) {
  TFailingIni ini;
  ini.WriteString("Current", "ShowSplashScreen", "0");
  ini.WriteString("Current", "PresetFolder", "never read");
  TMainSettings s;
  s.presetFolder = "kept";
  EXPECT_NO_THROW(ReadMainSettings(ini, s));
  EXPECT_FALSE(s.showSplashScreen);
  EXPECT_EQ(s.presetFolder, "kept");
}

TEST(MainSettingsTest, MinimisedIsRestoredOnlyWhereTheTrayCannotHideTheWindow) {
  TMainSettings s;
  s.showTrayIcon = true;
  s.minimizeToTray = true;
  EXPECT_EQ(MainPlacementReadFlags(s), 7);
  s.minimizeToTray = false;
  EXPECT_EQ(MainPlacementReadFlags(s), 15);
  s.minimizeToTray = true;
  s.showTrayIcon = false;
  EXPECT_EQ(MainPlacementReadFlags(s), 15);
}

}  // namespace
}  // namespace kv::test
