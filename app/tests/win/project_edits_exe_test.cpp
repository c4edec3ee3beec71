// The main window's lists and the translator editor in step, driven from outside as a user
// does it: what the lists change while the editor is open on a translator survives the
// editor's Apply and reaches the saved file, as do its pending edits; a failed Apply keeps
// the list on its translator; the menu's activation marks the project changed; Cut keeps
// what could not reach the clipboard, and a copy's plain text numbers translators as their
// preset does; the editor offers the project's timer names, browses
// from the project's folder and opens where it was closed.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kProgramName = L"Korvanta";
constexpr int kTranslators = 1;
constexpr const char* kStopBox = "Stop processing with this translator";
constexpr const wchar_t* kFolder = L"kv-project-edits";

std::vector<std::string> Lines(std::istream&& in) {
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> FileLines(const std::wstring& file) {
  return Lines(std::ifstream(file.c_str()));
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A visible top-level window of the program other than these, or null.
HWND OtherWindow(TRunningProgram& program, HWND one, HWND other) {
  for (HWND w : program.VisibleWindows())
    if (w != one && w != other) return w;
  return nullptr;
}

bool BoxChecked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Chooses the menu bar's menu item reached from its first item by the keys, with Enter; again
// (at most three times) while done() does not follow.
bool ChooseFromMenu(TRunningProgram& program, WORD menuKey, std::initializer_list<WORD> moves,
                    const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press(menuKey, {VK_MENU});
    if (WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) {
      Sync(program.MainWindow(0));
      for (WORD key : moves) Press(key);
      Sync(program.MainWindow(0));
      Press(VK_RETURN);
      if (WaitUntil(done, 5000)) return true;
    }
    while (OpenMenuWindow()) Press(VK_ESCAPE);
  }
  return false;
}

class ProjectEditsExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteProgramSettings();
    WriteQuietSettings(kProgramName);
  }
  void TearDown() override { DeleteProgramSettings(); }

  // The program on a copy of the example, with the translator list focused on its first row.
  void Start(const char* example, int rows) {
    file_ = CopyExample(example, kFolder);
    program_ = std::make_unique<TRunningProgram>(Exe(kProgramName), L"/project " + Quoted(file_));
    ASSERT_NE(program_->MainWindow(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return program_->RowCount(kTranslators) == rows; }));
    ASSERT_TRUE(program_->Activate());
  }
  // The program on a preset of five translators "T0".."T4", rows picked with a click on the
  // first and Ctrl+clicks on the others, so the focus is on the last picked.
  void StartFive(std::initializer_list<int> picks) {
    file_ = TempFolder(kFolder) + L"\\five rows.kvxp";
    {
      std::ofstream out(file_.c_str(), std::ios::binary);
      out << "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Five\r\nActive=1\r\n"
             "PresetSwitchIgnore=0\r\n";
      for (int t = 0; t < 5; ++t)
        out << "Name" << t << "=T" << t << "\r\nIncoming" << t << "=MID1903Cpp\r\nOutgoing" << t
            << "=None\r\nOptions" << t << "=Actv01Stop01OutO00\r\n";
    }
    program_ = std::make_unique<TRunningProgram>(Exe(kProgramName), L"/project " + Quoted(file_));
    ASSERT_NE(program_->MainWindow(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return program_->RowCount(kTranslators) == 5; }));
    auto picked = [&] {
      for (int row = 0; row < 5; ++row)
        if (program_->RowSelected(kTranslators, row) !=
            (std::find(picks.begin(), picks.end(), row) != picks.end()))
          return false;
      return FocusedRow() == *(picks.end() - 1);
    };
    // Again (at most three times) while a Ctrl lost on the way made a Ctrl+click a plain one.
    for (int attempt = 0; attempt < 3 && !picked(); ++attempt) {
      FocusList(*picks.begin());
      for (auto row = picks.begin() + 1; row != picks.end(); ++row) {
        Key(VK_CONTROL, false);
        ClickAt(RightOfEditor(*row));
        Key(VK_CONTROL, true);
        ASSERT_TRUE(WaitUntil([&] { return program_->RowSelected(kTranslators, *row); }));
      }
    }
    ASSERT_TRUE(picked());
  }
  int FocusedRow() {
    return static_cast<int>(SendMessageW(program_->List(kTranslators), LVM_GETNEXTITEM,
                                         static_cast<WPARAM>(-1), LVNI_FOCUSED));
  }
  // The editor opened with Enter on the row.
  HWND OpenEditor(int row) {
    ClickAt(program_->RowPoint(kTranslators, row));
    if (!WaitUntil([&] { return program_->RowSelected(kTranslators, row); })) return nullptr;
    HWND editor = nullptr;
    PressUntil(VK_RETURN, {}, [&] { return (editor = program_->Dialog()) != nullptr; });
    return editor;
  }
  // A point of the row near the list's right edge, clear of the editor in front.
  POINT RightOfEditor(int row) {
    RECT r{};
    GetWindowRect(program_->List(kTranslators), &r);
    return {r.right - 40, program_->RowPoint(kTranslators, row).y};
  }
  // The keys to the translator list, by a click on the row (away from its name).
  void FocusList(int row) {
    ASSERT_TRUE(program_->Activate());
    ClickAt(RightOfEditor(row));
    ASSERT_TRUE(WaitUntil([&] {
      return program_->Focused() == program_->List(kTranslators) &&
             program_->RowSelected(kTranslators, row);
    }));
  }
  bool Changed() { return program_->Title().find(" * ") != std::string::npos; }
  // Ctrl+S, and the saved file's lines.
  std::vector<std::string> Save() {
    program_->Activate();
    PressUntil('S', {VK_CONTROL}, [&] { return !Changed(); });
    return FileLines(file_);
  }

  std::wstring file_;
  std::unique_ptr<TRunningProgram> program_;
};

