#include "app/shell/win/gui_utils.h"

#include <memory>

#include "app/shell/error_lines.h"
#include "app/shell/win/err_form.h"
#include "app/shell/win/release_later.h"
#include "base/platform.h"
#include "base/utils.h"
#include "controls/go_to_web.h"
#include "ui/message_dialog.h"

namespace kv {

using namespace ui;

namespace {

std::unique_ptr<TErrForm> errorWindow;  // main thread

}  // namespace

TGUIUtils& TGUIUtils::Instance() {
  static TGUIUtils utils;
  return utils;
}

void TGUIUtils::AddError(const std::string& text) {
  // Reporters may hold their own locks: the line is posted, never waited for.
  static const TReportPoster poster(
      [](const std::string& line) { Instance().AddErrorHere(line); });
  poster.Report(text);
}

void TGUIUtils::AddErrorHere(const std::string& text) {
  if (!errorWindow) {
    errorWindow = std::make_unique<TErrForm>([] { return Instance().settings_; });
    errorWindow->OnClosed = [] { ReleaseLater(errorWindow); };
  }
  errorWindow->AddLine(text);
  errorWindow->Show();
}

void TGUIUtils::StartErrorGroup() {
  if (errorWindow) errorWindow->StartGroup();
}

bool TGUIUtils::ShowIfNewErrors() {
  if (!errorWindow || !errorWindow->Lines().HasNew()) return false;
  errorWindow->Show();
  return true;
}

void TGUIUtils::CloseErrorWindow() {
  if (!errorWindow) return;
  // Called from outside the window's handlers, also after the message loop has ended at the
  // program's end: the window goes now, not in a call posted to a loop that will not run it.
  errorWindow->OnClosed = [] {};
  errorWindow->Close();
  errorWindow.reset();
}

void TGUIUtils::EndWithProgram() {
  if (!errorWindow || !errorWindow->Visible()) {
    CloseErrorWindow();
    return;
  }
  errorWindow->SavePlacement();
  // Goes with the process, as the main window does: not hidden first.
  (void)errorWindow.release();
}

TErrForm* TGUIUtils::ErrorWindow() const {
  return errorWindow.get();
}

void TGUIUtils::ShowInfo(const std::string& text) {
  ShowInfoDelayed(text, kInformationDelayMs);
}

void TGUIUtils::ShowInfoDelayed(const std::string& text, int delayMs) {
  MessageDlgDelayed(text, TMsgDlgType::Information, mbOK, delayMs);
}

void TGUIUtils::ShowError(const std::string& text) {
  ShowErrorDelayed(text, kErrorDelayMs);
}

void TGUIUtils::ShowErrorDelayed(const std::string& text, int delayMs) {
  MessageDlgDelayed(text, TMsgDlgType::Error, mbOK, delayMs);
}

void TGUIUtils::ShowFile(const std::string& name, bool relative) {
  const std::string path = relative ? AddTrailingBackslash(GetProgramFolder()) + name : name;
  bool shown = false;
  if (TGoToWeb::BrowserAvailable())
    shown = TGoToWeb::OpenAddress(relative ? "file://" + path : path);
  if (!shown) shown = ShellOpen(0, path, "", "");
  if (!shown) ShowError("Error showing the following file:\r\n" + path);
}

}  // namespace kv
