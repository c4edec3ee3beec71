#include "app/win/shell_hooks.h"

#include "app/variable_dump.h"
#include "app/win/gui_utils.h"
#include "app/win/logger_form.h"
#include "app/win/publicity_form.h"
#include "app/win/splash_form.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "ui/application.h"

namespace kv {

TShellHooks::~TShellHooks() { TGUIUtils::Instance().EndWithProgram(); }

bool TShellHooks::LogWindowOpen() const {
  const TLoggerForm* window = TLoggerForm::Instance();
  return window && window->Visible();
}

void TShellHooks::ShowLogWindow(TTransEngine& engine, const std::string& title,
                                std::function<void()> onClosed) {
  TLoggerForm& window = TLoggerForm::ShowLogWindow(nullptr);
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
