#pragma once
// The interface helpers the main window and the dialogs share: the one error window and its
// groups, message dialogs whose buttons stay disabled for a moment, and showing a file. Main
// thread, except AddError, which any thread may call: a report from a MIDI, timer or
// dispatcher thread is posted to the main thread, never waited for.
#include <string>

#include "ui/dialog_types.h"

namespace kv {

class TCustomIniFile;
class TErrForm;

class TGUIUtils {
 public:
  static TGUIUtils& Instance();

  // Where the error window keeps its placement (not owned; null: nowhere), read whenever the
  // window stores or restores it.
  void SetSettings(TCustomIniFile* settings) { settings_ = settings; }

  // Creates the error window when absent, appends the text and shows the window.
  void AddError(const std::string& text);
  void StartErrorGroup();
  // Shows the error window when it got lines since the last StartErrorGroup.
  bool ShowIfNewErrors();
  void CloseErrorWindow();
  // The program ending: a shown error window writes its placement and goes with the
  // process, not hidden first; a hidden one closes.
  void EndWithProgram();
  TErrForm* ErrorWindow() const;

  static void ShowInfo(const std::string& text);
  static void ShowInfoDelayed(const std::string& text, int delayMs);
  static void ShowError(const std::string& text);
  static void ShowErrorDelayed(const std::string& text, int delayMs);

  // Opens a file (relative: in the program's folder) in the browser when there is one, else
  // through the shell; an error message when neither works.
  static void ShowFile(const std::string& name, bool relative);

 private:
  TGUIUtils() = default;
  void AddErrorHere(const std::string& text);

  TCustomIniFile* settings_ = nullptr;
};

}  // namespace kv
