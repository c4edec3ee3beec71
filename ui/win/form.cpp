#include "ui/form.h"

#include <algorithm>
#include <vector>

#include "base/exception.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/graphics.h"
#include "ui/menu.h"
#include "ui/placement.h"

namespace kv::ui {
namespace {

HFONT DefaultFormFont() {
  static TFont font = [] {
    TFont f;
    f.CreateMessageFont();
    return f;
  }();
  return font.Handle();
}

DWORD FormStyleBits(const TFormParams& p, DWORD& exStyle) {
  DWORD style = WS_CLIPCHILDREN;
  switch (p.border) {
    case TBorderStyle::Sizeable:
      style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      if (p.minimizeBox) style |= WS_MINIMIZEBOX;
      if (p.maximizeBox) style |= WS_MAXIMIZEBOX;
      break;
    case TBorderStyle::Dialog:
      style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      exStyle |= WS_EX_DLGMODALFRAME;
      break;
    case TBorderStyle::Single:
      style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
      if (p.minimizeBox) style |= WS_MINIMIZEBOX;
      if (p.maximizeBox) style |= WS_MAXIMIZEBOX;
      break;
    case TBorderStyle::ToolWindow:
      style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
    case TBorderStyle::None:
      style |= WS_POPUP;
      break;
  }
  return style;
}

// The windows a modal form disables, enabled again when it ends (also on an exception).
class TDisabledWindows {
 public:
  explicit TDisabledWindows(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), &TDisabledWindows::Collect,
                      reinterpret_cast<LPARAM>(this));
    for (HWND h : windows_) EnableWindow(h, FALSE);
  }
  ~TDisabledWindows() {
    for (HWND h : windows_) {
      if (IsWindow(h)) EnableWindow(h, TRUE);
    }
  }
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND hwnd, LPARAM lp) {
    auto* self = reinterpret_cast<TDisabledWindows*>(lp);
    if (hwnd != self->except_ && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
      self->windows_.push_back(hwnd);
    }
    return TRUE;
  }
  HWND except_;
  std::vector<HWND> windows_;
};

}  // namespace

TForm::TForm(const TFormParams& params) : owner_(params.owner), position_(params.position) {
  TCreateParams p;
  p.caption = params.caption;
  p.exStyle = WS_EX_CONTROLPARENT | params.extraExStyle;
  p.style = FormStyleBits(params, p.exStyle);
  p.bounds = params.bounds;
  p.parent = params.owner ? params.owner->Handle() : nullptr;
  font_ = DefaultFormFont();
  CreateHandle(p);
  Register();
}

TForm::TForm(const TDialogTemplate& dialog) : owner_(dialog.owner), fromTemplate_(true) {
  HINSTANCE module = dialog.module ? dialog.module : GetModuleHandleW(nullptr);
  const wchar_t* name = dialog.name.empty() ? MAKEINTRESOURCEW(dialog.id) : dialog.name.c_str();
  HWND hwnd = CreateDialogParamW(module, name, owner_ ? owner_->Handle() : nullptr,
                                 &TWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  if (!hwnd || Handle() != hwnd) {
    if (hwnd) DestroyWindow(hwnd);
    throw Exception("Cannot create the dialog from its template");
  }
  font_ = reinterpret_cast<HFONT>(Perform(WM_GETFONT));
  Register();
}

TForm::~TForm() {
  Application().RemoveForm(this);
  // Toolbar buttons, menu-like controls and buttons unlink from the form's actions as they go:
  // they must go while the actions still exist.
  FreeOwnedChildren();
  // The bar belongs to its TMainMenu: Windows must not destroy it with the window.
  if (menu_ && HandleAllocated()) ::SetMenu(Handle(), nullptr);
  if (menu_) menu_->SetWindow(nullptr);
}

void TForm::Register() {
  Application().AddForm(this);
}

void TForm::ApplyPosition() {
  if (shownOnce_) return;
  shownOnce_ = true;
  switch (position_) {
    case TFormPosition::Designed:
      break;
    case TFormPosition::ScreenCenter:
      CenterFormOver(*this, nullptr);
      break;
    case TFormPosition::OwnerFormCenter: {
      auto* owner = dynamic_cast<TForm*>(owner_);
      CenterFormOver(*this, owner ? owner : Application().MainForm());
      break;
    }
  }
}

void TForm::SetVisible(bool visible) {
  if (!HandleAllocated()) return;
  if (!visible) {
    ShowWindow(Handle(), SW_HIDE);
    return;
  }
  int command = SW_SHOW;
  if (pendingState_) {
    command = *pendingState_ == TWindowState::Maximized   ? SW_SHOWMAXIMIZED
              : *pendingState_ == TWindowState::Minimized ? SW_SHOWMINNOACTIVE
                                                          : SW_SHOWNORMAL;
    pendingState_.reset();
  }
  ShowWithCommand(command);
}

void TForm::ShowWithCommand(int showCommand) {
  if (!HandleAllocated()) return;
  ApplyPosition();
  ShowWindow(Handle(), showCommand);
}

void TForm::BringToFront() {
  if (!HandleAllocated()) return;
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
}

bool TForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(canClose);
  return canClose;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  if (modal_) {
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    return;
  }
  if (Application().MainForm() == this) {
    Application().Terminate();
    return;
  }
  TCloseAction action = TCloseAction::Hide;
  OnClose(action);
  if (action == TCloseAction::Hide) {
    Hide();
  } else if (action == TCloseAction::Minimize) {
    ShowWindow(Handle(), SW_MINIMIZE);
  }
}