TEST_F(ProjectEditsExeTest, ListUncheckAndRenameSurviveTheEditorsApply) {
  Start("MIDI to keystrokes.kvxp", 3);
  HWND editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  HWND active = ChildWithText(editor, L"button", "Active");
  ASSERT_NE(active, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return BoxChecked(active); })) << TRunningProgram::Texts(editor)[0];

  // The check mark off in the list: the editor's Active box follows.
  ASSERT_TRUE(program_->SetRowState(kTranslators, 1, LVIS_STATEIMAGEMASK,
                                    INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return !program_->Checked(kTranslators, 1) && Changed(); }));
  EXPECT_TRUE(WaitUntil([&] { return !BoxChecked(active); }));

  // F2 renames in place.
  FocusList(1);
  ASSERT_TRUE(PressUntil(VK_F2, {}, [&] {
    return program_->Focused() != program_->List(kTranslators);
  }));
  TypeText("Skip");
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program_->Cell(kTranslators, 1, 0) == "Skip"; }));

  // Another change in the editor, applied: the list's changes stay.
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, kStopBox); }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "Apply"); }));
  ASSERT_TRUE(WaitUntil([&] { return program_->Cell(kTranslators, 1, 4).empty(); }))
      << program_->Cell(kTranslators, 1, 4);
  EXPECT_EQ(program_->Cell(kTranslators, 1, 0), "Skip");
  EXPECT_FALSE(program_->Checked(kTranslators, 1));

  const std::vector<std::string> lines = Save();
  EXPECT_TRUE(HasLine(lines, "Name1=Skip"));
  EXPECT_TRUE(HasLine(lines, "Options1=Actv00Stop00OutO00"));
}

// The project file holds names in the ANSI code page: a name with a character it cannot hold
// is refused where it is typed, in the list and in the editor, and no "?" is stored.
TEST_F(ProjectEditsExeTest, ANameTheFileCannotHoldIsRefusedInTheListAndTheEditor) {
  Start("MIDI to keystrokes.kvxp", 3);
  HWND editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  FocusList(1);
  ASSERT_TRUE(PressUntil(VK_F2, {}, [&] {
    return program_->Focused() != program_->List(kTranslators);
  }));
  TypeText("Skip ");
  TypeWideChar(L'\u0436');
  Press(VK_RETURN);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = WindowSaying(*program_, "U+0436")) != nullptr; }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(box, "OK"); }));
  EXPECT_TRUE(WaitUntil([&] { return program_->Cell(kTranslators, 1, 0) == "Next"; }))
      << program_->Cell(kTranslators, 1, 0);

  // The editor's name field: the character is refused and the name stays as it was.
  HWND name = nullptr;
  ActivateWindow(editor);
  ASSERT_TRUE(PressUntil(VK_F5, {}, [&] {
    return (name = ChildWithText(editor, L"edit", "Next")) != nullptr && IsWindowVisible(name);
  }));
  RECT r{};
  GetWindowRect(name, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return program_->Focused() == name; }));
  TypeWideChar(L'\u0436');
  ASSERT_TRUE(WaitUntil([&] { return (box = WindowSaying(*program_, "U+0436")) != nullptr; }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(box, "OK"); }));
  EXPECT_EQ(WindowText(name), "Next");
  EXPECT_FALSE(Changed());
}

