// The main window's project files, recent files, clipboard and text export, and the dialogs
// the file commands, the example presets and the registry migration ask through.
#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <fstream>

#include "app/main_window/project_editor.h"
#include "app/main_window/program_init.h"
#include "app/main_window/project_text.h"
#include "app/main_window/translator_clipboard.h"
#include "app/shell/win/gui_utils.h"
#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_form_parts.h"
#include "base/platform.h"
#include "base/utils.h"
#include "base/win/wide.h"
#include "controls/win/history_menu.h"
#include "editor/win/edit_trans_window.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translator.h"
#include "ui/application.h"
#include "ui/clipboard.h"
#include "ui/file_dialog.h"
#include "ui/message_dialog.h"

namespace kv {

namespace {

constexpr const char* kClipboardBusyText =
    "The translators could not be put on the clipboard: another program is using it.\r\n"
    "Nothing was copied, and nothing was cut. Please try again.";

constexpr const char* kOpenFilter =
    "Korvanta Projects (*.kvxp)|*.kvxp|Korvanta 1.3 Presets (*.ini)|*.ini|All files (*.*)|*.*";
constexpr const char* kSaveFilter = "Korvanta Projects (*.kvxp)|*.kvxp|All files (*.*)|*.*";
constexpr const char* kProposedProjectName = "KorvantaProject.kvxp";

std::string FolderOf(const std::string& file) {
  const size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace

void TTransForm::BuildFileCommands() {
  TActions& a = *actions_;
  using ui::MakeShortCut;
  a.fileNew = &MakeCommand(TMainCommand::FileNew, "New", "New|Starts a new project", imgNew);
  a.fileNew->OnExecute = [this] {
    if (!session_->New()) return;
    // The editor's translator went with the old project.
    edits_->ProjectReplaced();
    RebuildPresetList();
    presetList_->SetItemIndex(0);
    EvaluateCurrentPreset();
    UpdateTitle();
    // The new preset is named in place, as the preset list's own New does it.
    StartRename(*presetList_, 0);
  };
  a.fileOpen = &MakeCommand(TMainCommand::FileOpen, "&Open...", "Open|Opens a project file",
                            imgOpen, MakeShortCut('O', false, true, false));
  a.fileOpen->OnExecute = [this] { session_->OpenChosen(); };
  a.fileOpenMerge = &MakeCommand(TMainCommand::FileOpenMerge, "Open Merge...",
                                 "Open Merge|Adds the presets of a project file to this project");
  a.fileOpenMerge->OnExecute = [this] { session_->MergeChosen(); };
  Enable(*a.fileOpenMerge, TMainCommand::FileOpenMerge);
  a.fileSave = &MakeCommand(TMainCommand::FileSave, "&Save", "Save|Saves the project", imgSave,
                            MakeShortCut('S', false, true, false));
  a.fileSave->OnExecute = [this] { session_->Save(); };
  a.fileSaveAs = &MakeCommand(TMainCommand::FileSaveAs, "Save &As...",
                              "Save As|Saves the project under a new name", -1,
                              MakeShortCut(VK_F12, false, false, false));
  a.fileSaveAs->OnExecute = [this] { session_->SaveAs(); };
  a.fileClose = &MakeCommand(TMainCommand::FileClose, "&Close", "Close|Closes the project", -1,
                             MakeShortCut(VK_F4, false, true, false));
  a.fileClose->OnExecute = [this] {
    if (!session_->Close()) return;
    edits_->ProjectReplaced();
    RebuildPresetList();
  };
  a.projectAsText = &MakeCommand(TMainCommand::ProjectAsText, "Save Project As Text...",
                                 "Save Project As Text|Writes the whole project as readable text");
  a.projectAsText->OnExecute = [this] { SaveProjectAsText(); };
  a.presetAsText = &MakeCommand(TMainCommand::PresetSaveAsText, "Save As Text File...",
                                "Save As Text File|Writes the selected preset as readable text");
  a.presetAsText->OnExecute = [this] { SavePresetAsText(); };
  Enable(*a.presetAsText, TMainCommand::PresetSaveAsText);
  a.projectProperties = &MakeCommand(TMainCommand::ProjectProperties, "Project Properties...",
                                     "The project's properties");
  a.exit = &MakeCommand(TMainCommand::Exit, "E&xit", "Exit|Ends the program");
  a.exit->OnExecute = [this] { Close(); };

  a.cutTrans = &MakeCommand(TMainCommand::CutTrans, "Cut\tCtrl+X",
                            "Cut|Moves the selected translators to the clipboard", imgCut);
  a.cutTrans->OnExecute = [this] { CutTranslators(); };
  Enable(*a.cutTrans, TMainCommand::CutTrans);
  a.copyTrans = &MakeCommand(TMainCommand::CopyTrans, "Copy\tCtrl+C",
                             "Copy|Copies the selected translators to the clipboard", imgCopy);
  a.copyTrans->OnExecute = [this] { CopyTranslators(); };
  Enable(*a.copyTrans, TMainCommand::CopyTrans);
  a.pasteTrans =
      &MakeCommand(TMainCommand::PasteTrans, "Paste", "Paste|Adds the translators on the clipboard",
                   imgPaste, MakeShortCut('V', false, true, false));
  a.pasteTrans->OnExecute = [this] { PasteTranslators(); };
  Enable(*a.pasteTrans, TMainCommand::PasteTrans);
}

std::string TTransForm::DataFolder() {
  std::string folder = settings_.presetFolder;
  if (folder.empty()) folder = DefaultPresetFolder(GetMyDocumentsFolder());
  if (!DirExists(folder)) ForceFolders(folder);
  return folder;
}

void TTransForm::OpenProject(const std::string& fileName, bool append, bool addToRecent) {
  // A normal open asks to save first; a cancelled question keeps the project.
  try {
    if (append)
      session_->Merge(fileName);
    else
      session_->Open(fileName, addToRecent);
  } catch (const std::exception& e) {
    hooks_.AddError(e.what());
  }
}

bool TTransForm::ChooseOpenFile(std::string& fileName, bool merge) {
  ui::TOpenDialog dialog;
  dialog.title = "Open Project";
  dialog.filter = kOpenFilter;
  dialog.options |= ui::ofFileMustExist;
  const std::string current = document_->FileName();
  if (merge) {
    dialog.initialDir = lastProjectFolder_.empty() ? DataFolder() : lastProjectFolder_;
  } else if (!current.empty()) {
    dialog.fileName = current;
  } else if (!lastProjectFolder_.empty()) {
    dialog.initialDir = lastProjectFolder_;
    dialog.fileName = kProposedProjectName;
  } else {
    dialog.initialDir = DataFolder();
  }
  if (!dialog.Execute(Handle())) return false;
  fileName = dialog.fileName;
  lastProjectFolder_ = FolderOf(fileName);
  return true;
}

void TTransForm::LoadStarting() {
  hooks_.AddErrorSeparator();
  loadWait_ = std::make_unique<ui::TWaitCursor>();
}

void TTransForm::LoadEnded() {
  loadWait_.reset();
  edits_->ProjectReplaced();
  RebuildPresetList();
  hooks_.ShowNewErrors();
  SelectFirstPresetWhenNone();
  UpdateTitle();
}

// --- clipboard -----------------------------------------------------------------------------

bool TTransForm::ClipboardHasTranslators() const {
  const uint32_t format = TranslatorClipboardFormat();
  return format != 0 && IsClipboardFormatAvailable(format);
}

bool TTransForm::CopyTranslators() {
  TTransList* preset = CurrentPreset();
  if (!preset) return false;
  std::vector<TTransMsgPtr> held;
  std::vector<TClipTranslator> translators;
  for (int row : SelectedRows(*translatorList_)) {
    if (TTransMsgPtr t = preset->GetTranslatorRef(row)) {
      translators.push_back({row, t.get()});
      held.push_back(std::move(t));
    }
  }
  if (translators.empty()) return false;
  const TTranslatorClip clip = WriteTranslatorClip(translators);
  if (!ui::TClipboard(Handle()).SetData(TranslatorClipboardFormat(), clip.blocks, &clip.text)) {
    ui::MessageDlg(kClipboardBusyText, ui::TMsgDlgType::Error, ui::mbOK);
    return false;
  }
  PostCommandRefresh();
  return true;
}

void TTransForm::CutTranslators() {
  // Only what reached the clipboard leaves the preset.
  if (CopyTranslators()) DeleteTranslators(false);
}

void TTransForm::PasteTranslators() {
  if (!Project() || !ClipboardHasTranslators()) return;
  const std::optional<std::string> data =
      ui::TClipboard(Handle()).GetData(TranslatorClipboardFormat());
  if (!data) return;
  const std::vector<TTransMsgPtr> translators = ReadTranslatorClip(data->data(), data->size());
  if (translators.empty()) return;
  std::vector<int> rows;
  {
    TRefreshScope scope(refreshing_);
    try {
      rows = edits_->PasteTranslators(translators);
    } catch (const std::exception& e) {
      ui::MessageDlg(e.what(), ui::TMsgDlgType::Error, ui::mbOK);
    }
  }
  if (rows.empty()) return;
  ShowTranslatorTarget();
  {
    TRefreshScope scope(refreshing_);
    // The pasted rows follow each other at the end of the preset.
    translatorList_->SelectRange(rows.front(), rows.back());
    translatorList_->SetFocusedRow(rows.front());
    translatorList_->EnsureVisible(rows.back());
  }
  PostCommandRefresh();
  FollowSelectionLater();
}

// --- text export ---------------------------------------------------------------------------

bool TTransForm::ChooseTextFile(std::string& fileName) {
  ui::TSaveDialog dialog;
  dialog.title = "Select Save Filename";
  dialog.defaultExt = "txt";
  dialog.filter = "Text Files (*.txt)|*.txt|All FIles (*.*)|*.*";
  dialog.options |= ui::ofOverwritePrompt;
  dialog.fileName = fileName;
  const std::string project = document_->FileName();
  if (!project.empty()) dialog.initialDir = FolderOf(project);
  if (!dialog.Execute(Handle())) return false;
  fileName = dialog.fileName;
  return true;
}

namespace {

bool WriteTextFile(const std::string& fileName, const std::vector<std::string>& lines) {
  std::ofstream out(win::Widen(fileName).c_str(), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  const std::string text = JoinTextLines(lines);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(out);
}

}  // namespace

void TTransForm::SavePresetAsText() {
  TTransList* preset = CurrentPreset();
  if (!preset) return;
  std::string file = PresetTextFileName(preset->GetName());
  if (!ChooseTextFile(file)) return;
  std::vector<std::string> lines;
  DescribePreset(lines, edits_->CurrentPresetIndex(), *preset);
  if (!WriteTextFile(file, lines))
    ui::MessageDlg("Error writing file " + file, ui::TMsgDlgType::Error, ui::mbOK);
}

void TTransForm::SaveProjectAsText() {
  TPresetHandler* project = Project();
  if (!project) return;
  std::string file = ProjectTextFileName(document_->FileName());
  if (!ChooseTextFile(file)) return;
  if (!WriteTextFile(file, DescribeProject(*project)))
    ui::MessageDlg("Error writing file " + file, ui::TMsgDlgType::Error, ui::mbOK);
}

// --- questions and dialogs -----------------------------------------------------------------

TAnswer TTransForm::AskYesNoCancel(const std::string& text) {
  // At exit the answer may be the last; an untitled project's Yes first asks for a file, in
  // front of a question that must be gone by then.
  const bool mayEnd = scopes_.InExit() && !document_->FileName().empty();
  switch (ui::MessageDlg(text, ui::TMsgDlgType::Confirmation, ui::mbYesNoCancel,
                         mayEnd ? ui::TAnswerEnd::MayEndProgram : ui::TAnswerEnd::Hide)) {
    case ui::mrYes:
      return TAnswer::Yes;
    case ui::mrNo:
      return TAnswer::No;
    default:
      return TAnswer::Cancel;
  }
}

bool TTransForm::AskYesNo(const std::string& text, uint32_t delayMs) {
  return ui::MessageDlgDelayed(text, ui::TMsgDlgType::Confirmation, ui::mbYesNo,
                               static_cast<int>(delayMs)) == ui::mrYes;
}

TAnswer TTransForm::AskQuit(const std::string& text, bool& doNotAskAgain) {
  // The editor's change or a changed project is asked about next, and this question must be
  // gone by then.
  const bool more = session_->Changed() || (editor_ && editor_->HasPendingChange());
  const int answer = ui::MessageDlgWithCheckBox(
      text, ui::TMsgDlgType::Confirmation, ui::mbYesNoCancel, doNotAskAgain, "Do not ask in future",
      more ? ui::TAnswerEnd::Hide : ui::TAnswerEnd::MayEndProgram);
  return answer == ui::mrYes ? TAnswer::Yes : answer == ui::mrNo ? TAnswer::No : TAnswer::Cancel;
}

bool TTransForm::ChooseSaveFile(std::string& fileName) {
  ui::TSaveDialog dialog;
  dialog.title = "Save Project";
  dialog.filter = kSaveFilter;
  dialog.defaultExt = "kvxp";
  dialog.options |= ui::ofOverwritePrompt;
  dialog.fileName = fileName;
  if (fileName.empty()) dialog.initialDir = lastProjectFolder_.empty() ? DataFolder()
                                                                       : lastProjectFolder_;
  if (!dialog.Execute(Handle())) return false;
  fileName = dialog.fileName;
  lastProjectFolder_ = FolderOf(fileName);
  return true;
}

bool TTransForm::ChooseProjectFile(std::string& fileName) { return ChooseSaveFile(fileName); }

bool TTransForm::FileWritable(const std::string& fileName) {
  return FileExists(fileName) && !IsFileReadOnly(fileName);
}

void TTransForm::AddRecentFile(const std::string& fileName) {
  if (history_) history_->AddFile(fileName);
}

void TTransForm::OpenDocument(const std::string& file) {
  TGUIUtils::ShowFile(file, false);
}

bool TTransForm::FolderExists(const std::string& folder) { return DirExists(folder); }

std::string TTransForm::CommonAppDataFolder() { return GetCommonAppDataFolder(); }

bool TTransForm::CopyFolder(const std::string& source, const std::string& destination) {
  // The shell's copy wants each path ended by an extra zero.
  std::wstring from = win::Widen(source);
  from.push_back(L'\0');
  std::wstring to = win::Widen(destination);
  to.push_back(L'\0');
  ForceFolders(destination);
  SHFILEOPSTRUCTW op{};
  op.hwnd = Handle();
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
  return SHFileOperationW(&op) == 0;
}

void TTransForm::Information(const std::string& text) {
  ui::MessageDlg(text, ui::TMsgDlgType::Information, ui::mbOK);
}

void TTransForm::LogError(const std::string& text) { controller_->Log(text, kLogError); }

void TTransForm::Error(const std::string& text) {
  ui::MessageDlg(text, ui::TMsgDlgType::Error, ui::mbOK);
}

bool TTransForm::AskYesNo(const std::string& text) {
  return ui::MessageDlg(text, ui::TMsgDlgType::Confirmation, ui::mbYesNo) == ui::mrYes;
}

}  // namespace kv
