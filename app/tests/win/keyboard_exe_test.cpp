// The keyboard user's road through the translator editor and the property dialogs, driven
// from outside with real keys: where typed keys land after a page switch, what Tab, Shift+Tab
// and Escape do in multi-line fields, the rules text in the Tab order, and the keys of "Add a
// Rule". What the program keeps is read back from the project file it saves.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "app/tests/win/korvanta_driver.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kProgramName = L"Korvanta";
constexpr int kTranslators = 1;


bool MultiLine(HWND window) {
  return OfClass(window, L"edit") && (GetWindowLongW(window, GWL_STYLE) & ES_MULTILINE);
}

// The focused window is one the user sees.
bool FocusInSight(TRunningProgram& program) {
  const HWND focus = program.Focused();
  return focus != nullptr && IsWindowVisible(focus);
}

class KeyboardExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteProgramSettings();
    WriteQuietSettings(kProgramName);
  }
  void TearDown() override { DeleteProgramSettings(); }

  // The program on the project, its editor opened with Enter on the first translator.
  HWND OpenEditor(TRunningProgram& program, int rows) {
    if (!program.MainWindow()) return nullptr;
    if (!WaitUntil([&] { return program.RowCount(kTranslators) == rows; })) return nullptr;
    if (!program.Activate()) return nullptr;
    ClickAt(program.RowPoint(kTranslators, 0));
    if (!WaitUntil([&] { return program.RowSelected(kTranslators, 0); })) return nullptr;
    HWND editor = nullptr;
    PressUntil(VK_RETURN, {}, [&] { return (editor = program.Dialog()) != nullptr; });
    if (editor) ActivateWindow(editor);
    return editor;
  }

  // The editor's Apply, then Ctrl+S in the main window; true once the title no longer marks
  // changes.
  bool ApplyAndSave(TRunningProgram& program, HWND editor) {
    HWND apply = ChildWithText(editor, L"button", "Apply");
    if (!apply || !WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; })) return false;
    PostMessageW(apply, BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindowEnabled(apply); })) return false;
    if (!program.Activate()) return false;
    return PressUntil('S', {VK_CONTROL},
                      [&] { return program.Title().find(" * ") == std::string::npos; });
  }
};

const std::string kMidiTranslator =
    "Name0=P0-T0\r\nIncoming0=MID1903Cpp\r\nOutgoing0=MID1904840\r\n"
    "Options0=Actv01Stop01OutO00\r\n";

// The editor opens with the focus on the first field of the panel it shows: typed keys go
// into the incoming MIDI message at once.
TEST_F(KeyboardExeTest, TheEditorOpensOnTheFirstFieldOfItsPanel) {
  const std::wstring file = WriteProject(L"kv-keyboard-exe", L"opening.kvxp", kMidiTranslator);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1);
  ASSERT_NE(editor, nullptr);
  HWND message = ChildWithText(editor, L"edit", "90 3C pp", true);
  ASSERT_NE(message, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return program.Focused() == message; }))
      << "the focus is on " << WindowText(program.Focused());
}

// After a page switch with the keys the focus is on the page shown: what is typed next goes
// there, never into the field of the page just hidden.
TEST_F(KeyboardExeTest, KeysTypedAfterAPageSwitchGoToThePageShown) {
  const std::wstring file = WriteProject(L"kv-keyboard-exe", L"page switch.kvxp", kMidiTranslator);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1);
  ASSERT_NE(editor, nullptr);
  HWND name = nullptr;
  ASSERT_TRUE(PressUntil(VK_F5, {}, [&] {
    return (name = ChildWithText(editor, L"edit", "P0-T0", true)) != nullptr;
  }));
  ClickCenter(name);
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == name; }));
  ASSERT_TRUE(PressUntil(VK_F6, {}, [&] { return !IsWindowVisible(name); }));
  ASSERT_TRUE(Sync(editor));
  SaveWindowShot(editor, L"keyboard-editor-after-page-switch.bmp");
  EXPECT_TRUE(FocusInSight(program)) << "the focus is on a hidden control";
  TypeText("QQ");
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(WindowText(name), "P0-T0");
  ASSERT_TRUE(ApplyAndSave(program, editor));
  EXPECT_EQ(FileValue(file, "Name0"), "P0-T0");
  EXPECT_NE(FileValue(file, "Incoming0").find("QQ"), std::string::npos)
      << FileValue(file, "Incoming0");
}

