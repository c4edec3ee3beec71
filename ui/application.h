#pragma once
// The application: the message loop of the main thread with dialog-style keyboard
// navigation, key preview and form shortcuts; idle and activation notices; the hint of the
// control under the mouse; calls from other threads onto the main thread (base/main_thread.h,
// served through the hidden window of base/win/main_thread_window.h); the screen's colour
// depth. One per process, used on the main thread only.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/event.h"
#include "ui/multi_event.h"

namespace kv::win {
class TMainThreadWindow;
}

namespace kv::ui {

class TForm;

class TApplication {
 public:
  static TApplication& Instance();

  // Loads the common controls, makes the main-thread call window and routes exceptions of
  // window procedures to OnException. Call once on the main thread before any window.
  void Initialize();
  bool Initialized() const { return initialized_; }

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }
  // Whether Run shows the main form, and with which show command (SW_SHOWNORMAL unless the
  // stored placement or the start-up asks for SW_SHOWMINNOACTIVE or SW_SHOWMAXIMIZED).
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool show) { showMainForm_ = show; }
  int MainShowCommand() const { return mainShowCommand_; }
  // A minimised command after SW_SHOWMAXIMIZED (a maximised placement, then a minimised
  // start) keeps the maximised state for when the window is restored; so does a main form
  // not shown at the start, for when it is shown.
  void SetMainShowCommand(int command);

  // Shows the main form and runs the message loop until Terminate or WM_QUIT.
  void Run();
  // Handles one message, waiting for one (and running the idle notice) when none is queued.
  void HandleMessage();
  // Handles every queued message without waiting.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Runs fn on the main thread from the message loop, later (from any thread).
  void Post(std::function<void()> fn);
  // A shown form whose answer may have been the program's last: once the answer has been
  // handled, it is freed (and so hidden) if the program goes on, and otherwise left to go
  // with the process. Hiding a window may wait on the window system (Wine's managed windows
  // wait two seconds for an absent window manager), and a gone program's dialog is seen by
  // nobody. Meanwhile it takes no input.
  void FreeUnlessEnding(std::unique_ptr<TForm> form);
  // A form of an ending program left to go with the process, never destroyed: destroying a
  // window with many controls takes a round trip per control under some window systems.
  void KeepUntilEnd(std::unique_ptr<TForm> form);

  bool Active() const { return active_; }
  bool Minimized() const;
  void Minimize();
  void Restore();
  void BringToFront();

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool ShowHints() const { return showHints_; }
  void SetShowHints(bool show);
  void CancelHint();

  // Bits per pixel of the screen, read again on every call.
  static int ScreenColorDepth();
  // The screen's colour depth or size changed (WM_DISPLAYCHANGE): told once per change, to
  // every window that draws depth-dependent images.
  TMultiEvent<void(int bitsPerPixel)> OnDisplayChange;
  void DisplayChanged(int bitsPerPixel);

  TEvent<void(bool& done)> OnIdle;
  TNotifyEvent OnHint;
  // The program became the active one, or stopped being it; several parts listen.
  TMultiEvent<void()> OnActivate;
  TMultiEvent<void()> OnDeactivate;
  // An exception caught at a window procedure, timer or hook.
  TEvent<void(const std::string& message)> OnException;

  // Forms register themselves for idle action updates and the modal loop.
  void AddForm(TForm* form);
  void RemoveForm(TForm* form);
  const std::vector<TForm*>& Forms() const { return forms_; }
  // TForm's WM_ACTIVATEAPP.
  void ActivationChanged(bool active);
  // Runs the modal loop of a form until its ModalResult is set (or the program ends).
  void ModalLoop(TForm& form);

 private:
  TApplication();
  ~TApplication();
  bool PreProcess(MSG& msg);
  void Idle();
  void ShowMainFormAtStart();

  bool initialized_ = false;
  bool terminated_ = false;
  // Forms left to go with the process: never destroyed (main thread only).
  std::vector<std::unique_ptr<TForm>> goingWithProcess_;
  bool active_ = false;
  bool showMainForm_ = true;
  bool showHints_ = true;
  int mainShowCommand_ = SW_SHOWNORMAL;
  bool mainRestoresMaximized_ = false;
  int displayBits_ = 0;
  DWORD displaySize_ = 0;
  std::string title_;
  std::string hint_;
  TForm* mainForm_ = nullptr;
  std::vector<TForm*> forms_;
  std::unique_ptr<win::TMainThreadWindow> callWindow_;
};

inline TApplication& Application() {
  return TApplication::Instance();
}

// The hourglass cursor while it lives.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace kv::ui
