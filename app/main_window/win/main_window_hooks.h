#pragma once
// The windows the main window calls but does not own: the log window, the error window, the
// splash and About windows and the other-programs window. Each has a default that does the
// least that keeps the program usable (errors are shown in a message dialog, the start-up goes
// on at once, the rest does nothing), so the real windows can be plugged in without changing
// the main window. Main thread only.
#include <functional>
#include <string>
#include <vector>

namespace kv {

class TTransEngine;

class TMainWindowHooks {
 public:
  virtual ~TMainWindowHooks() = default;

  // The log and error windows keep their placement in the settings write key, as the property
  // dialogs do, also while a settings file named on the command line holds the other settings.
  // Called once the settings are loaded.
  virtual void KeepWindowPlacements() {}

  // The log window (engine log lines, the MIDI manager's texts). HasLogWindow false keeps
  // its menu item disabled.
  virtual bool HasLogWindow() const { return false; }
  virtual bool LogWindowOpen() const { return false; }
  // onClosed runs when the user closes it (the engine's log output is switched off then).
  virtual void ShowLogWindow(TTransEngine& /*engine*/, const std::string& /*title*/,
                             std::function<void()> /*onClosed*/) {}
  // At the program's end: the log window's close work; a shown one may go with the process.
  virtual void CloseLogWindow() {}
  virtual void AddLogLine(const std::string& /*line*/) {}

  // The error window: load and save errors and the controller's errors.
  virtual void AddErrorSeparator();
  virtual void AddError(const std::string& text);
  // Shows the errors added since the last separator; nothing when there are none.
  virtual void ShowNewErrors();

  // The start-up splash. True when it is counting down: it calls continueStartup when it
  // hides. False (the default) lets the main window continue at once.
  virtual bool ShowStartupSplash(std::function<void()> /*continueStartup*/) { return false; }
  virtual bool HasAboutWindow() const { return false; }
  virtual void ShowAbout() {}
  virtual bool HasOtherProgramsWindow() const { return false; }
  virtual void ShowOtherPrograms() {}

 protected:
  std::vector<std::string> newErrors_;
};

}  // namespace kv