// Escape in the Execute File panel's read-only examples leaves the panel whole (the editor
// has nothing to cancel); Tab moves on from there, and the file typed then is stored.
TEST_F(KeyboardExeTest, EscapeAndTabInTheExamplesTextKeepTheExecuteFilePanel) {
  const std::wstring file =
      WriteProject(L"kv-keyboard-exe", L"execute file.kvxp",
                   "Name0=Open\r\nIncoming0=MID1903Cpp\r\nOutgoing0=ExF10008tool.txt0000\r\n"
                   "Options0=Actv01Stop01OutO00\r\n");
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1);
  ASSERT_NE(editor, nullptr);
  HWND fileName = nullptr;
  ASSERT_TRUE(PressUntil(VK_F8, {}, [&] {
    return (fileName = ChildWithText(editor, L"edit", "tool.txt", true)) != nullptr;
  }));
  HWND examples = TopChildWhere(editor, MultiLine);
  ASSERT_NE(examples, nullptr);
  ClickCenter(examples);
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == examples; }));
  Press(VK_ESCAPE);
  ASSERT_TRUE(Sync(editor));
  ASSERT_TRUE(Sync(editor));  // a close posted on the way has been handled too
  ASSERT_TRUE(IsWindow(fileName));
  EXPECT_TRUE(IsWindowVisible(fileName) && IsWindowVisible(examples));
  EXPECT_TRUE(IsWindowVisible(editor));
  ASSERT_TRUE(PressUntil(VK_TAB, {}, [&] { return program.Focused() != examples; }));
  EXPECT_TRUE(FocusInSight(program));

  ClickCenter(fileName);
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == fileName; }));
  SendMessageW(fileName, EM_SETSEL, 0, -1);
  TypeText("notes.txt");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(fileName) == "notes.txt"; }));
  ASSERT_TRUE(ApplyAndSave(program, editor));
  EXPECT_EQ(FileValue(file, "Outgoing0"), "ExF10009notes.txt0000");
}

// "Project Properties..." of the File menu (above "Recent Files" and "Exit").
HWND OpenProjectProperties(TRunningProgram& program) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press('F', {VK_MENU});
    if (!WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) continue;
    Sync(program.MainWindow(0));
    for (WORD key : {VK_UP, VK_UP, VK_UP}) Press(key);
    Sync(program.MainWindow(0));
    Press(VK_RETURN);
    HWND dialog = nullptr;
    if (WaitUntil([&] { return (dialog = WindowTitled(program, "Project Properties")) != nullptr; },
                  5000))
      return dialog;
    while (OpenMenuWindow()) Press(VK_ESCAPE);
  }
  return nullptr;
}

// In the project's comments Shift+Tab and Tab move between the fields, and Escape cancels the
// dialog as it does anywhere else in it: the "Author Info" page is there when it opens again,
// without the comment typed.
TEST_F(KeyboardExeTest, EscapeInTheCommentsCancelsTheProjectProperties) {
  const std::wstring file = WriteProject(L"kv-keyboard-exe", L"comments.kvxp", kMidiTranslator);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  ASSERT_TRUE(program.MainWindow() != nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }));
  HWND dialog = OpenProjectProperties(program);
  ASSERT_NE(dialog, nullptr);
  HWND comments = TopChildWhere(dialog, MultiLine);
  ASSERT_NE(comments, nullptr);
  ActivateWindow(dialog);
  ClickCenter(comments);
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == comments; }));
  TypeText("typed");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(comments) == "typed"; }));
  ASSERT_TRUE(PressUntil(VK_TAB, {VK_SHIFT}, [&] { return program.Focused() != comments; }));
  HWND contact = program.Focused();
  EXPECT_TRUE(OfClass(contact, L"edit") && !MultiLine(contact) && IsWindowVisible(contact));
  ASSERT_TRUE(PressUntil(VK_TAB, {}, [&] { return program.Focused() == comments; }));
  Press(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }))
      << "the dialog stayed; its author page shows: " << IsWindowVisible(comments);

  dialog = OpenProjectProperties(program);
  ASSERT_NE(dialog, nullptr);
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeSelection(tree), "Author Info");
  comments = TopChildWhere(dialog, MultiLine);
  ASSERT_NE(comments, nullptr);
  EXPECT_EQ(WindowText(comments), "");
  SaveWindowShot(dialog, L"keyboard-project-properties-after-escape.bmp");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_EQ(program.Title().find(" * "), std::string::npos);
}

