#pragma once
// The log window: the engine's log lines in a read-only text editor, with "Close", "Clear" and
// "Dump Global Variables" (enabled only while a dump handler is set). One at a time; it keeps
// its size and position in the settings section "LogWindow".
#include <functional>
#include <memory>
#include <string>

#include "ui/form.h"

namespace kv::ui {
class TButton;
class TPanel;
}  // namespace kv::ui

namespace kv {

class TCustomIniFile;
class TZarnMemo;

class TLoggerForm final : public ui::TForm {
 public:
  // settings: where the placement is kept (not owned, may be null; must outlive the window).
  explicit TLoggerForm(TCustomIniFile* settings);
  ~TLoggerForm() override;

  // The open window, or null.
  static TLoggerForm* Instance();
  // Creates the window when there is none and shows it.
  static TLoggerForm& ShowLogWindow(TCustomIniFile* settings);
  // Main thread: a line for the open window; nothing when none is open.
  static void Log(const std::string& line);
  // Any thread: posted to the main thread, where it reaches the window open by then (if any).
  static void PostLine(const std::string& line);
  // Main thread, the program ending: a shown window does its close work (the close handler,
  // its placement) and goes with the process, not hidden first; a hidden one closes.
  static void EndWithProgram();

  void AddLine(const std::string& text);
  void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }
  void SetDumpHandler(std::function<void()> handler);

  TZarnMemo& Memo() const { return *memo_; }
  ui::TButton& CloseButton() const { return *close_; }
  ui::TButton& ClearButton() const { return *clear_; }
  ui::TButton& DumpButton() const { return *dump_; }

 private:
  void Shown();
  void Closing();

  TCustomIniFile* settings_;
  std::function<void()> closeHandler_;
  std::function<void()> dumpHandler_;
  TZarnMemo* memo_ = nullptr;
  ui::TButton* close_ = nullptr;
  ui::TButton* clear_ = nullptr;
  ui::TButton* dump_ = nullptr;
};

}  // namespace kv