int TForm::ShowModal() {
  if (modal_) throw Exception("The window is already shown modally");
  if (!HandleAllocated()) throw Exception("The window no longer exists");
  HWND previous = GetActiveWindow();
  if (GetCapture()) ReleaseCapture();
  modalResult_ = mrNone;
  modal_ = true;
  {
    TDisabledWindows disabled(Handle());
    Show();
    SetActiveWindow(Handle());
    Application().ModalLoop(*this);
    // Enable the others before hiding, so activation returns to them.
  }
  if (hideAfterModal_) Hide();
  modal_ = false;
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  if (modalResult_ == mrNone) modalResult_ = mrCancel;  // the program ended the loop
  return modalResult_;
}

TWindowState TForm::WindowState() const {
  if (!HandleAllocated()) return TWindowState::Normal;
  if (pendingState_) return *pendingState_;
  if (IsIconic(Handle())) return TWindowState::Minimized;
  if (IsZoomed(Handle())) return TWindowState::Maximized;
  return TWindowState::Normal;
}

void TForm::SetWindowState(TWindowState state) {
  if (!HandleAllocated()) return;
  if (!Visible()) {
    pendingState_ = state;
    return;
  }
  ShowWindow(Handle(), state == TWindowState::Maximized   ? SW_MAXIMIZE
                       : state == TWindowState::Minimized ? SW_MINIMIZE
                                                          : SW_RESTORE);
}

TRect TForm::RestoredBounds() const {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!HandleAllocated() || !GetWindowPlacement(Handle(), &wp)) return {};
  const RECT& r = wp.rcNormalPosition;
  return {r.left, r.top, r.right, r.bottom};
}

