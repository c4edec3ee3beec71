// Each panel against the action registry: what it builds loads, and loads back the same.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/exception.h"
#include "editor/panels/execute_file_panel.h"
#include "editor/panels/keystroke_panels.h"
#include "editor/panels/message_panel.h"
#include "editor/panels/midi_panels.h"
#include "editor/panels/mouse_panel.h"
#include "editor/panels/preset_panels.h"
#include "editor/panels/special_panels.h"
#include "editor/panels/timer_panels.h"
#include "engine/action_registry.h"
#include "engine/actions/execute_file_action.h"
#include "engine/actions/midi_action.h"
#include "engine/actions/midi_action_text.h"
#include "engine/system/execute_file_system.h"
#include "engine/system/target_window_system.h"
#include "engine/timer_manager.h"
#include "engine/translator.h"

namespace kv {
namespace {

class PanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStandardTransActions();
    TEditorTimerNames::Instance().ResetForTests();
  }

  // The action the registry makes of a text, with no loading error.
  std::unique_ptr<TTransAction> Accepted(const std::string& text, bool incoming, int kind) {
    std::vector<std::string> errors;
    auto action = CreateActionFromText(
        text, incoming, [&](const std::string& error) { errors.push_back(error); });
    EXPECT_TRUE(errors.empty()) << text << ": " << (errors.empty() ? "" : errors[0]);
    EXPECT_NE(action, nullptr) << text;
    if (action) {
      EXPECT_EQ(action->GetActionType(), kind) << text;
    }
    return action;
  }

  // Clear builds an accepted text; loading its action, or nothing, builds it again.
  void ExpectClearedRoundTrip(TEditPanel& panel) {
    SCOPED_TRACE(panel.Caption());
    panel.Clear();
    const std::string cleared = panel.GetActionText();
    auto action = Accepted(cleared, panel.IsIncoming(), panel.Kind());
    panel.LoadAction(action.get());
    EXPECT_EQ(panel.GetActionText(), cleared);
    panel.LoadAction(nullptr);
    EXPECT_EQ(panel.GetActionText(), cleared);
  }

  // A stored text loads into the panel and is built back unchanged.
  void ExpectTextRoundTrip(TEditPanel& panel, const std::string& text) {
    SCOPED_TRACE(text);
    auto action = Accepted(text, panel.IsIncoming(), panel.Kind());
    panel.LoadAction(action.get());
    EXPECT_EQ(panel.GetActionText(), text);
  }
};

TEST_F(PanelsTest, EveryClearedPanelBuildsAnAcceptedActionAndReadsItBack) {
  TEPInMidi inMidi;
  TEPOutMidi outMidi;
  TEPInKeystroke inKey;
  TEPOutKeyStroke outKey;
  TEPInTimer inTimer;
  TEPOutTimer outTimer;
  TEPOutMouse mouse;
  TEPInPreset inPreset;
  TEPOutPreset outPreset;
  TEPInSpecial inSpecial;
  TEPOutSpecial outSpecial;
  TEPOutNone none;
  TEPOutExecuteFile execute;
  for (TEditPanel* panel : std::initializer_list<TEditPanel*>{
           &inMidi, &outMidi, &inKey, &outKey, &inTimer, &outTimer, &mouse, &inPreset,
           &outPreset, &inSpecial, &outSpecial, &none, &execute}) {
    ExpectClearedRoundTrip(*panel);
  }
}

