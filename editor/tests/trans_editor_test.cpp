// The translator editor's state: loading, Apply, Revert, the pages and capture.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/exception.h"
#include "editor/tests/fake_edit_host.h"
#include "editor/trans_editor.h"
#include "engine/action_registry.h"
#include "engine/actions/unknown_action.h"
#include "engine/trans_engine.h"

namespace kv {
namespace {

using FakeHost = test::FakeEditHost;
using test::itemA;
using test::itemB;

class TransEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStandardTransActions(); }

  static TTransMsgPtr Make(const std::string& in, const std::string& out,
                           const std::string& options = "Actv01Stop00OutO00") {
    TTransMsgPtr t = TTransMsg::CreateFromText(in, out, &options);
    t->SetName("Fader");
    return t;
  }

  FakeHost host_;
  TEditTrans editor_{host_};
};

TEST_F(TransEditorTest, ApplyingAnUnchangedTranslatorWritesTheSameTexts) {
  const std::string options = "Actv01Stop01OutO01Dlay250:MillisStMa00000001pp=qq";
  const TTransMsgPtr original = Make("MID1B007pp", "Mse2" + std::string(), options);
  TTransMouseAction move(false);
  move.SetX(TNumberOrVariable::Variable(1));
  original->SetActionsFromText("MID1B007pp", move.SaveToText());
  original->ParseOptions(options);
  editor_.EditTranslator(itemA, original.get());
  EXPECT_FALSE(editor_.Modified());
  EXPECT_EQ(editor_.Title(), "Edit Translator Entry Fader");
  EXPECT_EQ(editor_.Delay(), kDelayInMillis);
  EXPECT_FALSE(editor_.InMidi().Swallow());

  editor_.SetName("Fader");  // a change, to let Apply run
  ASSERT_TRUE(editor_.ApplyChanges());
  ASSERT_EQ(host_.replaced.size(), 1u);
  const TTransMsg& built = *host_.replaced[0];
  EXPECT_EQ(host_.lastItem, itemA);
  EXPECT_NE(&built, original.get()) << "a new translator, never the old one changed";
  EXPECT_EQ(built.Name(), "Fader");
  EXPECT_EQ(built.GetIncomingText(), original->GetIncomingText());
  EXPECT_EQ(built.GetOutgoingText(), original->GetOutgoingText());
  EXPECT_EQ(built.GetOptionsText(), original->GetOptionsText());
  EXPECT_FALSE(editor_.Modified());
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(TransEditorTest, RevertAfterApplyShowsTheAppliedTranslator) {
  const TTransMsgPtr original = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, original.get());
  editor_.SetName("Renamed");
  ASSERT_TRUE(editor_.ApplyChanges());

  editor_.SetName("Scratch");
  EXPECT_TRUE(editor_.RevertEnabled());
  editor_.Revert();
  EXPECT_EQ(editor_.Name(), "Renamed");
  EXPECT_FALSE(editor_.Modified());
  ASSERT_NE(editor_.KeptCopy(), nullptr);
  EXPECT_NE(editor_.KeptCopy(), host_.replaced.back().get())
      << "the kept copy is the editor's own, not the one handed over";
}

TEST_F(TransEditorTest, ApplyReportsEveryRuleLineThatDoesNotParse) {
  const TTransMsgPtr original = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, original.get());
  editor_.Rules().SetLines({"pp=1", "nonsense", "qq=2", "ga=1 2"});
  EXPECT_TRUE(editor_.Modified());
  EXPECT_FALSE(editor_.ApplyChanges());
  EXPECT_TRUE(host_.replaced.empty()) << "the lines are not dropped by a silent apply";
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_NE(host_.errors[0].find("Line 2: parse error: "), std::string::npos);
  EXPECT_NE(host_.errors[0].find("\r\nLine 4: parse error: unknown text at end of line"),
            std::string::npos);
  EXPECT_TRUE(editor_.Modified());
  EXPECT_EQ(editor_.Rules().Lines().size(), 4u);

  editor_.Rules().SetLines({"pp=1", "qq=2"});
  EXPECT_TRUE(editor_.ApplyChanges());
  ASSERT_EQ(host_.replaced.size(), 1u);
  EXPECT_EQ(host_.replaced[0]->Rules()->Count(), 2u);
}

