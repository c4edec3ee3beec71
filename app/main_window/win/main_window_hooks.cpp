#include "app/main_window/win/main_window_hooks.h"

#include "ui/message_dialog.h"

namespace kv {

void TMainWindowHooks::AddErrorSeparator() { newErrors_.clear(); }

void TMainWindowHooks::AddError(const std::string& text) { newErrors_.push_back(text); }

void TMainWindowHooks::ShowNewErrors() {
  if (newErrors_.empty()) return;
  std::string text;
  for (const std::string& line : newErrors_) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  newErrors_.clear();
  ui::MessageDlg(text, ui::TMsgDlgType::Error, ui::mbOK);
}

}  // namespace kv
