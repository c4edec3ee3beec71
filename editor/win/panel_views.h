#pragma once
// One view per editor panel: the controls of the panel's content, placed on the editor's
// Incoming or Outgoing page. A view only copies values: the user's changes into its panel
// model (editor/panels/), and the model's state back into the controls on Refresh.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/win/vk_edit.h"
#include "editor/panels/execute_file_panel.h"
#include "editor/panels/keystroke_panels.h"
#include "editor/panels/message_panel.h"
#include "editor/panels/midi_panels.h"
#include "editor/panels/mouse_panel.h"
#include "editor/panels/preset_panels.h"
#include "editor/panels/special_panels.h"
#include "editor/panels/timer_panels.h"
#include "editor/win/view_fields.h"
#include "ui/button.h"
#include "ui/list_view.h"
#include "ui/up_down.h"

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

// Both MIDI panels: message, reading, capture box, description, ports.
class TMidiPanelView : public TPanelView {
 public:
  TMidiPanelView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPMidi& model);
  ~TMidiPanelView() override;
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  // The field captured MIDI goes into.
  ui::TEdit& MessageEdit() { return *message_; }
  ui::TCheckBox& CaptureBox() { return *capture_; }
  ui::TCheckBox& DescriptionBox() { return *describe_; }
  ui::TEdit& DescriptionEdit() { return *description_; }
  ui::TRadioButton& DefaultPortsButton() { return *defaultPorts_; }
  ui::TRadioButton& SpecificPortsButton() { return *specificPorts_; }
  ui::TListView& PortList() { return *ports_; }
  ui::TLabel& Reading() { return *reading_; }
  ui::TCheckBox* SwallowBox() { return swallow_; }

 private:
  TEPMidi& model_;
  ui::TEdit* message_;
  ui::TLabel* reading_;
  ui::TCheckBox* capture_;
  ui::TCheckBox* describe_;
  ui::TEdit* description_;
  ui::TRadioButton* defaultPorts_;
  ui::TRadioButton* specificPorts_;
  ui::TListView* ports_;
  ui::TButton* editPorts_;
  ui::TCheckBox* swallow_ = nullptr;  // incoming only
};

class TInKeystrokeView : public TPanelView {
 public:
  TInKeystrokeView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                   TEPInKeystroke& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TVKEdit& KeyEdit() { return *keys_; }

 private:
  TEPInKeystroke& model_;
  ui::TRadioButton* modes_[3];
  TVKEdit* keys_;
  ui::TCheckBox* enterTab_;
};

class TOutKeystrokeView : public TPanelView {
 public:
  TOutKeystrokeView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                    TEPOutKeyStroke& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TVKEdit& KeyEdit() { return *keys_; }
  ui::TRadioButton& ModeButton(int mode) { return *modes_[mode]; }
  ui::TGroupBox& RepeatGroup() { return *repeatGroup_; }
  ui::TButton& ClearButton() { return *clear_; }
  ui::TEdit& InitialDelayEdit() { return *delay_; }
  ui::TEdit& SpeedEdit() { return *speed_; }

 private:
  TEPOutKeyStroke& model_;
  TVKEdit* keys_;
  ui::TCheckBox* tabBack_;
  ui::TButton* clear_;
  ui::TRadioButton* modes_[3];
  ui::TGroupBox* repeatGroup_;
  ui::TCheckBox* repeat_;
  ui::TEdit* delay_;
  ui::TUpDown* delayUpDown_;
  ui::TEdit* speed_;
  ui::TUpDown* speedUpDown_;
  ui::TButton* defaultRepeat_;
  std::vector<ui::TWindow*> repeatFields_;
};

class TInTimerView : public TPanelView {
 public:
  TInTimerView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPInTimer& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TModelCombo& NameCombo() { return *name_; }

 private:
  TEPInTimer& model_;
  TModelCombo* name_;
};

class TOutTimerView : public TPanelView {
 public:
  TOutTimerView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                TEPOutTimer& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TModelCombo& NameCombo() { return *name_; }
  ui::TRadioButton& TriggerButton(int trigger) { return *triggers_[trigger]; }
  ui::TPanel& StartSettings() { return *start_; }
  TModelCombo& CountCombo() { return *count_; }

