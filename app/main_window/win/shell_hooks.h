#pragma once
// The main window's hooks over the program's shell windows: the log window fed by the engine,
// the error window with its groups, the start-up splash and About, the other-programs window.
// Main thread only.
#include <memory>

#include "app/main_window/win/main_window_hooks.h"

namespace kv {

class TCustomIniFile;

class TShellHooks final : public TMainWindowHooks {
 public:
  TShellHooks();
  ~TShellHooks() override;
  TShellHooks(const TShellHooks&) = delete;
  TShellHooks& operator=(const TShellHooks&) = delete;

  void KeepWindowPlacements() override;
  bool HasLogWindow() const override { return true; }
  bool LogWindowOpen() const override;
  void ShowLogWindow(TTransEngine& engine, const std::string& title,
                     std::function<void()> onClosed) override;
  void CloseLogWindow() override;
  void AddLogLine(const std::string& line) override;

  void AddErrorSeparator() override;
  void AddError(const std::string& text) override;
  void ShowNewErrors() override;

  bool ShowStartupSplash(std::function<void()> continueStartup) override;
  bool HasAboutWindow() const override { return true; }
  void ShowAbout() override;
  bool HasOtherProgramsWindow() const override { return true; }
  void ShowOtherPrograms() override;

 private:
  // The settings key's store of the windows' placements (null: not kept); the error window
  // may outlive the main window, so the hooks own it.
  std::unique_ptr<TCustomIniFile> placements_;
};

}  // namespace kv
