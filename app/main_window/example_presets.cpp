#include "app/main_window/example_presets.h"

#include <exception>

#include "app/main_window/main_settings.h"
#include "base/texts.h"

namespace kv {
namespace {

std::string PresetsIn(const std::string& folder) { return folder + "\\Presets"; }

// Copies the folder; false on any failure, logged unless an earlier failure was logged.
bool CopyExamples(const std::string& source, const std::string& destination,
                  bool failedBefore, TExamplePresetHost& host) {
  if (!host.FolderExists(source)) {
    if (!failedBefore)
      host.LogError("Error: cannot install presets. Please reintall " + GetProgramTitle());
    return false;
  }
  try {
    return host.CopyFolder(source, destination);
  } catch (const std::exception& e) {
    if (!failedBefore) host.LogError(e.what());
    return false;
  }
}

}  // namespace

std::string ExamplePresetSource(const std::string& commonAppData) {
  return commonAppData + "\\" + "Zarn" + "\\" + "Zarn's Korvanta" + "\\" + "Presets";
}

bool ShouldInstallExamplePresets(const TMainSettings& settings, int32_t programBuild,
                                 bool closeRequested, bool presetsFolderExists) {
  if (closeRequested) return false;
  return !(settings.buildVersionOfInstalledPresets >= programBuild && presetsFolderExists);
}

void InstallExamplePresets(TMainSettings& settings, int32_t programBuild, bool closeRequested,
                           TExamplePresetHost& host) {
  if (closeRequested) return;
  const bool exists = host.FolderExists(PresetsIn(settings.presetFolder));
  if (!ShouldInstallExamplePresets(settings, programBuild, closeRequested, exists)) return;
  const bool failedBefore = settings.buildVersionOfInstalledPresets == kPresetInstallFailed;
  if (CopyExamples(ExamplePresetSource(host.CommonAppDataFolder()), settings.presetFolder,
                   failedBefore, host)) {
    settings.buildVersionOfInstalledPresets = programBuild;
    host.Information("Presets have been installed in \r\n" + PresetsIn(settings.presetFolder));
  } else {
    settings.buildVersionOfInstalledPresets = kPresetInstallFailed;
  }
}

}  // namespace kv