TEST_F(TransEditorTest, FailedApplyKeepsTheEditAndShowsTheMessage) {
  const TTransMsgPtr original = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, original.get());
  editor_.ChooseOutgoing(4);  // Timer
  ASSERT_EQ(editor_.OutgoingChooser().Chosen(), &editor_.OutTimer());
  editor_.OutTimer().InitialDelay().text = "later";
  EXPECT_FALSE(editor_.ApplyChanges());
  EXPECT_EQ(editor_.ErrorText(), "invalid number or variable");
  EXPECT_TRUE(editor_.Modified());

  editor_.OutTimer().InitialDelay().text = "5";
  host_.itemGone = true;
  EXPECT_FALSE(editor_.ApplyChanges());
  EXPECT_EQ(editor_.ErrorText(), "Translator does not exist !");
}

TEST_F(TransEditorTest, AFailedApplyKeepsTheEditorOnItsItemWhateverMovesIt) {
  const TTransMsgPtr a = Make("MID1903C7F", "None");
  const TTransMsgPtr b = Make("MID1803C00", "None");
  editor_.EditTranslator(itemA, a.get());
  editor_.SetName("Renamed");
  editor_.Rules().SetLines({"if pp > 10 then oops"});
  editor_.NextTranslator();
  editor_.PreviousTranslator();
  EXPECT_EQ(host_.nexts + host_.previous, 0) << "no move is asked for";
  EXPECT_FALSE(editor_.EditTranslator(itemB, b.get()));
  EXPECT_FALSE(editor_.EditTranslator(itemA, a.get())) << "the same row again (the last one)";
  EXPECT_FALSE(editor_.EditBlankEntry(itemB, "blank", true));
  EXPECT_EQ(host_.errors.size(), 5u);
  EXPECT_EQ(editor_.Item(), itemA);
  EXPECT_TRUE(editor_.Modified());
  EXPECT_EQ(editor_.Title(), "Edit Translator Entry Renamed");
  EXPECT_EQ(editor_.Rules().Lines(), std::vector<std::string>{"if pp > 10 then oops"});
  EXPECT_TRUE(host_.replaced.empty());

  editor_.Rules().SetLines({"if pp > 10 then pp = 1"});
  editor_.NextTranslator();
  EXPECT_EQ(host_.nexts, 1);
  ASSERT_EQ(host_.replaced.size(), 1u);
  EXPECT_TRUE(editor_.EditTranslator(itemB, b.get()));
  EXPECT_EQ(editor_.Item(), itemB);
}

TEST_F(TransEditorTest, AfterApplyEveryFieldShowsWhatWasStored) {
  const TTransMsgPtr t = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, t.get());
  editor_.ChooseOutgoing(3);  // Mouse
  editor_.OutMouse().MoveX().text = "12x";
  editor_.DelayTyped(kDelayInSeconds, "1.5");
  editor_.Rules().SetLines({"  ga = ga + 1  ", "", "if pp>1 then skip next rule"});
  ASSERT_TRUE(editor_.ApplyChanges());
  EXPECT_EQ(editor_.OutMouse().MoveX().text, "0");
  EXPECT_EQ(editor_.DelaySeconds().text, "0");
  EXPECT_EQ(editor_.Rules().Lines(),
            (std::vector<std::string>{"ga=ga+1", "if pp>1 then skip next rule"}));
  EXPECT_FALSE(editor_.Modified());

  editor_.ChooseOutgoing(5);  // Preset Change
  editor_.OutPreset().SetChoice(kPresetActivateNumber);
  editor_.OutPreset().NumberCombo().text = "abc";
  ASSERT_TRUE(editor_.ApplyChanges());
  EXPECT_EQ(editor_.OutPreset().NumberCombo().text, "0");
}

TEST_F(TransEditorTest, ApplyRefusesMoreRulesThanAFileCanHold) {
  const TTransMsgPtr t = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, t.get());
  editor_.Rules().SetLines(std::vector<std::string>(kMaxStoredRules + 1, "ga=1"));
  EXPECT_FALSE(editor_.ApplyChanges());
  EXPECT_TRUE(host_.replaced.empty());
  EXPECT_EQ(editor_.ErrorText(), "A translator can hold at most 65535 rules; these are 65536.");
  EXPECT_TRUE(editor_.Modified());
}

TEST_F(TransEditorTest, EmptyMidiActionAndMissingSidesLoadAsNoneAndMidi) {
  const TTransMsgPtr emptyOut = Make("", "MID1");
  editor_.EditTranslator(itemA, emptyOut.get());
  EXPECT_EQ(editor_.IncomingChooser().Chosen(), &editor_.InMidi());
  EXPECT_EQ(editor_.OutgoingChooser().Chosen(), &editor_.OutNone());
  editor_.SetName("x");
  ASSERT_TRUE(editor_.ApplyChanges());
  EXPECT_EQ(host_.replaced.back()->GetOutgoingText(), "None");
  EXPECT_FALSE(host_.replaced.back()->OutputOriginal()) << "a cleared MIDI panel swallows";
}

