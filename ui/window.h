#pragma once
// The window base of the layer. A TWindow wraps one HWND: its own class, a standard control
// it subclasses, or a control of a dialog template it attaches to. Every message goes through
// the virtual WndProc; the default one turns the common messages into the virtual handlers
// below and reflects child notifications (WM_COMMAND, WM_NOTIFY, colours, scrolling) to the
// child's object. Exceptions never leave the window procedure (ui/guard.h).
//
// Ownership: a window owns the children it made with Add or Attach and frees them (last made
// first) before its own handle. A window whose handle Windows destroyed keeps its object;
// Handle() is then null. Never free a window from inside one of its own handlers: post the
// release (TApplication::Post).
//
// Main thread only.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/align_logic.h"
#include "ui/color.h"
#include "ui/event.h"
#include "ui/geometry.h"
#include "ui/hint_text.h"

namespace kv::ui {

class TCanvas;

// Modifier keys and mouse buttons held during an input message (a set of bits).
enum : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = unsigned;
enum class TMouseButton { Left, Right, Middle };

// The modifier keys held now (from the thread's key state).
TShiftState KeyboardShiftState();

// Typed create arguments.
struct TCreateParams {
  const wchar_t* className = nullptr;  // null: the layer's own window class
  std::string caption;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  TRect bounds{0, 0, 0, 0};         // relative to the parent's client area (screen for top level)
  HWND parent = nullptr;            // parent, or owner of a top-level window
  int id = 0;                       // child control id
  bool useDefaultPosition = false;  // top level: let Windows place it (bounds give the size)
};

class TWindow {
 public:
  TWindow() = default;
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  bool HandleAllocated() const { return hwnd_ != nullptr; }
  // The object of one of our windows, or null for a window the layer does not know.
  static TWindow* FromHandle(HWND hwnd);
  TWindow* ParentWindow() const;
  int ControlId() const;

  // Children this window owns.
  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto child = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *child;
    owned_.push_back(std::move(child));
    return ref;
  }
  // Wraps the control with this id of a dialog template; the wrapper is owned by this window.
  template <class T>
  T& Attach(int controlId) {
    auto child = std::make_unique<T>();
    child->AttachHandle(GetDlgItem(hwnd_, controlId));
    T& ref = *child;
    owned_.push_back(std::move(child));
    return ref;
  }
  // Takes ownership of a window made elsewhere.
  TWindow& Adopt(std::unique_ptr<TWindow> child);
  // Frees an owned child now (and its handle); false when it is not owned here.
  bool Free(TWindow& child);

