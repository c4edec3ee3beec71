#pragma once
// The main window's project file commands without the window: the modified flag, asking to
// save before the project goes, open, merge, save, close, new, and the close query that exit,
// a close request and the end of the session all run. Main thread only.
#include <cstdint>
#include <functional>
#include <string>

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
  // Replaces (or, with append, adds to) the project; true when it loaded.
  virtual bool Open(const std::string& fileName, bool append) = 0;
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
  virtual bool FileWritable(const std::string& fileName) = 0;  // exists and not read-only
  virtual void AddRecentFile(const std::string& fileName) = 0;
  virtual void TitleChanged() = 0;
};

class TProjectSession {
 public:
  TProjectSession(TProjectDocument& document, TProjectSessionHost& host)
      : document_(document), host_(host) {}

  bool Modified() const { return modified_; }
  // Every edit and the project's change notification; ignored while rows move or a project
  // loads.
  void MarkModified();
  void SetSuppressed(bool suppressed) { suppressed_ = suppressed; }
  void ClearModified();
  bool Changed() const;
  std::string Title(const std::string& appTitle) const;

  // Before open, new, close and exit: true when the project may go. A No lets the changes go
  // only with the project: until the command that asked replaces or closes it, the project
  // stays changed, and further questions of the same command are not asked again.
  bool AskToSave();
  // The command that asked has ended: after a No it did not go on (an Open whose file dialog
  // was cancelled), so the next command asks again.
  void CommandEnded() { declined_ = false; }
  // Save: to the project's file when it can be written, else Save As.
  bool Save();
  bool SaveAs();
  bool SaveTo(const std::string& fileName);
  // A normal open asks to save first; a merge does not.
  bool Open(const std::string& fileName, bool addToRecent = true);
  bool Merge(const std::string& fileName);
  // Close: the project goes after the save question, or after "Are you sure..." when nothing
  // would be lost. False when the user stopped it.
  bool Close();
  bool New();

  // The close query of exit, a close request from outside and the end of the Windows session
  // alike (the session must not end over unsaved changes without asking): the exit question
  // when confirmProgramExit (a ticked box clears it), then pendingEdits (what is typed but not
  // yet part of the project: false stops the close), then the save question. True when the
  // program may end; once confirmed, later queries agree without asking again.
  bool CloseQuery(bool& confirmProgramExit, const std::string& appTitle,
                  const std::function<bool()>& pendingEdits = {});
  bool CloseConfirmed() const { return closeConfirmed_; }
  // A confirmed close that did not happen (the program goes on after a close request or a
  // cancelled end of the session): the next close asks again, so later edits are not lost.
  void ForgetCloseConfirmation() { closeConfirmed_ = false; }

 private:
  void CloseNow();

  TProjectDocument& document_;
  TProjectSessionHost& host_;
  bool modified_ = false;
  bool suppressed_ = false;
  bool closeConfirmed_ = false;
  bool declined_ = false;  // No to saving, answered for the command under way
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
  bool Open(const std::string& fileName, bool append) override;
  void Close() override;
  void AddPreset() override;
  // Runs before every save: what the translator editor has not applied yet goes in first.
  std::function<void()> beforeSave;

 private:
  TKVHighLevel& controller_;
};

}  // namespace kv
