#pragma once
// Commands shared by menu items and toolbar buttons. An action holds the caption, hint,
// shortcut, check and enabled state; every client linked to it (a menu item, a toolbar
// button) follows its changes, and executing a client executes the action. Update handlers
// run before a menu drops down and when the program is idle, so the enabled and checked
// states follow the program's state without each command setting them.
//
// Main thread only, like the windows that show actions.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/event.h"
#include "ui/shortcut.h"

namespace kv::ui {

class TAction {
 public:
  TAction() = default;
  explicit TAction(std::string caption) : caption_(std::move(caption)) {}
  TAction(const TAction&) = delete;
  TAction& operator=(const TAction&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  // "short|long": the short part is the tooltip, the long part the status-bar text.
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);

  TNotifyEvent OnExecute;
  TEvent<void(TAction&)> OnUpdate;

  // Runs OnUpdate, then OnExecute when the action is enabled; true when OnExecute ran.
  bool Execute();
  // Runs OnUpdate; false when there is none.
  bool Update();

  // Clients follow the action: changed runs after every property change. A client removed
  // while the clients are told of a change is not told any more.
  int AddClient(std::function<void()> changed);
  void RemoveClient(int id);

 private:
  void Changed();

  std::string caption_;
  std::string hint_;
  TShortCut shortCut_ = kScNone;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  int imageIndex_ = -1;
  struct Client {
    int id;
    std::function<void()> changed;
  };
  std::vector<Client> clients_;
  int nextClientId_ = 1;
};

// The actions of one window; it owns them.
class TActionList {
 public:
  TAction& Add(std::string caption);
  const std::vector<std::unique_ptr<TAction>>& Actions() const { return actions_; }
  // Runs every action's update handler (the application does so when idle).
  void UpdateAll();
  // Executes the visible action with that shortcut; true when one was found and enabled.
  bool ExecuteShortCut(TShortCut shortCut);

 private:
  std::vector<std::unique_ptr<TAction>> actions_;
};

}  // namespace kv::ui
