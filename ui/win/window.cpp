#include "ui/window.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

#include "base/exception.h"
#include "base/win/wide.h"
#include "ui/canvas.h"
#include "ui/guard.h"
#include "ui/win/internal.h"

namespace kv::ui {
namespace {

constexpr wchar_t kObjectProp[] = L"KvUiWindow";
constexpr wchar_t kOwnClass[] = L"KvWindow";
constexpr UINT_PTR kSubclassId = 0x4B56;

TShiftState MouseShift(WPARAM wp) {
  TShiftState s = 0;
  if (wp & MK_SHIFT) s |= ssShift;
  if (wp & MK_CONTROL) s |= ssCtrl;
  if (wp & MK_LBUTTON) s |= ssLeft;
  if (wp & MK_RBUTTON) s |= ssRight;
  if (wp & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TMouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return TMouseButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return TMouseButton::Right;
    default:
      return TMouseButton::Middle;
  }
}

TRect FromRECT(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

COLORREF ColorToRGB(TColor color) {
  if (IsSysColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

HWND FirstTabStop(HWND parent, HWND skip) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == skip || !IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
    if (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) return child;
    if (HWND inner = FirstTabStop(child, skip)) return inner;
  }
  return nullptr;
}

void FocusShownPage(TWindow& page, bool focusWasOnHiddenPage, const std::function<HWND()>& target,
                    HWND fallback) {
  if (!page.HandleAllocated()) return;
  const HWND root = GetAncestor(page.Handle(), GA_ROOT);
  if (!IsWindowVisible(root)) return;
  const HWND focus = GetFocus();
  const bool inWindow = focus ? focus == root || IsChild(root, focus) : GetActiveWindow() == root;
  if (!inWindow) return;  // the user works in another window
  if (!focusWasOnHiddenPage && focus && IsWindowVisible(focus)) return;
  HWND to = target ? target() : nullptr;
  if (!to) to = FirstTabStop(page.Handle());
  if (!to) to = fallback;
  if (to && IsWindowVisible(to)) ::SetFocus(to);
}

void TWindow::FreeOwnedChildren() {
  while (!owned_.empty()) {
    std::unique_ptr<TWindow> child = std::move(owned_.back());
    owned_.pop_back();
    child.reset();
  }
}

TWindow::~TWindow() {
  // Children first, while this window's handle still exists.
  FreeOwnedChildren();
  if (hwnd_) {
    // The derived parts are gone: no message may reach WndProc any more.
    HWND hwnd = hwnd_;
    detail::RemoveToolHint(hwnd);
    Unbind();
    DestroyWindow(hwnd);
  }
  if (colorBrush_) DeleteObject(colorBrush_);
}

TWindow* TWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return static_cast<TWindow*>(GetPropW(hwnd, kObjectProp));
}

TWindow* TWindow::ParentWindow() const {
  return hwnd_ ? FromHandle(GetParent(hwnd_)) : nullptr;
}

int TWindow::ControlId() const {
  return hwnd_ ? GetDlgCtrlID(hwnd_) : 0;
}

TWindow& TWindow::Adopt(std::unique_ptr<TWindow> child) {
  TWindow& ref = *child;
  owned_.push_back(std::move(child));
  return ref;
}

bool TWindow::Free(TWindow& child) {
  auto it = std::find_if(owned_.begin(), owned_.end(),
                         [&](const std::unique_ptr<TWindow>& p) { return p.get() == &child; });
  if (it == owned_.end()) return false;
  std::unique_ptr<TWindow> doomed = std::move(*it);
  owned_.erase(it);
  doomed.reset();
  return true;
}

void TWindow::CreateHandle(const TCreateParams& p) {
  if (hwnd_) return;
  ownClass_ = p.className == nullptr;
  const wchar_t* cls = ownClass_ ? kOwnClass : p.className;
  if (ownClass_) {
    static bool classDone = false;
    if (!classDone) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = &TWindow::ClassProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = kOwnClass;
      RegisterClassExW(&wc);
      classDone = true;
    }
  }
  std::wstring caption = win::Widen(p.caption);
  int x = p.bounds.left, y = p.bounds.top;
  if (p.useDefaultPosition) x = y = CW_USEDEFAULT;
  HMENU menuOrId =
      (p.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.id)) : nullptr;
  HWND hwnd = CreateWindowExW(p.exStyle, cls, caption.c_str(), p.style, x, y, p.bounds.Width(),
                              p.bounds.Height(), p.parent, menuOrId, GetModuleHandleW(nullptr),
                              ownClass_ ? this : nullptr);
  if (!hwnd) throw Exception("Cannot create window: " + win::Narrow(cls));
  if (!hwnd_) Bind(hwnd);  // a standard control: subclass it now
  if (HWND parent = GetParent(hwnd)) {
    if (TWindow* pw = FromHandle(parent); pw && pw->font_ && !font_) SetFont(pw->font_, false);
  }
}

