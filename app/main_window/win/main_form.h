#pragma once
// TTransForm: the program's main window. It owns the controller, shows the project's presets
// and translators in two lists, carries the menus, the two toolbars, the status bar and the
// notification-area icon, and runs every command through one set of actions whose update
// handlers follow the rules of app/main_window/main_commands.h. The models of app/ decide;
// this class shows and asks. Its lists are views of the project's edits (TProjectEditor),
// which make every change and tell this window and the translator editor. Main thread only.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/activity_lamps.h"
#include "app/main_window/command_scope.h"
#include "app/main_window/example_presets.h"
#include "app/controller/controller.h"
#include "app/main_window/main_commands.h"
#include "app/main_window/main_settings.h"
#include "app/main_window/main_startup.h"
#include "app/controller/panic.h"
#include "app/main_window/project_editor.h"
#include "app/main_window/project_session.h"
#include "app/controller/registry_migration.h"
#include "app/main_window/settings_host.h"
#include "app/controller/settings_transfer.h"
#include "app/main_window/win/main_window_hooks.h"
#include "base/ini_file.h"
#include "editor/trans_editor.h"
#include "ui/action.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/list_view.h"
#include "ui/menu.h"
#include "ui/multi_event.h"
#include "ui/status_bar.h"
#include "ui/timer.h"
#include "ui/toolbar.h"

