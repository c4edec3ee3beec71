// The translator editor of Korvanta.exe driven from outside with real keys and clicks: what it
// records, refuses and applies is read back from the project file the program saves.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kProgramName = L"Korvanta";
constexpr int kTranslators = 1;

// A visible window of the program other than these two whose texts hold that part, or null.
HWND OtherWindowWith(TRunningProgram& program, HWND main, HWND editor, const std::string& part) {
  for (HWND w : program.VisibleWindows()) {
    if (w == main || w == editor) continue;
    for (const std::string& text : TRunningProgram::Texts(w)) {
      if (text.find(part) != std::string::npos) return w;
    }
  }
  return nullptr;
}

// The outgoing kinds' list, shown with F8 while it stands on "MIDI message", dropped down by a
// click and its highlight moved to "Timer" with three Down keys; null when it did not get there.
HWND HighlightTimerInOutgoingKinds(HWND editor) {
  HWND kind = nullptr;
  // The Outgoing page itself: the Incoming page's chooser shows the same kind.
  if (!PressUntil(VK_F8, {}, [&] {
        return ChildWithText(editor, L"static", "Select the Outgoing Action type:", true) &&
               (kind = ChildWithText(editor, L"combobox", "MIDI message", true)) != nullptr;
      }))
    return nullptr;
  ClickCenter(kind);
  if (!WaitUntil([&] { return SendMessageW(kind, CB_GETDROPPEDSTATE, 0, 0) != 0; }))
    return nullptr;
  for (int i = 0; i < 3; ++i) Press(VK_DOWN);
  if (!WaitUntil([&] { return WindowText(kind) == "Timer"; })) return nullptr;
  return kind;
}

class EditorExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }

  // The program on the project, its editor opened on a row with Enter.
  HWND OpenEditor(TRunningProgram& program, int rows, int row) {
    main_ = program.MainWindow();
    if (!main_) return nullptr;
    if (!WaitUntil([&] { return program.RowCount(kTranslators) == rows; })) return nullptr;
    if (!program.Activate()) return nullptr;
    ClickAt(program.RowPoint(kTranslators, row));
    if (!WaitUntil([&] { return program.RowSelected(kTranslators, row); })) return nullptr;
    HWND editor = nullptr;
    PressUntil(VK_RETURN, {}, [&] { return (editor = program.Dialog()) != nullptr; });
    if (editor) ActivateWindow(editor);
    return editor;
  }

  // Ctrl+S in the main window; true once the title no longer marks changes.
  bool Save(TRunningProgram& program) {
    if (!program.Activate()) return false;
    return PressUntil('S', {VK_CONTROL},
                      [&] { return program.Title().find(" * ") == std::string::npos; });
  }

  HWND main_ = nullptr;
};

// Ctrl+N pressed in the outgoing MIDI field moves the editor to a keystroke translator, whose
// key field takes the focus while Ctrl and N are still down: their releases are not its keys.
TEST_F(EditorExeTest, CtrlNIntoAKeystrokeTranslatorRecordsNothing) {
  WriteQuietSettings(kProgramName);
  const std::string keys = "KAM10000KSQ10002127327";
  const std::wstring file = WriteProject(L"kv-editor-exe", L"ctrl n.kvxp",
                                         "Name0=Note\r\nIncoming0=MID1903Cpp\r\n"
                                         "Outgoing0=MID1904840\r\nOptions0=Actv01Stop01OutO00\r\n"
                                         "Name1=Next\r\nIncoming1=MID1903Epp\r\n"
                                         "Outgoing1=" + keys + "\r\nOptions1=Actv01Stop01OutO00\r\n");
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 2, 0);
  ASSERT_NE(editor, nullptr);
  HWND midi = nullptr;
  ASSERT_TRUE(PressUntil(VK_F8, {}, [&] {
    return (midi = ChildWithText(editor, L"edit", "90 48 40", true)) != nullptr;
  }));
  ClickCenter(midi);
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == midi; }));
  ASSERT_TRUE(PressUntil('N', {VK_CONTROL}, [&] {
    return WindowText(editor) == "Edit Translator Entry Next";
  }));
  ASSERT_TRUE(Sync(editor));  // the releases reached the key field
  const HWND keyField = program.Focused();
  EXPECT_NE(keyField, midi);
  SaveWindowShot(editor, L"editor-exe-ctrl-n.bmp");
  HWND apply = ChildWithText(editor, L"button", "Apply");
  ASSERT_NE(apply, nullptr);
  EXPECT_FALSE(IsWindowEnabled(apply)) << "the key field recorded: " << WindowText(keyField);

  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "<-"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(editor) == "Edit Translator Entry Note"; }));
  ASSERT_TRUE(Save(program));
  EXPECT_EQ(FileValue(file, "Outgoing1"), keys);
}