TEST_F(PanelsTest, FilledPanelsReadBackWhatTheyLoaded) {
  TEPOutMidi outMidi;
  ExpectTextRoundTrip(outMidi, ConvertLegacyMidiText("903Cpp", "Note", {"PanelOut"}));
  TEPInKeystroke inKey;
  TEPOutKeyStroke outKey;
  TEPOutTimer outTimer;
  TTransTimerAction start(false);
  start.SetTimerName("Blink");
  start.SetCount(TNumberOrVariable::Variable(VariableIndexOf("ga")));
  start.SetTimerDelay(TNumberOrVariable::Number(20));
  start.SetPeriod(TNumberOrVariable::Variable(VariableIndexOf("pp")));
  ExpectTextRoundTrip(outTimer, start.SaveToText());
  ExpectTextRoundTrip(outTimer, EncodeKillTimer("Blink"));
  TEPInTimer inTimer;
  ExpectTextRoundTrip(inTimer, EncodeTimerTrigger("Blink"));
  TEPOutMouse mouse;
  TTransMouseAction click(false);
  click.SetType(kMouseButtonUp);
  click.SetButton(3);
  ExpectTextRoundTrip(mouse, click.SaveToText());
  TTransMouseAction wheel(false);
  wheel.SetType(kMouseHWheelTurn);
  wheel.SetWheel(TNumberOrVariable::Variable(VariableIndexOf("qq")));
  ExpectTextRoundTrip(mouse, wheel.SaveToText());
  TEPOutPreset outPreset;
  ExpectTextRoundTrip(outPreset, TTransPresetChangeAction(false, kPresetSwitchNumber, "",
                                                          TNumberOrVariable::Number(3))
                                     .SaveToText());
  ExpectTextRoundTrip(outPreset, TTransPresetChangeAction(false, kPresetDeactivateNamed, "Drums",
                                                          TNumberOrVariable::Number(0))
                                     .SaveToText());
  TEPInPreset inPreset;
  ExpectTextRoundTrip(inPreset, TTransPresetChangeAction(true, kPresetActivateNumber, "",
                                                         TNumberOrVariable::Variable(1))
                                    .SaveToText());
  TEPInSpecial inSpecial;
  ExpectTextRoundTrip(inSpecial, TTransEnableAction(true, kDisableProcessing).SaveToText());
  TEPOutSpecial outSpecial;
  ExpectTextRoundTrip(outSpecial, TTransEnableAction(false, kEnableProcessing).SaveToText());
  TEPOutExecuteFile execute;
  ExpectTextRoundTrip(execute, TTransExecuteFileAction("tools\\run %pp%.exe", "-x").SaveToText());
  TKeySequence keys;
  keys.AddKey(TKeyEvent(0x10, false, false, false, 0x2A));
  keys.AddKey(TKeyEvent(0x41, false, false, false, 0x1E));
  keys.AddKey(TKeyEvent(0x41, false, true, false, 0x1E));
  keys.AddKey(TKeyEvent(0x10, false, true, false, 0x2A));
  ExpectTextRoundTrip(inKey, KeyActionToTextNoRepeat(kKeyStroke, &keys));
  ExpectTextRoundTrip(outKey, KeyActionToText(kKeyStroke, false, 500, 33, &keys));
  TKeySequence one;
  one.AddKey(TKeyEvent(0x41, false, false, false, 0x1E));
  ExpectTextRoundTrip(outKey, KeyActionToText(kKeyDown, true, 300, 20, &one));
  ExpectTextRoundTrip(inKey, KeyActionToTextNoRepeat(kKeyUp, &one));
}

TEST_F(PanelsTest, MidiPanelSavesTheDescriptionOnlyWhenChecked) {
  TEPOutMidi panel;
  panel.SetMessageText("90 3C 7F");
  EXPECT_EQ(panel.ParsedReading(), "Note On #1: C4, vel 127");
  panel.SetMessageText("90 40 7F");
  panel.SetDescription("typed");
  EXPECT_EQ(panel.GetActionText(), "MID19040" "7F");
  panel.SetDescriptionChecked(true);
  auto action = Accepted(panel.GetActionText(), false, kActionMidi);
  EXPECT_EQ(static_cast<TTransMidiAction&>(*action).GetMidiDescription(), "typed");
  EXPECT_TRUE(panel.DefaultPorts());
  EXPECT_FALSE(panel.PortListVisible());
}

TEST_F(PanelsTest, MidiPanelRowsFollowTheAliasManager) {
  TMidiAliasManager manager;
  manager.AddAlias("In A", "", makMidiIn, false);
  manager.AddAlias("Out A", "", makMidiOut, false);
  manager.AddAlias("In B", "", makMidiIn, false);
  TEPInMidi panel;
  int changes = 0;
  panel.SetOnChange([&] { ++changes; });
  panel.RefreshPortRows(manager);
  ASSERT_EQ(panel.PortRows().size(), 2u);
  panel.SetDefaultPorts(false);
  panel.SetPortChecked(1, true);
  EXPECT_TRUE(panel.Ports().Contains(manager.GetItem(2)));
  EXPECT_EQ(changes, 2);

  manager.DeleteAlias(2);
  panel.AliasesChanged(manager);
  EXPECT_TRUE(panel.Ports().IsEmpty()) << "an alias that went away leaves the list";
  EXPECT_EQ(panel.PortRows().size(), 1u);
}

