// Every road into a command against every state the user may leave open and every sequence of
// answers, on the models the main window runs them with: the command scopes, the project
// session and the translator editor. After each one walk checks that nothing the user typed
// or changed was lost: it is in the editor still, in the project (and then the project is
// marked changed unless a file holds it), in a file, or it was dropped by a No of a command
// that then replaced or closed the project, or ended the program. And no question is asked on
// top of another, no command takes the editor's change in while a question about it is open,
// and no answer outlives its command.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window/command_scope.h"
#include "app/main_window/main_commands.h"
#include "app/main_window/project_session.h"
#include "editor/trans_editor.h"
#include "engine/action_registry.h"
#include "engine/translator.h"

namespace kv::test {
namespace {

using TItems = std::vector<std::string>;

// The choices of one walk: each point takes the next number of a prefix (0 past its end), and
// the walks together take every sequence, as an odometer turns.
class TChoices {
 public:
  explicit TChoices(std::vector<int> prefix) : prefix_(std::move(prefix)) {}
  int Pick(const std::vector<const char*>& names) {
    const size_t at = taken_.size();
    const int choice = at < prefix_.size() ? prefix_[at] : 0;
    taken_.push_back(choice);
    arities_.push_back(static_cast<int>(names.size()));
    trail_ += std::string(trail_.empty() ? "" : ", ") + names[static_cast<size_t>(choice)];
    return choice;
  }
  bool Next(std::vector<int>& prefix) const {
    for (size_t i = taken_.size(); i-- > 0;) {
      if (taken_[i] + 1 < arities_[i]) {
        prefix.assign(taken_.begin(), taken_.begin() + static_cast<long>(i));
        prefix.push_back(taken_[i] + 1);
        return true;
      }
    }
    return false;
  }
  const std::string& Trail() const { return trail_; }

 private:
  std::vector<int> prefix_, taken_, arities_;
  std::string trail_;
};

enum class TPending { None, Typed, Failing };
struct TState {
  TPending editor;
  bool changed;   // the project holds a change no file has
  bool declined;  // an earlier command was told No to saving and then did not go on
};

enum class TRoad {
  New, Open, Merge, Close, Save, RecentFile, CloseBox, CloseRequest, SessionEnd, EditorClose
};
constexpr const char* kRoadNames[] = {"New",  "Open",      "Merge",         "Close",      "Save",
                                      "Recent file", "close box", "close request", "session end",
                                      "editor's close"};

constexpr const char* kFile = "C:\\p.kvxp";
constexpr const char* kOther = "C:\\other.kvxp";
constexpr const char* kRefused = "C:\\no project.kvxp";

const int kToken = 1;
const TEditItem kItem = &kToken;  // the row the editor shows: the project's first item

// The program as the walk sees it: a project of named items and files that hold items, the
// editor on the first item, and the main window's roads as it runs them.
class TWorld final : public TProjectDocument, public TProjectSessionHost, public TEditTransHost {
 public:
  explicit TWorld(TChoices& choices) : choices_(choices) {
    scopes_.SetJoins({[] {}, [this] { return editor_.ApplyIfModified(); }});
    files_[kFile] = {"Fader", "Pads"};
    files_[kOther] = {"Other"};
    Open(kFile);
    ShowFirstItem();
  }

  // --- the state the user leaves open, made as a user makes it -------------------------
  void Leave(const TState& state) {
    if (state.changed) {
      items_.push_back("Change");
      session_.MarkModified();
    }
    if (state.declined) {
      // Open, No to saving, the dialog cancelled.
      scripted_ = {TAnswer::No};
      openCancelled_ = true;
      Run(TMainCommand::FileOpen, [this] { session_.OpenChosen(); });
      openCancelled_ = false;
    }
    if (state.editor != TPending::None) {
      editor_.SetName("Typed");
      if (state.editor == TPending::Failing) editor_.Rules().SetLines({"if pp > 10 then oops"});
    }
    scripted_.clear();
    typed_ = state.editor != TPending::None;
    changed_ = state.changed;
    // What the state's own making answered belongs to a command that is over.
    noOf_.clear();
    replacedBy_ = endedBy_ = 0;
  }

