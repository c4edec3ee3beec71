#pragma once
// The main window's settings: every key it keeps in section "Current" of the settings store,
// with the value used when a key is absent. Some keys fall back to a fixed default, the others
// to the value the window has now (so a store without them changes nothing).
#include <cstdint>
#include <string>
#include <vector>

#include "app/controller/settings_transfer.h"

namespace kv {

class TCustomIniFile;

inline constexpr const char* kMainSettingsSection = "Current";
inline constexpr const char* kMainPlacementSection = "Main";
// Placement flags of the main window: size, position and maximised; also minimised when the
// window cannot hide in the tray; what is written.
inline constexpr int kPlacementReadFlags = 7;
inline constexpr int kPlacementReadFlagsWithMinimized = 15;
inline constexpr int kPlacementWriteFlags = 23;

struct TMainSettings {
  bool showTrayIcon = true;
  bool showSplashScreen = true;
  bool minimizeToTray = false;
  bool startMinimized = false;
  bool mainVisible = true;
  int32_t presetListWidth = 180;  // "MainState2Width1"
  bool trayAnimation = true;
  bool friendlyDescriptions = false;
  bool eventMonitor = true;
  TSettingsTransferChoices transfer;  // "SettingsFilename", "DontShowExSettings", "DontShowImSettings"
  // Read: the project open at the last exit, pending until start-up opens it. Written from the
  // project's file name instead (see WriteMainSettings).
  std::string currentProject;
  std::vector<int32_t> columnWidths;  // "Column0".. of the translator list
  bool showLoggerForm = false;
  bool showEditWindow = false;
  bool confirmProgramExit = true;  // stored inverted as "DontAskForClose"
  bool suppressKeysWhenActive = false;
  bool suppressKeyInWhenActive = false;
  bool migrationDone = false;
  bool doNotShowLoggerWarning = false;
  bool doNotShowAliasAssignment = false;
  bool doNotShowDefaultAliasWarning = false;
  int32_t buildVersionOfInstalledPresets = 0;
  std::string presetFolder;
};

// Reads every key over the values in settings. Never throws: a failing store leaves the values
// read so far and the rest as they were.
void ReadMainSettings(const TCustomIniFile& ini, TMainSettings& settings);
// Writes every key; "CurrentProject" takes projectFileName. Errors of the store propagate.
void WriteMainSettings(TCustomIniFile& ini, const TMainSettings& settings,
                       const std::string& projectFileName);
// The flags the main window's placement is read with.
int MainPlacementReadFlags(const TMainSettings& settings);

}  // namespace kv
