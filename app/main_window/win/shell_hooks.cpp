#include "app/main_window/win/shell_hooks.h"

#include "app/controller/controller.h"
#include "app/shell/variable_dump.h"
#include "app/shell/win/gui_utils.h"
#include "app/shell/win/logger_form.h"
#include "app/shell/win/other_programs_form.h"
#include "app/shell/win/splash_form.h"
#include "base/ini_file.h"
#include "base/settings_key.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "ui/application.h"

namespace kv {

TShellHooks::TShellHooks() = default;

TShellHooks::~TShellHooks() {
  FreeSplashWindows();
  TGUIUtils::Instance().EndWithProgram();
  TGUIUtils::Instance().SetSettings(nullptr);
}

void TShellHooks::KeepWindowPlacements() {
  TGUIUtils::Instance().SetSettings(nullptr);
  placements_ = GetSettingsRegistry().Open(GetSettingsRegKey(false), true);
  TGUIUtils::Instance().SetSettings(placements_.get());
}

bool TShellHooks::LogWindowOpen() const {
  const TLoggerForm* window = TLoggerForm::Instance();
  return window && window->Visible();
}

void TShellHooks::ShowLogWindow(TTransEngine& engine, const std::string& title,
                                std::function<void()> onClosed) {
  TLoggerForm& window = TLoggerForm::ShowLogWindow(placements_.get());
  window.SetText(title);
  window.SetCloseHandler(std::move(onClosed));
  TTransEngine* shown = &engine;
  window.SetDumpHandler([shown] {
    if (TLoggerForm* log = TLoggerForm::Instance())
      for (const std::string& line : DumpGlobalVariables(shown->Params().Globals()))
        log->AddLine(line);
  });
  // The engine logs on its logger thread: each line is handed to the main thread, which looks
  // the window up again (it may have closed meanwhile).
  engine.Params().SetOnLog([](const std::string& line) { TLoggerForm::PostLine(line); });
}

void TShellHooks::CloseLogWindow() {
  // Asked for at the program's end only.
  TLoggerForm::EndWithProgram();
}

void TShellHooks::AddLogLine(const std::string& line) { TLoggerForm::PostLine(line); }

void TShellHooks::AddErrorSeparator() { TGUIUtils::Instance().StartErrorGroup(); }

void TShellHooks::AddError(const std::string& text) { TGUIUtils::Instance().AddError(text); }

void TShellHooks::ShowNewErrors() { TGUIUtils::Instance().ShowIfNewErrors(); }

bool TShellHooks::ShowStartupSplash(std::function<void()> /*continueStartup*/) {
  // The splash posts the continuation itself when it hides; when it could not start counting,
  // the main window goes on at once.
  kv::ShowStartupSplash(ui::Application().MainForm());
  const TSplashForm1* splash = TSplashForm1::StartupSplashWindow();
  return splash && splash->TimerRunning();
}

void TShellHooks::ShowAbout() { ShowAboutBox(ui::Application().MainForm()); }

void TShellHooks::ShowOtherPrograms() { ShowOtherProgramsWindow(ui::Application().MainForm()); }

}  // namespace kv