 private:
  TEPOutTimer& model_;
  TModelCombo* name_;
  ui::TRadioButton* activate_;
  ui::TRadioButton* kill_;
  ui::TPanel* start_;
  TModelCombo* initialDelay_;
  ui::TRadioButton* triggers_[3];
  TModelCombo* count_;
  ui::TUpDown* countUpDown_;
  ui::TPanel* periodic_;
  TModelCombo* periodicDelay_;
  ui::TButton* startTest_;
  ui::TButton* stopTest_;
};

class TMouseView : public TPanelView {
 public:
  TMouseView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPOutMouse& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& KindButton(int kind) { return *kinds_[kind]; }
  ui::TPanel& SubPanel(int kind) { return *subs_[kind]; }
  TModelCombo& MoveX() { return *moveX_; }
  ui::TCheckBox& OnlyDown() { return *onlyDown_; }
  ui::TCheckBox& OnlyUp() { return *onlyUp_; }

 private:
  TEPOutMouse& model_;
  ui::TRadioButton* kinds_[4];
  ui::TPanel* subs_[4];
  TModelCombo* moveX_;
  TModelCombo* moveY_;
  TModelCombo* posX_;
  TModelCombo* posY_;
  ui::TRadioButton* buttons_[6];
  ui::TCheckBox* onlyDown_;
  ui::TCheckBox* onlyUp_;
  ui::TRadioButton* wheels_[2];
  TModelCombo* delta_;
};

// Both preset change panels: the choice radios, the name and number combos and, outgoing,
// the deactivate-others box.
class TPresetView : public TPanelView {
 public:
  TPresetView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPPreset& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& ChoiceButton(uint8_t code);
  TModelCombo& NameCombo() { return *name_; }
  TModelCombo& NumberCombo() { return *number_; }
  ui::TCheckBox* DeactivateOthers() { return others_; }
  // Shown instead of the real box where the choice decides it.
  ui::TCheckBox* DeactivateOthersStandIn() { return othersCopy_; }

 private:
  struct TChoice {
    uint8_t code;
    ui::TRadioButton* button;
  };
  TEPPreset& model_;
  TEPOutPreset* out_;  // the outgoing model, else null
  std::vector<TChoice> choices_;
  TModelCombo* name_;
  TModelCombo* number_;
  ui::TCheckBox* others_ = nullptr;
  ui::TCheckBox* othersCopy_ = nullptr;  // the disabled stand-in
};

class TMessageView : public TPanelView {
 public:
  TMessageView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
               TEPOutMessage& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TCheckBox& ByClass() { return *byClass_; }
  ui::TEdit& ClassEdit() { return *class_; }
  ui::TRadioButton& ByRegister() { return *byRegister_; }
  ui::TEdit& RegisterEdit() { return *register_; }
  TModelCombo& Number() { return *number_; }

 private:
  TEPOutMessage& model_;
  ui::TCheckBox* byClass_;
  ui::TEdit* class_;
  ui::TCheckBox* byTitle_;
  ui::TEdit* title_;
  ui::TRadioButton* titleModes_[4];
  ui::TRadioButton* numerical_;
  TModelCombo* number_;
  ui::TRadioButton* byRegister_;
  ui::TEdit* register_;
  TModelCombo* wParam_;
  TModelCombo* lParam_;
};

class TExecuteFileView : public TPanelView {
 public:
  TExecuteFileView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                   TEPOutExecuteFile& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TEdit& FileEdit() { return *file_; }
  ui::TEdit& ParamsEdit() { return *params_; }

 private:
  void Browse();
  TEPOutExecuteFile& model_;
  ui::TEdit* file_;
  ui::TEdit* params_;
};

class TInSpecialView : public TPanelView {
 public:
  TInSpecialView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                 TEPInSpecial& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& ValueButton(int value) { return *values_[value]; }

 private:
  TEPInSpecial& model_;
  ui::TRadioButton* values_[3];
};

class TOutSpecialView : public TPanelView {
 public:
  TOutSpecialView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                  TEPOutSpecial& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& DisableButton() { return *disable_; }
  ui::TRadioButton& EnableButton() { return *enable_; }

 private:
  TEPOutSpecial& model_;
  ui::TRadioButton* disable_;
  ui::TRadioButton* enable_;
};

class TNoneView : public TPanelView {
 public:
  TNoneView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPOutNone& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override {}

 private:
  TEPOutNone& model_;
};

}  // namespace kv