// -> with a rule line that does not parse: the error shows and the editor stays on the
// translator with every edit; Close still asks.
TEST_F(EditorExeTest, NextAfterABadRuleLineKeepsTheEditsAndCloseStillAsks) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = WriteProject(L"kv-editor-exe", L"bad rule.kvxp",
                                         "Name0=First\r\nIncoming0=MID1903Cpp\r\nOutgoing0=None\r\n"
                                         "Options0=Actv01Stop01OutO00\r\n"
                                         "Name1=Second\r\nIncoming1=MID1903Epp\r\nOutgoing1=None\r\n"
                                         "Options1=Actv01Stop01OutO00\r\n");
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 2, 0);
  ASSERT_NE(editor, nullptr);
  HWND name = TypeOverEditorName(program, editor, "First", "Renamed");
  ASSERT_NE(name, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(editor) == "Edit Translator Entry Renamed"; }));

  // The rules text lies under the description field, the highest edit of the page.
  HWND description = nullptr;
  ASSERT_TRUE(PressUntil(VK_F7, {}, [&] {
    description = TopChild(editor, L"edit");
    return description != nullptr && description != name;
  }));
  RECT d{};
  GetWindowRect(description, &d);
  ClickAt({d.left - 60, d.top + 90});
  HWND rules = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    rules = program.Focused();
    return rules != nullptr && rules != description && rules != name;
  }));
  const std::string badLine = "if pp > 10 then oops";
  TypeText(badLine);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(rules) == badLine; })) << WindowText(rules);

  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "->"); }));
  HWND error = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (error = OtherWindowWith(program, main_, editor, "Line 1: parse error")) != nullptr;
  }));
  SaveWindowShot(error, L"editor-exe-bad-rule.bmp");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(error, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(error); }));
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(WindowText(editor), "Edit Translator Entry Renamed");
  EXPECT_EQ(WindowText(rules), badLine);

  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "Close"); }));
  HWND question = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (question = OtherWindowWith(program, main_, editor,
                                       "Do you want to apply your changes")) != nullptr;
  }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(question, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(question); }));
  EXPECT_TRUE(IsWindowVisible(editor));
}

// A repeat delay typed into its field and applied with Enter, the field never left, is saved.
TEST_F(EditorExeTest, ATypedRepeatDelayAppliedWithEnterIsSaved) {
  WriteQuietSettings(kProgramName);
  // Key down of the right arrow, repeated at 10 keys a second after 400 ms.
  const std::wstring file = WriteProject(L"kv-editor-exe", L"repeat.kvxp",
                                         "Name0=Hold\r\nIncoming0=MID1903Cpp\r\n"
                                         "Outgoing0=KAM2110A0190KSQ10001127\r\n"
                                         "Options0=Actv01Stop01OutO00\r\n");
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1, 0);
  ASSERT_NE(editor, nullptr);
  HWND delay = nullptr;
  ASSERT_TRUE(PressUntil(VK_F8, {}, [&] {
    return (delay = ChildWithText(editor, L"edit", "400", true)) != nullptr;
  }));
  ClickCenter(delay);
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == delay; }));
  SendMessageW(delay, EM_SETSEL, 0, -1);
  TypeText("750");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(delay) == "750"; }));
  HWND apply = ChildWithText(editor, L"button", "Apply");
  ASSERT_NE(apply, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; })) << "not marked changed";
  const bool applied = PressUntil(VK_RETURN, {}, [&] { return !IsWindowEnabled(apply); });
  SaveWindowShot(editor, L"editor-exe-repeat-delay.bmp");
  ASSERT_TRUE(applied);
  EXPECT_EQ(program.Focused(), delay);
  ASSERT_TRUE(Save(program));
  EXPECT_EQ(FileValue(file, "Outgoing0"), "KAM2110A02EEKSQ10001127");
}

