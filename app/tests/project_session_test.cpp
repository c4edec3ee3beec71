// The project file commands: the save question and what each answer does, a failed save or
// open, close, new, and the close query shared by exit and the end of the session.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "app/main_window/project_session.h"
#include "app/tests/controller_fixture.h"
#include "engine/project.h"
#include "engine/trans_engine.h"

namespace kv::test {
namespace {

class TFakeDocument final : public TProjectDocument {
 public:
  std::string FileName() const override { return fileName; }
  int PresetCount() const override { return presets; }
  bool Save(const std::string& file) override {
    saved.push_back(file);
    if (saveWorks) fileName = file;
    return saveWorks;
  }
  bool Open(const std::string& file) override {
    opened.push_back(file);
    if (openWorks) fileName = file;
    return openWorks;
  }
  bool Merge(const std::string& file, bool& added) override {
    opened.push_back("+" + file);
    added = openWorks && mergeAdds;
    if (added) ++presets;
    return openWorks;
  }
  void Close() override {
    fileName.clear();
    presets = 0;
    ++closed;
  }
  void AddPreset() override { ++presets; }

  std::string fileName;
  int presets = 0;
  bool saveWorks = true;
  bool openWorks = true;
  bool mergeAdds = true;
  int closed = 0;
  std::vector<std::string> saved, opened;
};

class TScriptedSessionHost final : public TProjectSessionHost {
 public:
  TAnswer AskYesNoCancel(const std::string& text) override {
    questions.push_back(text);
    return Next();
  }
  bool AskYesNo(const std::string& text, uint32_t) override {
    questions.push_back(text);
    return Next() == TAnswer::Yes;
  }
  TAnswer AskQuit(const std::string& text, bool& doNotAskAgain) override {
    questions.push_back(text);
    doNotAskAgain = tickBox;
    return Next();
  }
  bool ChooseSaveFile(std::string& fileName) override {
    if (chosen.empty()) return false;
    fileName = chosen;
    return true;
  }
  bool ChooseOpenFile(std::string& fileName, bool) override {
    if (toOpen.empty()) return false;
    fileName = toOpen;
    return true;
  }
  bool FileWritable(const std::string&) override { return writable; }
  void AddRecentFile(const std::string& file) override { recent.push_back(file); }
  void TitleChanged() override {}

  TAnswer Next() {
    if (answers.empty()) return TAnswer::Cancel;
    const TAnswer a = answers.front();
    answers.pop_front();
    return a;
  }