TEST_F(ProjectEditsExeTest, DeletingTheEditedTranslatorLetsTheEditorGoOn) {
  Start("MIDI to keystrokes.kvxp", 3);
  HWND editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  // A pending change, then the translator goes without a question.
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, kStopBox); }));
  FocusList(1);
  ASSERT_TRUE(PressUntil(VK_DELETE, {VK_SHIFT}, [&] { return program_->RowCount(kTranslators) == 2; }));

  // Another translator, changed and applied, with no complaint about the one that went.
  ClickAt(RightOfEditor(0));
  ASSERT_TRUE(WaitUntil([&] { return program_->RowSelected(kTranslators, 0); }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, kStopBox); }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "Apply"); }));
  EXPECT_TRUE(WaitUntil([&] { return program_->Cell(kTranslators, 0, 4).empty(); }));
  EXPECT_EQ(WindowSaying(*program_, "no longer in the current preset"), nullptr);
  EXPECT_EQ(program_->Column(kTranslators), (std::vector<std::string>{"Play or pause", "Previous"}));
}

TEST_F(ProjectEditsExeTest, MenuActivationChangesTheTranslatorsAndMarksTheProject) {
  Start("MIDI to keystrokes.kvxp", 3);
  FocusList(0);
  // "&Translator": Add, Edit, Rename, Duplicate, Activate, Deactivate.
  const std::initializer_list<WORD> deactivate = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN};
  const std::initializer_list<WORD> activate = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN};
  ASSERT_TRUE(ChooseFromMenu(*program_, 'T', deactivate, [&] {
    return !program_->Checked(kTranslators, 0);
  }));
  EXPECT_TRUE(WaitUntil([&] { return Changed(); })) << program_->Title();
  EXPECT_TRUE(HasLine(Save(), "Options0=Actv00Stop01OutO00"));

  ASSERT_TRUE(ChooseFromMenu(*program_, 'T', activate, [&] {
    return program_->Checked(kTranslators, 0);
  }));
  EXPECT_TRUE(WaitUntil([&] { return Changed(); })) << program_->Title();
  EXPECT_TRUE(HasLine(Save(), "Options0=Actv01Stop01OutO00"));
}

TEST_F(ProjectEditsExeTest, CutKeepsTheRowsWhenTheClipboardIsBusy) {
  Start("MIDI to keystrokes.kvxp", 3);
  FocusList(0);
  // Another program holds the clipboard open meanwhile.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HWND error = nullptr;
  const bool shown = PressUntil('X', {VK_CONTROL}, [&] {
    return (error = WindowSaying(*program_, "could not be put on the clipboard")) != nullptr;
  });
  CloseClipboard();
  ASSERT_TRUE(shown);
  EXPECT_EQ(program_->RowCount(kTranslators), 3);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(error, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return program_->Dialog() == nullptr; }));
  EXPECT_EQ(program_->RowCount(kTranslators), 3);
  EXPECT_FALSE(Changed());
}

// Rows picked apart with Ctrl+click: the plain text another program gets numbers each
// translator as its preset does, as the list's second column shows it.
TEST_F(ProjectEditsExeTest, CopiedTranslatorsKeepTheirOwnNumbersInThePlainText) {
  ASSERT_NO_FATAL_FAILURE(StartFive({1, 3, 4}));
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  ASSERT_TRUE(PressUntil('C', {VK_CONTROL}, [] {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
  }));
  ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != 0; }));
  std::wstring text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  std::vector<std::string> headings;
  for (const std::string& line : Lines(std::istringstream(win::Narrow(text))))
    if (line.rfind("Translator ", 0) == 0) headings.push_back(line);
  EXPECT_EQ(headings, (std::vector<std::string>{"Translator 1: T1", "Translator 3: T3",
                                                "Translator 4: T4"}))
      << win::Narrow(text);
}

