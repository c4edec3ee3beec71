#include "app/controller/settings_transfer.h"

#include <exception>

#include "app/controller/controller.h"
#include "base/ini_file.h"
#include "base/utils.h"

namespace kv {

bool TSettingsTransfer::Choose(bool save, const TSettingsTransferChoices& choices,
                               std::string& file) {
  std::string initialDir;
  if (!choices.settingsFilename.empty()) {
    file = choices.settingsFilename;
  } else if (!dialogFile_.empty()) {
    file = dialogFile_;
    initialDir = RemoveTrailingBackslash(ExtractFilePath(dialogFile_));
  } else {
    file = kDefaultSettingsExportName;
  }
  if (!host_.ChooseFile(save, save ? kExportSettingsTitle : kImportSettingsTitle, file,
                        initialDir))
    return false;
  dialogFile_ = file;
  return true;
}

bool TSettingsTransfer::Export(TSettingsTransferChoices& choices) {
  if (!choices.dontShowExport) {
    const std::optional<bool> dontShow =
        host_.ShowHelp(TSettingsTransferHost::kExportPage, choices.dontShowExport);
    if (!dontShow) return false;
    choices.dontShowExport = *dontShow;
  }
  std::string file;
  if (!Choose(true, choices, file)) return false;
  try {
    TMemIniFile ini(file);
    controller_.WriteSettings(ini);
    ini.UpdateFile();
  } catch (const std::exception& error) {
    host_.Error(error.what());
    return false;
  }
  choices.settingsFilename = file;
  host_.Information("Settings exported successfully.");
  return true;
}

bool TSettingsTransfer::Import(TSettingsTransferChoices& choices) {
  bool keep = choices.dontShowImport;
  if (!choices.dontShowImport) {
    const std::optional<bool> dontShow =
        host_.ShowHelp(TSettingsTransferHost::kImportPage, choices.dontShowImport);
    if (!dontShow) return false;
    keep = *dontShow;
  }
  std::string file;
  if (!Choose(false, choices, file)) return false;
  try {
    TMemIniFile ini(file);
    controller_.ImportSettings(ini);
  } catch (const std::exception& error) {
    host_.Error(error.what());
    return false;
  }
  choices.settingsFilename = file;
  // The imported file's own value of this choice does not count.
  choices.dontShowImport = keep;
  host_.Information("Settings imported successfully.");
  return true;
}

}  // namespace kv