// The editor moved to the screen's bottom right, clear of the main window's translator rows,
// so that a click on a row reaches the list.
bool MoveEditorClearOfRows(TRunningProgram& program, HWND editor, int rows) {
  RECT r{};
  GetWindowRect(editor, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(editor, nullptr, GetSystemMetrics(SM_CXSCREEN) - w,
               GetSystemMetrics(SM_CYSCREEN) - h, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Sync(editor);
  for (int row = 0; row < rows; ++row) {
    if (GetAncestor(WindowFromPoint(program.RowPoint(kTranslators, row)), GA_ROOT) == editor)
      return false;
  }
  return true;
}

// First, Second and Third, each with that incoming and outgoing action.
std::wstring WriteThreeLikeTranslators(const wchar_t* name, const std::string& incoming,
                                       const std::string& outgoing) {
  std::string translators;
  const char* const names[] = {"First", "Second", "Third"};
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i);
    translators += "Name" + n + "=" + names[i] + "\r\nIncoming" + n + "=" + incoming +
                   "\r\nOutgoing" + n + "=" + outgoing + "\r\nOptions" + n +
                   "=Actv01Stop01OutO00\r\n";
  }
  return WriteProject(L"kv-editor-exe", name, translators);
}

// A change pending in the editor when another translator's row is clicked lands on the
// translator it was made for, never on the one clicked: a typed name, a message captured from
// the MIDI input; a kind only highlighted in the open drop-down list is no change at all.
TEST_F(EditorExeTest, APendingChangeStaysWithItsTranslatorWhenAnotherRowIsClicked) {
  constexpr const wchar_t* kHost = L"korvanta_testhost";
  WriteQuietSettings(kHost);
  const std::wstring feed = TempFolder(L"kv-editor-exe") + L"\\pending-feed.txt";
  DeleteFileW(feed.c_str());
  const std::string note = "MID1903Cpp", out = "MID1904840";
  const std::wstring file = WriteThreeLikeTranslators(L"pending.kvxp", note, out);
  TRunningProgram program(Exe(kHost), L"/project " + Quoted(file) + L" /midiin \"KV Loop In\"",
                          {{L"KV_TEST_MIDI_FEED", feed}});
  HWND editor = OpenEditor(program, 3, 0);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(MoveEditorClearOfRows(program, editor, 3));
  auto editing = [&](const std::string& name, DWORD timeoutMs = 15000) {
    return WaitUntil([&] { return WindowText(editor) == "Edit Translator Entry " + name; },
                     timeoutMs);
  };

  // A name being typed.
  ASSERT_NE(TypeOverEditorName(program, editor, "First", "Typed"), nullptr);
  ASSERT_TRUE(editing("Typed"));
  ClickAt(program.RowPoint(kTranslators, 1));
  ASSERT_TRUE(editing("Second"));
  EXPECT_EQ(program.Column(kTranslators), (std::vector<std::string>{"Typed", "Second", "Third"}));

  // Another kind only highlighted with the keys in the open outgoing kinds' list, which the
  // click on another row closes: the list backed out of changes nothing.
  ASSERT_TRUE(ActivateWindow(editor));
  HWND kind = HighlightTimerInOutgoingKinds(editor);
  ASSERT_NE(kind, nullptr);
  ClickAt(program.RowPoint(kTranslators, 2));
  // The click may only close the list (it does under Wine): then the next one moves. A second
  // click on the row already selected would change nothing.
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(kind, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(WindowText(kind), "MIDI message");
  HWND apply = ChildWithText(editor, L"button", "Apply");
  ASSERT_NE(apply, nullptr);
  EXPECT_FALSE(IsWindowEnabled(apply)) << "marked changed by a kind never chosen";
  SaveWindowShot(editor, L"editor-exe-kind-backed-out.bmp");
  if (!editing("Third", 2000)) ClickAt(program.RowPoint(kTranslators, 2));
  ASSERT_TRUE(editing("Third"));

  // A message captured into the incoming MIDI field.
  ASSERT_TRUE(ActivateWindow(editor));
  HWND field = nullptr;
  ASSERT_TRUE(PressUntil(VK_F6, {}, [&] {
    return (field = ChildWithText(editor, L"edit", "90 3C pp", true)) != nullptr;
  }));
  HWND capture = ChildWithText(editor, L"button", "Capture MIDI", true);
  ASSERT_NE(capture, nullptr);
  ASSERT_TRUE(PressUntil('C', {VK_MENU}, [&] {
    return SendMessageW(capture, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }));
  ASSERT_TRUE(PlayUntil(feed, "7F4090\n", [&] { return WindowText(field) == "90 40 7F"; }))
      << WindowText(field);
  ClickAt(program.RowPoint(kTranslators, 0));
  ASSERT_TRUE(editing("Typed"));
  ActivateWindow(editor);
  SaveWindowShot(editor, L"editor-exe-pending-moved.bmp");

  ASSERT_TRUE(Save(program));
  EXPECT_EQ(FileValue(file, "Name0"), "Typed");
  EXPECT_EQ(FileValue(file, "Incoming0"), note);
  EXPECT_EQ(FileValue(file, "Outgoing0"), out);
  EXPECT_EQ(FileValue(file, "Name1"), "Second");
  EXPECT_EQ(FileValue(file, "Incoming1"), note);
  EXPECT_EQ(FileValue(file, "Outgoing1"), out) << "a kind only highlighted in the list";
  EXPECT_EQ(FileValue(file, "Name2"), "Third");
  EXPECT_EQ(FileValue(file, "Outgoing2"), out);
  EXPECT_EQ(FileValue(file, "Incoming2"), "MID190407F");
}

// A kind taken with Enter in the open outgoing kinds' list shows its panel, and applied it is
// saved; moving through the list alone changed nothing.
TEST_F(EditorExeTest, AKindTakenWithEnterInTheOpenListIsApplied) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = WriteProject(L"kv-editor-exe", L"kind taken.kvxp",
                                         "Name0=First\r\nIncoming0=MID1903Cpp\r\n"
                                         "Outgoing0=MID1B03Cpp\r\nOptions0=Actv01Stop01OutO00\r\n");
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1, 0);
  ASSERT_NE(editor, nullptr);
  HWND kind = HighlightTimerInOutgoingKinds(editor);
  ASSERT_NE(kind, nullptr);
  HWND apply = ChildWithText(editor, L"button", "Apply");
  ASSERT_NE(apply, nullptr);
  ASSERT_TRUE(Sync(editor));
  EXPECT_FALSE(IsWindowEnabled(apply));
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(kind, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }));
  ASSERT_TRUE(WaitUntil([&] {
    return ChildWithText(editor, L"button", "&Activate Timer", true) != nullptr;
  })) << ChildTexts(editor);
  SaveWindowShot(editor, L"editor-exe-kind-taken.bmp");
  ClickCenter(apply);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(apply); }));
  ASSERT_TRUE(Save(program));
  EXPECT_EQ(FileValue(file, "Outgoing0").substr(0, 4), "Tim0") << FileValue(file, "Outgoing0");
}

