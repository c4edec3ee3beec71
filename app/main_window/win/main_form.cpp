// The main window: its controls, the window messages, start-up and shut-down.
#include "app/main_window/win/main_form.h"

#include <windows.h>
#include <dbt.h>
#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "app/main_window/main_messages.h"
#include "app/shell/tray_animation.h"
#include "app/main_window/win/main_form_parts.h"
#include "app/shell/win/lamp_panel.h"
#include "app/shell/win/settings_save_failed.h"
#include "app/shell/win/tray_icons_win.h"
#include "base/clock.h"
#include "base/ini_file.h"
#include "base/platform.h"
#include "base/settings_key.h"
#include "base/utils.h"
#include "base/win/wide.h"
#include "controls/win/shadow_panel.h"
#include "controls/win/history_menu.h"
#include "controls/win/img_control.h"
#include "editor/win/edit_trans_window.h"
#include "engine/project.h"
#include "engine/timer_manager.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "engine/actions/keystroke_action.h"
#include "midi/model/alias.h"
#include "midi/manager/midi_manager.h"
#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/label.h"
#include "ui/message_dialog.h"
#include "ui/placement.h"
#include "ui/tray_icon.h"

namespace kv {

namespace {
constexpr int kRecentFilesMax = 6;

// Breaks a toolbar's items into rows no wider than width (a row always takes its first
// button) and returns the height the rows need. A row ends before a button that would cross
// the width; a separator at the end of a row ends it.
int WrapToolBar(const ui::TToolBar& bar, int width) {
  const int count = bar.ButtonCount();
  std::vector<int> widths(static_cast<size_t>(count), 0);
  std::vector<BYTE> states(static_cast<size_t>(count), 0);
  auto setWrap = [&](int i, bool wrap) {
    const auto state = static_cast<BYTE>(wrap ? states[i] | TBSTATE_WRAP : states[i] & ~TBSTATE_WRAP);
    if (state == states[i]) return;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STATE;
    info.fsState = state;
    bar.Perform(TB_SETBUTTONINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    states[i] = state;
  };
  for (int i = 0; i < count; ++i) {
    TBBUTTON tb{};
    bar.Perform(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tb));
    states[i] = tb.fsState;
    setWrap(i, false);
  }
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (bar.Perform(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)))
      widths[i] = r.right - r.left;
  }
  int x = 0;
  for (int i = 0; i < count; ++i) {
    if (x > 0 && x + widths[i] > width) {
      TBBUTTON tb{};
      bar.Perform(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tb));
      if (tb.fsStyle & BTNS_SEP) {
        setWrap(i, true);  // the separator ends this row; the next starts fresh
        x = 0;
        continue;
      }
      setWrap(i - 1, true);
      x = 0;
    }
    x += widths[i];
  }
  int bottom = 0;
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (bar.Perform(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)))
      bottom = std::max<int>(bottom, r.bottom);
  }
  return bottom;
}

}  // namespace

TTransForm::TTransForm(TMainWindowHooks& hooks)
    : ui::TForm(ui::TFormParams{kProgramTitle, ui::TRect::FromBounds(60, 50, 920, 580)}),
      hooks_(hooks),
      edits_(std::make_unique<TProjectEditor>([this] { return Project(); })),
      actions_(std::make_unique<TActions>()),
      menus_(std::make_unique<TMenus>()) {
  ui::Application().SetTitle(kProgramTitle);
  icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                        IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                        GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  if (icon_) SetIcon(icon_, smallIcon_ ? smallIcon_ : icon_);
  edits_->onModified = [this] { MarkModified(); };
  edits_->AddView(*this);
  CreateForm();
}

