#pragma once
// The main window's actions and menus, shared by its source files.
#include "app/main_window/win/main_form.h"
#include "ui/action.h"
#include "ui/menu.h"

#include <unordered_map>

namespace kv {

struct TTransForm::TActions {
  // The command each action runs, for the road it comes by.
  std::unordered_map<const ui::TAction*, TMainCommand> commandOf;
  // files
  ui::TAction *fileNew, *fileOpen, *fileOpenMerge, *fileSave, *fileSaveAs, *fileClose;
  ui::TAction *projectAsText, *presetAsText, *projectProperties, *exit;
  // presets
  ui::TAction *presetNew, *presetRename, *presetDelete, *presetDuplicate, *presetProperties;
  ui::TAction *presetUp, *presetDown, *presetTop, *presetBottom;
  // translators
  ui::TAction *addTrans, *editTrans, *renameTrans, *duplicateTrans, *activateTrans,
      *deactivateTrans, *cutTrans, *copyTrans, *pasteTrans, *deleteTrans;
  ui::TAction *transUp, *transDown, *transTop, *transBottom;
  // MIDI
  ui::TAction *midiPorts, *deviceAliases, *projectDefaultPorts, *routing, *presetDefaultPorts,
      *openUsedDevices, *rescanMidi;
  // view, options, help
  ui::TAction *logWindow, *eventMonitor, *suppressKeys, *ignoreKeyIn, *settingsDialog,
      *confirmExit, *minimizeToTray;
  ui::TAction *helpOverview, *otherProducts, *about, *panic;
};

struct TTransForm::TMenus {
  ui::TMainMenu bar;
  ui::TMenuItem* recent = nullptr;
  ui::TMenuItem* presetMove = nullptr;
  ui::TPopupMenu presetPopup;
  ui::TPopupMenu translatorPopup;
  ui::TPopupMenu tray;
  ui::TMenuItem* trayPresets = nullptr;
  ui::TMenuItem* trayShow = nullptr;
};

// The refresh counter held while the window itself changes rows or the project: the lists'
// and the project's change handlers stay quiet meanwhile.
class TRefreshScope {
 public:
  explicit TRefreshScope(int& counter) : counter_(counter) { ++counter_; }
  ~TRefreshScope() { --counter_; }
  TRefreshScope(const TRefreshScope&) = delete;
  TRefreshScope& operator=(const TRefreshScope&) = delete;

 private:
  int& counter_;
};

// Holds a flag set for a scope, also when the scope is left by a throw. Scopes nest: an inner
// one (a close check that comes while the first one's question is open) leaves the flag as
// the outer one still needs it.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = was_; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
  const bool was_;
};

}  // namespace kv