void TWindow::AttachHandle(HWND hwnd) {
  if (!hwnd) throw Exception("Cannot attach a missing control");
  if (hwnd_) return;
  ownClass_ = false;
  Bind(hwnd);
}

void TWindow::DestroyHandle() {
  if (hwnd_) {
    detail::RemoveToolHint(hwnd_);
    DestroyWindow(hwnd_);  // WM_NCDESTROY unbinds
  }
}

void TWindow::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProp, this);
  SetWindowSubclass(hwnd, &TWindow::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void TWindow::Unbind() {
  if (!hwnd_) return;
  RemoveWindowSubclass(hwnd_, &TWindow::SubclassProc, kSubclassId);
  RemovePropW(hwnd_, kObjectProp);
  hwnd_ = nullptr;
  timers_.clear();
}

LRESULT CALLBACK TWindow::ClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    if (auto* self = static_cast<TWindow*>(cs->lpCreateParams); self && !self->hwnd_) {
      self->Bind(hwnd);
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

INT_PTR CALLBACK TWindow::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<TWindow*>(lp);
    if (self && !self->hwnd_) self->Bind(hwnd);
    return TRUE;
  }
  return FALSE;
}

LRESULT CALLBACK TWindow::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR refData) {
  auto* self = reinterpret_cast<TWindow*>(refData);
  if (msg == WM_NCDESTROY) {
    LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
    self->Unbind();
    Guarded([&] { self->Destroyed(); });
    return r;
  }
  try {
    return self->WndProc(msg, wp, lp);
  } catch (...) {
    ReportCurrentException();
    return 0;
  }
}

LRESULT TWindow::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return DefSubclassProc(hwnd_, msg, wp, lp);
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  return Dispatch(msg, wp, lp);
}

LRESULT TWindow::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ReflectToChild(msg, wp, lp, result)) return result;
  if (HandleMenuMessage(msg, wp, lp)) return 0;
  if (DispatchMouse(msg, wp, lp, result)) return result;
  if (DispatchKeys(msg, wp, lp, result)) return result;
  if (DispatchWindowState(msg, wp, lp, result)) return result;
  return DefaultProc(msg, wp, lp);
}