// What a panel does not show stays through an Apply of another change: a window message's
// comment and its target found by a given window's mode (shown as "Equal"), a mouse click of
// an extra button that no radio names (shown as "&Left"), a preset trigger that never fires
// (shown as "the current preset is activated"), a preset action that does nothing (shown as
// "Activate &Next Preset") and an outgoing project-opened code (shown as one of the two
// processing switches).
TEST_F(EditorExeTest, ActionsKeepWhatTheirPanelsDoNotShowThroughAnApply) {
  WriteQuietSettings(kProgramName);
  struct TKept {
    std::string name, renamed, incoming, outgoing;
  };
  const std::vector<TKept> kept = {
      {"First", "Renamed", "MID1903Cpp", "SMsg|D1025|W1|L2|C0005Hello|TTWnd010006Player0000"},
      {"Second", "Moved", "MID1903Epp", "Mse20209"},
      {"Third", "Kept", "Pres020004Bass", "Pres090000"},
      {"Fourth", "Last", "MID1903Fpp", "EnDi02"},
  };
  std::string lines;
  for (size_t i = 0; i < kept.size(); ++i) {
    const std::string n = std::to_string(i);
    lines += "Name" + n + "=" + kept[i].name + "\r\nIncoming" + n + "=" + kept[i].incoming +
             "\r\nOutgoing" + n + "=" + kept[i].outgoing + "\r\nOptions" + n +
             "=Actv01Stop01OutO00\r\n";
  }
  const std::wstring file = WriteProject(L"kv-editor-exe", L"kept through apply.kvxp", lines);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, static_cast<int>(kept.size()), 0);
  ASSERT_NE(editor, nullptr);
  HWND apply = ChildWithText(editor, L"button", "Apply");
  ASSERT_NE(apply, nullptr);
  for (size_t i = 0; i < kept.size(); ++i) {
    SCOPED_TRACE(kept[i].name);
    if (i > 0) {
      ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "->"); }));
    }
    ASSERT_TRUE(WaitUntil(
        [&] { return WindowText(editor) == "Edit Translator Entry " + kept[i].name; }));
    ASSERT_NE(TypeOverEditorName(program, editor, kept[i].name, kept[i].renamed), nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] { return WindowText(editor) == "Edit Translator Entry " + kept[i].renamed; }));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }));
    ClickCenter(apply);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(apply); }));
  }
  ASSERT_TRUE(Save(program));
  for (size_t i = 0; i < kept.size(); ++i) {
    const std::string n = std::to_string(i);
    EXPECT_EQ(FileValue(file, "Name" + n), kept[i].renamed);
    EXPECT_EQ(FileValue(file, "Incoming" + n), kept[i].incoming);
    EXPECT_EQ(FileValue(file, "Outgoing" + n), kept[i].outgoing);
  }
}