TTransForm::~TTransForm() {
  ShutDown();
  if (icon_) DestroyIcon(icon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

void TTransForm::ShutDown() {
  if (shutDown_) return;
  shutDown_ = true;
  // Destroy: the close work when it has not run, then the controller ends the engine.
  if (!quitting_ && !closeDone_) FormClose();
  FreeActivityDisplay();
  // The editor watches the engine: it goes before the engine ends.
  FreeEditor();
  edits_->RemoveView(*this);
  FreePropsDialogs();
  if (devicesWatched_ && MidiManagerExists())
    MidiManager().RemoveChangeListener({&TTransForm::DevicesChanged, this});
  if (aliasesWatched_) MidiAliasManager().RemoveChangeListener({&TTransForm::AliasesChanged, this});
  if (MidiManagerExists()) {
    MidiManager().OnLog = nullptr;
    MidiManager().OnError = nullptr;
  }
  if (controller_) {
    if (TTransEngine* engine = controller_->Engine()) {
      engine->SetOnActivity(nullptr);
      TPresetHandler& project = engine->Project();
      project.SetOnProjectChanged(nullptr);
      project.SetOnPresetsChanged(nullptr);
      project.SetOnPresetChanged(nullptr);
    }
    controller_->SetOnLog(nullptr);
    controller_->SetDialogs(nullptr);
    controller_->Shutdown();
  }
}

// --- creation ------------------------------------------------------------------------------

void TTransForm::CreateForm() {
  controller_ = std::make_unique<TKVHighLevel>();
  if (IsCloseRequested()) {
    // Nothing is shown, nothing is saved: the command line is all there is to do.
    controller_->RunCommandLine();
    ui::Application().SetShowMainForm(false);
    quitting_ = true;
    return;
  }
  document_ = std::make_unique<TControllerDocument>(*controller_);
  session_ = std::make_unique<TProjectSession>(*document_, *this, scopes_);
  scopes_.SetJoins({[this] { EndOpenEdits(); }, [this] { return EditorLetsGo(); }});
  BuildControls();
  RegisterCallbacks();
  SetUpPropsDialogs();
  CreateTray();
  pendingProject_.clear();
  settings_.showTrayIcon = true;

  controller_->RunCommandLine();
  controller_->LoadSettings(true, true);
  hooks_.KeepWindowPlacements();
  pendingProject_ = settings_.currentProject;
  UpdateTitle();

  STARTUPINFOW info{};
  info.cb = sizeof(info);
  GetStartupInfoW(&info);
  auto minimizing = [](int command) {
    return command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE || command == SW_MINIMIZE;
  };
  // Minimised by the process's show command, or by the placement read with the settings.
  const bool startedMinimized =
      ((info.dwFlags & STARTF_USESHOWWINDOW) && minimizing(info.wShowWindow)) ||
      minimizing(ui::Application().MainShowCommand());
  const TCreateDecision decision = DecideMainWindowCreate(settings_, startedMinimized);
  ui::Application().SetShowMainForm(decision.showMainForm);
  if (decision.showMinimized) ui::Application().SetMainShowCommand(SW_SHOWMINNOACTIVE);
  menus_->trayShow->SetCaption(decision.trayCaption);
  // Each showing goes on with the start-up, however the window was shown (normal, maximised,
  // minimised) and whichever message told of it; a window not shown starts without one.
  OnShow = [this] {
    if (!quitting_ && !closing_) Post(kFirstShowMessage, startup_.FirstShowParam());
  };
  if (decision.postFirstShow) Post(kFirstShowMessage, 0);
  edits_->ProjectReplaced();
  RebuildPresetList();
}

void TTransForm::BuildControls() {
  SetKeyPreview(true);
  MakeMainImages(images_);
  ui::MakeDisabledImages(images_, disabledImages_);
  BuildFileCommands();
  BuildListCommands();
  BuildOptionCommands();
  ConnectPropsCommands();
  // After every command is connected: it wraps the commands there are.
  RunActionsAsCommands();
  BuildMenus();
  SetMenu(&menus_->bar);

  history_ = std::make_unique<THistoryMenu>();
  history_->SetMaxItems(kRecentFilesMax);
  history_->SetRegPath(GetSettingsRegPath(true));
  history_->SetRegKey("MRUList");
  history_->BeginLoading();
  history_->SetMenu(*menus_->recent);
  history_->OnClick = [this](const std::string& file) {
    RunCommand(TMainCommand::RecentFile, [this, &file] { OpenProject(file, false, true); });
  };

  BuildToolBars();

  statusBar_ = &Add<ui::TStatusBar>(*this);
  statusBar_->SetPanels({320, -1});
  BuildLampRow();

  // The preset list on the left, the splitter, the translators taking the rest.
  presetList_ = &Add<ui::TListView>();
  ui::TListViewOptions options;
  options.checkBoxes = true;
  options.multiSelect = true;
  options.editLabels = true;
  options.rowSelect = true;
  presetList_->Create(*this, ui::TRect::FromBounds(0, 0, settings_.presetListWidth, 100), options);
  presetList_->SetMargins({4, 4, 0, 4});
  presetList_->SetAlign(ui::TAlign::Left);
  splitter_ = &Add<TMarginSplitter>(*this, ui::TRect::FromBounds(0, 0, 5, 100));
  splitter_->SetMargins({0, 4, 0, 4});
  splitter_->MinSize = 80;
  splitter_->AutoSnap = false;
  translatorList_ = &Add<ui::TListView>();
  // A preset may hold thousands of translators: the list asks for the texts of the rows it
  // draws instead of holding a copy of every row.
  translatorList_->SetOwnerData(
      [this](int row, int column) { return edits_ ? edits_->TranslatorText(row, column) : ""; },
      [this](int row) { return edits_ && edits_->TranslatorChecked(row); });
  translatorList_->Create(*this, ui::TRect::FromBounds(0, 0, 400, 100), options);
  translatorList_->SetMargins({0, 4, 4, 4});
  translatorList_->SetAlign(ui::TAlign::Client);

  presetList_->AddColumn("Preset", settings_.presetListWidth - 60);
  presetList_->AddColumn("#", 30);
  translatorList_->AddColumn("Name", 150);
  translatorList_->AddColumn("#", 30);
  translatorList_->AddColumn("Incoming Trigger", 165);
  translatorList_->AddColumn("Outgoing Action", 165);
  translatorList_->AddColumn("Options", 120);
  ConnectLists();
  Realign();
  OnResize = [this] {
    FitColumns();
    LayoutLampRow();
  };
}

void TTransForm::BuildToolBars() {
  // The toolbars share one band: the tools on the right, the file and list commands taking
  // the rest, in as many rows as that width needs; the band is at least one button high.
  auto& band = Add<ui::TPanel>(*this, ui::TRect::FromBounds(0, 0, 600, 28));
  band.SetAlign(ui::TAlign::Top);
  rightBar_ = &band.Add<ui::TToolBar>(band, images_);
  rightBar_->SetAlign(ui::TAlign::Right);
  rightBar_->SetDisabledImages(&disabledImages_);
  TActions& a = *actions_;
  rightBar_->AddButton(*a.logWindow);
  rightBar_->AddSeparator();
  rightBar_->AddButton(*a.panic, true);
  rightBar_->AutoSize();
  fileBar_ = &band.Add<ui::TToolBar>(band, images_);
  fileBar_->SetAlign(ui::TAlign::Client);
  fileBar_->SetDisabledImages(&disabledImages_);
  for (ui::TAction* action : {a.fileNew, a.fileOpen, a.fileSave}) fileBar_->AddButton(*action);
  fileBar_->AddSeparator();
  for (ui::TAction* action : {a.addTrans, a.editTrans, a.renameTrans}) fileBar_->AddButton(*action);
  fileBar_->AddSeparator();
  for (ui::TAction* action : {a.cutTrans, a.copyTrans, a.pasteTrans, a.deleteTrans})
    fileBar_->AddButton(*action);
  fileBar_->AutoSize();
  band.SetBounds(0, 0, band.Width(), std::max(fileBar_->Height(), rightBar_->Height()));
  band.OnResize = [this, &band] {
    const int width = fileBar_->ClientRect().Width();
    if (width <= 0) return;  // minimised: keep the rows for the way back
    const int height = std::max(WrapToolBar(*fileBar_, width), rightBar_->Height());
    if (height != band.Height()) band.SetBounds(band.Left(), band.Top(), band.Width(), height);
  };
}

void TTransForm::RegisterCallbacks() {
  controller_->SetOnLog(
      [this](const std::string& message, int level) { ControllerLog(message, level); });
  controller_->OnReadSettings = [this](TCustomIniFile& ini) { ReadSettings(ini); };
  controller_->OnWriteSettings = [this](TCustomIniFile& ini) { WriteSettings(ini); };
  controller_->SetDialogs(this);
  controller_->StartEngine();

  // Both keystroke options ask whether the program's own window is the active one.
  activated_ = ui::Application().OnActivate.Subscribe([] { SetApplicationActive(true); });
  deactivated_ = ui::Application().OnDeactivate.Subscribe([] { SetApplicationActive(false); });
  ui::Application().OnHint = [this] {
    statusBar_->SetSimplePanel(!ui::Application().Hint().empty());
    statusBar_->SetSimpleText(ui::Application().Hint());
  };

  TTransEngine* engine = controller_->Engine();
  if (!engine) return;
  TPresetHandler& project = engine->Project();
  project.SetOnProjectChanged([this] {
    MarkModified();
    UpdateTitle();
  });
  project.SetOnPresetsChanged([this] {
    if (refreshing_ == 0) RebuildPresetList();
  });
  project.SetOnPresetChanged([this](TTransList* preset) {
    if (refreshing_ != 0 || !preset) return;
    const int row = Project()->IndexOfPreset(preset);
    if (row >= 0 && row < presetList_->Count()) FillPresetRow(row);
  });
  // Engine threads: only stamps for the lamp thread, which may not exist.
  engine->SetOnActivity([this](void*, uint16_t activity) { activity_.Trigger(activity); });
  TMidiManager& midi = MidiManager();
  midi.OnLog = [this](int, bool, const std::string& text) {
    statusBar_->SetPanelText(0, text);
    statusBar_->Update();
    hooks_.AddLogLine(text);
  };
  midi.OnError = [this](int, const std::string& text) { MidiMessage(text); };
}

void TTransForm::AliasesChanged(void* object, TMidiAliasManager&) {
  auto* form = static_cast<TTransForm*>(object);
  if (!form->makingPortAliases_) form->MarkModified();
}

void TTransForm::MidiMessage(const std::string& text) {
  hooks_.AddLogLine(text);
  const bool hidden = !Visible();
  if (hidden) {
    Show();
    ui::Application().BringToFront();
  }
  ui::MessageDlg(text, ui::TMsgDlgType::Information, ui::mbOK);
  if (hidden) Hide();
}

void TTransForm::DevicesChanged(void* object, TMidiManager&) {
  auto* form = static_cast<TTransForm*>(object);
  if (form->closing_) return;
  // A port plugged in during the run, or virtual ports added or removed in the settings, is
  // shown with its alias on the ports page like those there at the start. Nothing may leave
  // this listener: the manager's other listeners would miss the change, and the throw would
  // end in the message loop.
  try {
    form->MakePortAliases();
    form->controller_->BindUsedAliases(false);
    form->controller_->OpenUsedPorts(true);
  } catch (const std::exception& e) {
    form->controller_->LogException(e);
  }
}

void TTransForm::MakePortAliases() {
  // The program's own bookkeeping is no edit of the project.
  TFlagScope making(makingPortAliases_);
  controller_->MakePortAliases();
}

// --- messages ------------------------------------------------------------------------------

LRESULT TTransForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      // Enter in the translator list reaches the window as its default command.
      if (LOWORD(wp) == IDOK && lp == 0 && translatorList_ && translatorList_->Focused() &&
          !ListBusy(*translatorList_)) {
        RunCommand(TMainCommand::EditTrans, [this] { EditSelectedTranslator(); });
        return 0;
      }
      break;
    case kFirstShowMessage:
      FirstShow(wp);
      return 0;
    case kStartupContinueMessage:
      ContinueStartup();
      return 0;
    case kStartupStepMessage:
      RunNextStartupStep();
      return 0;
    case kCommandRefreshMessage:
      if (wp == 1) RefreshCommands();
      return 0;
    case kTrayCallbackMessage:
      // Its menu's entries are commands of their own.
      if (!DeferWhileStarting(msg, wp, lp))
        RunCommand(TMainCommand::TrayShowMinimize, [this, lp] { TrayCallback(lp); });
      return 0;
    case kCloseRequestMessage:
      if (wp == kCloseRequestMessage) {
        if (!DeferWhileStarting(msg, wp, lp))
          RunCommand(TMainCommand::Exit, [this] { CloseRequest(); });
        return 0;
      }
      break;
    case WM_CLOSE:
      // The close box, Alt+F4 and a close posted from outside.
      if (!DeferWhileStarting(msg, wp, lp))
        RunCommand(TMainCommand::Exit, [&] { ui::TForm::WndProc(msg, wp, lp); });
      return 0;
    case WM_DEVICECHANGE:
      DeviceChange(wp, lp);
      break;
    case WM_QUERYENDSESSION: {
      // The session must not end over unsaved changes without asking. The answers count for
      // this query alone: an end that another program cancels, or that never comes, leaves a
      // later exit to ask again.
      if (quitting_) return TRUE;
      bool agreed = false;
      RunCommand(TMainCommand::Exit, [this, &agreed] { agreed = CloseQuery(); });
      return agreed ? TRUE : FALSE;
    }
    case WM_ENDSESSION:
      if (wp && tray_) tray_->SetVisible(false);
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_MINIMIZE && HidesToTray(settings_)) {
        HideToTray();
        return 0;
      }
      break;
    case WM_SIZE:
      // Restored from the task bar or the tray, to its normal size or maximised as it was.
      if ((wp == SIZE_RESTORED || wp == SIZE_MAXIMIZED) && menus_ &&
          menus_->trayShow->Caption() == kTrayShowCaption)
        ShowFromTray();
      break;
    default:
      break;
  }
  return ui::TForm::WndProc(msg, wp, lp);
}

