#include "app/shell/win/logger_form.h"

#include "app/shell/win/release_later.h"
#include "base/ini_file.h"
#include "base/main_thread.h"
#include "controls/text_editor/win/text_editor_window.h"
#include "ui/button.h"
#include "ui/placement.h"

namespace kv {

using namespace ui;

namespace {

constexpr const char* kSection = "LogWindow";
constexpr int kBottomHeight = 41;

std::unique_ptr<TLoggerForm> logWindow;  // main thread

TFormParams LogParams() {
  TFormParams p;
  p.caption = "Log";
  p.bounds = TRect::FromBounds(0, 0, 560, 360);
  p.position = TFormPosition::ScreenCenter;
  return p;
}

}  // namespace

TLoggerForm::TLoggerForm(TCustomIniFile* settings) : TForm(LogParams()), settings_(settings) {
  TPanel& bottom = Add<TPanel>(*this, TRect::FromBounds(0, 0, 560, kBottomHeight));
  bottom.SetAlign(TAlign::Bottom);
  clear_ = &bottom.Add<TButton>(bottom, "Clear", TRect::FromBounds(8, 8, 75, 25));
  dump_ = &bottom.Add<TButton>(bottom, "Dump Global Variables", TRect::FromBounds(91, 8, 150, 25));
  close_ = &bottom.Add<TButton>(bottom, "Close", TRect::FromBounds(249, 8, 75, 25));
  memo_ = &Add<TZarnMemo>(*this, TRect::FromBounds(0, 0, 560, 300));
  memo_->SetAlign(TAlign::Client);
  memo_->SetReadOnly(true);
  memo_->SetFontSpec({"Courier New", -13});
  TZNGutterOptions& gutter = memo_->GutterOptions();
  gutter.SetVisible(false);
  gutter.SetShowLineNum(true);
  gutter.SetAlignment(TZNAlignment::taRightJustify);
  gutter.SetWidth(43);
  gutter.SetSpace(1);
  gutter.SetLedingDigits(5);

  clear_->OnClick = [this] { memo_->Clear(); };
  close_->OnClick = [this] { Close(); };
  dump_->OnClick = [this] {
    if (dumpHandler_) dumpHandler_();
  };
  dump_->SetEnabled(false);
  bottom.OnResize = [this, &bottom] {
    // Close sits at the right edge, the others at the left.
    close_->SetBounds(bottom.ClientRect().Width() - 83, 8, 75, 25);
  };
  SetCancelButton(close_);
  OnShow = [this] { Shown(); };
  OnClose = [this](TCloseAction&) { Closing(); };
}

TLoggerForm::~TLoggerForm() = default;

TLoggerForm* TLoggerForm::Instance() {
  return logWindow.get();
}

TLoggerForm& TLoggerForm::ShowLogWindow(TCustomIniFile* settings) {
  if (!logWindow) logWindow = std::make_unique<TLoggerForm>(settings);
  logWindow->Show();
  logWindow->BringToFront();
  return *logWindow;
}

void TLoggerForm::Log(const std::string& line) {
  if (logWindow) logWindow->AddLine(line);
}

void TLoggerForm::PostLine(const std::string& line) {
  // Looked up when the call runs: the window may have closed meanwhile.
  TMainThreadCalls::Instance().Queue([line] { Log(line); });
}

void TLoggerForm::EndWithProgram() {
  if (!logWindow) return;
  if (!logWindow->Visible()) {
    logWindow->Close();
    return;
  }
  TLoggerForm& window = *logWindow;
  if (window.closeHandler_) window.closeHandler_();
  if (window.settings_)
    SaveFormPlacement(window, *window.settings_, kSection, kPlaceSize | kPlacePosition);
  // Destroyed on its own, a shown window is hidden first, which some window systems answer
  // slowly; the process takes it away at once with the main window.
  (void)logWindow.release();
}

void TLoggerForm::AddLine(const std::string& text) {
  memo_->AppendLine(text);
}

void TLoggerForm::SetDumpHandler(std::function<void()> handler) {
  dumpHandler_ = std::move(handler);
  dump_->SetEnabled(static_cast<bool>(dumpHandler_));
}

void TLoggerForm::Shown() {
  memo_->Clear();
  if (settings_) LoadFormPlacement(*this, *settings_, kSection, kPlaceSize | kPlacePosition);
}

void TLoggerForm::Closing() {
  if (closeHandler_) closeHandler_();
  if (settings_) SaveFormPlacement(*this, *settings_, kSection, kPlaceSize | kPlacePosition);
  if (logWindow.get() == this) ReleaseLater(logWindow);
}

}  // namespace kv