TEST_F(TransEditorTest, UnknownKindsAreKeptVerbatim) {
  const TTransMsgPtr odd = Make("Zzz1whatever", "Qqq9stuff");
  editor_.EditTranslator(itemA, odd.get());
  EXPECT_EQ(editor_.IncomingChooser().Chosen(), nullptr);
  EXPECT_EQ(editor_.IncomingChooser().Items().back(), kUnknownPanelCaption);
  EXPECT_EQ(editor_.IncomingRawText(), "Zzz1whatever");
  editor_.SetName("x");
  ASSERT_TRUE(editor_.ApplyChanges());
  EXPECT_EQ(host_.replaced.back()->GetIncomingText(), "Zzz1whatever");
  EXPECT_EQ(host_.replaced.back()->GetOutgoingText(), "Qqq9stuff");

  const TTransMsgPtr plain = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemB, plain.get());
  EXPECT_FALSE(editor_.IncomingChooser().unknownListed) << "dropped once a panel fits";
}

TEST_F(TransEditorTest, ChangesMarkModifiedExceptWhileLoading) {
  const TTransMsgPtr t = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, t.get());
  EXPECT_FALSE(editor_.ApplyEnabled());
  editor_.UpdateActive(itemA, false);
  editor_.UpdateName(itemA, "FromList");
  EXPECT_FALSE(editor_.Modified()) << "the main window's own changes";
  EXPECT_EQ(editor_.Title(), "Edit Translator Entry FromList");

  editor_.InMidi().SetMessageText("90 3C pp");
  EXPECT_TRUE(editor_.Modified());
  editor_.Revert();
  EXPECT_FALSE(editor_.Modified());
  editor_.DelayTyped(kDelayInSeconds, "2");
  EXPECT_EQ(editor_.Delay(), kDelayInSeconds);
  EXPECT_TRUE(editor_.ApplyEnabled());
}

TEST_F(TransEditorTest, SwitchingItemsAppliesPendingChanges) {
  const TTransMsgPtr a = Make("MID1903C7F", "None");
  const TTransMsgPtr b = Make("MID1803C00", "None");
  editor_.EditTranslator(itemA, a.get());
  editor_.SetStopProcessing(true);
  editor_.EditTranslator(itemB, b.get());
  ASSERT_EQ(host_.replaced.size(), 1u);
  EXPECT_EQ(host_.lastItem, itemA);
  EXPECT_TRUE(host_.replaced[0]->Stop());
  EXPECT_EQ(editor_.InMidi().MessageText(), "80 3C 00");

  editor_.ReplaceItem(itemB, itemA);
  EXPECT_EQ(editor_.Item(), itemA);
  editor_.ItemDeleted(itemA);
  EXPECT_EQ(editor_.Item(), nullptr);
  EXPECT_FALSE(editor_.Enabled());
  EXPECT_TRUE(editor_.ApplyChanges()) << "nothing edited";
  EXPECT_EQ(host_.replaced.size(), 1u);

  editor_.EditBlankEntry(itemB, "Empty row", false);
  EXPECT_TRUE(editor_.Enabled());
  EXPECT_EQ(editor_.Title(), "Edit Translator Entry Empty row");
  EXPECT_FALSE(editor_.Active());
}

TEST_F(TransEditorTest, CloseAsksOnlyWithChanges) {
  const TTransMsgPtr t = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, t.get());
  int asked = 0;
  EXPECT_TRUE(editor_.CloseQuery([&] { ++asked; return kCloseCancel; }));
  EXPECT_EQ(asked, 0);

  editor_.EditTranslator(itemA, t.get());
  editor_.SetName("changed");
  EXPECT_FALSE(editor_.CloseQuery([] { return kCloseCancel; }));
  EXPECT_TRUE(editor_.Modified());
  EXPECT_TRUE(editor_.CloseQuery([] { return kCloseNo; }));
  EXPECT_TRUE(host_.replaced.empty()) << "No discards";
  EXPECT_EQ(editor_.Item(), nullptr);

  // Asked by whoever ends what the editor shows: the editor stays on its translator; No lets
  // the caller go on and keeps the change, unapplied, should the caller not go on after all.
  editor_.EditTranslator(itemA, t.get());
  editor_.SetName("changed");
  EXPECT_FALSE(editor_.AskToApply([] { return kCloseCancel; }));
  EXPECT_TRUE(editor_.AskToApply([] { return kCloseNo; }));
  EXPECT_EQ(editor_.Name(), "changed");
  EXPECT_TRUE(editor_.Modified());
  EXPECT_TRUE(host_.replaced.empty());
  EXPECT_TRUE(editor_.AskToApply([] { return kCloseYes; }));
  EXPECT_EQ(host_.replaced.size(), 1u);
  EXPECT_EQ(editor_.Item(), itemA);
}

