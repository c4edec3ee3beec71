#pragma once
// The main window's project file commands without the window: the modified flag, asking to
// save before the project goes, open, merge, save, close, new, and the close query that exit,
// a close request and the end of the session all run. Main thread only.
#include <cstdint>
#include <functional>
#include <string>

#include "app/main_window/command_scope.h"

namespace kv {

class TKVHighLevel;

enum class TAnswer { Yes, No, Cancel };

// The project as the commands see it.
class TProjectDocument {
 public:
  virtual ~TProjectDocument() = default;
  virtual std::string FileName() const = 0;
  virtual int PresetCount() const = 0;
  // True only when the whole project was written; errors go to the error window.
  virtual bool Save(const std::string& fileName) = 0;
  // Replaces the project; true when it loaded. A file refused leaves the project as it was.
  virtual bool Open(const std::string& fileName) = 0;
  // Adds the file's presets and routes to the project; true when it loaded, added when
  // anything came with it.
  virtual bool Merge(const std::string& fileName, bool& added) = 0;
  virtual void Close() = 0;
  virtual void AddPreset() = 0;  // the New Preset command
};

// The questions and dialogs of the commands.
class TProjectSessionHost {
 public:
  virtual ~TProjectSessionHost() = default;
  virtual TAnswer AskYesNoCancel(const std::string& text) = 0;
  // A Yes/No confirmation with buttons held disabled for delayMs; true for Yes.
  virtual bool AskYesNo(const std::string& text, uint32_t delayMs) = 0;
  // The exit question with its "Do not ask in future" box.
  virtual TAnswer AskQuit(const std::string& text, bool& doNotAskAgain) = 0;
  // The project save dialog; false on Cancel.
  virtual bool ChooseSaveFile(std::string& fileName) = 0;
  // The project open dialog, for an open or a merge; false on Cancel.
  virtual bool ChooseOpenFile(std::string& fileName, bool merge) = 0;
  // Around every open and merge: before, what goes wrong is told apart from what went before;
  // after, the project is shown as it is now.
  virtual void LoadStarting() {}
  virtual void LoadEnded() {}
  virtual bool FileWritable(const std::string& fileName) = 0;  // exists and not read-only
  virtual void AddRecentFile(const std::string& fileName) = 0;
  virtual void TitleChanged() = 0;
};

class TProjectSession {
 public:
  // The answers the commands give live in their scopes (command_scope.h).
  TProjectSession(TProjectDocument& document, TProjectSessionHost& host, TCommandScopes& scopes)
      : document_(document), host_(host), scopes_(scopes) {}

  bool Modified() const { return modified_; }
  // Every edit and the project's change notification; ignored while rows move or a project
  // loads. A No to saving given before a change does not cover it.
  void MarkModified();
  void SetSuppressed(bool suppressed) { suppressed_ = suppressed; }
  void ClearModified();
  bool Changed() const;
  std::string Title(const std::string& appTitle) const;

  // Before open, new, close and exit: true when the project may go. A No lets the changes go
  // only with the project: until the command that asked replaces or closes it, the project
  // stays changed, and further questions of the same command are not asked again; another
  // command, or the same one once it has ended, asks again.
  bool AskToSave();
  // Save: to the project's file when it can be written, else Save As.
  bool Save();
  bool SaveAs();
  bool SaveTo(const std::string& fileName);
  // A normal open asks to save first; a merge does not. An open or merge that loaded nothing
  // leaves the project and its mark as they were.
  bool Open(const std::string& fileName, bool addToRecent = true);
  // A merge that added presets leaves the project changed: they are in no file yet.
  bool Merge(const std::string& fileName);
  // File > Open: the save question, then the file chosen in the open dialog is opened.
  bool OpenChosen();
  // File > Open Merge: the file chosen in the open dialog is merged.
  bool MergeChosen();
  // Close: the project goes after the save question, or after "Are you sure..." when nothing
  // would be lost. False when the user stopped it.
  bool Close();
  bool New();

  // The close query of exit, a close request from outside and the end of the Windows session
  // alike (the session must not end over unsaved changes without asking): the exit question
  // when confirmProgramExit (a ticked box clears it), then pendingEdits (what is typed but not
  // yet part of the project: false stops the close), then the save question, then
  // afterConfirmed (what the exit writes: false when the user chose to go on instead). True
  // when the program may end; within the same exit a second query agrees without asking. The
  // whole query counts as asking: another exit, or a command that would change the project,
  // waits for its answers.
  bool CloseQuery(bool& confirmProgramExit, const std::string& appTitle,
                  const std::function<bool()>& pendingEdits = {},
                  const std::function<bool()>& afterConfirmed = {});
  bool CloseConfirmed();

 private:
  void CloseNow();
  bool SaveDeclined();
  // Opens or merges with the project's own notices kept from marking it.
  bool Load(const std::string& fileName, bool merge, bool& added);

  TProjectDocument& document_;
  TProjectSessionHost& host_;
  TCommandScopes& scopes_;
  bool modified_ = false;
  bool suppressed_ = false;
};

// The project of the controller's engine, loaded and saved as the controller does. Errors go
// to the controller's log as errors.
class TControllerDocument final : public TProjectDocument {
 public:
  explicit TControllerDocument(TKVHighLevel& controller) : controller_(controller) {}
  std::string FileName() const override;
  int PresetCount() const override;
  bool Save(const std::string& fileName) override;
  // A failed open leaves the controller's project file name as it was; a merge always does.
  bool Open(const std::string& fileName) override;
  bool Merge(const std::string& fileName, bool& added) override;
  void Close() override;
  void AddPreset() override;

 private:
  bool Load(const std::string& fileName, bool append);

  TKVHighLevel& controller_;
};

}  // namespace kv
