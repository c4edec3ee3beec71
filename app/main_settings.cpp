#include "app/main_settings.h"

#include <string>

#include "base/ini_file.h"

namespace kv {
namespace {

constexpr const char* S = kMainSettingsSection;

std::string ColumnKey(size_t n) { return "Column" + std::to_string(n); }

void ReadAll(const TCustomIniFile& ini, TMainSettings& s) {
  s.showTrayIcon = ini.ReadBool(S, "ShowTrayIcon", true);
  s.showSplashScreen = ini.ReadBool(S, "ShowSplashScreen", true);
  s.minimizeToTray = ini.ReadBool(S, "MinimizeToTray", s.minimizeToTray);
  s.startMinimized = ini.ReadBool(S, "StartMinimized", s.startMinimized);
  s.mainVisible = ini.ReadBool(S, "MainVisible", true);
  s.presetListWidth = ini.ReadInteger(S, "MainState2Width1", s.presetListWidth);
  s.trayAnimation = ini.ReadBool(S, "Tray Animation", true);
  s.friendlyDescriptions = ini.ReadBool(S, "FriendlyDescriptions", s.friendlyDescriptions);
  s.eventMonitor = ini.ReadBool(S, "EventMonitor", true);
  s.transfer.settingsFilename = ini.ReadString(S, "SettingsFilename", "");
  s.currentProject = ini.ReadString(S, "CurrentProject", "");
  s.transfer.dontShowExport = ini.ReadBool(S, "DontShowExSettings", s.transfer.dontShowExport);
  s.transfer.dontShowImport = ini.ReadBool(S, "DontShowImSettings", s.transfer.dontShowImport);
  for (size_t n = 0; n < s.columnWidths.size(); ++n)
    s.columnWidths[n] = ini.ReadInteger(S, ColumnKey(n), s.columnWidths[n]);
  s.showLoggerForm = ini.ReadBool(S, "ShowLoggerForm", false);
  s.showEditWindow = ini.ReadBool(S, "ShowEditWindow", false);
  s.confirmProgramExit = !ini.ReadBool(S, "DontAskForClose", false);
  s.suppressKeysWhenActive = ini.ReadBool(S, "SuppressKeysWhenActive", s.suppressKeysWhenActive);
  s.suppressKeyInWhenActive =
      ini.ReadBool(S, "SuppressKeyInWhenActive", s.suppressKeyInWhenActive);
  s.migrationDone = ini.ReadBool(S, "MigrationDone", false);
  s.doNotShowLoggerWarning = ini.ReadBool(S, "DoNotShowLoggerWarning", false);
  s.doNotShowAliasAssignment = ini.ReadBool(S, "DoNotShowAliasAssignment", false);
  s.doNotShowDefaultAliasWarning = ini.ReadBool(S, "DoNotShowDefaultAliasWarning", false);
  s.buildVersionOfInstalledPresets = ini.ReadInteger(S, "BuildVersionOfInstalledPresets", 0);
  s.presetFolder = ini.ReadString(S, "PresetFolder", "");
}

}  // namespace

void ReadMainSettings(const TCustomIniFile& ini, TMainSettings& settings) {
  // Reading the settings never stops the start: what was read stays, the rest keeps its value.
  try {
    ReadAll(ini, settings);
  } catch (...) {
  }
}

void WriteMainSettings(TCustomIniFile& ini, const TMainSettings& s,
                       const std::string& projectFileName) {
  ini.WriteBool(S, "ShowTrayIcon", s.showTrayIcon);
  ini.WriteBool(S, "ShowSplashScreen", s.showSplashScreen);
  ini.WriteBool(S, "MinimizeToTray", s.minimizeToTray);
  ini.WriteBool(S, "StartMinimized", s.startMinimized);
  ini.WriteBool(S, "MainVisible", s.mainVisible);
  ini.WriteInteger(S, "MainState2Width1", s.presetListWidth);
  ini.WriteBool(S, "Tray Animation", s.trayAnimation);
  ini.WriteBool(S, "FriendlyDescriptions", s.friendlyDescriptions);
  ini.WriteBool(S, "EventMonitor", s.eventMonitor);
  ini.WriteString(S, "SettingsFilename", s.transfer.settingsFilename);
  ini.WriteString(S, "CurrentProject", projectFileName);
  ini.WriteBool(S, "DontShowExSettings", s.transfer.dontShowExport);
  ini.WriteBool(S, "DontShowImSettings", s.transfer.dontShowImport);
  for (size_t n = 0; n < s.columnWidths.size(); ++n)
    ini.WriteInteger(S, ColumnKey(n), s.columnWidths[n]);
  ini.WriteBool(S, "ShowLoggerForm", s.showLoggerForm);
  ini.WriteBool(S, "ShowEditWindow", s.showEditWindow);
  ini.WriteBool(S, "DontAskForClose", !s.confirmProgramExit);
  ini.WriteBool(S, "SuppressKeysWhenActive", s.suppressKeysWhenActive);
  ini.WriteBool(S, "SuppressKeyInWhenActive", s.suppressKeyInWhenActive);
  ini.WriteBool(S, "MigrationDone", s.migrationDone);
  ini.WriteBool(S, "DoNotShowLoggerWarning", s.doNotShowLoggerWarning);
  ini.WriteBool(S, "DoNotShowAliasAssignment", s.doNotShowAliasAssignment);
  ini.WriteBool(S, "DoNotShowDefaultAliasWarning", s.doNotShowDefaultAliasWarning);
  ini.WriteInteger(S, "BuildVersionOfInstalledPresets", s.buildVersionOfInstalledPresets);
  ini.WriteString(S, "PresetFolder", s.presetFolder);
}

int MainPlacementReadFlags(const TMainSettings& settings) {
  // Minimised is restored only where minimising cannot hide the window in the tray.
  return settings.showTrayIcon && settings.minimizeToTray ? kPlacementReadFlags
                                                          : kPlacementReadFlagsWithMinimized;
}

}  // namespace kv