void TForm::SetFormStyle(TFormStyle style) {
  style_ = style;
  if (HandleAllocated()) {
    SetWindowPos(Handle(), style == TFormStyle::StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TForm::SetDefaultButton(TButton* button) {
  if (defaultButton_ && defaultButton_ != button) defaultButton_->SetDefault(false);
  defaultButton_ = button;
  if (button) button->SetDefault(true);
}

void TForm::SetMenu(TMainMenu* menu) {
  if (menu_) menu_->SetWindow(nullptr);
  menu_ = menu;
  if (menu_) menu_->SetWindow(Handle());
  if (HandleAllocated()) ::SetMenu(Handle(), menu ? menu->Handle() : nullptr);
}

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetIcon(HICON big, HICON small) {
  Perform(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  Perform(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

bool TForm::ClickButton(TButton* button) {
  if (!button || !button->Enabled() || !button->Visible()) return false;
  button->Click();
  return true;
}

bool TForm::PreviewKeyMessage(MSG& msg) {
  if (msg.hwnd == Handle()) return false;  // the form's own WndProc sees it anyway
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(msg.wParam);
      KeyDown(key, KeyboardShiftState());
      if (key == 0) return true;
      msg.wParam = key;
      return false;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(msg.wParam);
      KeyUp(key, KeyboardShiftState());
      if (key == 0) return true;
      msg.wParam = key;
      return false;
    }
    case WM_CHAR: {
      wchar_t ch = static_cast<wchar_t>(msg.wParam);
      KeyPress(ch);
      if (ch == 0) return true;
      msg.wParam = ch;
      return false;
    }
    default:
      return false;
  }
}

bool TForm::HandleShortCut(TShortCut shortCut) {
  if (actions_.ExecuteShortCut(shortCut)) return true;
  return menu_ && menu_->HandleShortCut(shortCut);
}

void TForm::UpdateActions() {
  actions_.UpdateAll();
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      if ((LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) &&
          (lp == 0 || !TWindow::FromHandle(reinterpret_cast<HWND>(lp)))) {
        if (LOWORD(wp) == IDOK) {
          if (ClickButton(defaultButton_)) return 0;
          if (fromTemplate_ && modal_) modalResult_ = mrOk;
        } else if (cancelButton_) {
          ClickButton(cancelButton_);  // a disabled cancel button keeps the form open
        } else if (fromTemplate_ && modal_) {
          modalResult_ = mrCancel;
        }
        return 0;
      }
      break;
    case WM_NEXTDLGCTL:
      // The dialog manager asks this of the window it navigates (a label's mnemonic moves to
      // the label, then on); dialog templates get it from the default dialog procedure.
      if (!fromTemplate_) {
        MoveDialogFocus(wp, lp);
        return 0;
      }
      break;
    case DM_GETDEFID:
      if (defaultButton_ && defaultButton_->HandleAllocated()) {
        return MAKELRESULT(defaultButton_->ControlId(), DC_HASDEFID);
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        OnDeactivate();
      } else {
        OnActivate();
        if (!fromTemplate_ && LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) {
          // Focus goes back where it was, or at first (or when that control is out of sight,
          // its page hidden meanwhile) to the first field.
          HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) &&
                                IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)
                            ? lastFocus_
                            : FirstFocus();
          if (target) {
            ::SetFocus(target);
            return 0;
          }
        }
      }
      break;
    case WM_ACTIVATEAPP:
      Application().ActivationChanged(wp != FALSE);
      break;
    case WM_DISPLAYCHANGE:
      Application().DisplayChanged(static_cast<int>(wp));
      break;
    case WM_SHOWWINDOW: {
      LRESULT r = DefaultProc(msg, wp, lp);
      // Sent by ShowWindow itself (lParam 0); an owner's minimising or restoring hides or
      // shows the window through ShowWindow, which reports it then.
      if (lp == 0) ReportShowing(wp != FALSE);
      return r;
    }
    case WM_WINDOWPOSCHANGED: {
      // Not every show sends WM_SHOWWINDOW (Wine sends none for a window shown maximised or
      // minimised, nor does SetWindowPos): the change of place reports what it showed or hid.
      const UINT flags = reinterpret_cast<const WINDOWPOS*>(lp)->flags;
      LRESULT r = TWindow::WndProc(msg, wp, lp);
      if (flags & SWP_SHOWWINDOW) ReportShowing(true);
      if (flags & SWP_HIDEWINDOW) ReportShowing(false);
      return r;
    }
    default:
      break;
  }
  return TWindow::WndProc(msg, wp, lp);
}

HWND TForm::FirstFocus() {
  return GetNextDlgTabItem(Handle(), nullptr, FALSE);
}

void TForm::ReportShowing(bool shown) {
  if (shown == shownReported_) return;
  shownReported_ = shown;
  if (shown) {
    OnShow();
  } else {
    OnHide();
  }
}

void TForm::MoveDialogFocus(WPARAM wp, LPARAM lp) {
  HWND target = LOWORD(lp) ? reinterpret_cast<HWND>(wp)
                           : GetNextDlgTabItem(Handle(), GetFocus(), wp != 0);
  if (target && IsChild(Handle(), target)) ::SetFocus(target);
}

TForm* FindParentForm(TWindow& window) {
  for (HWND h = window.Handle(); h; h = GetParent(h)) {
    if (auto* form = dynamic_cast<TForm*>(TWindow::FromHandle(h))) return form;
    if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return nullptr;
}

}  // namespace kv::ui