TEST_F(PanelsTest, KeyRepeatValuesStayInsideTheSpinnerRanges) {
  TEPOutKeyStroke panel;
  TKeySequence keys;
  keys.AddKey(TKeyEvent(0x41, false, false, false, 0x1E));
  const std::string stored = KeyActionToText(kKeyDown, true, 60000, 255, &keys);
  auto action = Accepted(stored, false, kActionKeystroke);
  panel.LoadAction(action.get());
  EXPECT_EQ(panel.InitialDelay(), 1000);
  EXPECT_EQ(panel.Speed(), 200);
  panel.SetInitialDelay(-3);
  panel.SetSpeed(0);
  EXPECT_EQ(panel.InitialDelay(), 0);
  EXPECT_EQ(panel.Speed(), 1);
  EXPECT_TRUE(panel.RepeatGroupVisible());
  EXPECT_TRUE(panel.SingleKeyOnly());

  panel.SetMode(kKeyStroke);
  EXPECT_FALSE(panel.RepeatGroupVisible());
  EXPECT_TRUE(panel.ClearVisible());
  EXPECT_FALSE(panel.SingleKeyOnly());
}

// A key as the key edit hears it: a first press, or a release.
TKeyData KeyRecord(uint8_t vk, bool up) {
  TKeyData k;
  k.virtualKey = vk;
  k.repeatCount = 1;
  k.previousState = up ? 1 : 0;
  k.transition = up ? 1 : 0;
  return k;
}

TEST_F(PanelsTest, KeystrokeTriggerIsOneKeyAndBackspaceCanBeIt) {
  TEPInKeystroke in;
  EXPECT_TRUE(in.WantBackspace());
  EXPECT_FALSE(in.WantTab());
  in.SetEnterTab(true);
  EXPECT_TRUE(in.WantTab());
  // Ctrl held, then C: the trigger is C alone, not a sequence that fires on every Ctrl.
  for (const TKeyData& k : {KeyRecord(17, false), KeyRecord('C', false), KeyRecord('C', true),
                            KeyRecord(17, true)})
    in.Keys().RecordKey(k);
  TKeySequence c;
  c.AddKey(TKeyEvent(KeyRecord('C', false)));
  EXPECT_EQ(in.GetActionText(), KeyActionToTextNoRepeat(kKeyStroke, &c));
  in.Keys().RecordKey(KeyRecord(8, false));
  ASSERT_EQ(in.Keys().GetCount(), 1);
  EXPECT_EQ(in.Keys().Keys()[0].VirtualKey(), 8);
  // A stored sequence loads whole; the next key pressed replaces it.
  TKeySequence shiftA;
  for (const TKeyData& k : {KeyRecord(16, false), KeyRecord('A', false), KeyRecord('A', true),
                            KeyRecord(16, true)})
    shiftA.RecordKey(k);
  auto stored = Accepted(KeyActionToTextNoRepeat(kKeyStroke, &shiftA), true, kActionKeystroke);
  in.LoadAction(stored.get());
  EXPECT_EQ(in.Keys().GetCount(), 4);
  in.Keys().RecordKey(KeyRecord('B', false));
  EXPECT_EQ(in.Keys().GetCount(), 1);
  in.Clear();
  EXPECT_TRUE(in.Keys().SingleKey());

  TEPOutKeyStroke out;
  EXPECT_FALSE(out.WantTab());
  EXPECT_FALSE(out.WantBackspace());
  out.SetTabBackspace(true);
  EXPECT_TRUE(out.WantTab());
  EXPECT_TRUE(out.WantBackspace());
}