  // --- the roads ---------------------------------------------------------------------------
  void Take(TRoad road) {
    switch (road) {
      case TRoad::New:
        Run(TMainCommand::FileNew, [this] {
          if (session_.New()) ProjectReplaced();
        });
        break;
      case TRoad::Open:
        Run(TMainCommand::FileOpen, [this] { session_.OpenChosen(); });
        break;
      case TRoad::Merge:
        Run(TMainCommand::FileOpenMerge, [this] { session_.MergeChosen(); });
        break;
      case TRoad::Close:
        Run(TMainCommand::FileClose, [this] {
          if (session_.Close()) ProjectReplaced();
        });
        break;
      case TRoad::Save:
        Run(TMainCommand::FileSave, [this] { session_.Save(); });
        break;
      case TRoad::RecentFile:
        Run(TMainCommand::RecentFile, [this] { session_.Open(kOther); });
        break;
      case TRoad::CloseBox:
        CloseBox();
        break;
      case TRoad::CloseRequest:
        Run(TMainCommand::Exit, [this] { CloseQuery(); });
        break;
      case TRoad::SessionEnd:
        SessionEnd();
        break;
      case TRoad::EditorClose:
        EditorClose();
        break;
    }
  }

  // --- the checks --------------------------------------------------------------------------
  void Check(const std::string& where) {
    EXPECT_EQ(scopes_.Depth(), 0) << where;
    if (!faults_.empty()) ADD_FAILURE() << where << ": " << faults_.front();
    auto inSomeFile = [&](const std::string& item) {
      for (const auto& [name, items] : files_)
        if (std::count(items.begin(), items.end(), item)) return true;
      return false;
    };
    auto inProject = [&](const std::string& item) {
      return std::count(items_.begin(), items_.end(), item) > 0;
    };
    // Dropped by an answer: a No of a command that then replaced or closed the project, or
    // ended the program.
    const bool letGo = std::any_of(noOf_.begin(), noOf_.end(), [&](int command) {
      return command == replacedBy_ || command == endedBy_;
    });
    if (typed_) {
      const bool kept = (editor_.Modified() && editor_.Name() == "Typed") || inProject("Typed") ||
                        inSomeFile("Typed");
      EXPECT_TRUE(kept || letGo || editorClosedOnNo_) << where << ": the typed name was lost";
    }
    if (changed_) {
      const bool kept = inProject("Change") || inSomeFile("Change");
      EXPECT_TRUE(kept || letGo) << where << ": the project's change was lost";
    }
    if (ended_) return;
    // What the program shows: a project that differs from its file is marked changed.
    const auto file = files_.find(fileName_);
    const bool asFiled = file != files_.end() ? file->second == items_ : items_.empty();
    EXPECT_TRUE(asFiled || session_.Changed()) << where << ": the project reads as saved";
    // No answer outlives its command: a changed project is asked about again.
    if (session_.Changed()) {
      const size_t asked = questions_;
      scripted_ = {TAnswer::Cancel};
      TCommandScopes::TScope later(scopes_, TCommandKind::Project);
      session_.AskToSave();
      EXPECT_EQ(questions_, asked + 1) << where << ": a later command asks nothing";
    }
  }

 private:
  // Each command the walk runs has a number of its own, for what its answers let go.
  bool Run(TMainCommand command, const std::function<void()>& body) {
    const int number = ++commands_;
    return scopes_.Run(CommandKindOf(command), [&] {
      running_.push_back(number);
      body();
      running_.pop_back();
    });
  }
  int Running() const { return running_.empty() ? 0 : running_.back(); }

  // The main window's close query, as every exit road runs it.
  bool CloseQuery() {
    if (scopes_.Waits(TCommandKind::Exit)) return false;
    return session_.CloseQuery(
        confirmExit_, "T", [this] { return editor_.AskToApply([this] { return AskEditor(); }); },
        [this] { return SaveSettings(); });
  }

  void CloseBox() {
    Run(TMainCommand::Exit, [this] {
      if (CloseQuery()) Ended(Running());
    });
  }