// The rules page's "Add" button, above the editor's own "Add" at the bottom.
HWND RulesAddButton(HWND editor) {
  return TopChildWhere(editor,
                      [](HWND w) { return OfClass(w, L"button") && WindowText(w) == "Add"; });
}

// The rules text follows "Add" in the Tab order; Tab in it moves on instead of typing a tab.
TEST_F(KeyboardExeTest, TabReachesTheRulesTextAndLeavesIt) {
  const std::wstring file = WriteProject(L"kv-keyboard-exe", L"rules tab.kvxp", kMidiTranslator);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1);
  ASSERT_NE(editor, nullptr);
  HWND add = nullptr;
  ASSERT_TRUE(PressUntil(VK_F7, {}, [&] { return (add = RulesAddButton(editor)) != nullptr; }));
  HWND description = TopChild(editor, L"edit");
  ASSERT_NE(description, nullptr);
  ClickCenter(description);
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == description; }));
  ASSERT_TRUE(PressUntil(VK_TAB, {}, [&] { return program.Focused() == add; }));
  ASSERT_TRUE(PressUntil(VK_TAB, {}, [&] { return program.Focused() != add; }));
  HWND rules = program.Focused();
  TypeText("pp=1");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(rules) == "pp=1"; }))
      << "the keys went to " << WindowText(rules);
  ASSERT_TRUE(PressUntil(VK_TAB, {}, [&] { return program.Focused() != rules; }));
  EXPECT_TRUE(FocusInSight(program));
  EXPECT_EQ(WindowText(rules), "pp=1");
  ASSERT_TRUE(ApplyAndSave(program, editor));
  const std::string options = FileValue(file, "Options0");
  EXPECT_NE(options.find("pp"), std::string::npos) << options;
  EXPECT_EQ(FileBytes(file).find('\t'), std::string::npos);
}

// In "Add a Rule" Enter presses OK, the default button, and Escape presses Cancel.
TEST_F(KeyboardExeTest, EnterAndEscapeAnswerAddARule) {
  const std::wstring file = WriteProject(L"kv-keyboard-exe", L"add rule.kvxp", kMidiTranslator);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND editor = OpenEditor(program, 1);
  ASSERT_NE(editor, nullptr);
  HWND add = nullptr;
  ASSERT_TRUE(PressUntil(VK_F7, {}, [&] { return (add = RulesAddButton(editor)) != nullptr; }));
  auto openChooser = [&] {
    PostMessageW(add, BM_CLICK, 0, 0);
    HWND chooser = nullptr;
    WaitUntil([&] { return (chooser = WindowTitled(program, "Add a Rule")) != nullptr; });
    if (chooser) ActivateWindow(chooser);
    return chooser;
  };
  HWND chooser = openChooser();
  ASSERT_NE(chooser, nullptr);
  ASSERT_TRUE(PressUntil('A', {VK_MENU}, [&] {
    HWND item = ChildWithText(chooser, L"button", "&Assignment (e.g. pp = 20)");
    return item && SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }));
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] {
    return WindowTitled(program, "Add a Rule") == nullptr;
  })) << "Enter did not press OK";
  HWND rules = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    rules = TopChildWhere(editor, [](HWND w) { return WindowText(w).find("pp") == 0; });
    return rules != nullptr;
  })) << ChildTexts(editor);
  const std::string added = WindowText(rules);

  chooser = openChooser();
  ASSERT_NE(chooser, nullptr);
  ASSERT_TRUE(PressUntil(VK_ESCAPE, {}, [&] {
    return WindowTitled(program, "Add a Rule") == nullptr;
  })) << "Escape did not press Cancel";
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(WindowText(rules), added);
}

}  // namespace
}  // namespace kv::test
