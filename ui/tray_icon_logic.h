#pragma once
// The notification-area icon apart from the shell: whether it is shown, the icon and tip it
// carries, which shell call each change needs, and what a callback message means. The
// Windows side (ui/tray_icon.h) gives it the shell and the owner window.
//
// Threads: the lamp thread changes the icon while the main thread shows and hides it, so
// TTrayIconState takes its own lock around every change. It is a leaf lock held across the
// shell call: the shell (or the test recorder standing in for it) never calls back.
#include <cstdint>
#include <mutex>
#include <string>

namespace kv::ui {

enum class TNotifyIconCall { Add, Modify, Delete };

// The record the shell gets; handles as numbers and the tip as bytes (converted at the
// Win32 boundary).
struct TNotifyIconData {
  uintptr_t owner = 0;  // the window the callback message goes to
  unsigned id = 0;
  unsigned callbackMessage = 0;
  uintptr_t icon = 0;
  std::string tip;
};

class INotifyIconShell {
 public:
  virtual ~INotifyIconShell() = default;
  // True when the shell took the call.
  virtual bool Call(TNotifyIconCall call, const TNotifyIconData& data) = 0;
};

// What the owner hears of the mouse on the icon.
enum class TTrayMouseEvent { None, Click, DoubleClick, ContextMenu };
// The mouse message a callback message carries: left release, left double click, right
// release (the menu opens when the button is let go, as menus do); every other message means
// nothing to the owner.
TTrayMouseEvent TrayMouseEventOf(unsigned mouseMessage);

class TTrayIconState {
 public:
  TTrayIconState(INotifyIconShell& shell, TNotifyIconData data);
  TTrayIconState(const TTrayIconState&) = delete;
  TTrayIconState& operator=(const TTrayIconState&) = delete;

  // On while shown: modify, and add when the shell refused the modify (it lost the icon);
  // on while hidden: add; off while shown: delete. Afterwards the icon counts as shown
  // exactly when on, even after a refused add, so the next refresh tries again (the shell
  // may not be up yet when the program starts).
  void SetVisible(bool on);
  bool Shown() const;
  // Modifies the icon when shown.
  void Refresh();
  // A null icon, or the one it has, is ignored; a new one is shown at once when shown.
  void SetIcon(uintptr_t icon);
  void SetTip(std::string tip);
  TNotifyIconData Data() const;

 private:
  void ShowLocked(bool on);

  INotifyIconShell& shell_;
  mutable std::mutex mutex_;  // guards data_ and shown_
  TNotifyIconData data_;
  bool shown_ = false;
};

}  // namespace kv::ui