TEST_F(PanelsTest, ClearedKeystrokeActionRepeatsAtTheSystemValues) {
  TEPOutKeyStroke panel;
  panel.Clear();
  auto action = Accepted(panel.GetActionText(), false, kActionKeystroke);
  const auto& keys = static_cast<const TTransKeyAction&>(*action);
  EXPECT_TRUE(keys.Repeat());
  EXPECT_EQ(keys.RepeatDelay(), GetSystemKeyRepeatDelay());
  EXPECT_EQ(keys.RepeatRate(), GetSystemKeyRepeatRate());
}

TEST_F(PanelsTest, TimerNamesAreSharedButAnEmptyNameNeverIs) {
  TEPInTimer first;
  TEPOutTimer second;
  first.Activate();
  first.NameCombo().text = "   ";
  first.GetActionText();
  second.GetActionText();  // cleared: empty name
  EXPECT_TRUE(TEditorTimerNames::Instance().Names().empty());
  EXPECT_TRUE(first.NameCombo().items.empty());

  second.NameCombo().text = " Pulse ";
  second.GetActionText();
  ASSERT_EQ(first.NameCombo().items.size(), 1u);
  EXPECT_EQ(first.NameCombo().items[0], "Pulse");

  TEPInTimer later([] { return std::vector<std::string>{"Alpha"}; });
  later.Activate();
  EXPECT_EQ(later.NameCombo().items, (std::vector<std::string>{"Alpha", "Pulse"}));
  later.NameCombo().Select(1);
  second.NameCombo().text = "Beat";
  second.GetActionText();
  EXPECT_EQ(later.NameCombo().items, (std::vector<std::string>{"Alpha", "Beat", "Pulse"}));
  EXPECT_EQ(later.NameCombo().text, "Pulse");
  EXPECT_EQ(later.NameCombo().itemIndex, 2) << "the chosen name stays chosen";
}

TEST_F(PanelsTest, TimerCountsAndBadNumbers) {
  TEPOutTimer panel;
  EXPECT_FALSE(panel.StartSettingsEnabled()) << "an empty name disables the start settings";
  TTransTimerAction start(false);
  start.SetTimerName("T");
  start.SetCount(TNumberOrVariable::Variable(VariableIndexOf("rr")));
  panel.LoadAction(&start);
  EXPECT_EQ(panel.Trigger(), TEPOutTimer::kMultiple);
  EXPECT_EQ(panel.Spinner(), 2);
  EXPECT_EQ(panel.Count().text, "rr");
  EXPECT_TRUE(panel.CountEnabled());

  panel.InitialDelay().text = "soon";
  try {
    panel.GetActionText();
    FAIL() << "a delay that is no number or variable must fail";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "invalid number or variable");
  }
  panel.InitialDelay().text = "10";
  panel.CountTyped("25");
  EXPECT_EQ(panel.Spinner(), 25);
  panel.SetSpinner(20000);
  EXPECT_EQ(panel.Count().text, "10000");
}

TEST_F(PanelsTest, TimerTestButtonsStartAndKillTheNamedTimer) {
  TTTManagerEntry entry;
  {
    TEPOutTimer panel;
    panel.NameCombo().text = "editor test timer";
    panel.InitialDelay().text = "600000";
    panel.StartTest(nullptr);
    ASSERT_TRUE(GetTimerManager().FindEntry("editor test timer", entry));
    panel.StopTest(nullptr);
    EXPECT_FALSE(GetTimerManager().FindEntry("editor test timer", entry));

    panel.StartTest(nullptr);
    panel.NameCombo().text = "editor second timer";
    panel.StartTest(nullptr);
    EXPECT_FALSE(GetTimerManager().FindEntry("editor test timer", entry))
        << "a new test kills the previous one";
    EXPECT_TRUE(GetTimerManager().FindEntry("editor second timer", entry));
  }
  EXPECT_FALSE(GetTimerManager().FindEntry("editor second timer", entry))
      << "the panel's test timer goes with it";
}

TEST_F(PanelsTest, ExecuteFileTestStartsTheFileWithVariablesCleared) {
  TExecuteRecorder recorder;
  TScopedExecuteSystem scope(recorder);
  TEPOutExecuteFile panel;
  panel.SetFileName("C:\\tools\\run%pp%.exe");
  panel.SetParameters("-n %qq%");
  EXPECT_TRUE(panel.RunTest(nullptr));
  ASSERT_EQ(recorder.Lines().size(), 1u);
  EXPECT_NE(recorder.Lines()[0].find("run0.exe"), std::string::npos) << recorder.Lines()[0];
  EXPECT_NE(recorder.Lines()[0].find("-n 0"), std::string::npos) << recorder.Lines()[0];
}