  std::deque<TAnswer> answers;
  bool tickBox = false;
  bool writable = true;
  std::string chosen, toOpen;
  std::vector<std::string> questions, recent;
};

struct SessionTest : ::testing::Test {
  TFakeDocument doc;
  TScriptedSessionHost host;
  TCommandScopes scopes;
  TProjectSession session{doc, host, scopes};
};

TEST_F(SessionTest, AChangedProjectIsOnlyLetGoWhenSavedOrDeclined) {
  doc.presets = 1;
  session.MarkModified();
  EXPECT_EQ(session.Title("T"), "T * ");

  host.answers = {TAnswer::Cancel};
  EXPECT_FALSE(session.AskToSave());
  EXPECT_EQ(host.questions.back(),
            "You have changed this project. Do you want to save it to a file?");

  // Yes, and the save dialog is cancelled: the project stays.
  host.answers = {TAnswer::Yes};
  EXPECT_FALSE(session.AskToSave());
  EXPECT_TRUE(session.Modified());

  // Yes, and the save fails: the project stays and stays marked.
  host.answers = {TAnswer::Yes};
  host.chosen = "C:\\a.kvxp";
  doc.saveWorks = false;
  EXPECT_FALSE(session.Open("C:\\other.kvxp"));
  EXPECT_TRUE(doc.opened.empty());
  EXPECT_TRUE(session.Modified());
  EXPECT_TRUE(host.recent.empty());

  doc.saveWorks = true;
  host.answers = {TAnswer::Yes};
  EXPECT_TRUE(session.AskToSave());
  EXPECT_FALSE(session.Modified());
  EXPECT_EQ(host.recent, (std::vector<std::string>{"C:\\a.kvxp"}));

  // No lets the changes go with the project only: the command's own later questions are not
  // asked again, but one that did not go on leaves the project changed and asked about.
  session.MarkModified();
  size_t asked = 0;
  {
    TCommandScopes::TScope command(scopes, TCommandKind::Project);
    host.answers = {TAnswer::No};
    EXPECT_TRUE(session.AskToSave());
    EXPECT_EQ(host.questions.back(),
              "You have made changes to Project \"a.kvxp\". Do you want to save it ?");
    asked = host.questions.size();
    EXPECT_TRUE(session.AskToSave());
    EXPECT_EQ(host.questions.size(), asked);
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(session.Title("T"), "T * a.kvxp");
  }
  host.answers = {TAnswer::Cancel};
  EXPECT_FALSE(session.AskToSave());
  EXPECT_EQ(host.questions.size(), asked + 1);

  host.answers = {TAnswer::No};
  EXPECT_TRUE(session.Open("C:\\b.kvxp"));
  EXPECT_FALSE(session.Modified());
}

// Open and merge mark what they leave: an open clears the mark, a merge that added presets
// sets it, and a file refused leaves the project and its mark as they were.
TEST_F(SessionTest, OpensAndMergesLeaveTheMarkTheProjectNeeds) {
  doc.fileName = "C:\\a.kvxp";
  doc.presets = 1;
  EXPECT_TRUE(session.Merge("C:\\b.kvxp"));
  EXPECT_TRUE(session.Changed());
  EXPECT_EQ(session.Title("T"), "T * a.kvxp");
  EXPECT_EQ(doc.fileName, "C:\\a.kvxp");

  doc.openWorks = false;
  EXPECT_FALSE(session.Merge("C:\\c.kvxp"));
  EXPECT_TRUE(session.Changed()) << "a failed merge keeps the mark";
  host.answers = {TAnswer::No};
  EXPECT_FALSE(session.Open("C:\\c.kvxp"));
  EXPECT_TRUE(session.Changed()) << "so does a failed open";

  doc.openWorks = true;
  session.ClearModified();
  doc.mergeAdds = false;
  EXPECT_TRUE(session.Merge("C:\\empty.kvxp"));
  EXPECT_FALSE(session.Changed()) << "a merge that added nothing";

  // File > Open, as every command, in a scope: the question first, then the dialog; a
  // cancelled dialog opens nothing.
  session.MarkModified();
  host.answers = {TAnswer::No};
  scopes.Run(TCommandKind::Project, [&] { EXPECT_FALSE(session.OpenChosen()); });
  EXPECT_TRUE(session.Changed());
  host.answers = {TAnswer::No};
  host.toOpen = "C:\\d.kvxp";
  scopes.Run(TCommandKind::Project, [&] { EXPECT_TRUE(session.OpenChosen()); });
  EXPECT_FALSE(session.Changed());
  EXPECT_EQ(doc.fileName, "C:\\d.kvxp");
  EXPECT_TRUE(session.MergeChosen());
  EXPECT_EQ(doc.opened.back(), "+C:\\d.kvxp");
}

TEST_F(SessionTest, SaveGoesToTheFileWhenItCanAndMarksStayWhileSuppressed) {
  doc.fileName = "C:\\live.kvxp";
  doc.presets = 2;
  session.SetSuppressed(true);  // rows moving
  session.MarkModified();
  EXPECT_FALSE(session.Modified());
  session.SetSuppressed(false);
  session.MarkModified();
  host.writable = false;  // read-only: Save As
  host.chosen = "C:\\copy.kvxp";
  EXPECT_TRUE(session.Save());
  EXPECT_EQ(doc.saved.back(), "C:\\copy.kvxp");
  host.writable = true;
  EXPECT_TRUE(session.Save());
  EXPECT_EQ(doc.saved.back(), "C:\\copy.kvxp");
}

TEST_F(SessionTest, CloseAndNewAskWhatTheyMust) {
  doc.presets = 2;
  doc.fileName = "C:\\live.kvxp";
  host.answers = {TAnswer::No};
  EXPECT_FALSE(session.Close());
  EXPECT_EQ(host.questions.back(), "Are you sure you want to close the current project?");
  EXPECT_EQ(doc.closed, 0);

  host.answers = {TAnswer::Yes};
  EXPECT_TRUE(session.New());
  EXPECT_EQ(doc.closed, 1);
  EXPECT_EQ(doc.presets, 1);
  EXPECT_FALSE(session.Modified());

  session.MarkModified();
  host.answers = {TAnswer::Cancel};
  EXPECT_FALSE(session.New());
  EXPECT_EQ(doc.closed, 1);
}

TEST_F(SessionTest, ExitAndTheEndOfTheSessionAskToQuitThenToSave) {
  doc.presets = 1;
  session.MarkModified();
  bool confirm = true;
  host.answers = {TAnswer::No};
  EXPECT_FALSE(session.CloseQuery(confirm, "Zarn's Korvanta Pro"));
  EXPECT_EQ(host.questions, (std::vector<std::string>{"Do you really want to quit Zarn's Korvanta Pro?"}));

  // The box ticked: no longer asked; the failed save still stops the end of the session.
  host.tickBox = true;
  host.answers = {TAnswer::Yes, TAnswer::Yes};
  host.chosen = "C:\\a.kvxp";
  doc.saveWorks = false;
  EXPECT_FALSE(session.CloseQuery(confirm, "T"));
  EXPECT_FALSE(confirm);

  // What is typed but not yet in the project is asked about between the two questions.
  doc.saveWorks = true;
  std::vector<std::string> order;
  auto pending = [&](bool letGo) {
    return [&order, &host = host, letGo] {
      order.push_back("pending after " + std::to_string(host.questions.size()));
      return letGo;
    };
  };
  EXPECT_FALSE(session.CloseQuery(confirm, "T", pending(false)));
  EXPECT_EQ(host.questions.size(), 3u);
  host.answers = {TAnswer::Yes};
  EXPECT_TRUE(session.CloseQuery(confirm, "T", pending(true)));
  EXPECT_EQ(host.questions.size(), 4u);
  EXPECT_EQ(order, (std::vector<std::string>{"pending after 3", "pending after 3"}));

  // A second check of one exit agrees without asking; the next exit asks again.
  session.MarkModified();
  {
    TCommandScopes::TScope exit(scopes, TCommandKind::Exit);
    host.answers = {TAnswer::No};
    EXPECT_TRUE(session.CloseQuery(confirm, "T"));
    EXPECT_TRUE(session.CloseQuery(confirm, "T"));
    EXPECT_EQ(host.questions.size(), 5u);
  }
  host.answers = {TAnswer::Cancel};
  EXPECT_FALSE(session.CloseQuery(confirm, "T"));
  EXPECT_EQ(host.questions.size(), 6u);

  // What the exit writes comes last; a failed write the user goes on from keeps the program.
  host.answers = {TAnswer::No};
  EXPECT_FALSE(session.CloseQuery(confirm, "T", {}, [] { return false; }));
  EXPECT_EQ(host.questions.size(), 7u);
}

using ControllerDocumentTest = ControllerFixture;

TEST_F(ControllerDocumentTest, AFailedOpenKeepsTheFileAndAFailedSaveReportsIt) {
  TKVHighLevel& controller = Make();
  controller.EnsureStage(4);
  TControllerDocument doc(controller);
  const std::string good = File("good.kvxp", "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n");
  ASSERT_TRUE(doc.Open(good));
  EXPECT_EQ(controller.ProjectFile(), good);

  EXPECT_FALSE(doc.Open((dir_ / "missing.kvxp").string()));
  EXPECT_EQ(controller.ProjectFile(), good);
  bool added = false;
  EXPECT_TRUE(doc.Merge(good, added));
  EXPECT_TRUE(added);
  EXPECT_EQ(doc.PresetCount(), 2);
  EXPECT_EQ(controller.ProjectFile(), good);
  const std::string empty = File("empty.kvxp", "[Project]\r\nVersion=2\r\n");
  EXPECT_TRUE(doc.Merge(empty, added));
  EXPECT_FALSE(added);
  EXPECT_FALSE(doc.Merge((dir_ / "missing.kvxp").string(), added));
  EXPECT_FALSE(added);

  doc.AddPreset();
  doc.AddPreset();
  EXPECT_EQ(controller.Engine()->Project().GetPreset(doc.PresetCount() - 1)->GetName(),
            "New Preset 2");
  log_.clear();
  EXPECT_FALSE(doc.Save((dir_ / "no such folder" / "x.kvxp").string()));
  while (TMainThreadCalls::Instance().Serve(0)) {
  }
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.back().level, 2);
  const std::string out = (dir_ / "out.kvxp").string();
  EXPECT_TRUE(doc.Save(out));
  EXPECT_EQ(doc.FileName(), out);
  doc.Close();
  EXPECT_EQ(doc.PresetCount(), 0);
}

}  // namespace
}  // namespace kv::test