namespace kv {

class THistoryMenu;
class TEditTransWindow;
class TImgControl;
class TLampPanel;
class TMarginSplitter;
class TMidiAliasManager;
class TMidiAliasList;
class TMidiManager;
class TPresetHandler;
class TTransList;
class TTrayAnimation;
namespace ui {
class TLabel;
class TTrayIcon;
class TWaitCursor;
}

inline constexpr const char* kProgramTitle = "Zarn's Korvanta Pro";

class TTransForm final : public ui::TForm,
                         public TProjectSessionHost,
                         public TControllerDialogs,
                         public TPanicHost,
                         public TExamplePresetHost,
                         public TMigrationHost,
                         public TEditTransHost,
                         public TMainOptionsWindow,
                         public TProjectEditorView {
 public:
  // hooks must outlive the form.
  explicit TTransForm(TMainWindowHooks& hooks);
  ~TTransForm() override;

  // The destruction's work apart from the windows: the close work when it has not run, the
  // editor, the dialogs and the controller (which ends the engine and its threads). Main
  // thread, after the message loop; the destructor runs it when it has not run.
  void ShutDown();
  // The command line asked to close: it ran, and the program ends without a window.
  bool Quitting() const { return quitting_; }
  TKVHighLevel& Controller() { return *controller_; }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool CloseQuery() override;

 private:
  struct TActions;
  struct TMenus;
  class TEditorView;

  // Runs the next start-up step; the window posts it to itself, one step at a time.
  static constexpr UINT kStartupStepMessage = WM_APP + 0x52C;

  // main_form.cpp: creation, layout, messages and shut-down; main_form_startup.cpp: start-up
  void BuildControls();
  void BuildToolBars();
  void BuildMenus();
  void CreateForm();
  void RegisterCallbacks();
  TStartupState StartupState() const;
  void FirstShow(WPARAM wp);
  void ContinueStartup();
  void RunStartupStepsSoon();
  void RunNextStartupStep();
  void RunStartupStep(TStartupStep step);
  void RunContinuationStep(TStartupStep step);
  // True when the message waits for the start-up steps: it is posted again after the last.
  bool DeferWhileStarting(UINT msg, WPARAM wp, LPARAM lp);
  void PaintPending();
  // Every road into a command (an action of the menus, toolbars, popups and keys, the lists'
  // keys and drops, the tray, a recent file, the editor's buttons, the close box, a close
  // request, the session's end) runs it here, in a command scope of its own, by its kind.
  bool RunCommand(TMainCommand command, const std::function<void()>& run);
  // An action of the window, its command known by the road it runs through.
  ui::TAction& MakeCommand(TMainCommand command, const std::string& caption,
                           const std::string& hint, int image = -1,
                           ui::TShortCut shortCut = ui::kScNone);
  void MakePortAliases();
  void MakePortAliasesAtStart();
  void ReportFailedDevices();
  void InstallPresets();
  // The recent files and the settings saved at exit; false when a failed save made the user
  // choose to go on.
  bool SaveSettingsAtExit();
  void FormClose();
  void ReadSettings(TCustomIniFile& ini);
  void WriteSettings(TCustomIniFile& ini);
  void ControllerLog(const std::string& message, int level);
  void UpdateTitle();
  void CloseRequest();
  void DeviceChange(WPARAM wp, LPARAM lp);
  void MidiMessage(const std::string& text);
  static void DevicesChanged(void* object, TMidiManager& sender);
  static void AliasesChanged(void* object, TMidiAliasManager& sender);
  void ConnectLists();
  void ConnectPresetList();
  void ConnectTranslatorList();
  void StartRename(ui::TListView& list, int row);
  // Ends an open rename of either list, on what it began on, before anything changes what the
  // lists show or hold: the other list's selection, every command, the editor's, a project
  // replaced and the program's end.
  void EndOpenEdits();
  // Every action runs its command through RunCommand; once all are built.
  void RunActionsAsCommands();
  void PopupAt(ui::TPopupMenu& menu, ui::TListView& list, ui::TPoint p);
  int RowsOfCurrentPreset() const;
  void FitColumns();
  void ApplySettingsToView();

  // main_form_tray.cpp: the notification-area icon and the activity lamps
  void ApplyTrayIcon();
  void BuildLampRow();
  void LayoutLampRow();
  void CreateTray();
  void ReevaluateLamps();
  void FreeActivityDisplay();
  void HideToTray();
  void ShowFromTray();
  void TrayShowMinimize();
  void TrayCallback(LPARAM lp);

  // main_form_editor.cpp: the translator editor, created at start-up, following the selection
  void ReplaceTranslator(TEditItem item, TTransMsgPtr translator) override;
  void SelectNextTranslator() override;
  void SelectPreviousTranslator() override;
  void ShowErrors(const std::string& text) override;
  void CreateEditor();
  // At start-up: the editor is made once the window has nothing else to do, so the rows the
  // user waits for are painted first (or at once when a translator is opened before).
  void CreateEditorSoon();
  void FreeEditor();
  void EditSelectedTranslator();
  // The editor shows the single selected translator, when it may leave its own (else the
  // selection goes back to the edited row).
  // A hidden editor follows nothing unless evenHidden: it is given the selection as it shows.
  void EditorFollowSelection(bool evenHidden = false);
  void FollowSelectionLater();
  void SelectTranslatorStep(bool forward);
  // An open rename has ended and the editor has applied its pending changes, or had none: a
  // list command may run.
  bool EditorLetsGo();

  // main_form_lists.cpp: the preset and translator lists and their commands
  void BuildListCommands();
  TPresetHandler* Project() const;
  TTransList* CurrentPreset() const;
  // TProjectEditorView: the rows follow every change of the project's edits.
  void ProjectEdited(const TProjectEdit& edit) override;
  void SetRowCount(ui::TListView& list, int count);
  void ShowPresetRows();
  void ShowTranslatorRows();
  void RebuildPresetList();
  void FillPresetRow(int row);
  void RebuildTranslatorList();
  void FillTranslatorRow(int row);
  void EvaluateCurrentPreset();
  void SelectFirstPresetWhenNone();
  std::vector<int> SelectedRows(const ui::TListView& list) const;
  void SelectOnly(ui::TListView& list, int row);
  void PostCommandRefresh();
  void RefreshCommands();
  TCommandState CommandState() const;
  void Enable(ui::TAction& action, TMainCommand command);
  void MarkModified();
  void PresetNew();
  void PresetDuplicate();
  void PresetDelete(bool ask);
  void PresetRename();
  void MovePresets(int offset);
  void MoveTranslators(int offset);
  void MoveRows(bool presets, int offset);
  void AddTranslator();
  void ShowTranslatorTarget();
  void DuplicateTranslator();
  void DeleteTranslators(bool ask);
  void SetTranslatorsActive(bool active);
  void RenameTranslator();
  void ListKeyDown(bool presets, WORD& key, ui::TShiftState shift);
  void ListKeyUp(bool presets, WORD& key, ui::TShiftState shift);
  bool ListBusy(const ui::TListView& list) const;
  void FinishPresetRename(const std::string& name);
  void FinishTranslatorRename(const std::string& name);
  void TellRefusedName(const std::string& error);
  std::string AskPresetName(const std::string& proposed);

  // main_form_files.cpp: project files, recent files, clipboard and text export
  void BuildFileCommands();
  void OpenProject(const std::string& fileName, bool append, bool addToRecent);
  bool CopyTranslators();
  void CutTranslators();
  void PasteTranslators();
  bool ClipboardHasTranslators() const;
  void SavePresetAsText();
  void SaveProjectAsText();
  bool ChooseTextFile(std::string& fileName);
  std::string DataFolder();

  // main_form_options.cpp: panic, options, tray menu, help
  void BuildOptionCommands();
  void Panic();
  void RebuildTrayPresets();
  void HelpOverview();
  void ShowLogWindow();

  // main_form_props.cpp: the property dialogs and the settings dialog
  void SetUpPropsDialogs();
  // The controller's missing aliases: the definition dialog once per name, then the used ports
  // opened (asking first).
  void DefineMissingAliases(const TMidiAliasList& missing);
  void FreePropsDialogs();
  void ConnectPropsCommands();
  ui::TForm* DialogOwner();
  void RunPropsDialog(const std::function<void()>& show);
  void ShowPresetDialog(int pageId);
  void AfterPropsDialog();
  void OpenUsedDevices();
  void ExportSettings();
  void ImportSettings();
  bool SetStartupShortcut(bool on) override;
  void TrayIconOptionChanged() override;
  void TrayAnimationOptionChanged() override;
  void DescriptionsOptionChanged() override;
  bool MainWindowHidden() override;
  void ShowMainWindow() override;
  bool ProjectPropertiesVisible() override;
  void VirtualPortsChanged() override;

  // TProjectSessionHost
  TAnswer AskYesNoCancel(const std::string& text) override;
  bool AskYesNo(const std::string& text, uint32_t delayMs) override;
  TAnswer AskQuit(const std::string& text, bool& doNotAskAgain) override;
  bool ChooseSaveFile(std::string& fileName) override;
  bool ChooseOpenFile(std::string& fileName, bool merge) override;
  void LoadStarting() override;
  void LoadEnded() override;
  bool FileWritable(const std::string& fileName) override;
  void AddRecentFile(const std::string& fileName) override;
  void TitleChanged() override;
  // TControllerDialogs
  void OpenDocument(const std::string& file) override;
  // TPanicHost
  void StopProcessing() override;
  void ResumeProcessing() override;
  void SendToOpenOutputs(uint32_t message) override;
  void Status(const std::string& text) override;
  void Pause(uint32_t ms) override;
  // TExamplePresetHost and TMigrationHost
  bool FolderExists(const std::string& folder) override;
  std::string CommonAppDataFolder() override;
  bool CopyFolder(const std::string& source, const std::string& destination) override;
  void Information(const std::string& text) override;
  void LogError(const std::string& text) override;
  void Error(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  bool ChooseProjectFile(std::string& fileName) override;

  TMainWindowHooks& hooks_;
  std::unique_ptr<TKVHighLevel> controller_;
  // The commands under way and their answers; the session keeps its answers there.
  TCommandScopes scopes_;
  std::unique_ptr<TControllerDocument> document_;
  std::unique_ptr<TProjectSession> session_;
  TMainSettings settings_;
  TMainStartup startup_;
  TPanic panic_;
  std::string pendingProject_;
  std::unique_ptr<ui::TWaitCursor> loadWait_;  // while a project loads
  std::string lastProjectFolder_;  // the folder the project dialogs had last

  bool closing_ = false;
  bool quitting_ = false;
  bool closeDone_ = false;
  bool shutDown_ = false;
  bool refreshPending_ = false;
  int refreshing_ = 0;  // rows are being rebuilt: the lists' handlers stay quiet
  // What the open rename of each list began on: it ends there, wherever its row is by then,
  // and nowhere once the project no longer holds it.
  std::weak_ptr<TTransList> renamedPreset_;
  std::weak_ptr<TTransMsg> renamedTranslator_;
  bool endingEdits_ = false;  // EndOpenEdits runs: something else waits to go on
  bool goneLive_ = false;
  bool makingPortAliases_ = false;  // the window's own aliases are no edit of the project
  bool stepPosted_ = false;   // the next start-up step's message is on its way
  bool stepRunning_ = false;  // a start-up step runs (and may show a dialog)
  struct TDeferredMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  std::vector<TDeferredMessage> deferred_;  // see DeferWhileStarting
  bool devicesWatched_ = false;
  bool aliasesWatched_ = false;
  ui::TSubscription activated_;
  ui::TSubscription deactivated_;

  ui::TImageList images_;
  ui::TImageList disabledImages_;
  // The owner of the project's edits; the lists and the editor are its views.
  std::unique_ptr<TProjectEditor> edits_;
  std::unique_ptr<TEditTransWindow> editor_;  // null until start-up creates it
  std::unique_ptr<TProjectEditorView> editorView_;  // TEditorView, with the editor
  const TTransMsg* editedItem_ = nullptr;     // what the editor was last given to edit
  ui::TTimer editorSoon_{1};                  // runs CreateEditorSoon's wait
  bool followPending_ = false;
  // The editor's "EditWindow" placement as the settings last had it.
  TMemIniFile editorPlacement_;
  // The settings dialog's host and the settings' export and import; null when quitting.
  std::unique_ptr<TMainSettingsHost> settingsHost_;
  std::unique_ptr<TSettingsTransferHost> transferHost_;
  std::unique_ptr<TSettingsTransfer> transfer_;
  std::unique_ptr<TActions> actions_;
  std::unique_ptr<TMenus> menus_;
  std::unique_ptr<THistoryMenu> history_;
  // The notification-area icon, the animation that picks its picture, the lamps and the
  // lamp thread; freed in that reverse order (the thread first).
  std::unique_ptr<ui::TTrayIcon> trayIcon_;
  std::unique_ptr<TTrayAnimation> tray_;
  std::array<TImgControl*, kLampCount> lamps_{};
  std::array<ui::TLabel*, kLampCount> lampLabels_{};
  ui::TPanel* lampRow_ = nullptr;
  std::unique_ptr<TLampPanel> lampPanel_;
  TActivityRelay activity_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  ui::TToolBar* fileBar_ = nullptr;
  ui::TToolBar* rightBar_ = nullptr;
  ui::TStatusBar* statusBar_ = nullptr;
  ui::TListView* presetList_ = nullptr;
  ui::TListView* translatorList_ = nullptr;
  TMarginSplitter* splitter_ = nullptr;
};

// Draws the toolbar and menu pictures (16 x 16) into images; app/main_window/win/main_images.cpp.
enum TMainImage {
  imgNew, imgOpen, imgSave, imgAdd, imgEdit, imgRename, imgCopy, imgCut, imgPaste, imgDelete,
  imgLog, imgPanic, imgCount
};
void MakeMainImages(ui::TImageList& images);

}  // namespace kv
