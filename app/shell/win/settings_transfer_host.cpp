#include "app/shell/win/settings_transfer_host.h"

#include "app/shell/win/exim_help.h"
#include "ui/dialog_types.h"
#include "ui/file_dialog.h"
#include "ui/message_dialog.h"

namespace kv {

std::optional<bool> TWinSettingsTransferHost::ShowHelp(TPage page, bool dontShowAgain) {
  TExImHelp help(page, dontShowAgain, owner_);
  return help.Run();
}

bool TWinSettingsTransferHost::ChooseFile(bool save, const std::string& title,
                                          std::string& fileName, const std::string& initialDir) {
  std::unique_ptr<ui::TFileDialog> dialog;
  if (save)
    dialog = std::make_unique<ui::TSaveDialog>();
  else
    dialog = std::make_unique<ui::TOpenDialog>();
  dialog->title = title;
  dialog->filter = kSettingsFileFilter;
  dialog->defaultExt = "kvxs";
  dialog->fileName = fileName;
  dialog->initialDir = initialDir;
  dialog->options |= save ? ui::ofOverwritePrompt : ui::ofFileMustExist;
  if (!dialog->Execute(owner_ ? owner_->Handle() : nullptr)) return false;
  fileName = dialog->fileName;
  return true;
}

void TWinSettingsTransferHost::Information(const std::string& text) {
  ui::MessageDlgDelayed(text, ui::TMsgDlgType::Information, ui::mbOK, 500);
}

void TWinSettingsTransferHost::Error(const std::string& text) {
  ui::MessageDlgDelayed(text, ui::TMsgDlgType::Error, ui::mbOK, 1000);
}

}  // namespace kv