TEST_F(ProjectEditsExeTest, TheEditorsTimerNamesAreTheProjects) {
  // "Pulse" is named only by the second translator, which the editor never shows.
  const std::wstring file = TempFolder(kFolder) + L"\\timers.kvxp";
  {
    std::ofstream out(file.c_str(), std::ios::binary);
    out << "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Timers\r\nActive=1\r\n"
           "PresetSwitchIgnore=0\r\nName0=Tick\r\nIncoming0=Tim0TimT0004Tick\r\n"
           "Outgoing0=MID1904840\r\nOptions0=Actv01Stop00OutO00\r\nName1=Start\r\n"
           "Incoming1=MID1903Cpp\r\nOutgoing1=Tim0TimS0005Pulse0:0:500\r\n"
           "Options1=Actv01Stop01OutO00\r\n";
  }
  program_ = std::make_unique<TRunningProgram>(Exe(kProgramName), L"/project " + Quoted(file));
  ASSERT_NE(program_->MainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program_->RowCount(kTranslators) == 2; }));
  ASSERT_TRUE(program_->Activate());
  HWND editor = OpenEditor(0);
  ASSERT_NE(editor, nullptr);
  // F6: the incoming timer trigger of "Tick".
  ActivateWindow(editor);
  HWND names = nullptr;
  ASSERT_TRUE(PressUntil(VK_F6, {}, [&] {
    return (names = ChildWithText(editor, L"combobox", "Tick", true)) != nullptr;
  }));
  EXPECT_EQ(ComboItems(names), (std::vector<std::string>{"Pulse", "Tick"}));
}

TEST_F(ProjectEditsExeTest, AFailedApplyKeepsTheListOnTheEditedTranslator) {
  Start("MIDI to keystrokes.kvxp", 3);
  HWND editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  // F7, and a rule line that does not parse typed into the rules text.
  ActivateWindow(editor);
  HWND pages = nullptr;
  ASSERT_TRUE(PressUntil(VK_F7, {}, [&] {
    pages = FindWindowExW(editor, nullptr, L"SysTabControl32", nullptr);
    return pages != nullptr && SendMessageW(pages, TCM_GETCURSEL, 0, 0) == 2;
  }));
  RECT r{};
  GetWindowRect(pages, &r);
  ClickAt({r.left + 60, r.top + 110});
  TypeText("if pp then");
  ASSERT_TRUE(WaitUntil([&] { return ChildWithText(editor, L"button", "Apply") &&
                                     IsWindowEnabled(ChildWithText(editor, L"button", "Apply")); }));
  SaveWindowShot(editor, L"project-edits-bad-rule.bmp");

  // A click on another row: the Apply fails, says why, and the list stays on the edited row.
  ClickAt(RightOfEditor(0));
  HWND error = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (error = OtherWindow(*program_, program_->MainWindow(0), editor)) != nullptr;
  }));
  SaveWindowShot(error, L"project-edits-bad-rule-error.bmp");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(error, "OK"); }));
  EXPECT_TRUE(WaitUntil([&] {
    return program_->RowSelected(kTranslators, 1) && !program_->RowSelected(kTranslators, 0);
  }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(error); }));

  // "->" asks the same and stays too.
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "->"); }));
  ASSERT_TRUE(WaitUntil([&] {
    return (error = OtherWindow(*program_, program_->MainWindow(0), editor)) != nullptr;
  }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(error, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(error); }));
  ASSERT_TRUE(Sync(program_->MainWindow(0)));
  EXPECT_TRUE(program_->RowSelected(kTranslators, 1));
  EXPECT_FALSE(program_->RowSelected(kTranslators, 2));
}

