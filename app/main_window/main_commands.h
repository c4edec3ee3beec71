#pragma once
// The main window's commands and when each is enabled, as data a view asks; the options
// column text of a translator row; the window title with its modified mark.
#include <string>

namespace kv {

class TTransMsg;

enum class TMainCommand {
  // presets
  PresetNew, PresetRename, PresetDelete, PresetDuplicate, PresetMove, PresetSaveAsText,
  PresetProperties, PresetDefaultPorts,
  // translators
  AddTrans, EditTrans, RenameTrans, DuplicateTrans, ActivateTrans, DeactivateTrans,
  MoveTrans, CutTrans, CopyTrans, PasteTrans, DeleteTrans,
  // files and tray
  FileOpenMerge, TrayPresets,
};

// What the commands depend on.
struct TCommandState {
  int presetCount = 0;
  int selectedPresets = 0;        // selected rows of the preset list
  bool selectedPresetReal = false;  // with one selected row: it is a preset of the project
  int currentPreset = -1;         // the single selected preset, -1 none
  int selectedTranslators = 0;
  bool clipboardHasTranslators = false;
};

bool CommandEnabled(TMainCommand command, const TCommandState& state);

// The delete questions: by the number of selected rows and, for one, its name. For presets,
// none selected gives the error to show instead.
std::string PresetDeleteText(int selected, const std::string& name);
std::string TranslatorDeleteText(int selected, const std::string& name);

// "stop", the rules description and "thru" (MIDI output that lets the message through),
// joined by ", ".
std::string TranslatorOptionsText(const TTransMsg& translator);

// A project counts as changed when it is marked modified and has a file name or a preset.
bool ProjectIsChanged(bool modified, const std::string& fileName, int presetCount);
// The application title, " * " or " - " and the file's name without folder; without a file,
// the title and " * " only when changed.
std::string MainWindowTitle(const std::string& appTitle, const std::string& fileName,
                            bool changed);

}  // namespace kv
