#include "app/main_window/project_session.h"

#include <exception>

#include "app/controller/controller.h"
#include "app/main_window/main_commands.h"
#include "app/main_window/project_editor.h"
#include "base/utils.h"
#include "engine/format.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "midi/model/router.h"

namespace kv {

void TProjectSession::MarkModified() {
  if (suppressed_) return;
  modified_ = true;
  scopes_.ForgetDeclinedSaves();
  host_.TitleChanged();
}

void TProjectSession::ClearModified() {
  modified_ = false;
  scopes_.ForgetDeclinedSaves();
  host_.TitleChanged();
}

bool TProjectSession::Changed() const {
  return ProjectIsChanged(modified_, document_.FileName(), document_.PresetCount());
}

std::string TProjectSession::Title(const std::string& appTitle) const {
  return MainWindowTitle(appTitle, document_.FileName(), Changed());
}

bool TProjectSession::SaveDeclined() {
  const TCommandAnswers* answers = scopes_.Answers();
  return answers && answers->saveDeclined;
}

bool TProjectSession::AskToSave() {
  if (!Changed() || SaveDeclined()) return true;
  // The question and the save it may start: nothing else changes the project meanwhile.
  TCommandScopes::TAsking asking(scopes_);
  const std::string file = document_.FileName();
  const std::string text =
      file.empty()
          ? std::string("You have changed this project. Do you want to save it to a file?")
          : FormatText("You have made changes to Project \"%s\". Do you want to save it ?",
                       {ExtractFileName(file)});
  switch (host_.AskYesNoCancel(text)) {
    case TAnswer::Yes:
      // The project goes only when it is safe: a cancelled or failed save keeps it.
      return file.empty() ? SaveAs() : SaveTo(file);
    case TAnswer::No:
      // The changes are still there until the command replaces the project: one that does
      // not go on must leave it changed.
      if (TCommandAnswers* answers = scopes_.Answers()) answers->saveDeclined = true;
      return true;
    case TAnswer::Cancel:
      return false;
  }
  return false;
}

bool TProjectSession::Save() {
  const std::string file = document_.FileName();
  if (!file.empty() && host_.FileWritable(file)) return SaveTo(file);
  return SaveAs();
}

bool TProjectSession::SaveAs() {
  std::string file = document_.FileName();
  if (!host_.ChooseSaveFile(file)) return false;
  return SaveTo(file);
}

bool TProjectSession::SaveTo(const std::string& fileName) {
  // A save that reported errors leaves the project marked: what is on disk is not all of it.
  if (!document_.Save(fileName)) return false;
  ClearModified();
  host_.AddRecentFile(fileName);
  return true;
}

bool TProjectSession::Load(const std::string& fileName, bool merge, bool& added) {
  // The project's own notices while it loads are no edits: the session marks what it must.
  // The load ends, and shows what there is, also when it throws.
  struct TLoading {
    TProjectSession& session;
    const bool wasSuppressed;
    explicit TLoading(TProjectSession& s) : session(s), wasSuppressed(s.suppressed_) {
      session.host_.LoadStarting();
      session.suppressed_ = true;
    }
    ~TLoading() {
      session.suppressed_ = wasSuppressed;
      session.host_.LoadEnded();
    }
  };
  bool loaded = false;
  {
    TLoading loading(*this);
    loaded = merge ? document_.Merge(fileName, added) : document_.Open(fileName);
  }
  // Another project is in no file's state but its own; what a merge added is in none yet.
  if (loaded && !merge) ClearModified();
  if (added) MarkModified();
  return loaded;
}

bool TProjectSession::Open(const std::string& fileName, bool addToRecent) {
  if (!AskToSave()) return false;
  bool added = false;
  if (!Load(fileName, false, added)) return false;
  if (addToRecent) host_.AddRecentFile(fileName);
  return true;
}

bool TProjectSession::Merge(const std::string& fileName) {
  bool added = false;
  return Load(fileName, true, added);
}

bool TProjectSession::OpenChosen() {
  if (!AskToSave()) return false;
  std::string file;
  if (!host_.ChooseOpenFile(file, false)) return false;
  return Open(file);
}

bool TProjectSession::MergeChosen() {
  std::string file;
  return host_.ChooseOpenFile(file, true) && Merge(file);
}

void TProjectSession::CloseNow() {
  document_.Close();
  ClearModified();
}

bool TProjectSession::Close() {
  if (Changed() || document_.PresetCount() == 0) {
    if (!AskToSave()) return false;
  } else if (TCommandScopes::TAsking asking(scopes_);
             !host_.AskYesNo("Are you sure you want to close the current project?", 0)) {
    return false;
  }
  CloseNow();
  return true;
}

bool TProjectSession::New() {
  if (!Changed() && document_.PresetCount() > 0) {
    TCommandScopes::TAsking asking(scopes_);
    if (!host_.AskYesNo(
            "This will close the current project and create a new empty one.\r\n"
            "Do you want to continue?",
            100))
      return false;
  } else if (!AskToSave()) {
    return false;
  }
  CloseNow();
  document_.AddPreset();
  ClearModified();
  return true;
}

bool TProjectSession::CloseConfirmed() {
  const TCommandAnswers* answers = scopes_.Answers();
  return answers && answers->closeConfirmed;
}

bool TProjectSession::CloseQuery(bool& confirmProgramExit, const std::string& appTitle,
                                 const std::function<bool()>& pendingEdits,
                                 const std::function<bool()>& afterConfirmed) {
  if (CloseConfirmed()) return true;
  TCommandScopes::TAsking asking(scopes_);
  if (confirmProgramExit) {
    bool doNotAsk = false;
    const TAnswer answer =
        host_.AskQuit(FormatText("Do you really want to quit %s?", {appTitle}), doNotAsk);
    if (doNotAsk) confirmProgramExit = false;
    if (answer != TAnswer::Yes) return false;
  }
  if (pendingEdits && !pendingEdits()) return false;
  if (!AskToSave()) return false;
  if (afterConfirmed && !afterConfirmed()) return false;
  if (TCommandAnswers* answers = scopes_.Answers()) answers->closeConfirmed = true;
  return true;
}

// --- the controller's project -------------------------------------------------------------

std::string TControllerDocument::FileName() const {
  TTransEngine* engine = controller_.Engine();
  return engine ? engine->Project().GetFileName() : std::string();
}

int TControllerDocument::PresetCount() const {
  TTransEngine* engine = controller_.Engine();
  return engine ? engine->Project().GetPresetCount() : 0;
}

bool TControllerDocument::Save(const std::string& fileName) {
  TTransEngine* engine = controller_.Engine();
  if (!engine) return false;
  try {
    engine->Project().SaveToFile(fileName);
    return true;
  } catch (const std::exception& e) {
    controller_.LogException(e);
    return false;
  }
}

bool TControllerDocument::Load(const std::string& fileName, bool append) {
  const std::string previous = controller_.ProjectFile();
  controller_.SetProjectFile(fileName);
  bool loaded = false;
  try {
    loaded = controller_.LoadProject(append, !append);
  } catch (const std::exception& e) {
    controller_.LogException(e);
  }
  // The controller's file stays the project's own: a merge adds to it, a failed open keeps it.
  if (append || !loaded) controller_.SetProjectFile(previous);
  return loaded;
}

bool TControllerDocument::Open(const std::string& fileName) { return Load(fileName, false); }

bool TControllerDocument::Merge(const std::string& fileName, bool& added) {
  added = false;
  TTransEngine* engine = controller_.Engine();
  if (!engine) return false;
  TPresetHandler& project = engine->Project();
  // A merge only appends, presets and routes alike.
  const int presets = project.GetPresetCount();
  const int routes = project.Router().GetRoutes().GetCount();
  const bool loaded = Load(fileName, true);
  added = project.GetPresetCount() != presets || project.Router().GetRoutes().GetCount() != routes;
  return loaded;
}

void TControllerDocument::Close() {
  TTransEngine* engine = controller_.Engine();
  if (!engine) return;
  engine->Project().ClearProject();
  engine->ResetRuntime();
}

void TControllerDocument::AddPreset() {
  TTransEngine* engine = controller_.Engine();
  if (!engine) return;
  TPresetHandler& project = engine->Project();
  const std::string name = NewPresetName(
      [&project](std::string_view n) { return project.FindPreset(n) >= 0; });
  if (!project.AddPresetNamed(name)) return;
  if (TLockableTransList* preset = project.GetPreset(project.FindPreset(name)))
    preset->SetActive(true);
}

}  // namespace kv