TEST_F(ProjectEditsExeTest, DuplicateCopiesWhatTheEditorHasPending) {
  Start("MIDI to keystrokes.kvxp", 3);
  HWND editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(program_->Cell(kTranslators, 1, 4), "stop");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, kStopBox); }));
  FocusList(1);
  ASSERT_TRUE(PressUntil('D', {VK_CONTROL}, [&] { return program_->RowCount(kTranslators) == 4; }));
  EXPECT_EQ(program_->Cell(kTranslators, 1, 4), "");
  EXPECT_EQ(program_->Cell(kTranslators, 2, 0), "Next");
  EXPECT_EQ(program_->Cell(kTranslators, 2, 4), "");
}

TEST_F(ProjectEditsExeTest, SavingTakesWhatTheEditorHasPending) {
  Start("MIDI to keystrokes.kvxp", 3);
  HWND editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  HWND stop = ChildWithText(editor, L"button", kStopBox);
  ASSERT_NE(stop, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, kStopBox); }));
  ASSERT_TRUE(WaitUntil([&] { return !BoxChecked(stop); }));
  // The keys to the main window, where the list had them (a click on the selected row could
  // start renaming it).
  ASSERT_TRUE(program_->Activate());
  ASSERT_TRUE(WaitUntil([&] { return program_->Focused() == program_->List(kTranslators); }));
  EXPECT_TRUE(PressUntil('S', {VK_CONTROL}, [&] {
    return HasLine(FileLines(file_), "Options1=Actv01Stop00OutO00");
  }));
  EXPECT_EQ(program_->Cell(kTranslators, 1, 4), "");
}

TEST_F(ProjectEditsExeTest, TheEditorOpensWhereItWasClosed) {
  Start("MIDI to keystrokes.kvxp", 3);
  HWND editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  SetWindowPos(editor, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitUntil([&] {
    RECT r{};
    GetWindowRect(editor, &r);
    return r.left == 300 && r.top == 200;
  }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "Close"); }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }));
  program_.reset();

  Start("MIDI to keystrokes.kvxp", 3);
  editor = OpenEditor(1);
  ASSERT_NE(editor, nullptr);
  RECT r{};
  GetWindowRect(editor, &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 200);
}

TEST_F(ProjectEditsExeTest, AFileChosenInTheProjectsFolderIsStoredRelative) {
  const std::wstring folder = TempFolder(kFolder);
  file_ = folder + L"\\tools.kvxp";
  {
    std::ofstream((folder + L"\\tool.txt").c_str()) << "a document";
    std::ofstream out(file_.c_str(), std::ios::binary);
    out << "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Tools\r\nActive=1\r\n"
           "PresetSwitchIgnore=0\r\nName0=Open\r\nIncoming0=MID1903Cpp\r\n"
           "Outgoing0=ExF10008tool.txt0000\r\nOptions0=Actv01Stop01OutO00\r\n";
  }
  program_ = std::make_unique<TRunningProgram>(Exe(kProgramName), L"/project " + Quoted(file_));
  ASSERT_NE(program_->MainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program_->RowCount(kTranslators) == 1; }));
  ASSERT_TRUE(program_->Activate());
  HWND editor = OpenEditor(0);
  ASSERT_NE(editor, nullptr);
  // F8: the file of the outgoing action, and its "..." button.
  ActivateWindow(editor);
  HWND name = nullptr, browse = nullptr;
  ASSERT_TRUE(PressUntil(VK_F8, {}, [&] {
    name = ChildWithText(editor, L"edit", "tool.txt", true);
    browse = ChildWithText(editor, L"button", "...", true);
    return name != nullptr && browse != nullptr;
  }));
  PostMessageW(browse, BM_CLICK, 0, 0);
  // The dialog starts in the project's folder with the file chosen: Enter takes it.
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (dialog = WindowSaying(*program_, "Select File to Execute")) != nullptr;
  }));
  ActivateWindow(dialog);
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
  ASSERT_TRUE(Sync(editor));
  wchar_t text[MAX_PATH] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(name, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                      &copied);
  EXPECT_EQ(win::Narrow(text), "tool.txt");
}

// --- renaming in place while the lists change --------------------------------------------

constexpr const wchar_t* kHostName = L"korvanta_testhost";
constexpr int kPresets = 0;

// The lines of one section of a project file, up to the next section.
std::vector<std::string> SectionLines(const std::vector<std::string>& lines,
                                      const std::string& section) {
  auto at = std::find(lines.begin(), lines.end(), section);
  if (at == lines.end()) return {};
  auto end = std::find_if(at + 1, lines.end(), [](const std::string& l) {
    return !l.empty() && l.front() == '[';
  });
  return {at + 1, end};
}