bool TTransForm::CloseQuery() {
  if (quitting_ || closing_ || ui::Application().Terminated()) return true;
  // A close check that comes while another command asks (a posted close, the session's end,
  // the tray's Exit during the exit's questions or the editor's own) waits for that answer: a
  // second question on top of the first would ask the same twice.
  if (scopes_.Waits(TCommandKind::Exit)) return false;
  EndOpenEdits();  // a name typed is a change to ask about
  // Asked where the project is asked about: what the editor holds and has not applied is
  // typed, and goes only when the user says so. The close work itself runs when the window
  // goes; a session end that another program cancels, or a close request from outside,
  // leaves the window as it is.
  const bool agreed = session_->CloseQuery(
      settings_.confirmProgramExit, kProgramTitle,
      [this] { return !editor_ || editor_->AskToApply(); },
      [this] { return SaveSettingsAtExit(); });
  actions_->confirmExit->SetChecked(settings_.confirmProgramExit);
  return agreed;
}

bool TTransForm::SaveSettingsAtExit() {
  {
    ui::TWaitCursor wait;
    try {
      history_->SaveItems();
    } catch (const std::exception&) {
    }
  }
  // A show's settings are not lost unseen: the user hears why and may free the file and retry,
  // quit without them, or go on working.
  for (;;) {
    std::string error;
    {
      ui::TWaitCursor wait;
      try {
        controller_->SaveSettingsWhereLoaded();
        error = controller_->LastSaveError();
      } catch (const std::exception& e) {
        error = e.what();
        controller_->LogException(e);
      }
    }
    if (error.empty()) return true;
    switch (AskAfterFailedSettingsSave(error, kProgramTitle)) {
      case TFailedSaveAnswer::Retry:
        break;
      case TFailedSaveAnswer::QuitWithoutSaving:
        return true;
      case TFailedSaveAnswer::Cancel:
        return false;
    }
  }
}