TEST_F(PanelsTest, MouseButtonsOnlyOneOfDownAndUp) {
  TEPOutMouse panel;
  panel.SetOnlyDown(true);
  panel.SetOnlyUp(true);
  EXPECT_FALSE(panel.OnlyDown());
  panel.SetOnlyDown(true);
  EXPECT_FALSE(panel.OnlyUp());

  TTransMouseAction click(false);
  click.SetType(kMouseClick);
  click.SetX(TNumberOrVariable::Number(12));
  click.SetY(TNumberOrVariable::Variable(2));
  panel.LoadAction(&click);
  panel.SetKind(TEPOutMouse::kMovement);
  EXPECT_EQ(panel.MoveX().text, "12");
  EXPECT_EQ(panel.MoveY().text, "qq");
}

// An extra button past the sixth has no radio ("&Left" shows): builds keep it until a button
// is picked or the kind changes.
TEST_F(PanelsTest, MouseKeepsAButtonNoRadioShows) {
  TEPOutMouse panel;
  ExpectTextRoundTrip(panel, "Mse2020F");
  EXPECT_EQ(panel.Button(), TEPOutMouse::kLeft);
  panel.SetOnlyUp(true);
  EXPECT_EQ(panel.GetActionText(), "Mse2040F");
  panel.SetButton(TEPOutMouse::kButton6);
  EXPECT_EQ(panel.GetActionText(), "Mse20405");
  ExpectTextRoundTrip(panel, "Mse20306");
  panel.SetKind(TEPOutMouse::kMovement);
  panel.SetKind(TEPOutMouse::kClicks);
  EXPECT_EQ(panel.GetActionText(), "Mse10300");
}

TEST_F(PanelsTest, PresetPanelKeepsAnUnknownNameAndTheDeactivateBox) {
  TEPOutPreset panel([] { return std::vector<std::string>{"Main", "Drums"}; });
  TTransPresetChangeAction byName(false, kPresetSwitchNamed, "Elsewhere", {});
  panel.LoadAction(&byName);
  EXPECT_EQ(panel.Choice(), kPresetActivateNamed);
  EXPECT_TRUE(panel.DeactivateOthers());
  EXPECT_EQ(panel.NameCombo().itemIndex, -1);
  EXPECT_EQ(panel.NameCombo().text, "Elsewhere");
  EXPECT_EQ(panel.GetActionText(), byName.SaveToText());

  panel.SetChoice(kPresetDeactivateNumber);
  EXPECT_FALSE(panel.DeactivateOthersEnabled());
  EXPECT_FALSE(panel.DeactivateOthersShownChecked());
  panel.NumberCombo().text = "many";
  auto action = Accepted(panel.GetActionText(), false, kActionPresetChange);
  EXPECT_EQ(static_cast<TTransPresetChangeAction&>(*action).Number(), TNumberOrVariable::Number(0));
}

// Codes above 7 show as "Activate &Next Preset": builds keep them, with their name, until the
// user chooses; Clear drops them.
TEST_F(PanelsTest, OutgoingPresetKeepsACodeNoRadioShows) {
  TEPOutPreset panel;
  for (const std::string text : {"Pres080000", "Pres090004Bass"}) {
    ExpectTextRoundTrip(panel, text);
    EXPECT_EQ(panel.Choice(), kPresetNext);
    panel.Activate();
    EXPECT_EQ(panel.GetActionText(), text);
  }
  panel.SetChoice(kPresetNext);
  EXPECT_EQ(panel.GetActionText(), "Pres000004Bass");
  ExpectTextRoundTrip(panel, "Pres080000");
  panel.Clear();
  EXPECT_EQ(panel.GetActionText(), "Pres000000");
}