// The dispatchers below answer true with the result when they handled the message; false
// leaves it to the default handling.
bool TWindow::DispatchMouse(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      result = DefaultProc(msg, wp, lp);
      if (ownClass_ && msg == WM_LBUTTONDOWN) leftPressed_ = true;
      if (hwnd_) MouseDown(ButtonOf(msg), MouseShift(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      result = DefaultProc(msg, wp, lp);
      TPoint at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (hwnd_) MouseUp(ButtonOf(msg), MouseShift(wp), at.x, at.y);
      if (hwnd_ && msg == WM_LBUTTONUP && leftPressed_) {
        leftPressed_ = false;
        if (ClientRect().Contains(at)) Click();
      }
      return true;
    }
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      result = DefaultProc(msg, wp, lp);
      if (hwnd_)
        DblClick(ButtonOf(msg), MouseShift(wp) | ssDouble, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return true;
    case WM_MOUSEMOVE:
      result = DefaultProc(msg, wp, lp);
      if (hwnd_) MouseMove(MouseShift(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return true;
    case WM_MOUSEWHEEL:
      result = 0;
      return MouseWheel(GET_WHEEL_DELTA_WPARAM(wp), MouseShift(GET_KEYSTATE_WPARAM(wp)),
                        {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_CAPTURECHANGED:
      leftPressed_ = false;
      CaptureLost();
      return false;
    default:
      return false;
  }
}

bool TWindow::DispatchKeys(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(wp);
      if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN)
        KeyDown(key, KeyboardShiftState());
      else
        KeyUp(key, KeyboardShiftState());
      result = key == 0 ? 0 : DefaultProc(msg, key, lp);
      return true;
    }
    case WM_CHAR: {
      wchar_t ch = static_cast<wchar_t>(wp);
      KeyPress(ch);
      result = ch == 0 ? 0 : DefaultProc(msg, ch, lp);
      return true;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      result = DefaultProc(msg, wp, lp);
      if (hwnd_) FocusChanged(msg == WM_SETFOCUS);
      return true;
    case WM_GETDLGCODE:
      result = DialogCode(reinterpret_cast<const MSG*>(lp));
      return result != -1;
    default:
      return false;
  }
}

bool TWindow::DispatchWindowState(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_PAINT:
      return HandlePaint();
    case WM_ERASEBKGND:
      result = 1;
      return EraseBackground(reinterpret_cast<HDC>(wp));
    case WM_TIMER:
      if (std::find(timers_.begin(), timers_.end(), wp) == timers_.end()) return false;
      Timer(wp);
      return true;
    case WM_SIZE:
      result = DefaultProc(msg, wp, lp);
      if (hwnd_) Resized();
      return true;
    case WM_SETCURSOR:
      if (!cursor_ || LOWORD(lp) != HTCLIENT || reinterpret_cast<HWND>(wp) != hwnd_) return false;
      ::SetCursor(cursor_);
      result = TRUE;
      return true;
    case WM_CLOSE:
      // Closing is for top-level windows. A multi-line edit asks its parent to close on Escape
      // (it takes the parent for the dialog): a page or panel would be destroyed for it.
      return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) != 0;
    case WM_CONTEXTMENU: {
      if (reinterpret_cast<HWND>(wp) != hwnd_) return false;  // a child's, passed up
      bool handled = false;
      OnContextPopup(TPoint{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, handled);
      return handled;
    }
    default:
      return false;
  }
}

bool TWindow::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      if (lp == 0) return false;
      TWindow* child = FromHandle(reinterpret_cast<HWND>(lp));
      if (!child || child == this) return false;
      result = 0;
      return child->CommandNotify(HIWORD(wp), LOWORD(wp));
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      TWindow* child = FromHandle(header->hwndFrom);
      if (!child || child == this) return false;
      result = 0;
      return child->Notify(header, result);
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      if (lp == 0) return false;
      TWindow* child = FromHandle(reinterpret_cast<HWND>(lp));
      if (!child || child == this) return false;
      result = 0;
      return child->ScrollNotify(LOWORD(wp), static_cast<short>(HIWORD(wp)));
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wp);
      if (TWindow* child = FromHandle(reinterpret_cast<HWND>(lp)); child && child != this) {
        HBRUSH brush = nullptr;
        if (child->ControlColor(dc, brush)) {
          result = reinterpret_cast<LRESULT>(brush);
          return true;
        }
      }
      // Labels and check boxes take the colour of the layer's own windows they sit on.
      if (ownClass_ && (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)) {
        if (!colorBrush_) colorBrush_ = CreateSolidBrush(ColorToRGB(color_));
        ::SetBkColor(dc, ColorToRGB(color_));
        result = reinterpret_cast<LRESULT>(colorBrush_);
        return true;
      }
      return false;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (item->CtlType == ODT_MENU) return false;
      TWindow* child = FromHandle(item->hwndItem);
      if (!child || child == this) return false;
      result = TRUE;
      return child->DrawItem(*item);
    }
    default:
      return false;
  }
}

bool TWindow::HandleMenuMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      return lp == 0 && HIWORD(wp) <= 1 && detail::DispatchMenuCommand(LOWORD(wp));
    case WM_INITMENUPOPUP:
      detail::PrepareMenuPopup(reinterpret_cast<HMENU>(wp));
      return false;  // the default handling still runs
    case WM_MENUSELECT:
      detail::SelectMenuHint(LOWORD(wp), reinterpret_cast<HMENU>(lp), HIWORD(wp));
      return false;
    default:
      return false;
  }
}