// The open list of a drop-down closed by the keys: Alt+Up and F4 take the kind highlighted in
// the incoming kinds' list, Tab out of the outgoing kinds' list takes it and moves on; applied
// and saved, both are stored.
TEST_F(EditorExeTest, AKindHighlightedWithTheKeysIsTakenAsTheListClosesByKey) {
  constexpr const wchar_t* kHost = L"korvanta_testhost";
  WriteQuietSettings(kHost);
  const std::wstring file = WriteProject(L"kv-editor-exe", L"kind by key.kvxp",
                                         "Name0=First\r\nIncoming0=MID1903Cpp\r\n"
                                         "Outgoing0=MID1B03Cpp\r\nOptions0=Actv01Stop01OutO00\r\n");
  TRunningProgram program(Exe(kHost), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1, 0);
  ASSERT_NE(editor, nullptr);
  HWND apply = ChildWithText(editor, L"button", "Apply");
  ASSERT_NE(apply, nullptr);
  auto dropped = [](HWND box) { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) != 0; };

  // A click drops the list and gives the box the focus; Escape backs out of it.
  HWND kind = nullptr;
  ASSERT_TRUE(PressUntil(VK_F6, {}, [&] {
    return ChildWithText(editor, L"static", "Select the Incoming Trigger type:", true) &&
           (kind = ChildWithText(editor, L"combobox", "MIDI message", true)) != nullptr;
  }));
  ClickCenter(kind);
  ASSERT_TRUE(WaitUntil([&] { return dropped(kind); }));
  Press(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !dropped(kind); }));
  ASSERT_TRUE(PressUntil(VK_DOWN, {VK_MENU}, [&] { return dropped(kind); }));
  Press(VK_DOWN);
  Press(VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(kind) == "Timer"; })) << WindowText(kind);
  Press(VK_UP, {VK_MENU});
  ASSERT_TRUE(WaitUntil([&] { return !dropped(kind); }));
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(WindowText(kind), "Timer");
  EXPECT_TRUE(IsWindowEnabled(apply));
  ASSERT_TRUE(PressUntil(VK_F4, {}, [&] { return dropped(kind); }));
  Press(VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(kind) == "Preset Change"; })) << WindowText(kind);
  Press(VK_F4);
  ASSERT_TRUE(WaitUntil([&] { return !dropped(kind); }));
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(WindowText(kind), "Preset Change");

  kind = HighlightTimerInOutgoingKinds(editor);
  ASSERT_NE(kind, nullptr);
  Press(VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return !dropped(kind) && program.Focused() != kind; }));
  ASSERT_TRUE(Sync(editor));
  SaveWindowShot(editor, L"editor-exe-kind-tabbed.bmp");
  EXPECT_EQ(WindowText(kind), "Timer");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }));
  ClickCenter(apply);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(apply); }));
  ASSERT_TRUE(Save(program));
  EXPECT_EQ(FileValue(file, "Incoming0").substr(0, 4), "Pres") << FileValue(file, "Incoming0");
  EXPECT_EQ(FileValue(file, "Outgoing0").substr(0, 4), "Tim0") << FileValue(file, "Outgoing0");
}

