#include "editor/props/win/props_messages_win.h"

#include "ui/message_dialog.h"

namespace kv {

void TWinPropsMessages::ShowError(const std::string& text) {
  ui::MessageDlgDelayed(text, ui::TMsgDlgType::Error, ui::mbOK, ui::kErrorDelayMs);
}

void TWinPropsMessages::ShowInfo(const std::string& text) {
  ui::MessageDlgDelayed(text, ui::TMsgDlgType::Information, ui::mbOK, ui::kInformationDelayMs);
}

bool TWinPropsMessages::AskYesNo(const std::string& text, uint32_t delayMs) {
  return ui::MessageDlgDelayed(text, ui::TMsgDlgType::Confirmation, ui::mbYesNo,
                               static_cast<int>(delayMs)) == ui::mrYes;
}

TPropsMessages& WinPropsMessages() {
  static TWinPropsMessages messages;
  return messages;
}

}  // namespace kv
