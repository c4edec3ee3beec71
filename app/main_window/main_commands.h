#pragma once
// The main window's commands and when each is enabled, as data a view asks; the options
// column text of a translator row; the window title with its modified mark.
#include <string>

#include "app/main_window/command_scope.h"

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
  FileNew, FileOpen, FileSave, FileSaveAs, FileClose, RecentFile, ProjectAsText,
  ProjectProperties, Exit, TrayShowMinimize,
  // MIDI, view, options, help
  MidiPorts, DeviceAliases, ProjectDefaultPorts, Routing, OpenUsedDevices, RescanMidi,
  LogWindow, EventMonitor, SuppressKeys, IgnoreKeyIn, SettingsDialog, ConfirmExit,
  MinimizeToTray, HelpOverview, OtherProducts, About, Panic,
  // the lists' own: a rename in place ended (Enter, a click elsewhere), rows dropped
  RenameEnded, RowsDropped,
  // the translator editor's own: its alias button, its close
  EditorPortAliases, EditorClose,
};

// What each command does with the project and the editor's change not applied yet (see
// command_scope.h): the one rule every road into it follows. A command that changes, copies,
// replaces or closes what the project holds (its presets, translators, aliases, default ports,
// routes, properties, file) takes the editor's change in first; switching presets on and off,
// the ports opened, the views and the options touch neither and run at any time, as does a
// rename in place, which the editor hears of as it is made.
TCommandKind CommandKindOf(TMainCommand command);

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