// Text typed into an editable drop-down while its list is open, where it begins an item, is
// what the box shows and what is stored: the timer name backed out of with Escape, the jump
// target of the rules builder taken with Enter.
TEST_F(EditorExeTest, TextTypedIntoAnOpenListIsWhatTheBoxShowsAndWhatIsStored) {
  constexpr const wchar_t* kHost = L"korvanta_testhost";
  WriteQuietSettings(kHost);
  const std::wstring file = WriteProject(
      L"kv-editor-exe", L"typed into list.kvxp",
      "Name0=Tick\r\nIncoming0=Tim0TimT0004Tick\r\nOutgoing0=MID1B03Cpp\r\n"
      "Options0=Actv01Stop01OutO00StMa00000002goto0005Loop2label0005Loop2\r\n"
      "Name1=Beat\r\nIncoming1=MID1903Cpp\r\nOutgoing1=Tim0TimS0004Beat1:100:0\r\n"
      "Options1=Actv01Stop01OutO00\r\n");
  TRunningProgram program(Exe(kHost), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 2, 0);
  ASSERT_NE(editor, nullptr);
  auto dropped = [](HWND box) { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) != 0; };
  // The box clicked in its text, its list dropped with Alt+Down (which selects the text) and
  // the text typed over it.
  auto typeIntoOpenList = [&](HWND box, const std::string& text) {
    ClickCenter(box);
    if (!WaitUntil([&] { return GetAncestor(program.Focused(), GA_PARENT) == box; })) return false;
    if (!PressUntil(VK_DOWN, {VK_MENU}, [&] { return dropped(box); })) return false;
    TypeText(text);
    return WaitUntil([&] { return WindowText(box) == text; });
  };

  HWND name = nullptr;
  ASSERT_TRUE(PressUntil(VK_F6, {}, [&] {
    return (name = ChildWithText(editor, L"combobox", "Tick", true)) != nullptr;
  }));
  ASSERT_TRUE(typeIntoOpenList(name, "B")) << WindowText(name);
  Press(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !dropped(name); }));
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(WindowText(name), "B");

  HWND jump = nullptr;
  ASSERT_TRUE(PressUntil(VK_F7, {}, [&] {
    return (jump = ChildWithText(editor, L"combobox", "Loop2", true)) != nullptr;
  }));
  ASSERT_TRUE(typeIntoOpenList(jump, "Loop")) << WindowText(jump);
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !dropped(jump); }));
  ASSERT_TRUE(Sync(editor));
  SaveWindowShot(editor, L"editor-exe-typed-into-list.bmp");
  EXPECT_EQ(WindowText(jump), "Loop");

  HWND apply = ChildWithText(editor, L"button", "Apply");
  ASSERT_NE(apply, nullptr);
  if (IsWindowEnabled(apply)) ClickCenter(apply);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(apply); }));
  ASSERT_TRUE(Save(program));
  EXPECT_EQ(FileValue(file, "Incoming0"), "Tim0TimT0001B");
  EXPECT_EQ(FileValue(file, "Options0"),
            "Actv01Stop01OutO00StMa00000002goto0004Looplabel0005Loop2");
}

}  // namespace
}  // namespace kv::test
