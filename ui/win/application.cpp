#include "ui/application.h"

#include <commctrl.h>

#include <algorithm>

#include "base/main_thread.h"
#include "base/platform.h"
#include "base/texts.h"
#include "base/win/main_thread_window.h"
#include "ui/form.h"
#include "ui/guard.h"
#include "ui/shortcut.h"
#include "ui/window.h"
#include "ui/win/edit_focus.h"
#include "ui/win/internal.h"

namespace kv::ui {

TApplication& TApplication::Instance() {
  static TApplication app;
  return app;
}

TApplication::TApplication() = default;
TApplication::~TApplication() {
  // Their windows end with the process; destroying them would hide them one by one first.
  for (std::unique_ptr<TForm>& form : goingWithProcess_) (void)form.release();
}

void TApplication::Initialize() {
  if (initialized_) return;
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
              ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES;
  InitCommonControlsEx(&icc);
  callWindow_ = std::make_unique<win::TMainThreadWindow>();
  if (title_.empty()) title_ = GetProgramTitle();
  displayBits_ = ScreenColorDepth();
  displaySize_ = MAKELONG(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SetExceptionHandler([this](const std::string& message) {
    if (OnException) {
      OnException(message);
    } else {
      DebugOutput(message);
    }
  });
  initialized_ = true;
}

void TApplication::SetMainShowCommand(int command) {
  const bool minimized =
      command == SW_SHOWMINNOACTIVE || command == SW_SHOWMINIMIZED || command == SW_MINIMIZE;
  mainRestoresMaximized_ = command == SW_SHOWMAXIMIZED || (minimized && mainRestoresMaximized_);
  mainShowCommand_ = command;
}

void TApplication::ShowMainFormAtStart() {
  if (!mainForm_ || !mainForm_->HandleAllocated()) return;
  if (!showMainForm_) {
    // Hidden in the tray: it is shown later as it would have been shown now.
    if (mainRestoresMaximized_) mainForm_->SetWindowState(TWindowState::Maximized);
    return;
  }
  mainForm_->ShowWithCommand(mainShowCommand_);
  if (!mainRestoresMaximized_ || mainShowCommand_ == SW_SHOWMAXIMIZED) return;
  // Minimised: the system restores it maximised, from the task bar as from anywhere else.
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!GetWindowPlacement(mainForm_->Handle(), &wp)) return;
  wp.flags |= WPF_RESTORETOMAXIMIZED;
  wp.showCmd = SW_SHOWMINNOACTIVE;
  SetWindowPlacement(mainForm_->Handle(), &wp);
}

void TApplication::Run() {
  Initialize();
  ShowMainFormAtStart();
  while (!terminated_) HandleMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    Idle();
    if (terminated_) return;
    WaitMessage();
    return;
  }
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return;
  }
  if (PreProcess(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (!terminated_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    if (PreProcess(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);  // wakes the loop, and ends any modal loop
}

void TApplication::Post(std::function<void()> fn) {
  TMainThreadCalls::Instance().Queue([fn = std::move(fn)] { Guarded(fn); });
}

void TApplication::KeepUntilEnd(std::unique_ptr<TForm> form) {
  if (form) goingWithProcess_.push_back(std::move(form));
}

void TApplication::FreeUnlessEnding(std::unique_ptr<TForm> form) {
  if (!form) return;
  if (form->HandleAllocated()) EnableWindow(form->Handle(), FALSE);
  // Posted before any quit message the answer leads to, so it runs while the loop still
  // turns, and after the handler that asked has decided.
  auto held = std::make_shared<std::unique_ptr<TForm>>(std::move(form));
  Post([this, held] {
    if (terminated_) KeepUntilEnd(std::move(*held));
    held->reset();
  });
}

bool TApplication::PreProcess(MSG& msg) {
  return Guarded(false, [&] {
    if (msg.message == WM_MOUSEMOVE) {
      std::string hint;
      for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        TWindow* w = TWindow::FromHandle(h);
        if (w && !w->Hint().empty()) {
          hint = GetLongHint(w->Hint());
          break;
        }
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
      }
      SetHint(hint);
      return false;
    }
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    auto* form = dynamic_cast<TForm*>(TWindow::FromHandle(root));
    if (!form) return false;
    if (form->KeyPreview() && form->PreviewKeyMessage(msg)) return true;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      TShiftState shift = KeyboardShiftState();
      TShortCut sc = MakeShortCut(static_cast<uint8_t>(msg.wParam), shift & ssShift, shift & ssCtrl,
                                  shift & ssAlt);
      // A text field keeps its editing keys: Del in a name being edited deletes a character.
      if (!detail::FocusedFieldKeepsKey(msg, sc) && form->HandleShortCut(sc)) return true;
    }
    return IsDialogMessageW(root, &msg) != FALSE;
  });
}

void TApplication::Idle() {
  Guarded([&] {
    bool done = true;
    OnIdle(done);
    // Copy: an update handler may close or free a form.
    std::vector<TForm*> forms = forms_;
    for (TForm* f : forms) {
      if (std::find(forms_.begin(), forms_.end(), f) != forms_.end() && f->Visible()) {
        f->UpdateActions();
      }
    }
  });
}

void TApplication::ModalLoop(TForm& form) {
  while (!terminated_ && form.HandleAllocated() && form.ModalResult() == mrNone) {
    HandleMessage();
  }
}

bool TApplication::Minimized() const {
  return mainForm_ && mainForm_->HandleAllocated() && IsIconic(mainForm_->Handle());
}

void TApplication::Minimize() {
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

void TApplication::BringToFront() {
  if (mainForm_) mainForm_->BringToFront();
}

void TApplication::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  OnHint();
}

void TApplication::SetShowHints(bool show) {
  showHints_ = show;
  detail::EnableToolHints(show);
}

void TApplication::CancelHint() {
  detail::EnableToolHints(false);
  detail::EnableToolHints(showHints_);
}

int TApplication::ScreenColorDepth() {
  HDC dc = GetDC(nullptr);
  int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(nullptr, dc);
  return bits;
}

void TApplication::DisplayChanged(int bitsPerPixel) {
  // Every top-level window gets the message; the program hears of the change once.
  DWORD size = MAKELONG(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  if (bitsPerPixel == displayBits_ && size == displaySize_) return;
  displayBits_ = bitsPerPixel;
  displaySize_ = size;
  OnDisplayChange(bitsPerPixel);
}

void TApplication::AddForm(TForm* form) {
  forms_.push_back(form);
}

void TApplication::RemoveForm(TForm* form) {
  std::erase(forms_, form);
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::ActivationChanged(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active) {
    OnActivate();
  } else {
    OnDeactivate();
  }
}

TWaitCursor::TWaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}

TWaitCursor::~TWaitCursor() {
  SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace kv::ui