TEST_F(TransEditorTest, PagesWrapAndSummariesDescribeTheOtherSide) {
  const TTransMsgPtr t = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, t.get());
  editor_.ShowPage(kPageOutgoing);
  EXPECT_EQ(editor_.IncomingSummary(), t->GetIncomingDescription());
  editor_.NextPage();
  EXPECT_EQ(editor_.Page(), kPageGeneral);
  editor_.PreviousPage();
  EXPECT_EQ(editor_.Page(), kPageOutgoing);
  editor_.Rules().SetLines({"not a rule"});
  editor_.ShowPage(kPageIncoming);
  EXPECT_EQ(editor_.OutgoingSummary(), "(none)") << "a bad rule line does not hide it";
}

TEST_F(TransEditorTest, CaptureOnlyOnTheMidiPanelsOfTheirPages) {
  TEngineBindings none;
  TTransEngine engine(none);
  editor_.AttachEngine(engine);
  const TTransMsgPtr t = Make("MID1903C7F", "None");
  editor_.EditTranslator(itemA, t.get());
  editor_.ShowPage(kPageIncoming);
  editor_.SetCapture(true);
  EXPECT_EQ(editor_.CaptureTarget(), kCaptureIncoming);
  editor_.ShowPage(kPageRules);
  EXPECT_EQ(editor_.CaptureTarget(), kCaptureOff);
  editor_.SetCapture(true);
  EXPECT_EQ(editor_.CaptureTarget(), kCaptureOff);
  editor_.ShowPage(kPageOutgoing);
  editor_.SetCapture(true);
  EXPECT_EQ(editor_.CaptureTarget(), kCaptureOff) << "the None panel is chosen";
  editor_.ChooseOutgoing(1);
  editor_.SetCapture(true);
  EXPECT_EQ(editor_.CaptureTarget(), kCaptureOutgoing);
  editor_.ChooseIncoming(1);
  EXPECT_EQ(editor_.CaptureTarget(), kCaptureOff) << "a type choice switches it off";
}

// The editor's window, as far as capture goes: a posted "show" served on the main thread.
class PostedShows {
 public:
  void Post() {
    std::lock_guard lock(mutex_);
    ++pending_;
    changed_.notify_all();
  }
  bool WaitForOne() {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::seconds(10), [this] { return pending_ > 0; })) {
      return false;
    }
    --pending_;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int pending_ = 0;
};

TEST_F(TransEditorTest, CapturedMessagesFromAnInputThreadFillTheField) {
  PostedShows posted;
  FakeHost host;
  auto editor = std::make_unique<TEditTrans>(host, TEditTrans::TSources{},
                                             [&posted](bool) { posted.Post(); });
  TEngineBindings none;
  TTransEngine engine(none);
  editor->AttachEngine(engine);
  const TTransMsgPtr t = Make("MID1903C7F", "None");
  editor->EditTranslator(itemA, t.get());
  editor->ShowPage(kPageIncoming);
  editor->SetCapture(true);

  auto send = [&engine](std::vector<uint8_t> bytes) {
    std::thread input([&engine, bytes] {
      bool swallowed = false;
      engine.HandleMidiIn(0, bytes.data(), static_cast<int32_t>(bytes.size()), swallowed,
                          kContextCallback);
    });
    input.join();
  };
  send({0x90, 0x40, 0x7F});
  ASSERT_TRUE(posted.WaitForOne());
  editor->ShowCapturedMessage();
  EXPECT_EQ(editor->InMidi().MessageText(), "90 40 7F");
  send({0x90, 0x41, 0x7F});
  ASSERT_TRUE(posted.WaitForOne());
  editor->ShowCapturedMessage();
  EXPECT_EQ(editor->InMidi().MessageText(), "90 pp 7F");
  EXPECT_TRUE(editor->Modified());
  editor->MonitorLineClicked(1);
  EXPECT_EQ(editor->InMidi().MessageText(), "90 40 7F");

  editor.reset();
  send({0x90, 0x42, 0x7F});  // the engine's callback outlives the editor harmlessly
}

}  // namespace
}  // namespace kv
