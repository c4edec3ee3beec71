#pragma once
// The program's icon in the notification area, over Shell_NotifyIconW. The icon's callback
// message goes to its owner window, which this object subclasses while it lives; the mouse
// messages it carries reach the owner as OnClick, OnDblClick and OnContextMenu.
//
// Threads: make and free it on the main thread (the owner's), after any other thread that
// uses it has stopped. SetVisible, SetIcon, SetTip and Refresh may also be called from another
// thread (the lamp thread animates the icon); the events fire on the main thread.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/event.h"
#include "ui/geometry.h"
#include "ui/tray_icon_logic.h"

namespace kv::ui {

class TWindow;

class TTrayIcon {
 public:
  // The tip is cut to 62 characters, the most every version of the shell shows.
  static constexpr size_t kMaxTipLength = 62;

  TTrayIcon(TWindow& owner, UINT id, UINT callbackMessage);
  ~TTrayIcon();  // takes the icon away (TakeAway)
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  void SetVisible(bool on) { state_.SetVisible(on); }
  // Takes the icon away for good, the program being about to end: the caller waits for the
  // shell only a moment. Main thread, after the lamp thread stopped.
  void TakeAway();
  bool Shown() const { return state_.Shown(); }
  void Refresh() { state_.Refresh(); }
  // Not owned; a null icon is ignored.
  void SetIcon(HICON icon) { state_.SetIcon(reinterpret_cast<uintptr_t>(icon)); }
  void SetTip(std::string tip) { state_.SetTip(std::move(tip)); }
  // The icon's state, for an object that animates it.
  TTrayIconState& State() { return state_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  // A right click on the icon; the pointer's screen position, for a menu.
  TEvent<void(TPoint screenPoint)> OnContextMenu;

 private:
  class TShell : public INotifyIconShell {
   public:
    // How long the icon's last removal may keep its caller waiting on the shell: a shell that
    // answers at all answers within it, and the ending program is not held longer.
    static constexpr unsigned kEndingWaitMs = 100;
    bool Call(TNotifyIconCall call, const TNotifyIconData& data) override;
    // Set when the icon goes for good (TakeAway, before the state calls the shell).
    bool ending = false;
  };
  static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR refData);
  void Callback(UINT mouseMessage);

  HWND owner_;  // null once the owner's window is gone
  UINT id_;
  UINT callbackMessage_;
  TShell shell_;
  TTrayIconState state_;
};

// For tests: stands in for Shell_NotifyIconW while it lives (Xvfb has no notification area)
// and records every call. Thread-safe.
class TScopedNotifyIconHook {
 public:
  struct TCall {
    DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    NOTIFYICONDATAW data;
  };
  explicit TScopedNotifyIconHook(bool result = true);
  ~TScopedNotifyIconHook();
  TScopedNotifyIconHook(const TScopedNotifyIconHook&) = delete;
  TScopedNotifyIconHook& operator=(const TScopedNotifyIconHook&) = delete;

  std::vector<TCall> Calls() const;
  void SetResult(bool result);

  struct TState;

 private:
  std::shared_ptr<TState> state_;
};

}  // namespace kv::ui
