#pragma once
// One view per editor panel: the controls of the panel's content, placed on the editor's
// Incoming or Outgoing page. A view only copies values: the user's changes into its panel
// model (editor/panels/), and the model's state back into the controls on Refresh.
#include <functional>
#include <string>

#include "controls/win/vk_edit.h"
#include "editor/panels/edit_panel.h"
#include "editor/panels/keystroke_panels.h"
#include "editor/win/view_fields.h"
#include "ui/button.h"

namespace kv {

class TGlobalTranslateParams;

// What the panel views need from the editor window.
struct TPanelViewHost {
  // The Capture MIDI command, from a panel's check box.
  std::function<void(bool on)> setCapture;
  // "Edit" beside the port list; while empty the button is disabled.
  std::function<void()> editPortAliases;
  // The engine's parameters for the Test buttons; may give none.
  std::function<TGlobalTranslateParams*()> params;
  // The project's folder, for the file dialog of the execute-file panel.
  std::function<std::string()> projectFolder;
  // An error or an information box.
  std::function<void(const std::string& text, bool error)> message;
  // After every change the user made through a view (the editor's buttons and title follow).
  std::function<void()> changed;
};

class TPanelView {
 public:
  virtual ~TPanelView() = default;
  TPanelView(const TPanelView&) = delete;
  TPanelView& operator=(const TPanelView&) = delete;

  ui::TPanel& Content() { return *content_; }
  virtual TEditPanel& Model() = 0;
  // The model's state into the controls.
  virtual void Refresh() = 0;
  // As Refresh, and a field being typed in shows the stored value too (after Apply).
  void RefreshStored() {
    showStored_ = true;
    Refresh();
    showStored_ = false;
  }

 protected:
  TPanelView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host);
  // A handler for the user's changes: fn writes into the model, then the controls follow it.
  std::function<void()> OnUser(std::function<void()> fn);
  void Changed() {
    if (host_.changed) host_.changed();
  }
  // A key-recording edit whose recordings go into the model's key sequence.
  TVKEdit& MakeKeyEdit(const ui::TRect& bounds, TEPKeys& model);
  template <class T, class... Args>
  T& Make(Args&&... args) {
    return content_->Add<T>(*content_, std::forward<Args>(args)...);
  }

  ui::TPanel* content_;
  TPanelViewHost& host_;
  TViewSync sync_;
  bool showStored_ = false;
};

// A combo with its label to the left and a unit to the right.
TModelCombo& LabeledCombo(ui::TPanel& parent, const std::string& caption, int x, int y,
                          int labelWidth, int comboWidth, const std::string& unit = {});

}  // namespace kv