void TTransForm::FormClose() {
  if (quitting_ || closeDone_) return;
  closeDone_ = true;
  closing_ = true;
  if (TTransEngine* engine = controller_->Engine()) {
    TPresetHandler& project = engine->Project();
    project.SetOnProjectChanged(nullptr);
    project.SetOnPresetsChanged(nullptr);
    project.SetOnPresetChanged(nullptr);
  }
  ui::TWaitCursor wait;
  GetTimerManager().KillAll();
  try {
    FreeActivityDisplay();
  } catch (const std::exception&) {
  }
  ++refreshing_;
  translatorList_->Clear();
  --refreshing_;
  hooks_.CloseLogWindow();
}

void TTransForm::CloseRequest() {
  // From outside (an installer that is about to replace the program): ask as a close would,
  // then go quiet; the asker ends the process. Until it does the program runs on, and what
  // the user changes meanwhile is asked about again at exit.
  if (!CloseQuery()) return;
  if (TTransEngine* engine = controller_->Engine()) engine->Params().SetEnabled(false);
  GetTimerManager().Pause();
  if (MidiManagerExists()) CloseAllMidiPorts();
}

void TTransForm::DeviceChange(WPARAM wp, LPARAM lp) {
  DebugOutput(DeviceChangeText(wp, lp));
  if (RescansOnDeviceChange(wp) && controller_ && goneLive_) controller_->RescanDevices();
}

