#pragma once
// The windows Export Settings and Import Settings show: the help window, the file dialogs and
// the message dialogs.
#include "app/controller/settings_transfer.h"

namespace kv::ui {
class TWindow;
}

namespace kv {

class TWinSettingsTransferHost final : public TSettingsTransferHost {
 public:
  explicit TWinSettingsTransferHost(ui::TWindow* owner) : owner_(owner) {}
  std::optional<bool> ShowHelp(TPage page, bool dontShowAgain) override;
  bool ChooseFile(bool save, const std::string& title, std::string& fileName,
                  const std::string& initialDir) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;

 private:
  ui::TWindow* owner_;
};

}  // namespace kv
