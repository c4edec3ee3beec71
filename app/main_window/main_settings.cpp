#include "app/main_window/main_settings.h"

#include <string>

#include "base/ini_file.h"

namespace kv {
namespace {

constexpr const char* S = kMainSettingsSection;

// What an absent key reads as: a fixed value, or what the window has now.
enum class TAbsent { True, False, Current };

struct TBoolKey {
  const char* key;
  bool TMainSettings::*field;
  TAbsent absent;
};

// One table for reading and writing, so no key is read that is not written or the reverse.
constexpr TBoolKey kBoolKeys[] = {
    {"ShowTrayIcon", &TMainSettings::showTrayIcon, TAbsent::True},
    {"ShowSplashScreen", &TMainSettings::showSplashScreen, TAbsent::True},
    {"MinimizeToTray", &TMainSettings::minimizeToTray, TAbsent::Current},
    {"StartMinimized", &TMainSettings::startMinimized, TAbsent::Current},
    {"MainVisible", &TMainSettings::mainVisible, TAbsent::True},
    {"Tray Animation", &TMainSettings::trayAnimation, TAbsent::True},
    {"FriendlyDescriptions", &TMainSettings::friendlyDescriptions, TAbsent::Current},
    {"EventMonitor", &TMainSettings::eventMonitor, TAbsent::True},
    {"ShowLoggerForm", &TMainSettings::showLoggerForm, TAbsent::False},
    {"ShowEditWindow", &TMainSettings::showEditWindow, TAbsent::False},
    {"SuppressKeysWhenActive", &TMainSettings::suppressKeysWhenActive, TAbsent::Current},
    {"SuppressKeyInWhenActive", &TMainSettings::suppressKeyInWhenActive, TAbsent::Current},
    {"MigrationDone", &TMainSettings::migrationDone, TAbsent::False},
    {"DoNotShowLoggerWarning", &TMainSettings::doNotShowLoggerWarning, TAbsent::False},
    {"DoNotShowAliasAssignment", &TMainSettings::doNotShowAliasAssignment, TAbsent::False},
    {"DoNotShowDefaultAliasWarning", &TMainSettings::doNotShowDefaultAliasWarning,
     TAbsent::False},
};

std::string ColumnKey(size_t n) { return "Column" + std::to_string(n); }

void ReadAll(const TCustomIniFile& ini, TMainSettings& s) {
  for (const TBoolKey& k : kBoolKeys) {
    const bool def = k.absent == TAbsent::Current ? s.*k.field : k.absent == TAbsent::True;
    s.*k.field = ini.ReadBool(S, k.key, def);
  }
  s.presetListWidth = ini.ReadInteger(S, "MainState2Width1", s.presetListWidth);
  s.transfer.settingsFilename = ini.ReadString(S, "SettingsFilename", "");
  s.transfer.dontShowExport = ini.ReadBool(S, "DontShowExSettings", s.transfer.dontShowExport);
  s.transfer.dontShowImport = ini.ReadBool(S, "DontShowImSettings", s.transfer.dontShowImport);
  s.currentProject = ini.ReadString(S, "CurrentProject", "");
  for (size_t n = 0; n < s.columnWidths.size(); ++n)
    s.columnWidths[n] = ini.ReadInteger(S, ColumnKey(n), s.columnWidths[n]);
  s.confirmProgramExit = !ini.ReadBool(S, "DontAskForClose", false);
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
  for (const TBoolKey& k : kBoolKeys) ini.WriteBool(S, k.key, s.*k.field);
  ini.WriteInteger(S, "MainState2Width1", s.presetListWidth);
  ini.WriteString(S, "SettingsFilename", s.transfer.settingsFilename);
  ini.WriteBool(S, "DontShowExSettings", s.transfer.dontShowExport);
  ini.WriteBool(S, "DontShowImSettings", s.transfer.dontShowImport);
  ini.WriteString(S, "CurrentProject", projectFileName);
  for (size_t n = 0; n < s.columnWidths.size(); ++n)
    ini.WriteInteger(S, ColumnKey(n), s.columnWidths[n]);
  ini.WriteBool(S, "DontAskForClose", !s.confirmProgramExit);
  ini.WriteInteger(S, "BuildVersionOfInstalledPresets", s.buildVersionOfInstalledPresets);
  ini.WriteString(S, "PresetFolder", s.presetFolder);
}

int MainPlacementReadFlags(const TMainSettings& settings) {
  // Minimised is restored only where minimising cannot hide the window in the tray.
  return settings.showTrayIcon && settings.minimizeToTray ? kPlacementReadFlags
                                                          : kPlacementReadFlagsWithMinimized;
}

}  // namespace kv