// Trigger codes 0 to 3, which never fire, show as "the current preset is activated": builds
// keep them, with their name or number, until the user chooses.
TEST_F(PanelsTest, IncomingPresetKeepsACodeNoRadioShows) {
  TEPInPreset panel;
  for (const std::string text : {"Pres000000", "Pres020004Bass", "Pres035"}) {
    ExpectTextRoundTrip(panel, text);
    EXPECT_EQ(panel.Choice(), kPresetThisActivated);
    panel.Activate();
    EXPECT_EQ(panel.GetActionText(), text);
  }
  panel.SetChoice(kPresetThisActivated);
  EXPECT_EQ(panel.GetActionText(), "Pres080000");
}

class MessagePanelTest : public PanelsTest {
 protected:
  TWindowRecorder windows_;
  TScopedWindowSystem scope_{windows_};
};

TEST_F(MessagePanelTest, FieldsMustParseWhole) {
  TEPOutMessage panel;
  EXPECT_THROW(panel.GetActionText(), Exception) << "a cleared panel names no window";
  panel.SetMatchByClass(true);
  panel.ClassName() = "Notepad";
  ExpectTextRoundTrip(panel, panel.GetActionText());

  struct Case {
    TComboModel& combo;
    const char* error;
  };
  for (Case c : {Case{panel.MessageNumber(), "Illegal Message by number!"},
                 Case{panel.WParam(), "Illegal value for WParam!"},
                 Case{panel.LParam(), "Illegal value for LPram!"}}) {
    c.combo.text = "12abc";
    try {
      panel.GetActionText();
      ADD_FAILURE() << c.error;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
    c.combo.text = "12";
  }
}

TEST_F(MessagePanelTest, RegisteredNamesAndTitles) {
  TEPOutMessage panel;
  panel.SetMatchByTitle(true);
  panel.Title() = "Player";
  panel.SetNumerical(false);
  panel.RegisterString() = "ABCD";
  EXPECT_THROW(panel.GetActionText(), Exception);
  panel.RegisterString() = "ABCDE";
  const std::string text = panel.GetActionText();
  EXPECT_EQ(panel.MessageNumber().text, "0x0000C000");
  ExpectTextRoundTrip(panel, text);

  TTransMessageAction untitled(false);
  untitled.TargetWindow().SetTitle("Player");
  untitled.TargetWindow().SetWindowClass("Cls");
  untitled.TargetWindow().SetMatchMode(kMatchClassOnly);
  panel.LoadAction(&untitled);
  EXPECT_FALSE(panel.MatchByTitle());
  EXPECT_TRUE(panel.MatchByClass());
}

// The comment has no control: a build after a change elsewhere keeps it, a cleared panel has
// none.
TEST_F(MessagePanelTest, TheLoadedCommentOutlivesABuild) {
  TEPOutMessage panel;
  const std::string target = "TWnd020006Player0000";
  ExpectTextRoundTrip(panel, "SMsg|D1025|W1|L2|C0005Hello|T" + target);
  panel.WParam().text = "7";
  EXPECT_EQ(panel.GetActionText(), "SMsg|D1025|W7|L2|C0005Hello|T" + target);
  panel.Clear();
  panel.SetMatchByTitle(true);
  panel.Title() = "Player";
  EXPECT_EQ(panel.GetActionText().find("|C"), std::string::npos);
}

// A title match the controls cannot show (a handle's mode shown as "Equal", a title hidden by
// class-only mode, a mode without a title) is built as loaded until the title controls are
// used.
TEST_F(MessagePanelTest, TheLoadedTitleMatchOutlivesABuild) {
  TEPOutMessage panel;
  for (const std::string target :
       {"TWnd010006Player0000", "TWnd000006Player0003Cls", "TWnd0300000003Cls"}) {
    ExpectTextRoundTrip(panel, "SMsg|D1025|W1|L2|T" + target);
    // A string moved in, not the literal copied: GCC 12 at -O2 takes that copy in this loop
    // for an overlapping one (-Wrestrict).
    panel.LParam().text = std::string("9");
    EXPECT_EQ(panel.GetActionText(), "SMsg|D1025|W1|L9|T" + target);
  }
  ExpectTextRoundTrip(panel, "SMsg|D1025|W1|L2|TTWnd010006Player0000");
  EXPECT_EQ(panel.TitleMode(), kMatchTitleExact);
  panel.SetTitleMode(kMatchTitleExact);
  EXPECT_EQ(panel.GetActionText(), "SMsg|D1025|W1|L2|TTWnd020006Player0000");
  ExpectTextRoundTrip(panel, "SMsg|D1025|W1|L2|TTWnd010006Player0000");
  panel.Title() = "Mixer";
  EXPECT_EQ(panel.GetActionText(), "SMsg|D1025|W1|L2|TTWnd020005Mixer0000");
}

TEST_F(MessagePanelTest, TestAndVerifyLookForTheWindow) {
  TEPOutMessage panel;
  EXPECT_EQ(panel.Verify().text,
            "Please specify how to identify the window either by title or by class name");
  panel.SetMatchByClass(true);
  panel.ClassName() = "Mixer";
  panel.MessageNumber().text = "0x111";
  panel.WParam().text = "7";
  EXPECT_TRUE(panel.Verify().error);
  EXPECT_EQ(panel.Test(nullptr).text, "Target Window not found!");
  EXPECT_TRUE(windows_.PostedMessages().empty());

  windows_.AddWindow("Mixer", "Main mix");
  EXPECT_EQ(panel.Verify().text, "All parameters are OK");
  EXPECT_FALSE(panel.Test(nullptr).error);
  ASSERT_EQ(windows_.PostedMessages().size(), 1u);
  EXPECT_EQ(windows_.PostedMessages()[0].message, 0x111u);
  EXPECT_EQ(windows_.PostedMessages()[0].wParam, 7u);

  windows_.failPosts = true;
  EXPECT_EQ(panel.Test(nullptr).text, "Error sending message! Use the log to find out more.");
}

TEST(ExecuteFilePanelTest, StoresRelativeOnlyInsideTheProjectFolder) {
  EXPECT_EQ(StoredExecuteFileName("C:\\Show", "c:\\SHOW\\bin\\go.exe"), "bin\\go.exe");
  EXPECT_EQ(StoredExecuteFileName("C:\\Show\\", "C:\\Show\\go.exe"), "go.exe");
  EXPECT_EQ(StoredExecuteFileName("C:\\Show", "C:\\Show2\\go.exe"), "C:\\Show2\\go.exe");
  EXPECT_EQ(StoredExecuteFileName("C:\\Show", "C:\\Showtime.exe"), "C:\\Showtime.exe");
  EXPECT_EQ(StoredExecuteFileName("", "C:\\Show\\go.exe"), "C:\\Show\\go.exe");
  EXPECT_EQ(StoredExecuteFileName("C:", "C:\\go.exe"), "C:\\go.exe");

  const TBrowseStart absolute = ExecuteFileBrowseStart("C:\\Show", "D:\\x\\y.exe");
  EXPECT_EQ(absolute.folder, "D:\\x\\");
  EXPECT_EQ(absolute.fileName, "y.exe");
  const TBrowseStart relative = ExecuteFileBrowseStart("C:\\Show", "bin\\y.exe");
  EXPECT_EQ(relative.folder, "C:\\Show\\bin\\");
  EXPECT_EQ(relative.fileName, "y.exe");
}

// An outgoing project-opened code has no radio button: builds keep it until the user chooses
// one; Clear drops it and keeps the choice.
TEST_F(PanelsTest, OutgoingSpecialKeepsAValueNoRadioShows) {
  TEPOutSpecial panel;
  ExpectTextRoundTrip(panel, "EnDi02");
  EXPECT_TRUE(panel.DisableProcessing());
  panel.SetDisableProcessing(false);
  EXPECT_EQ(panel.GetActionText(), "EnDi01");
  ExpectTextRoundTrip(panel, "EnDi02");
  panel.Clear();
  EXPECT_EQ(panel.GetActionText(), "EnDi01");
}

TEST(SpecialPanelsTest, ClearingKeepsTheChoice) {
  TEPInSpecial in;
  TEPOutSpecial out;
  EXPECT_EQ(in.Value(), kProjectOpened);
  EXPECT_TRUE(out.DisableProcessing());
  in.SetValue(kEnableProcessing);
  out.SetDisableProcessing(false);
  in.Clear();
  out.Clear();
  EXPECT_EQ(in.Value(), kEnableProcessing);
  EXPECT_FALSE(out.DisableProcessing());
}

}  // namespace
}  // namespace kv