// The test host on two presets of two translators each, the first preset shown.
class InPlaceEditExeTest : public ProjectEditsExeTest {
 protected:
  void SetUp() override {
    DeleteProgramSettings();
    WriteQuietSettings(kHostName);
    file_ = TempFolder(kFolder) + L"\\two presets.kvxp";
    std::ofstream out(file_.c_str(), std::ios::binary);
    out << "[Project]\r\nVersion=2\r\n";
    for (const char* preset : {"A", "B"}) {
      out << "\r\n[Preset." << (preset[0] - 'A') << "]\r\nName=Preset" << preset
          << "\r\nActive=1\r\nPresetSwitchIgnore=0\r\n";
      const char* names[] = {"-zero", "-one"};
      for (int t = 0; t < 2; ++t)
        out << "Name" << t << "=" << preset << names[t] << "\r\nIncoming" << t
            << "=MID1903Cpp\r\nOutgoing" << t << "=KAM10000KSQ10002020220\r\nOptions" << t
            << "=Actv01Stop01OutO00\r\n";
    }
  }
  void StartHost() {
    program_ = std::make_unique<TRunningProgram>(Exe(kHostName), L"/project " + Quoted(file_));
    ASSERT_NE(program_->MainWindow(), nullptr);
    ASSERT_TRUE(WaitUntil([&] {
      return program_->Column(kTranslators) == std::vector<std::string>{"A-zero", "A-one"};
    }));
    ASSERT_TRUE(program_->Activate());
  }
  // Renaming the translator row opened as a user does: a click selects it, and a click on the
  // selected row's name opens its edit once a double click's time has passed.
  HWND OpenRename(int row) {
    HWND list = program_->List(kTranslators);
    HWND edit = nullptr;
    for (int attempt = 0; attempt < 3 && !edit; ++attempt) {
      if (!program_->RowSelected(kTranslators, row)) {
        ClickAt(program_->RowPoint(kTranslators, row));
        if (!WaitUntil([&] { return program_->RowSelected(kTranslators, row); })) return nullptr;
        Sleep(GetDoubleClickTime() + 100);  // part of the gesture: no double click
      }
      ClickAt(NamePoint(*program_, kTranslators, row));
      WaitUntil([&] { return (edit = ListEditBox(list)) != nullptr; }, 5000);
    }
    if (edit) WaitUntil([&] { return program_->Focused() == edit; });
    return edit;
  }
};

TEST_F(InPlaceEditExeTest, ARenameLeftOpenForAnotherPresetRenamesItsOwnTranslator) {
  StartHost();
  HWND edit = OpenRename(0);
  ASSERT_NE(edit, nullptr);
  TypeText("NEWNAME");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == "NEWNAME"; }));
  SaveWindowShot(program_->MainWindow(0), L"in-place-rename-open.bmp", 0, true);

  ClickAt(program_->RowPoint(kPresets, 1));
  ASSERT_TRUE(WaitUntil([&] {
    return program_->Column(kTranslators) == std::vector<std::string>{"B-zero", "B-one"};
  })) << ::testing::PrintToString(program_->Column(kTranslators));
  ClickAt(program_->RowPoint(kPresets, 0));
  EXPECT_TRUE(WaitUntil([&] {
    return program_->Column(kTranslators) == std::vector<std::string>{"NEWNAME", "A-one"};
  })) << ::testing::PrintToString(program_->Column(kTranslators));

  const std::vector<std::string> lines = Save();
  EXPECT_TRUE(HasLine(SectionLines(lines, "[Preset.0]"), "Name0=NEWNAME"));
  EXPECT_TRUE(HasLine(SectionLines(lines, "[Preset.1]"), "Name0=B-zero"));
}