  void SessionEnd() {
    bool agreed = false;
    int number = 0;
    Run(TMainCommand::Exit, [this, &agreed, &number] {
      number = Running();
      agreed = CloseQuery();
    });
    // The end comes, another program cancels it, or it never comes at all.
    if (agreed && choices_.Pick({"the end comes", "the end is cancelled or never comes"}) == 0)
      Ended(number);
  }

  void EditorClose() {
    Run(TMainCommand::EditorClose, [this] {
      TCommandScopes::TAsking asking(scopes_);
      bool no = false;
      const bool closed = editor_.CloseQuery([this, &no] {
        const TCloseAnswer answer = AskEditor();
        no = answer == kCloseNo;
        return answer;
      });
      if (closed && no) editorClosedOnNo_ = true;  // the editor's own close let it go
    });
  }

  void Ended(int command) {
    ended_ = true;
    endedBy_ = command;
  }

  void ProjectReplaced() {
    if (!replacedBy_) replacedBy_ = Running();
    editor_.ItemDeleted(kItem);
  }

  void ShowFirstItem() {
    const std::string options = "Actv01Stop00OutO00";
    shown_ = TTransMsg::CreateFromText("MID1903C7F", "None", &options);
    shown_->SetName(items_.empty() ? std::string() : items_.front());
    editor_.EditTranslator(kItem, shown_.get());
  }

  // What another road does while a dialog (an open dialog) or a question of this one is open;
  // one level deep.
  void Meanwhile(bool question) {
    if (nested_ > 0) return;
    const int other =
        question ? choices_.Pick({"nothing meanwhile", "meanwhile the tray's Exit",
                                  "meanwhile the session's end",
                                  "meanwhile Project Default Ports"})
                 : choices_.Pick({"nothing meanwhile", "meanwhile a rescan",
                                  "meanwhile the tray's Exit", "meanwhile Project Default Ports"});
    if (other == 0) return;
    const size_t before = questions_;
    ++nested_;
    const bool ports = other == 3;
    if (ports) {
      if (Run(TMainCommand::ProjectDefaultPorts, [] {}) && question && editor_.Modified())
        faults_.push_back("a command took the editor's change in while a question was open");
    } else if (question ? other == 1 : other == 2) {
      CloseBox();
    } else if (question) {
      SessionEnd();
    } else {
      Run(TMainCommand::RescanMidi, [] {});
    }
    --nested_;
    if (question && questions_ != before)
      faults_.push_back("a question was asked on top of another");
  }

  TCloseAnswer AskEditor() {
    ++questions_;
    Meanwhile(true);
    const int answer = choices_.Pick({"apply: Yes", "apply: No", "apply: Cancel"});
    if (answer == 1) noOf_.push_back(Running());
    return answer == 0 ? kCloseYes : answer == 1 ? kCloseNo : kCloseCancel;
  }

  TAnswer Answer(const char* question) {
    ++questions_;
    if (!scripted_.empty()) {
      const TAnswer a = scripted_.front();
      scripted_.erase(scripted_.begin());
      return a;
    }
    if (ended_) return TAnswer::Cancel;  // the program ended under the question
    Meanwhile(true);
    const std::string yes = std::string(question) + ": Yes", no = std::string(question) + ": No",
                      cancel = std::string(question) + ": Cancel";
    const int answer = choices_.Pick({yes.c_str(), no.c_str(), cancel.c_str()});
    return answer == 0 ? TAnswer::Yes : answer == 1 ? TAnswer::No : TAnswer::Cancel;
  }

  bool SaveSettings() {
    for (int tries = 0;; ++tries) {
      if (tries > 0 || choices_.Pick({"settings saved", "settings save fails"}) == 0) return true;
      const int what = choices_.Pick({"retry", "quit without them", "go on working"});
      if (what == 1) return true;
      if (what == 2) return false;
    }
  }

  // TProjectDocument
  std::string FileName() const override { return fileName_; }
  int PresetCount() const override { return items_.empty() ? 0 : 1; }
  bool Save(const std::string& file) override {
    files_[file] = items_;
    fileName_ = file;
    return true;
  }
  bool Open(const std::string& file) override {
    if (file == kRefused) return false;
    items_ = files_[file];
    fileName_ = file;
    loaded_ = true;
    return true;
  }
  bool Merge(const std::string& file, bool& added) override {
    added = false;
    if (file == kRefused) return false;
    const TItems& more = files_[file];
    items_.insert(items_.end(), more.begin(), more.end());
    added = !more.empty();
    return true;
  }
  void Close() override {
    items_.clear();
    fileName_.clear();
  }
  void AddPreset() override {}

