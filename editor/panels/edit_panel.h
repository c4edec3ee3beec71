#pragma once
// TEditPanel: the portable model of one editor panel, which edits one incoming trigger or one
// outgoing action kind. The editor clears a panel before each load, loads it from the
// translator's action, asks it for the action's stored text when it builds, and activates
// the panel its page shows. Every user change goes through Changed, which tells the editor.
//
// Main thread only, like the window over it.
#include <functional>
#include <string>

#include "engine/action.h"

namespace kv {

class TGlobalTranslateParams;

// Runs an outgoing action at once, as the panels' Test buttons do: with the engine's
// parameters (may be none) and ten cleared local variables. True when it output something.
bool RunActionNow(TTransAction& action, TGlobalTranslateParams* params);

class TEditPanel {
 public:
  TEditPanel(std::string caption, bool incoming, int kind)
      : caption_(std::move(caption)), incoming_(incoming), kind_(kind) {}
  virtual ~TEditPanel() = default;
  TEditPanel(const TEditPanel&) = delete;
  TEditPanel& operator=(const TEditPanel&) = delete;

  // The text of the panel's item in the type chooser.
  const std::string& Caption() const { return caption_; }
  bool IsIncoming() const { return incoming_; }
  // The action kind id the panel edits.
  int Kind() const { return kind_; }

  // Controls to the kind's defaults.
  virtual void Clear() {}
  // Shown and enabled controls from the current choices.
  virtual void UpdateControls() {}
  // Fills the controls from an action of the panel's kind; anything else clears the panel.
  virtual void LoadAction(const TTransAction* /*action*/) {}
  // The stored text of the action the controls describe. May throw kv::Exception with a
  // message for the user.
  virtual std::string GetActionText() { return {}; }
  // The panel becomes the chosen one of its page (lookup lists are refreshed here).
  virtual void Activate() {}
  // Another panel is chosen while this one is shown.
  virtual void Deactivate() {}

  // The editor's receiver of change notifications.
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

 protected:
  void Changed() {
    if (onChange_) onChange_();
  }

 private:
  std::string caption_;
  bool incoming_;
  int kind_;
  std::function<void()> onChange_;
};

}  // namespace kv
