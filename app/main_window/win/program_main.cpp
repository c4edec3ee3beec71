#include "app/main_window/win/program_main.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

#include "app/main_window/program_init.h"
#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_window_hooks.h"
#include "midi/manager/midi_manager.h"
#include "midi/manager/virtual_port_setup.h"
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
    form->ShutDown();
    // A shown main window goes with the process, all at once with its children. Destroyed
    // on its own it would be hidden first, and a window system that answers hides slowly
    // (Wine's managed windows without a window manager: two seconds) keeps the program
    // on screen after the user's last answer. The form, its engine ended, stays valid for
    // any message that still reaches it.
    if (!form->Quitting() && form->HandleAllocated() && form->Visible()) (void)form.release();
  }
  FreeMidiManager();
  return 0;
}

}  // namespace kv
