#pragma once
// The property dialogs' messages as the program's message dialogs.
#include "editor/props/props_messages.h"

namespace kv {

class TWinPropsMessages final : public TPropsMessages {
 public:
  void ShowError(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  bool AskYesNo(const std::string& text, uint32_t delayMs) override;
};

// The one the dialogs and pages of the program use.
TPropsMessages& WinPropsMessages();

}  // namespace kv