// --- settings ------------------------------------------------------------------------------

void TTransForm::ReadSettings(TCustomIniFile& ini) {
  ReadMainSettings(ini, settings_);
  // The editor is made later at start-up: it reads the placement kept here then.
  editorPlacement_.Clear();
  for (const auto& [key, value] : ini.ReadSectionValues(TEditTransWindow::kPlacementSection))
    editorPlacement_.WriteString(TEditTransWindow::kPlacementSection, key, value);
  if (editor_ && editorPlacement_.SectionExists(TEditTransWindow::kPlacementSection)) {
    try {
      editor_->ReadPlacement(editorPlacement_);
    } catch (const std::exception&) {
    }
  }
  try {
    ui::LoadFormPlacement(*this, ini, kMainPlacementSection, MainPlacementReadFlags(settings_));
  } catch (const std::exception&) {
  }
  ApplySettingsToView();
}

void TTransForm::WriteSettings(TCustomIniFile& ini) {
  settings_.presetListWidth = presetList_->Width();
  settings_.columnWidths.clear();
  for (int c = 0; c < translatorList_->ColumnCount(); ++c)
    settings_.columnWidths.push_back(translatorList_->ColumnWidth(c));
  settings_.mainVisible = Visible() || settings_.mainVisible;
  settings_.showLoggerForm = hooks_.LogWindowOpen();
  // The editor is seen open only beside a main window shown as it is: hidden in the tray or
  // minimised, the window keeps what it read.
  if (editor_ && Visible() && !IsIconic(Handle())) settings_.showEditWindow = editor_->Visible();
  WriteMainSettings(ini, settings_, document_->FileName());
  ui::SaveFormPlacement(*this, ini, kMainPlacementSection, kPlacementWriteFlags);
  if (editor_) {
    editor_->WriteWindowPlacement(ini);
    return;
  }
  // An editor not made (yet) keeps the place it had.
  for (const auto& [key, value] :
       editorPlacement_.ReadSectionValues(TEditTransWindow::kPlacementSection))
    ini.WriteString(TEditTransWindow::kPlacementSection, key, value);
}

// --- log, title ----------------------------------------------------------------------------

void TTransForm::ControllerLog(const std::string& message, int level) {
  hooks_.AddLogLine(message);
  if (level != kLogError) return;
  ui::Application().BringToFront();
  hooks_.AddError(message);
  if (goneLive_) hooks_.ShowNewErrors();
}

void TTransForm::UpdateTitle() {
  if (!session_) return;
  const std::string title = session_->Title(kProgramTitle);
  SetText(title);
  ui::Application().SetTitle(title);
}

void TTransForm::TitleChanged() { UpdateTitle(); }

}  // namespace kv
