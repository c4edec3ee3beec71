#include "app/win/program_main.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

#include "app/program_init.h"
#include "app/win/main_form.h"
#include "app/win/main_window_hooks.h"
#include "midi/midi_manager.h"
#include "midi/virtual_port_setup.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

namespace kv {

namespace {

// OLE for the shell's shortcut object, balanced at the end.
class TOleScope {
 public:
  TOleScope() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~TOleScope() {
    if (ok_) OleUninitialize();
  }
  TOleScope(const TOleScope&) = delete;
  TOleScope& operator=(const TOleScope&) = delete;

 private:
  bool ok_;
};

// The virtual-port setup's questions and errors, as the program's message dialogs whose
// buttons stay disabled for the first 200 ms.
class TVirtualPortDialogs final : public TVirtualPortSetupHost {
 public:
  TVirtualPortDialogs() { SetVirtualPortSetupHost(this); }
  ~TVirtualPortDialogs() override { SetVirtualPortSetupHost(nullptr); }
  TVirtualPortDialogs(const TVirtualPortDialogs&) = delete;
  TVirtualPortDialogs& operator=(const TVirtualPortDialogs&) = delete;

  bool ConfirmWarning(const std::string& text) override {
    return ui::MessageDlgDelayed(text, ui::TMsgDlgType::Warning, ui::mbOKCancel, kDelayMs) ==
           ui::mrOk;
  }
  bool ErrorOkCancel(const std::string& text) override {
    return ui::MessageDlgDelayed(text, ui::TMsgDlgType::Error, ui::mbOKCancel, kDelayMs) ==
           ui::mrOk;
  }
  void Error(const std::string& text) override {
    ui::MessageDlgDelayed(text, ui::TMsgDlgType::Error, ui::mbOK, kDelayMs);
  }

 private:
  static constexpr int kDelayMs = 200;
};

}  // namespace

int RunKorvanta(TMainWindowHooks& hooks) {
  // Every action tag is known before any window or project exists.
  InitializeProgram(SystemClipboardFormatRegistrar());
  TOleScope ole;
  TVirtualPortDialogs virtualPortDialogs;
  ui::Application().Initialize();
  {
    auto form = std::make_unique<TTransForm>(hooks);
    ui::Application().OnException = [&form](const std::string& message) {
      form->Controller().Log(message, kLogError);
    };
    ui::Application().SetMainForm(form.get());
    // Under "/close" the command line has run: no splash, no editor, no loop.
    if (!form->Quitting()) ui::Application().Run();
    ui::Application().OnException = nullptr;
    ui::Application().SetMainForm(nullptr);
  }
  FreeMidiManager();
  return 0;
}

}  // namespace kv