bool TWindow::EraseBackground(HDC dc) {
  if (!ownClass_) return false;
  RECT r;
  GetClientRect(hwnd_, &r);
  if (!colorBrush_) colorBrush_ = CreateSolidBrush(ColorToRGB(color_));
  ::FillRect(dc, &r, colorBrush_);
  return true;
}

void TWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseDown(button, shift, x, y);
}
void TWindow::MouseMove(TShiftState shift, int x, int y) {
  OnMouseMove(shift, x, y);
}
void TWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseUp(button, shift, x, y);
}
void TWindow::DblClick(TMouseButton button, TShiftState, int, int) {
  if (button == TMouseButton::Left) OnDblClick();
}
bool TWindow::MouseWheel(int delta, TShiftState shift, TPoint screenPoint) {
  bool handled = false;
  OnMouseWheel(delta, shift, screenPoint, handled);
  return handled;
}
void TWindow::KeyDown(WORD& key, TShiftState shift) {
  OnKeyDown(key, shift);
}
void TWindow::KeyUp(WORD& key, TShiftState shift) {
  OnKeyUp(key, shift);
}
void TWindow::KeyPress(wchar_t& ch) {
  OnKeyPress(ch);
}
void TWindow::FocusChanged(bool gotFocus) {
  if (gotFocus) {
    OnEnter();
  } else {
    OnExit();
  }
}
void TWindow::Resized() {
  Realign();
  OnResize();
}

TRect TWindow::BoundsRect() const {
  if (!hwnd_) return {};
  RECT r;
  GetWindowRect(hwnd_, &r);
  HWND parent = (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd_) : nullptr;
  if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return FromRECT(r);
}

void TWindow::SetBounds(int left, int top, int width, int height) {
  if (!hwnd_) return;
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (align_ != TAlign::None) ParentRealign();
}

void TWindow::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  ParentRealign();
}

void TWindow::SetMargins(const TMargins& margins) {
  if (margins == margins_) return;
  margins_ = margins;
  if (align_ != TAlign::None) ParentRealign();
}

void TWindow::ParentRealign() {
  if (TWindow* parent = ParentWindow(); parent && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
    parent->Realign();
  }
}

