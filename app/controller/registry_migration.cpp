#include "app/controller/registry_migration.h"

#include <exception>

#include "base/exception.h"
#include "base/ini_file.h"
#include "base/settings_key.h"
#include "base/texts.h"
#include "engine/format.h"

namespace kv {
namespace {

constexpr const char* kPresetsKey = "Presets";

std::vector<std::string> InstancesWithPresets(const std::string& baseKey,
                                              TMigrationRegistry& registry) {
  std::vector<std::string> found;
  const auto instances = registry.SubKeys(baseKey);
  if (!instances) return found;
  for (const auto& instance : *instances)
    if (registry.KeyExists(baseKey + "\\" + instance + "\\" + kPresetsKey))
      found.push_back(instance);
  return found;
}

std::string IntroductionText(const std::vector<std::string>& instances) {
  std::string text;
  if (instances.size() == 1) {
    text = "You have presets from previous versions stored in the registry.";
  } else {
    text = "You have presets from previous versions in the registry, from the following "
           "instances:";
    for (const auto& name : instances) text += "\r\n" + name;
  }
  return text + "\r\n" + "For each project, choose a filename to save these as new project files.";
}

// Copies the presets of one project into ini; returns how many were saved, and whether every
// preset came over whole (so deleting the registry copy loses nothing).
int CopyPresets(const std::string& presetsPath, const std::string& project,
                const std::vector<std::string>& presets, TMigrationRegistry& registry,
                TMigrationHost& host, TMemIniFile& ini, bool& complete) {
  int saved = 0;
  for (const auto& preset : presets) {
    const auto values = registry.Values(presetsPath + "\\" + preset);
    if (!values) {
      host.Error(FormatText("In Project \"%s\", error opening preset \"%s\"!", {project, preset}));
      complete = false;
      continue;
    }
    if (values->empty()) {
      host.Information(FormatText("Project \"%s\", preset \"%s\" does not have any Translators.",
                                  {project, preset}));
      complete = false;  // not saved, so not to be deleted unseen
      continue;
    }
    for (const auto& value : *values) {
      if (value.text)
        ini.WriteString(preset, value.name, *value.text);
      else
        complete = false;
    }
    ++saved;
  }
  return saved;
}

// One project; false when the user cancelled its file dialog. Errors are raised.
bool MigrateProject(const std::string& baseKey, const std::string& project,
                    TMigrationRegistry& registry, TMigrationHost& host) {
  host.Information(
      FormatText("Please choose a filename for project \"%s\" in the following dialog.", {project}));
  std::string file = FormatText("%s Project (migrated).kvxp", {project});
  if (!host.ChooseProjectFile(file)) return false;
  const std::string presetsPath = baseKey + "\\" + project + "\\" + kPresetsKey;
  const auto presets = registry.SubKeys(presetsPath);
  if (!presets) throw Exception(FormatText("Error opening old project: \"%s\"", {project}));
  if (presets->empty()) {
    host.Information(FormatText("Old Project \"%s\" does not contain any presets.", {project}));
    return true;
  }
  // The user chose to overwrite the file: it becomes a fresh project, not a mix with the old.
  TMemIniFile ini;
  ini.SetFileName(file);
  bool complete = true;
  const int saved = CopyPresets(presetsPath, project, *presets, registry, host, ini, complete);
  ini.UpdateFile();
  const std::string savedText = FormatText(
      "Saved %d presets successfully from previous project \"%s\" to file.", {saved, project});
  // Deleting is offered only when the file holds everything the registry had.
  if (!complete) {
    host.Information(savedText);
    return true;
  }
  if (host.AskYesNo(savedText + "\r\nDo you want to delete the old presets from the registry?") &&
      !registry.DeleteKeyTree(baseKey + "\\" + project, kPresetsKey))
    throw Exception(FormatText("Error deleting project \"%s\" from the registry.", {project}));
  return true;
}

}  // namespace

std::string MigrationBaseKey() {
  const std::string path = GetSettingsRegPath(true);
  const std::string company = path.substr(0, path.find('\\'));
  return "\\Software\\" + company + "\\" + GetProgramTitle();
}

void MigrateRegistryProjects(const std::string& baseKey, bool& migrationDone,
                             TMigrationRegistry& registry, TMigrationHost& host) {
  if (!registry.KeyExists(baseKey)) return;
  const std::vector<std::string> instances = InstancesWithPresets(baseKey, registry);
  if (instances.empty()) return;
  host.Information(IntroductionText(instances));
  migrationDone = true;
  for (const auto& project : instances) {
    try {
      if (!MigrateProject(baseKey, project, registry, host)) migrationDone = false;
    } catch (const std::exception& e) {
      migrationDone = false;
      host.Error(e.what());
    }
  }
  if (migrationDone) host.Information("Migration of registry projects successfully done.");
}

}  // namespace kv