  // TProjectSessionHost
  TAnswer AskYesNoCancel(const std::string&) override {
    const TAnswer a = Answer("save");
    if (a == TAnswer::No) noOf_.push_back(Running());
    return a;
  }
  bool AskYesNo(const std::string&, uint32_t) override { return Answer("sure") == TAnswer::Yes; }
  TAnswer AskQuit(const std::string&, bool&) override { return Answer("quit"); }
  bool ChooseSaveFile(std::string& fileName) override {
    if (choices_.Pick({"saved as", "save dialog cancelled"}) != 0) return false;
    fileName = kOther;
    return true;
  }
  bool ChooseOpenFile(std::string& fileName, bool) override {
    if (openCancelled_) return false;
    Meanwhile(false);
    if (ended_) return false;  // the dialog ended with the program
    const int pick = choices_.Pick({"file chosen", "file refused", "dialog cancelled"});
    if (pick == 2) return false;
    fileName = pick == 0 ? kOther : kRefused;
    return true;
  }
  bool FileWritable(const std::string&) override { return true; }
  void AddRecentFile(const std::string&) override {}
  void TitleChanged() override {}
  void LoadEnded() override {
    // The rows show the project as loaded; the editor's translator went with the old one.
    if (std::exchange(loaded_, false)) ProjectReplaced();
  }

  // TEditTransHost
  void ReplaceTranslator(TEditItem, TTransMsgPtr translator) override {
    if (items_.empty()) throw std::runtime_error("Translator does not exist !");
    items_.front() = translator->Name();
    session_.MarkModified();
  }
  void SelectNextTranslator() override {}
  void SelectPreviousTranslator() override {}
  void ShowErrors(const std::string&) override {}

  TChoices& choices_;
  TCommandScopes scopes_;
  TProjectSession session_{*this, *this, scopes_};
  TEditTrans editor_{*this};
  TTransMsgPtr shown_;
  std::map<std::string, TItems> files_;
  TItems items_;
  std::string fileName_;
  bool confirmExit_ = true;
  std::vector<TAnswer> scripted_;  // answers of the state's own making
  bool openCancelled_ = false;
  bool typed_ = false, changed_ = false;
  size_t questions_ = 0;
  int nested_ = 0;
  int commands_ = 0;
  std::vector<int> running_;  // the commands under way, the innermost last
  std::vector<int> noOf_;     // the commands that were told No (to saving, to applying)
  int replacedBy_ = 0, endedBy_ = 0;
  bool loaded_ = false, ended_ = false, editorClosedOnNo_ = false;
  std::vector<std::string> faults_;
};

std::string Describe(const TState& s) {
  std::ostringstream out;
  out << (s.editor == TPending::None    ? "nothing typed"
          : s.editor == TPending::Typed ? "a name typed in the editor"
                                        : "an editor change that fails to apply")
      << (s.changed ? ", the project changed" : "") << (s.declined ? ", a No kept" : "");
  return out.str();
}

TEST(CommandWalk, NothingTheUserTypedOrChangedIsLostOnAnyRoad) {
  RegisterStandardTransActions();
  int walks = 0;
  for (TPending editor : {TPending::None, TPending::Typed, TPending::Failing}) {
    for (bool changed : {false, true}) {
      for (bool declined : {false, true}) {
        const TState state{editor, changed, declined};
        for (int road = 0; road <= static_cast<int>(TRoad::EditorClose); ++road) {
          std::vector<int> prefix;
          for (bool more = true; more; ++walks) {
            TChoices choices(prefix);
            TWorld world(choices);
            world.Leave(state);
            world.Take(static_cast<TRoad>(road));
            world.Check(Describe(state) + "; " + kRoadNames[road] + ": " + choices.Trail());
            more = choices.Next(prefix);
            if (::testing::Test::HasFailure()) return;
          }
        }
      }
    }
  }
  RecordProperty("walks", walks);
}

}  // namespace
}  // namespace kv::test
