#pragma once
// One command as the user gave it, from the road it came in by (a menu, a toolbar button, a
// key, the tray, a drop, a rename ended, the close box, a close request, the session's end)
// until it is over, whether or not it went on. What the user answers inside it (a No to
// saving, a confirmed exit) is that command's own: it counts for the command alone and is
// forgotten when the command ends. A command that comes in while another one's dialog is open
// is one of its own: it neither sees nor ends the other's answers. While a command asks about
// the project or the editor's change (its question and what the answer starts: a save, the
// settings written at exit), a command that would change, replace or close the project, or
// take in or ask about the editor's change, waits for that answer: it does not run.
// Main thread only.
#include <cstddef>
#include <functional>
#include <vector>

namespace kv {

// What a command does with the project and with the translator editor's change that is not
// applied yet. Each command of the main window has one (CommandKindOf in main_commands.h).
enum class TCommandKind {
  // Changes nothing the project or the editor's change holds: it runs at any time.
  Apart,
  // Changes, copies, replaces or closes the project: the editor's change goes in first (a
  // failed Apply shows why and stops the command).
  Project,
  // Ends the program, or asks to: the exit's questions ask about the editor's change itself.
  Exit,
  // The editor's own: it works on its change itself (its alias button, its close).
  Editor,
};

// The answers a command keeps while it runs.
struct TCommandAnswers {
  // No to saving: the project may go unsaved, by this command alone and only while no change
  // came after the answer.
  bool saveDeclined = false;
  // The exit's questions were answered to go on: a second check of the same exit agrees.
  bool closeConfirmed = false;
};

class TCommandScopes {
 public:
  // What every command needs done before it runs, by its kind.
  struct TJoins {
    std::function<void()> endOpenEdits;  // an open in-place rename is taken first
    // The editor's change goes into the project; false when it could not (it said why).
    std::function<bool()> takeEditorChange;
  };

  TCommandScopes() = default;
  explicit TCommandScopes(TJoins joins) : joins_(std::move(joins)) {}
  TCommandScopes(const TCommandScopes&) = delete;
  TCommandScopes& operator=(const TCommandScopes&) = delete;
  void SetJoins(TJoins joins) { joins_ = std::move(joins); }

  // A command from its road: in a scope of its own, by its kind. False when it did not run:
  // another command's question waits for its answer, or the editor's change could not go in.
  bool Run(TCommandKind kind, const std::function<void()>& command);

  // A road's scope. Run enters one; a road that decides itself (the close query) enters its own.
  class TScope {
   public:
    TScope(TCommandScopes& scopes, TCommandKind kind);
    ~TScope();
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    TCommandScopes& scopes_;
  };

  // The innermost command asks (its question and what the answer starts).
  class TAsking {
   public:
    explicit TAsking(TCommandScopes& scopes);
    ~TAsking();
    TAsking(const TAsking&) = delete;
    TAsking& operator=(const TAsking&) = delete;

   private:
    TCommandScopes& scopes_;
    size_t frame_;  // 1 + the index of the frame that asks; 0 outside every command
  };

  // The answers of the innermost command; null outside every command (nothing is kept then).
  TCommandAnswers* Answers();
  // A command of that kind, the innermost one, waits: a command around it asks.
  bool Waits(TCommandKind kind) const;
  // The innermost command is an exit: its answer to saving may be the program's last.
  bool InExit() const;
  // A change was made: a No to saving given before it covers it in no command.
  void ForgetDeclinedSaves();
  int Depth() const { return static_cast<int>(frames_.size()); }

 private:
  struct TFrame {
    TCommandKind kind;
    TCommandAnswers answers;
    int asking = 0;
  };
  TJoins joins_;
  std::vector<TFrame> frames_;  // the innermost last
};

}  // namespace kv