TEST_F(InPlaceEditExeTest, SavingWhileARenameIsOpenSavesTheNewName) {
  StartHost();
  HWND edit = OpenRename(1);
  ASSERT_NE(edit, nullptr);
  TypeText("Renamed");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == "Renamed"; }));
  // Written when its time changes (reading it meanwhile could stand in the save's way).
  auto written = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(file_.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
  };
  const ULONGLONG before = written();
  ASSERT_TRUE(PressUntil('S', {VK_CONTROL}, [&] { return written() != before && !Changed(); }));
  EXPECT_TRUE(HasLine(SectionLines(FileLines(file_), "[Preset.0]"), "Name1=Renamed"));
  EXPECT_EQ(program_->Cell(kTranslators, 1, 0), "Renamed");
  EXPECT_FALSE(Changed());
}

TEST_F(InPlaceEditExeTest, AnEmptiedNameIsRefusedAndTheOldOneKept) {
  StartHost();
  HWND edit = OpenRename(1);
  ASSERT_NE(edit, nullptr);
  Press(VK_DELETE);  // the whole name is selected as the edit opens
  ASSERT_TRUE(WaitUntil([&] { return WindowText(edit).empty(); }));
  Press(VK_RETURN);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = WindowSaying(*program_, "This is no valid name.")); }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(box, "OK"); }));
  EXPECT_EQ(program_->Cell(kTranslators, 1, 0), "A-one");
  EXPECT_FALSE(Changed());
}

}  // namespace
}  // namespace kv::test

// --- moving, editing and naming from the commands -----------------------------------------

namespace kv::test {
namespace {

using ListCommandsExeTest = ProjectEditsExeTest;

// Rows 1 and 3, the focus on 3, Ctrl+Down: each takes its marks along, the focus to row 4.
TEST_F(ListCommandsExeTest, AMovedRowTakesTheFocusAlong) {
  ASSERT_NO_FATAL_FAILURE(StartFive({1, 3}));
  ASSERT_TRUE(PressUntil(VK_DOWN, {VK_CONTROL}, [&] {
    return program_->Column(kTranslators) ==
           std::vector<std::string>{"T0", "T2", "T1", "T4", "T3"};
  })) << ::testing::PrintToString(program_->Column(kTranslators));
  EXPECT_EQ(FocusedRow(), 4);
  for (int row = 0; row < 5; ++row)
    EXPECT_EQ(program_->RowSelected(kTranslators, row), row == 2 || row == 4) << row;
}

// Edit is always there: with two rows the editor shows, holding neither.
TEST_F(ListCommandsExeTest, EditWithSeveralRowsShowsTheEditorEmpty) {
  ASSERT_NO_FATAL_FAILURE(StartFive({1, 3}));
  HWND editor = nullptr;
  ASSERT_TRUE(PressUntil('E', {VK_CONTROL}, [&] { return (editor = program_->Dialog()) != nullptr; }));
  ASSERT_TRUE(Sync(editor));
  EXPECT_EQ(ChildWithText(editor, L"edit", "T1"), nullptr);
  EXPECT_EQ(ChildWithText(editor, L"edit", "T3"), nullptr);
}

// New starts the rename of its preset as the preset list's own New does.
TEST_F(ProjectEditsExeTest, NewNamesItsPresetInPlace) {
  program_ = std::make_unique<TRunningProgram>(Exe(kProgramName), L"");
  HWND main = program_->MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program_->List(kPresets) != nullptr; }));
  ASSERT_TRUE(program_->Activate());
  RECT button{};
  ASSERT_TRUE(ToolButtonScreenRect(TopChild(main, L"toolbar"), 0, button));
  ClickAt({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  HWND edit = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (edit = ListEditBox(program_->List(kPresets))) != nullptr && program_->Focused() == edit;
  })) << "no rename of " << program_->Cell(kPresets, 0, 0);
  TypeText("Drums");
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program_->Cell(kPresets, 0, 0) == "Drums"; }));

  file_ = TempFolder(kFolder) + L"\\named new.kvxp";
  DeleteFileW(file_.c_str());
  ASSERT_TRUE(PressUntil('S', {VK_CONTROL}, [&] { return WindowTitled(*program_, "Save") != nullptr; }));
  ActivateWindow(WindowTitled(*program_, "Save"));
  TypeWide(file_);
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] {
    return GetFileAttributesW(file_.c_str()) != INVALID_FILE_ATTRIBUTES && !Changed();
  }));
  EXPECT_TRUE(HasLine(FileLines(file_), "Name=Drums"));
}

}  // namespace
}  // namespace kv::test
