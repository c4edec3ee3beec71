#pragma once
// The translator editor's window: the modeless "Edit a Translator" form over the editor's
// model TEditTrans (editor/trans_editor.h). It shows the Options, Incoming, Rules and
// Outgoing pages, one panel view per panel kind, the MIDI capture monitor and the buttons,
// copies what the user does into the model and the model's state back into the controls.
//
// Keys: the editor's commands run before the focused control and the dialog navigation see
// a key, so Ctrl+A applies even inside an edit and F5-F8 switch pages from anywhere.
//
// Main thread only; captured MIDI reaches it through a posted message.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/trans_editor.h"
#include "editor/win/help_pages.h"
#include "editor/win/panels/edit_panel_view.h"
#include "editor/win/panels/execute_file_panel_view.h"
#include "editor/win/panels/keystroke_panels_view.h"
#include "editor/win/panels/message_panel_view.h"
#include "editor/win/panels/midi_panels_view.h"
#include "editor/win/panels/mouse_panel_view.h"
#include "editor/win/panels/preset_panels_view.h"
#include "editor/win/panels/special_panels_view.h"
#include "editor/win/panels/timer_panels_view.h"
#include "editor/win/rules_view.h"
#include "ui/form.h"
#include "ui/list_box.h"
#include "ui/page_control.h"

namespace kv {

class TCustomIniFile;
class TTransEngine;

class TEditTransWindow : public ui::TForm {
 public:
  // The private message that shows the newest captured MIDI message.
  static constexpr UINT kCaptureMessage = 0x52E;
  static constexpr const char* kPlacementSection = "EditWindow";

  // mainWindow takes applied translators and moves the selection; its ShowErrors is not
  // used (the editor shows its errors itself). owner: the main window's form, or none.
  TEditTransWindow(TEditTransHost& mainWindow, TEditTrans::TSources sources = {},
                   ui::TWindow* owner = nullptr);
  ~TEditTransWindow() override;

  // --- the main window's calls (editor/trans_editor.h says what each does) ---------------
  // False when pending changes did not apply: the editor stays on its item.
  bool EditTranslator(TEditItem item, const TTransMsg* translator);
  bool EditBlankEntry(TEditItem item, const std::string& name, bool checked);
  void UpdateActive(TEditItem item, bool checked);
  void UpdateName(TEditItem item, const std::string& name);
  void ReplaceItem(TEditItem oldItem, TEditItem newItem);
  void ItemDeleted(TEditItem item);
  bool ApplyIfModified();
  bool ApplyChanges();
  // At start-up, before events flow: MIDI capture and the Test buttons use this engine.
  void AttachEngine(TTransEngine& engine);
  // Before the engine ends: no captured message reaches the editor any more.
  void LetGoOfEngine();
  void ReadPlacement(const TCustomIniFile& ini);
  void WriteWindowPlacement(TCustomIniFile& ini);
  // The main window's own Add and Duplicate commands, and the port aliases dialog; their
  // buttons stay disabled while unset (set them before the editor shows).
  std::function<void()> onAdd;
  std::function<void()> onDuplicate;
  std::function<void()> onEditPortAliases;
  // The project's folder for the execute-file panel's file dialog.
  std::function<std::string()> projectFolder;
  // Asks which rule to add (the rule chooser dialog unless replaced).
  TRulesView::TChooser chooseRule;

  // --- for the tests ---------------------------------------------------------------------
  TEditTrans& Model() { return model_; }
  ui::TPageControl& Pages() { return *pages_; }
  ui::TEdit& NameEdit() { return *name_; }
  ui::TCheckBox& ActiveBox() { return *active_; }
  ui::TCheckBox& StopBox() { return *stop_; }
  ui::TComboBox& InType() { return *inType_; }
  ui::TComboBox& OutType() { return *outType_; }
  ui::TEdit& InUnknown() { return *inUnknown_; }
  ui::TEdit& OutUnknown() { return *outUnknown_; }
  ui::TEdit& OutgoingSummary() { return *outSummary_; }
  ui::TEdit& IncomingSummary() { return *inSummary_; }
  ui::TRadioButton& DelayButton(TDelayChoice choice) { return *delayButtons_[choice]; }
  TModelCombo& DelaySeconds() { return *delaySeconds_; }
  TModelCombo& DelayMillis() { return *delayMillis_; }
  ui::TButton& ApplyButton() { return *apply_; }
  ui::TButton& RevertButton() { return *revert_; }
  ui::TButton& CloseButton() { return *close_; }
  ui::TListBox& Monitor(bool incoming) { return *monitors_[incoming ? 0 : 1]; }
  TRulesView& Rules() { return *rules_; }
  TMidiPanelView& InMidiView() { return *inMidi_; }
  TMidiPanelView& OutMidiView() { return *outMidi_; }
  THelpPages& Help() { return *help_; }
  ui::TButton& HelpButton() { return *helpButton_; }
  // "Show Help" / "Hide Help": the window grows to show the help pages, or shrinks again.
  void ToggleHelp();
  // The view of a panel model.
  TPanelView& ViewOf(const TEditPanel& panel);
  // The shown panel view of the Incoming (true) or Outgoing page; none for the unknown one.
  TPanelView* ShownView(bool incoming);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void KeyDown(WORD& key, ui::TShiftState shift) override;
  bool CloseQuery() override;

 private:
  class THostAdapter;
  void BuildOptionsPage(ui::TTabSheet& page);
  void BuildSidePage(ui::TTabSheet& page, bool incoming);
  void BuildButtons();
  void BuildActions();
  void MakeViews();
  void ShowPage(TEditPage page);
  void CaptureCommand(std::optional<bool> on);
  // Every control from the model.
  void RefreshAll();
  void RefreshSide(bool incoming);
  void RefreshCapture();
  void RefreshState();
  void ShowCaptured();
  void EnableEditing(bool enabled);
  void ShowError(const std::string& text);
  // Grows or shrinks the client area step by step, the steps getting smaller near the end.
  void AnimateClientHeight(int target);

  TEditTransHost& mainWindow_;
  std::unique_ptr<THostAdapter> adapter_;
  TEditTrans model_;
  TGlobalTranslateParams* params_ = nullptr;
  TPanelViewHost viewHost_;
  TViewSync sync_;
  bool enabledShown_ = true;

  ui::TPageControl* pages_;
  ui::TPanel* buttonPanel_;
  ui::TEdit* name_;
  ui::TCheckBox* active_;
  ui::TCheckBox* stop_;
  ui::TComboBox* inType_;
  ui::TComboBox* outType_;
  ui::TPanel* unknown_[2];
  ui::TEdit* inUnknown_;
  ui::TEdit* outUnknown_;
  ui::TEdit* inSummary_;
  ui::TEdit* outSummary_;
  ui::TRadioButton* delayButtons_[3];
  TModelCombo* delaySeconds_;
  TModelCombo* delayMillis_;
  ui::TListBox* monitors_[2];
  ui::TButton* apply_;
  ui::TButton* revert_;
  ui::TButton* close_;
  ui::TButton* addButton_;
  ui::TButton* duplicateButton_;
  std::unique_ptr<TRulesView> rules_;
  std::unique_ptr<THelpPages> help_;
  ui::TButton* helpButton_;
  std::vector<std::unique_ptr<TPanelView>> views_;
  TMidiPanelView* inMidi_ = nullptr;
  TMidiPanelView* outMidi_ = nullptr;
  ui::TAction* captureAction_ = nullptr;
  ui::TAction* applyAction_ = nullptr;
  ui::TAction* revertAction_ = nullptr;
};

}  // namespace kv
