#pragma once
// The translator editor's window: the modeless "Edit a Translator" form over the editor's
// model TEditTrans (editor/trans_editor.h). It shows the Options, Incoming, Rules and
// Outgoing pages, one panel view per panel kind, the MIDI capture monitor and the buttons,
// copies what the user does into the model and the model's state back into the controls.
//
// Keys: the editor's commands run before the focused control and the dialog navigation see
// a key, so Ctrl+A applies even inside an edit and F5-F8 switch pages from anywhere. A page
// shown while the focus was on the page hidden takes the focus into its first field, as the
// editor does when it opens.
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
  // Something is typed or chosen and not applied yet.
  bool HasPendingChange() const { return model_.Modified(); }
  // The editor's own question about pending changes, asked in front of it (the program's
  // exit): true when the caller may go on (No keeps the changes here, unapplied).
  bool AskToApply();
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
  // Runs the window's own close (its close box, Close, Escape) with its question about
  // pending changes as one command of the program's, so that nothing takes in or drops the
  // change while the question is open; it answers whether the window may close (false when
  // that command may not run now). Unset: the question is asked at once.
  std::function<bool(const std::function<bool()>& closeQuery)> runOwnClose;
  // Asks which rule to add (the rule chooser dialog unless replaced).
  TRulesView::TChooser chooseRule;

  // --- for the tests: reads of what is built, building nothing --------------------------
  TEditTrans& Model() { return model_; }
  ui::TPageControl& Pages() { return *pages_; }
  ui::TEdit& NameEdit() { return *name_; }
  ui::TCheckBox& ActiveBox() { return *active_; }
  ui::TButton& ApplyButton() { return *apply_; }
  ui::TButton& CloseButton() { return *close_; }
  ui::TButton& HelpButton() { return *helpButton_; }
  // Whether a page's controls have been built yet.
  bool PageBuilt(TEditPage page) const;
  // A panel's view once its kind has been shown on its page, the Rules page's view once that
  // page has been shown, the help pages once asked for; else null.
  TPanelView* FindView(const TEditPanel& panel) const;
  TRulesView* Rules() const { return rules_.get(); }
  THelpPages* Help() const { return help_.get(); }
  // "Show Help" / "Hide Help": the window grows to show the help pages, or shrinks again.
  void ToggleHelp();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void KeyDown(WORD& key, ui::TShiftState shift) override;
  bool CloseQuery() override;
  HWND FirstFocus() override;

 private:
  static constexpr int kClientWidth = 600;
  static constexpr int kClientHeight = 470;
  static constexpr int kButtonPanelHeight = 40;
  static constexpr int kChooserTop = 8;
  static constexpr int kPanelTop = 36;
  static constexpr int kSummaryHeight = 30;
  static constexpr int kDelayHeight = 56;
  static constexpr int kHelpHeight = 170;

  class THostAdapter;
  static ui::TFormParams WindowParams(ui::TWindow* owner);
  // Only the frame, the Options page and the buttons are made with the window: each other
  // page is built when it is first shown, each panel's view when its kind is first shown on
  // its page, the help pages when first asked for. Made all at once they kept the program's
  // window from answering for a second under load.
  void BuildOptionsPage(ui::TTabSheet& page);
  void BuildPage(TEditPage page);
  void BuildSidePage(ui::TTabSheet& page, bool incoming);
  ui::TRect PanelArea(ui::TTabSheet& page, bool incoming) const;
  void BuildDelayControls(ui::TTabSheet& page, int y);
  void BuildRulesPage(ui::TTabSheet& page);
  void BuildButtons();
  void BuildActions();
  std::unique_ptr<TPanelView> NewView(const TEditPanel& panel);
  // The view of a panel model, built when it is not yet.
  TPanelView& ViewOf(const TEditPanel& panel);
  // The chosen panel's view of a side; built only when asked to (its page is shown).
  TPanelView* ChosenView(bool incoming, bool build);
  // Controls built while the editor is disabled are disabled with it.
  void MatchEnabled(ui::TWindow& built, bool itself);
  void ShowPage(TEditPage page);
  // Where the focus goes on a page: its panel's first field, else the page's (the type
  // chooser excepted); null when the page has none.
  HWND FirstField(TEditPage page);
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
  // The window has been shown: from then on the shown page is built when refreshed.
  bool everShown_ = false;

  ui::TPageControl* pages_;
  ui::TPanel* buttonPanel_;
  ui::TEdit* name_;
  ui::TCheckBox* active_;
  ui::TCheckBox* stop_;
  // The Incoming and Outgoing pages' controls; null until the page is built.
  ui::TComboBox* inType_ = nullptr;
  ui::TComboBox* outType_ = nullptr;
  ui::TPanel* unknown_[2] = {};
  ui::TEdit* inUnknown_ = nullptr;
  ui::TEdit* outUnknown_ = nullptr;
  ui::TEdit* inSummary_ = nullptr;
  ui::TEdit* outSummary_ = nullptr;
  ui::TRadioButton* delayButtons_[3] = {};
  TModelCombo* delaySeconds_ = nullptr;
  TModelCombo* delayMillis_ = nullptr;
  ui::TListBox* monitors_[2] = {};
  ui::TButton* apply_;
  ui::TButton* revert_;
  ui::TButton* close_;
  ui::TButton* addButton_;
  ui::TButton* duplicateButton_;
  std::unique_ptr<TRulesView> rules_;  // null until the Rules page is built
  std::unique_ptr<THelpPages> help_;   // null until the help is first shown
  ui::TButton* helpButton_;
  std::vector<std::unique_ptr<TPanelView>> views_;
  TMidiPanelView* inMidi_ = nullptr;
  TMidiPanelView* outMidi_ = nullptr;
  ui::TAction* captureAction_ = nullptr;
  ui::TAction* applyAction_ = nullptr;
  ui::TAction* revertAction_ = nullptr;
};

}  // namespace kv