void TWindow::Realign() {
  if (!hwnd_ || realigning_) return;
  std::vector<TWindow*> children;
  std::vector<TAlignItem> items;
  for (const auto& child : owned_) {
    if (!child->hwnd_ || child->align_ == TAlign::None || GetParent(child->hwnd_) != hwnd_) {
      continue;
    }
    children.push_back(child.get());
    items.push_back({child->align_, child->BoundsRect(), child->margins_, child->Visible()});
  }
  if (items.empty()) return;
  realigning_ = true;
  std::vector<TRect> placed = AlignItems(ClientRect(), items);
  for (size_t i = 0; i < children.size(); ++i) {
    if (!items[i].visible || placed[i] == items[i].bounds) continue;
    const TRect& r = placed[i];
    SetWindowPos(children[i]->hwnd_, nullptr, r.left, r.top, r.Width(), r.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  realigning_ = false;
}

TRect TWindow::ScreenRect() const {
  RECT r{};
  if (hwnd_) GetWindowRect(hwnd_, &r);
  return FromRECT(r);
}

TRect TWindow::ClientRect() const {
  RECT r{};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return FromRECT(r);
}

TPoint TWindow::ClientToScreen(TPoint p) const {
  POINT pt{p.x, p.y};
  if (hwnd_) ::ClientToScreen(hwnd_, &pt);
  return {pt.x, pt.y};
}

TPoint TWindow::ScreenToClient(TPoint p) const {
  POINT pt{p.x, p.y};
  if (hwnd_) ::ScreenToClient(hwnd_, &pt);
  return {pt.x, pt.y};
}

std::string TWindow::Text() const {
  if (!hwnd_) return "";
  int length = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd_, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return win::Narrow(text);
}

void TWindow::SetText(const std::string& text) {
  if (hwnd_) SetWindowTextW(hwnd_, win::Widen(text).c_str());
}

bool TWindow::Visible() const {
  return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
}

void TWindow::SetVisible(bool visible) {
  if (!hwnd_ || visible == Visible()) return;
  ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
  if (align_ != TAlign::None) ParentRealign();
}

bool TWindow::Enabled() const {
  return hwnd_ && IsWindowEnabled(hwnd_);
}

void TWindow::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

void TWindow::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

bool TWindow::Focused() const {
  return hwnd_ && GetFocus() == hwnd_;
}

bool TWindow::ContainsFocus() const {
  HWND focus = GetFocus();
  return hwnd_ && focus && (focus == hwnd_ || IsChild(hwnd_, focus));
}

void TWindow::SetMouseCapture() {
  if (hwnd_) ::SetCapture(hwnd_);
}

void TWindow::ReleaseMouseCapture() {
  if (HasMouseCapture()) ::ReleaseCapture();
}

bool TWindow::HasMouseCapture() const {
  return hwnd_ && GetCapture() == hwnd_;
}

void TWindow::StartTimer(UINT_PTR id, unsigned intervalMs) {
  if (!hwnd_) return;
  if (::SetTimer(hwnd_, id, intervalMs, nullptr) &&
      std::find(timers_.begin(), timers_.end(), id) == timers_.end()) {
    timers_.push_back(id);
  }
}

void TWindow::StopTimer(UINT_PTR id) {
  auto it = std::find(timers_.begin(), timers_.end(), id);
  if (it == timers_.end()) return;
  timers_.erase(it);
  if (hwnd_) ::KillTimer(hwnd_, id);
}

void TWindow::Invalidate(bool erase) {
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, erase);
}

void TWindow::InvalidateRect(const TRect& r, bool erase) {
  RECT rc{r.left, r.top, r.right, r.bottom};
  if (hwnd_) ::InvalidateRect(hwnd_, &rc, erase);
}

void TWindow::Update() {
  if (hwnd_) UpdateWindow(hwnd_);
}

void TWindow::SetFont(HFONT font, bool redraw) {
  font_ = font;
  if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

HFONT TWindow::Font() const {
  if (font_) return font_;
  HFONT f = hwnd_ ? reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)) : nullptr;
  return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TWindow::SetHint(std::string hint) {
  hint_ = std::move(hint);
  detail::SetToolHint(hwnd_, GetShortHint(hint_));
}

void TWindow::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  if (colorBrush_) DeleteObject(colorBrush_);
  colorBrush_ = nullptr;
  Invalidate();
}

LRESULT TWindow::Perform(UINT msg, WPARAM wp, LPARAM lp) const {
  return hwnd_ ? SendMessageW(hwnd_, msg, wp, lp) : 0;
}

bool TWindow::Post(UINT msg, WPARAM wp, LPARAM lp) const {
  return hwnd_ && PostMessageW(hwnd_, msg, wp, lp);
}

// --- TCustomControl, TPanel ---------------------------------------------------------------

TCustomControl::TCustomControl(TWindow& parent, const TRect& bounds, DWORD extraStyle,
                               DWORD exStyle) {
  Create(parent, bounds, extraStyle, exStyle);
}

void TCustomControl::Create(TWindow& parent, const TRect& bounds, DWORD extraStyle, DWORD exStyle) {
  TCreateParams p;
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | extraStyle;
  p.exStyle = WS_EX_CONTROLPARENT | exStyle;
  p.bounds = bounds;
  p.parent = parent.Handle();
  CreateHandle(p);
}

void TCustomControl::Paint(TCanvas& canvas) {
  OnPaint(canvas);
}

bool TCustomControl::HandlePaint() {
  TPaintCanvas canvas(Handle());
  Paint(canvas);
  return true;
}

TPanel::TPanel(TWindow& parent, const TRect& bounds, TBevel bevel) {
  Create(parent, bounds, bevel);
}

void TPanel::Create(TWindow& parent, const TRect& bounds, TBevel bevel) {
  bevel_ = bevel;
  TCustomControl::Create(parent, bounds);
}

void TPanel::Paint(TCanvas& canvas) {
  if (bevel_ != TBevel::None) {
    canvas.DrawEdge(ClientRect(), bevel_ == TBevel::Lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                    BF_RECT);
  }
  TCustomControl::Paint(canvas);
}

}  // namespace kv::ui