  // Geometry: bounds relative to the parent's client area, screen bounds for a top-level one.
  TRect BoundsRect() const;
  void SetBounds(int left, int top, int width, int height);
  void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.Width(), r.Height()); }
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const { return BoundsRect().Width(); }
  int Height() const { return BoundsRect().Height(); }
  TRect ScreenRect() const;
  TRect ClientRect() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  // Docking to the parent's edges (ui/align_logic.h). The parent lays out its owned,
  // aligned children whenever it is resized or one of them changes.
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  const TMargins& Margins() const { return margins_; }
  void SetMargins(const TMargins& margins);
  // Lays out the aligned children now.
  void Realign();

  std::string Text() const;
  void SetText(const std::string& text);

  bool Visible() const;
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const;
  void SetEnabled(bool enabled);

  void SetFocus();
  bool Focused() const;
  bool ContainsFocus() const;  // this window or one of its descendants has the focus
  void SetMouseCapture();
  void ReleaseMouseCapture();
  bool HasMouseCapture() const;

  // Window timers: Timer(id) runs every interval until stopped. Restarting resets the count.
  void StartTimer(UINT_PTR id, unsigned intervalMs);
  void StopTimer(UINT_PTR id);

  void Invalidate(bool erase = true);
  void InvalidateRect(const TRect& r, bool erase = true);
  void Update();  // paints the invalid part now
  void Repaint() {
    Invalidate();
    Update();
  }

  // The font the window draws with; not owned (keep the TFont alive while it is set).
  void SetFont(HFONT font, bool redraw = true);
  HFONT Font() const;

  // "short|long": the short part shows as a tooltip, the long part as the application's hint.
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);

  // The cursor over the client area; null for the class's.
  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }

  // Background colour of the layer's own windows and of the labels and check boxes the
  // window's children draw on it.
  TColor Color() const { return color_; }
  void SetColor(TColor color);

  LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
  bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

  // Events; each has one subscriber.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnEnter;  // the window got the focus
  TNotifyEvent OnExit;   // the window lost the focus
  TEvent<void(TMouseButton, TShiftState, int x, int y)> OnMouseDown;
  TEvent<void(TShiftState, int x, int y)> OnMouseMove;
  TEvent<void(TMouseButton, TShiftState, int x, int y)> OnMouseUp;
  // Setting key to 0 swallows the key.
  TEvent<void(WORD& key, TShiftState)> OnKeyDown;
  TEvent<void(WORD& key, TShiftState)> OnKeyUp;
  TEvent<void(wchar_t& ch)> OnKeyPress;
  // A turn of the mouse wheel while the window has the focus: delta 120 a notch, positive away
  // from the user; point in screen coordinates. Set handled to stop the default scrolling.
  TEvent<void(int delta, TShiftState, TPoint screenPoint, bool& handled)> OnMouseWheel;
  // A right click or the context-menu key; point in screen coordinates ({-1,-1} for the key).
  // Set handled to stop the default handling.
  TEvent<void(TPoint screenPoint, bool& handled)> OnContextPopup;

 protected:
  // Frees the children this window owns, the last made first. The destructor does it too; a
  // derived window whose children use its own members (a form's actions) calls it first.
  void FreeOwnedChildren();
  // Makes the window (once). For a standard class the control is subclassed.
  void CreateHandle(const TCreateParams& params);
  // Takes over an existing window (a control of a dialog template) by subclassing it.
  void AttachHandle(HWND hwnd);
  // Destroys the handle now; derived destructors call this when their handlers must still see
  // the window's last messages.
  void DestroyHandle();

  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  // The handling the window would get without this layer.
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

  // Virtual handlers; the defaults fire the events above. Return true from the bool ones when
  // the message is handled (no default processing).
  virtual bool HandlePaint() { return false; }
  virtual bool EraseBackground(HDC dc);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick(TMouseButton button, TShiftState shift, int x, int y);
  virtual bool MouseWheel(int delta, TShiftState shift, TPoint screenPoint);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(wchar_t& ch);
  virtual void FocusChanged(bool gotFocus);
  virtual void CaptureLost() {}
  // A left press and release inside a window of the layer's own class (standard controls
  // report their clicks themselves); the default fires OnClick.
  virtual void Click() { OnClick(); }
  virtual void Timer(UINT_PTR /*id*/) {}
  virtual void Resized();
  virtual void Destroyed() {}  // the handle is gone (Windows or DestroyHandle destroyed it)
  // WM_GETDLGCODE: what keys the dialog navigation leaves to this window. -1: default.
  virtual LRESULT DialogCode(const MSG* /*msg*/) { return -1; }

  // Notifications a parent reflects to this child. Return true when handled.
  virtual bool CommandNotify(WORD /*code*/, WORD /*id*/) { return false; }
  virtual bool Notify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
  virtual bool ScrollNotify(int /*code*/, int /*position*/) { return false; }
  // WM_CTLCOLOR*: set brush (owned by the control) to give a background.
  virtual bool ControlColor(HDC /*dc*/, HBRUSH& /*brush*/) { return false; }
  virtual bool DrawItem(DRAWITEMSTRUCT& /*item*/) { return false; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR refData);
  static LRESULT CALLBACK ClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Bind(HWND hwnd);
  void Unbind();
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  void ParentRealign();
  bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  bool HandleMenuMessage(UINT msg, WPARAM wp, LPARAM lp);
  bool DispatchMouse(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  bool DispatchKeys(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  bool DispatchWindowState(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  friend class TForm;

  HWND hwnd_ = nullptr;
  bool ownClass_ = false;  // the layer's own class: it erases and colours its children
  std::vector<std::unique_ptr<TWindow>> owned_;
  std::vector<UINT_PTR> timers_;  // ids of the running window timers
  std::string hint_;
  HCURSOR cursor_ = nullptr;
  TColor color_ = clBtnFace;
  TAlign align_ = TAlign::None;
  TMargins margins_;
  bool realigning_ = false;
  bool leftPressed_ = false;     // own class: a left press that a release may make a click
  HBRUSH colorBrush_ = nullptr;  // owned; the solid brush of color_
  HFONT font_ = nullptr;
};

// An owner-drawn window of the layer's own class: Paint draws the invalid part through a
// canvas; the background is filled with Color() unless EraseBackground is overridden.
class TCustomControl : public TWindow {
 public:
  TCustomControl() = default;
  TCustomControl(TWindow& parent, const TRect& bounds, DWORD extraStyle = 0, DWORD exStyle = 0);
  void Create(TWindow& parent, const TRect& bounds, DWORD extraStyle = 0, DWORD exStyle = 0);

  TEvent<void(TCanvas&)> OnPaint;

 protected:
  virtual void Paint(TCanvas& canvas);
  bool HandlePaint() override;
};

// A plain container of the layer's own class, with an optional sunken or raised edge.
class TPanel : public TCustomControl {
 public:
  enum class TBevel { None, Lowered, Raised };
  TPanel() = default;
  TPanel(TWindow& parent, const TRect& bounds, TBevel bevel = TBevel::None);
  void Create(TWindow& parent, const TRect& bounds, TBevel bevel = TBevel::None);

 protected:
  void Paint(TCanvas& canvas) override;

 private:
  TBevel bevel_ = TBevel::None;
};

// The system's GDI colour of a colour (system colours resolved).
COLORREF ColorToRGB(TColor color);

// The first visible, enabled tab stop under parent in Tab order, each child looked into
// before the next one; skip and what lies under it are passed over. Null when there is none.
HWND FirstTabStop(HWND parent, HWND skip = nullptr);

// For a page just shown in place of another one: when the focus was on a control of the page
// just hidden (focusWasOnHiddenPage), or is now on no control of the page's window that the
// user sees, it moves to the control target picks, else to the page's first tab stop, else to
// fallback. Keys never go on to a control out of sight; a focus the user sees (on the tabs, in
// a tree of pages) stays where it is.
void FocusShownPage(TWindow& page, bool focusWasOnHiddenPage,
                    const std::function<HWND()>& target = {}, HWND fallback = nullptr);

}  // namespace kv::ui
