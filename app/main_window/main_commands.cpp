#include "app/main_window/main_commands.h"

#include "base/utils.h"
#include "engine/event.h"
#include "engine/format.h"
#include "engine/translator.h"

namespace kv {
namespace {

// Add and Paste put translators into the current preset, or into a new one when the project
// has none; with presets but none current they would have nowhere to go.
bool HasTranslatorTarget(const TCommandState& s) {
  return s.presetCount == 0 || (s.currentPreset >= 0 && s.currentPreset < s.presetCount);
}

bool OneRealPreset(const TCommandState& s) {
  return s.selectedPresets == 1 && s.selectedPresetReal;
}

}  // namespace

bool CommandEnabled(TMainCommand command, const TCommandState& s) {
  switch (command) {
    case TMainCommand::PresetNew:
    case TMainCommand::EditTrans:
      return true;
    case TMainCommand::PresetRename:
    case TMainCommand::PresetSaveAsText:
    case TMainCommand::PresetProperties:
      return OneRealPreset(s);
    case TMainCommand::PresetDuplicate:
      return s.selectedPresets == 1;
    case TMainCommand::PresetDelete:
      return s.selectedPresets > 1 || OneRealPreset(s);
    case TMainCommand::PresetMove:
      return s.selectedPresets >= 1;
    case TMainCommand::PresetDefaultPorts:
      return s.currentPreset >= 0;
    case TMainCommand::AddTrans:
      return HasTranslatorTarget(s);
    case TMainCommand::PasteTrans:
      return s.clipboardHasTranslators && HasTranslatorTarget(s);
    case TMainCommand::RenameTrans:
    case TMainCommand::DuplicateTrans:
      return s.selectedTranslators == 1;
    case TMainCommand::ActivateTrans:
    case TMainCommand::DeactivateTrans:
    case TMainCommand::MoveTrans:
    case TMainCommand::CutTrans:
    case TMainCommand::CopyTrans:
    case TMainCommand::DeleteTrans:
      return s.selectedTranslators >= 1;
    case TMainCommand::FileOpenMerge:
      return s.presetCount > 0;
    case TMainCommand::TrayPresets:
      return s.presetCount > 1;
    default:
      return true;  // the others have no rule of their own
  }
}

TCommandKind CommandKindOf(TMainCommand command) {
  switch (command) {
    case TMainCommand::Exit:
      return TCommandKind::Exit;
    case TMainCommand::EditorPortAliases:
    case TMainCommand::EditorClose:
      return TCommandKind::Editor;
    // Following the selection takes the editor's change itself: a failed Apply puts the
    // selection back.
    case TMainCommand::EditTrans:
    case TMainCommand::TrayPresets:
    case TMainCommand::TrayShowMinimize:
    case TMainCommand::OpenUsedDevices:
    case TMainCommand::RescanMidi:
    case TMainCommand::LogWindow:
    case TMainCommand::EventMonitor:
    case TMainCommand::SuppressKeys:
    case TMainCommand::IgnoreKeyIn:
    case TMainCommand::ConfirmExit:
    case TMainCommand::MinimizeToTray:
    case TMainCommand::HelpOverview:
    case TMainCommand::OtherProducts:
    case TMainCommand::About:
    case TMainCommand::Panic:
    case TMainCommand::RenameEnded:
      return TCommandKind::Apart;
    default:
      return TCommandKind::Project;
  }
}

std::string PresetDeleteText(int selected, const std::string& name) {
  if (selected <= 0) return "Please select a Preset to delete.";
  if (selected == 1)
    return FormatText("Are you sure to delete Preset \"%s\" ?\r\nThis can't be undone later !",
                      {name});
  return FormatText(
      "Are you sure you want to delete these %d presets?\r\nThis can't be undone later !",
      {selected});
}

std::string TranslatorDeleteText(int selected, const std::string& name) {
  if (selected == 1) return FormatText("Are you sure to delete Translator \"%s\" ?", {name});
  return FormatText("Are you sure to delete these %d Translators ?", {selected});
}

std::string TranslatorOptionsText(const TTransMsg& translator) {
  std::string text;
  auto add = [&text](const std::string& item) {
    if (!text.empty()) text += ", ";
    text += item;
  };
  if (translator.Stop()) add("stop");
  if (translator.HasRules()) add(translator.Rules()->GetDescription());
  if (translator.GetOutgoingType() == kActionMidi && translator.OutputOriginal()) add("thru");
  return text;
}

bool ProjectIsChanged(bool modified, const std::string& fileName, int presetCount) {
  return modified && (!fileName.empty() || presetCount > 0);
}

std::string MainWindowTitle(const std::string& appTitle, const std::string& fileName,
                            bool changed) {
  if (fileName.empty()) return changed ? appTitle + " * " : appTitle;
  return appTitle + (changed ? " * " : " - ") + ExtractFileName(fileName);
}

}  // namespace kv
