// Korvanta.exe driven from outside with files that are no projects (started with one, or one
// chosen in the open dialog), with saves beside what a crashed save left and saves the
// system refuses, with a close request from another program that the user confirms while
// the program then runs on, and with a change typed in the translator editor and not yet
// applied when a file command or the exit comes.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kProgramName = L"Korvanta";
constexpr int kPresets = 0, kTranslators = 1;
constexpr const char* kTitle = "Zarn's Korvanta Pro";
constexpr const char* kNoProject = "This is not a project file:";
constexpr const wchar_t* kFolder = L"kv-project-files";

std::wstring WriteFile(const wchar_t* name, const std::string& bytes) {
  const std::wstring path = TempFolder(kFolder) + L"\\" + name;
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

// The text a window answers WM_GETTEXT with; a window of another process answers for itself
// (GetWindowText would give only captions there).
std::string AskedText(HWND window) {
  std::wstring buffer(8192, L'\0');
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]),
                           SMTO_NORMAL, 5000, &length))
    return {};
  buffer.resize(std::min<size_t>(length, buffer.size()));
  return win::Narrow(buffer);
}

// The program's visible window one of whose children shows the text, or null.
HWND WindowShowing(const TRunningProgram& program, const std::string& part) {
  for (HWND w : program.VisibleWindows()) {
    struct Search {
      const std::string* part;
      bool found = false;
    } search{&part};
    EnumChildWindows(
        w,
        [](HWND child, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          s->found = AskedText(child).find(*s->part) != std::string::npos;
          return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) return w;
  }
  return nullptr;
}

// The error window read and closed: the next dialog found is a new one.
void CloseErrors(TRunningProgram& program, HWND errors) {
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(errors, "Close"); }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(errors); }));
  (void)program;
}

std::string ExampleTitle() { return std::string(kTitle) + " - MIDI to keystrokes.kvxp"; }

// The main window once it shows the example "MIDI to keystrokes.kvxp" in its title and rows.
HWND ExampleShown(TRunningProgram& program) {
  HWND main = program.MainWindow();
  if (!main || !WaitUntil([&] { return program.Title() == ExampleTitle(); })) return nullptr;
  return WaitUntil([&] { return program.RowCount(kTranslators) == 3; }) ? main : nullptr;
}

constexpr const char* kApplyQuestion = "Do you want to apply your changes to the translator entry?";
constexpr const char* kSaveExample =
    "You have made changes to Project \"MIDI to keystrokes.kvxp\"";

// The editor opened on a translator row with Enter, out of the way of the main window, and
// that row's name typed over in it without applying; null when the editor never showed it.
HWND TypeNameInEditor(TRunningProgram& program, int row, const std::string& typed) {
  const std::string shown = program.Cell(kTranslators, row, 0);
  if (!program.Activate()) return nullptr;
  ClickAt(program.RowPoint(kTranslators, row));
  if (!WaitUntil([&] { return program.RowSelected(kTranslators, row); })) return nullptr;
  HWND editor = nullptr;
  PressUntil(VK_RETURN, {}, [&] {
    editor = WindowTitled(program, "Edit Translator Entry " + shown);
    return editor != nullptr;
  });
  if (!editor) return nullptr;
  RECT r{};
  GetWindowRect(editor, &r);
  SetWindowPos(editor, nullptr, GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left),
               GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ActivateWindow(editor);
  if (!TypeOverEditorName(program, editor, shown, typed)) return nullptr;
  const bool typedIn =
      WaitUntil([&] { return WindowText(editor) == "Edit Translator Entry " + typed; });
  return typedIn ? editor : nullptr;
}

// The question that says part, answered with the button of that caption.
bool Answer(TRunningProgram& program, const std::string& part, const std::string& button) {
  HWND question = nullptr;
  if (!WaitUntil([&] { return (question = WindowSaying(program, part)) != nullptr; }))
    return false;
  ActivateWindow(question);
  return WaitUntil([&] { return ClickButton(question, button); }, 20000) &&
         WaitUntil([&] { return !IsWindow(question) || !IsWindowVisible(question); });
}

// The open dialog's file name typed over with name (a path, or a name in the folder it shows)
// and taken with Enter; false when the dialog had no such box or it never took the text.
bool ChooseInOpenDialog(HWND open, const std::wstring& name) {
  HWND box = nullptr;
  EnumChildWindows(
      open,
      [](HWND child, LPARAM lp) -> BOOL {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        if (GetDlgCtrlID(child) != 0x47C || lstrcmpiW(kind, L"Edit") != 0) return TRUE;
        *reinterpret_cast<HWND*>(lp) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&box));
  if (!box || !ActivateWindow(open)) return false;
  SendMessageW(box, EM_SETSEL, 0, -1);
  TypeWide(name);
  if (!WaitUntil([&] { return win::Widen(AskedText(box)) == name; })) return false;
  Press(VK_RETURN);
  return true;
}

// The tray menu opened as the notification area's right click opens it, and an entry chosen
// with the keys (its mnemonic, or arrows and Enter); again (at most three times) while done()
// does not follow: a window taking the focus meanwhile closes the menu unchosen. Without
// done(), true once the menu closed.
bool ChooseFromTrayMenu(HWND main, std::initializer_list<WORD> keys,
                        const std::function<bool()>& done = {}) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    // The notification area reports the right button's release (WM_RBUTTONUP) for icon 1.
    PostMessageW(main, 0x7E8, 1, WM_RBUTTONUP);
    if (!WaitUntil([] { return OpenMenuWindow() != nullptr; })) continue;
    Sync(main);  // answered from inside the menu's own loop: it takes the keys now
    for (WORD key : keys) {
      Press(key);
      Sync(main);
    }
    const bool closed = WaitUntil([] { return OpenMenuWindow() == nullptr; }, 5000);
    if (closed && (!done || WaitUntil(done, 5000))) return true;
    while (OpenMenuWindow()) Press(VK_ESCAPE);
  }
  return false;
}

// How many of the program's windows show the text.
int WindowsSaying(const TRunningProgram& program, const std::string& part) {
  int count = 0;
  for (HWND w : program.VisibleWindows()) count += Contains(TRunningProgram::Texts(w), part);
  return count;
}

class ProjectFilesExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }

  // The program started on a copy of the example (file_) once its window shows it, else null.
  HWND StartOnExample() {
    file_ = CopyExample("MIDI to keystrokes.kvxp", kFolder);
    program_ = std::make_unique<TRunningProgram>(Exe(kProgramName), L"/project " + Quoted(file_));
    return ExampleShown(*program_);
  }
  // Started quietly so, with the editor open on the first translator and that name typed in
  // it, not applied: the editor, else null.
  HWND StartTypingInEditor(const std::string& typed) {
    WriteQuietSettings(kProgramName);
    return StartOnExample() ? TypeNameInEditor(*program_, 0, typed) : nullptr;
  }

  std::wstring file_;
  std::unique_ptr<TRunningProgram> program_;
};

// Started with a file that is no project while the settings name the last project: the file
// is refused with a message, the last project does not open in its place, and neither Save
// nor exit writes the refused file.
TEST_F(ProjectFilesExeTest, StartedWithAFileThatIsNoProjectSaysSoAndOpensNoOther) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"CurrentProject", CopyExample("MIDI to keystrokes.kvxp", kFolder));
  const std::string garbage("MZ\x90\0\x03\0\0\0\x04\0\0\0\xff\xff\0\0\xb8\r\n\x0e\x1f\xba", 23);
  const std::wstring file = WriteFile(L"garbage.kvxp", garbage);

  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  HWND errors = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (errors = WindowShowing(program, kNoProject)) != nullptr; }));
  EXPECT_TRUE(WindowShowing(program, "garbage.kvxp"));
  RECT area{};
  GetWindowRect(errors, &area);
  EXPECT_TRUE(SaveScreenPicture(
      area, win::Widen(std::string(KV_SHOT_DIR)) + L"\\project-refused-errors.bmp"));
  CloseErrors(program, errors);

  // Keys come after the start-up's own messages: by the time Ctrl+S is read, the last project
  // would have opened. With no project file, Save asks for a name. Wine's own tray window, made
  // as the start-up puts the icon there, may take the keys from the window meanwhile.
  bool asked = false;
  for (int attempt = 0; attempt < 3 && !asked; ++attempt) {
    ASSERT_TRUE(program.Activate());
    Press('S', {VK_CONTROL});
    asked = WaitUntil([&] { return program.Dialog() != nullptr; }, 4000);
  }
  ASSERT_TRUE(asked);
  HWND save = program.Dialog();
  EXPECT_TRUE(Contains(TRunningProgram::Texts(save), "Save Project"))
      << ::testing::PrintToString(TRunningProgram::Texts(save));
  PostMessageW(save, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_EQ(program.Title(), kTitle);
  EXPECT_EQ(program.RowCount(kPresets), 0);

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(15000));
  EXPECT_EQ(FileBytes(file), garbage);
}

// File > Open of an empty file: refused with a message; the open project, its title and its
// file stay, and Save writes the project's own file, not the empty one.
TEST_F(ProjectFilesExeTest, OpeningAnEmptyFileKeepsTheCurrentProject) {
  WriteQuietSettings(kProgramName);
  const std::wstring project = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  const std::wstring empty = WriteFile(L"empty.kvxp", "");
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(project));
  const HWND main = ExampleShown(program);
  ASSERT_NE(main, nullptr);

  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('O', {VK_CONTROL}, [&] { return program.Dialog() != nullptr; }));
  HWND open = program.Dialog();
  ASSERT_TRUE(Contains(TRunningProgram::Texts(open), "Open Project"));
  // It opens in the current project's folder, where the empty file is: its name typed over
  // the proposed one.
  ASSERT_TRUE(ChooseInOpenDialog(open, L"empty.kvxp"));
  HWND errors = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (errors = WindowShowing(program, kNoProject)) != nullptr; }));
  EXPECT_TRUE(WindowShowing(program, "empty.kvxp"));
  CloseErrors(program, errors);
  EXPECT_EQ(program.Title(), ExampleTitle());
  EXPECT_EQ(program.RowCount(kTranslators), 3);

  // A change, saved: it goes to the project's own file.
  ASSERT_TRUE(program.SetRowState(kTranslators, 0, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return program.Title().find(" * ") != std::string::npos; }));
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('S', {VK_CONTROL}, [&] { return program.Title() == ExampleTitle(); }))
      << program.Title();
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(15000));
  EXPECT_EQ(FileBytes(empty), "");
  EXPECT_NE(FileBytes(project).find("Options0=Actv00"), std::string::npos);
}

// An exit that does not happen changes nothing, and its answers go with it: a No to saving at
// the end of the session that another program then cancels, or at a close request from
// another program after which the program runs on, lets no later command drop the changed
// project without asking.
TEST_F(ProjectFilesExeTest, AnExitThatDoesNotHappenLeavesNoAnswerBehind) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"DontAskForClose", 0);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  ASSERT_TRUE(program.SetRowState(kTranslators, 0, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return program.Title().find(" * ") != std::string::npos; }));

  // The session's end: Yes to quitting, No to saving; then another program cancels the end.
  PostMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  ASSERT_TRUE(Answer(program, "Do you really want to quit", "&Yes"));
  ASSERT_TRUE(Answer(program, kSaveExample, "&No"));
  PostMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  ASSERT_TRUE(Sync(main));
  ASSERT_TRUE(program.Running());
  EXPECT_NE(program.Title().find(" * "), std::string::npos) << program.Title();
  // File > Close (Ctrl+F4) asks about the changed project again.
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil(VK_F4, {VK_CONTROL}, [&] { return WindowSaying(program, kSaveExample); }))
      << "closed without asking: " << program.Title();
  ASSERT_TRUE(Answer(program, kSaveExample, "Cancel"));
  EXPECT_EQ(program.RowCount(kTranslators), 3);

  // A close request, confirmed with No to saving: the program goes quiet and runs on until
  // the asker ends it; the close box then asks again.
  PostMessageW(main, 0x69A, 0x69A, 0);
  ASSERT_TRUE(Answer(program, "Do you really want to quit", "&Yes"));
  ASSERT_TRUE(Answer(program, kSaveExample, "&No"));
  ASSERT_TRUE(Sync(main));
  ASSERT_TRUE(program.Running());
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Answer(program, "Do you really want to quit", "&Yes")) << "ended without asking";
  ASSERT_TRUE(Answer(program, kSaveExample, "&Yes")) << "the project was let go unasked";
  EXPECT_TRUE(program.WaitForExit(15000));
  EXPECT_NE(FileBytes(file).find("Options0=Actv00"), std::string::npos);
}

// Open Merge adds presets no file holds yet: the project is changed and the exit asks about
// it. A merge of a file that is no project changes nothing, its mark included.
TEST_F(ProjectFilesExeTest, AMergeLeavesTheProjectChangedAndAFailedOneChangesNothing) {
  WriteQuietSettings(kProgramName);
  const std::wstring more = CopyExample("Timer sequence.kvxp", kFolder);
  const std::wstring empty = WriteFile(L"empty.kvxp", "");
  const HWND main = StartOnExample();
  ASSERT_NE(main, nullptr);
  TRunningProgram& program = *program_;
  const int presets = program.RowCount(kPresets);
  // "&File" > "Open Merge...", the third item.
  auto merge = [&](const std::wstring& name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      program.Activate();
      Press('F', {VK_MENU});
      if (!WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) continue;
      Sync(main);
      Press(VK_DOWN);
      Press(VK_DOWN);
      Sync(main);
      Press(VK_RETURN);
      HWND open = nullptr;
      if (WaitUntil([&] { return (open = WindowTitled(program, "Open Project")) != nullptr; }, 5000))
        return ChooseInOpenDialog(open, name);
      while (OpenMenuWindow()) Press(VK_ESCAPE);
    }
    return false;
  };
  ASSERT_TRUE(merge(empty));
  HWND errors = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (errors = WindowShowing(program, kNoProject)) != nullptr; }));
  CloseErrors(program, errors);
  EXPECT_EQ(program.Title(), ExampleTitle()) << "a merge that loaded nothing changed the mark";

  ASSERT_TRUE(merge(more));
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kPresets) > presets; }));
  EXPECT_EQ(program.Title(), std::string(kTitle) + " * MIDI to keystrokes.kvxp")
      << "the merged presets read as saved";
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Answer(program, kSaveExample, "&Yes")) << "the exit asked nothing";
  EXPECT_TRUE(program.WaitForExit(15000));
  EXPECT_NE(FileBytes(file_).find("[Preset." + std::to_string(presets) + "]"), std::string::npos);
}

// A command that comes in while another one's dialog is open is one of its own: the tray's
// Exit during the open dialog that follows a No to saving asks about the project itself, and
// its answers leave the open's own alone, so the open then asks nothing again.
TEST_F(ProjectFilesExeTest, ACommandDuringAnotherOnesDialogKeepsItsOwnAnswers) {
  WriteQuietSettings(kProgramName);
  const std::wstring other = CopyExample("Timer sequence.kvxp", kFolder);
  const HWND main = StartOnExample();
  ASSERT_NE(main, nullptr);
  TRunningProgram& program = *program_;
  ASSERT_TRUE(program.SetRowState(kTranslators, 0, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return program.Title().find(" * ") != std::string::npos; }));
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('O', {VK_CONTROL}, [&] { return WindowSaying(program, kSaveExample); }));
  ASSERT_TRUE(Answer(program, kSaveExample, "&No"));
  HWND open = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (open = WindowTitled(program, "Open Project")) != nullptr; }));

  ASSERT_TRUE(ChooseFromTrayMenu(main, {'X'}, [&] { return WindowSaying(program, kSaveExample); }))
      << "the tray's Exit asked nothing";
  ASSERT_TRUE(Answer(program, kSaveExample, "Cancel"));
  ASSERT_TRUE(Sync(main));
  ASSERT_TRUE(program.Running());
  ASSERT_TRUE(IsWindowVisible(open));

  ASSERT_TRUE(ChooseInOpenDialog(open, other));
  ASSERT_TRUE(WaitUntil([&] { return program.Title() == std::string(kTitle) + " - Timer sequence.kvxp"; }))
      << program.Title();
  EXPECT_EQ(WindowSaying(program, kSaveExample), nullptr) << "asked twice";
}

// While a question about the editor's change is open, a command that would take that change
// in or ask about it again waits for the answer: the tray's Exit during the editor's own close
// question asks nothing on top of it, and the tray's "Project Default Ports" during the exit's
// question about it neither opens nor applies anything (each entry, chosen so at other times,
// does what it says).
TEST_F(ProjectFilesExeTest, ACommandDuringAQuestionAboutTheEditorsChangeWaitsForItsAnswer) {
  WriteQuietSettings(kProgramName);
  const HWND main = StartOnExample();
  ASSERT_NE(main, nullptr);
  TRunningProgram& program = *program_;
  // "MIDI" is the entry after "E&xit"; "Project Default Ports..." its second.
  const std::initializer_list<WORD> defaultPorts = {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN};
  HWND properties = nullptr;
  ASSERT_TRUE(ChooseFromTrayMenu(main, defaultPorts, [&] {
    return (properties = WindowTitled(program, "Project Properties")) != nullptr;
  }));
  PostMessageW(properties, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Project Properties") == nullptr; }));

  HWND editor = TypeNameInEditor(program, 0, "Typed");
  ASSERT_NE(editor, nullptr);
  const std::string typed = "Edit Translator Entry Typed";
  PostMessageW(editor, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowSaying(program, kApplyQuestion) != nullptr; }));
  ASSERT_TRUE(ChooseFromTrayMenu(main, {'X'}));
  ASSERT_TRUE(Sync(main));
  EXPECT_EQ(WindowsSaying(program, kApplyQuestion), 1) << "asked again on top";
  ASSERT_TRUE(Answer(program, kApplyQuestion, "Cancel"));
  ASSERT_TRUE(Sync(main));
  ASSERT_TRUE(program.Running());
  EXPECT_EQ(WindowText(editor), typed);

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowSaying(program, kApplyQuestion) != nullptr; }));
  ASSERT_TRUE(ChooseFromTrayMenu(main, defaultPorts));
  ASSERT_TRUE(Sync(main));
  EXPECT_EQ(WindowTitled(program, "Project Properties"), nullptr);
  ASSERT_TRUE(Answer(program, kApplyQuestion, "Cancel"));
  ASSERT_TRUE(Sync(main));
  EXPECT_EQ(program.Title(), ExampleTitle()) << "the change was applied under the question";
  EXPECT_EQ(program.Cell(kTranslators, 0, 0), "Play or pause");
  EXPECT_EQ(WindowText(editor), typed);

  // Without a question open the tray's Exit asks about the change.
  ASSERT_TRUE(ChooseFromTrayMenu(main, {'X'}, [&] { return WindowSaying(program, kApplyQuestion); }));
  ASSERT_TRUE(Answer(program, kApplyQuestion, "Cancel"));
}

// A name typed in the editor and not applied is asked about at exit, by each road, before the
// project is: Cancel keeps it and the program; No keeps it out of the project's save that
// follows, and in the editor when the exit then does not happen; Yes applies it, and the
// project's own question follows.
TEST_F(ProjectFilesExeTest, AnExitAsksAboutTheEditorsPendingChangeBeforeTheProject) {
  HWND editor = StartTypingInEditor("Typed");
  ASSERT_NE(editor, nullptr);
  TRunningProgram& program = *program_;
  const HWND main = program.MainWindow(0);
  const std::wstring& file = file_;
  EXPECT_EQ(program.Title(), ExampleTitle());
  const std::string typed = "Edit Translator Entry Typed";

  PostMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  ASSERT_TRUE(Answer(program, kApplyQuestion, "Cancel")) << "the session's end asked nothing";
  PostMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  ASSERT_TRUE(Sync(main));
  ASSERT_TRUE(program.Running());
  EXPECT_EQ(WindowText(editor), typed);

  // A close request from another program, with the project changed too; the program runs on.
  ASSERT_TRUE(program.SetRowState(kTranslators, 1, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return program.Title().find(" * ") != std::string::npos; }));
  PostMessageW(main, 0x69A, 0x69A, 0);
  ASSERT_TRUE(Answer(program, kApplyQuestion, "&No"));
  ASSERT_TRUE(Answer(program, kSaveExample, "&Yes"));
  ASSERT_TRUE(WaitUntil([&] { return program.Title() == ExampleTitle(); }));
  EXPECT_EQ(WindowText(editor), typed);
  EXPECT_NE(FileBytes(file).find("Options1=Actv00"), std::string::npos);
  EXPECT_EQ(FileBytes(file).find("Typed"), std::string::npos);

  // The close box: No to the editor, then Cancel at the save question. The exit does not
  // happen, and nothing changed: the name is still typed.
  ASSERT_TRUE(program.SetRowState(kTranslators, 2, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return program.Title().find(" * ") != std::string::npos; }));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Answer(program, kApplyQuestion, "&No"));
  ASSERT_TRUE(Answer(program, kSaveExample, "Cancel"));
  ASSERT_TRUE(Sync(main));
  ASSERT_TRUE(program.Running());
  EXPECT_EQ(WindowText(editor), typed) << "the exit that did not happen dropped the name";

  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND question = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (question = WindowSaying(program, kApplyQuestion)) != nullptr; }));
  SaveWindowShot(question, L"exit-editor-question.bmp", 40);
  ASSERT_TRUE(Answer(program, kApplyQuestion, "&Yes"));
  ASSERT_TRUE(Answer(program, kSaveExample, "&Yes"));
  EXPECT_TRUE(program.WaitForExit(15000));
  EXPECT_NE(FileBytes(file).find("Name0=Typed\r\n"), std::string::npos);
}

// A name typed in the editor and not applied goes into the project before a command changes,
// copies or replaces what the project holds: MIDI Ports (which may change the aliases the
// change names) takes it in, Duplicate copies it, Open asks to save it, New asks too and
// leaves the editor empty and the lists working. A No to saving whose Open then did not go on
// leaves the project changed.
TEST_F(ProjectFilesExeTest, FileAndPresetCommandsTakeTheEditorsPendingChangeFirst) {
  HWND editor = StartTypingInEditor("Typed");
  ASSERT_NE(editor, nullptr);
  TRunningProgram& program = *program_;
  const HWND main = program.MainWindow(0);
  const std::wstring& file = file_;
  // "&MIDI" > "MIDI Ports...", its first item.
  HWND settings = nullptr;
  for (int attempt = 0; attempt < 3 && !settings; ++attempt) {
    ASSERT_TRUE(program.Activate());
    Press('M', {VK_MENU});
    if (!WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) continue;
    Sync(main);
    Press(VK_RETURN);
    WaitUntil([&] { return (settings = WindowTitled(program, "Settings - ")) != nullptr; }, 5000);
    while (!settings && OpenMenuWindow()) Press(VK_ESCAPE);
  }
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(program.Cell(kTranslators, 0, 0), "Typed") << "MIDI Ports left the change out";
  PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }));
  ASSERT_TRUE(program.Activate());
  ClickAt(program.RowPoint(kPresets, 0));
  ASSERT_TRUE(PressUntil('D', {VK_CONTROL}, [&] { return program.RowCount(kPresets) == 2; }));
  ASSERT_TRUE(WaitUntil([&] { return program.Cell(kPresets, 1, 0) == "Copy of Media keys"; }));
  ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kPresets, 1); }));
  EXPECT_EQ(program.Column(kTranslators),
            (std::vector<std::string>{"Typed", "Next", "Previous"}));

  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('S', {VK_CONTROL}, [&] { return program.Title() == ExampleTitle(); }));
  ASSERT_NE(TypeNameInEditor(program, 0, "Again"), nullptr);
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('O', {VK_CONTROL}, [&] { return WindowSaying(program, kSaveExample); }))
      << "Open asked nothing";
  ASSERT_TRUE(Answer(program, kSaveExample, "&No"));
  HWND open = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (open = WindowTitled(program, "Open Project")) != nullptr; }));
  PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); }));
  EXPECT_NE(program.Title().find(" * "), std::string::npos) << "shown saved: " << program.Title();

  ASSERT_NE(TypeNameInEditor(program, 1, "Third"), nullptr);
  HWND bar = TopChild(main, L"toolbarwindow32");
  RECT button{};
  ASSERT_TRUE(bar && ToolButtonScreenRect(bar, 0, button));  // New
  ClickAt({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  ASSERT_TRUE(Answer(program, kSaveExample, "&No")) << "New asked nothing";
  ASSERT_TRUE(WaitUntil([&] { return program.Title() == kTitle; })) << program.Title();
  EXPECT_EQ(program.Column(kPresets), (std::vector<std::string>{"New Preset"}));
  EXPECT_EQ(WindowText(editor), "Edit Translator Entry");
  ASSERT_TRUE(ToolButtonScreenRect(bar, 4, button));  // Add
  ClickAt({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }));
  EXPECT_EQ(WindowSaying(program, "no longer in the current preset"), nullptr);

  const std::string saved = FileBytes(file);
  EXPECT_NE(saved.find("[Preset.1]\r\nName=Copy of Media keys"), std::string::npos);
  EXPECT_NE(saved.find("Name0=Typed\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("Again"), std::string::npos);
  EXPECT_EQ(saved.find("Third"), std::string::npos);
}

// A close check that comes while the exit question is open (the session's end) waits for its
// answer instead of asking again on top of it; the answer then ends the program.
TEST_F(ProjectFilesExeTest, ACloseCheckWhileTheExitQuestionIsOpenWaitsForItsAnswer) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"DontAskForClose", 0);
  const HWND main = StartOnExample();
  ASSERT_NE(main, nullptr);
  TRunningProgram& program = *program_;
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND question = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (question = WindowSaying(program, "Do you really want to quit")) != nullptr;
  }));
  DWORD_PTR ended = TRUE;
  EXPECT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                  10000, &ended))
      << "the session's end asked again";
  EXPECT_EQ(ended, static_cast<DWORD_PTR>(FALSE));
  int questions = 0;
  for (HWND w : program.VisibleWindows())
    questions += Contains(TRunningProgram::Texts(w), "Do you really want to quit") ? 1 : 0;
  EXPECT_EQ(questions, 1);
  ActivateWindow(question);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(question, "&Yes"); }, 20000));
  EXPECT_TRUE(program.WaitForExit(15000));
}

// Saving: what a save cut off by a crash left beside the project goes with the next save, and
// nothing else there; a save the system refuses names the project's file with the reason, and
// the project stays changed and its file as it was.
TEST_F(ProjectFilesExeTest, ASaveClearsLeftoversOfACrashedSaveAndARefusalNamesTheProject) {
  WriteQuietSettings(kProgramName);
  const std::wstring project = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  const std::string original = FileBytes(project);
  const std::wstring leftover = WriteFile(L"MIDI to keystrokes.kvxp.0BADF00D.tmp", "[Project]\r\nVer");
  const std::wstring unrelated = WriteFile(L"MIDI to keystrokes.kvxp.tmp", "kept");
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(project));
  const HWND main = ExampleShown(program);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(program.SetRowState(kTranslators, 0, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return program.Title().find(" * ") != std::string::npos; }));

  // Another program has the file open and lets nobody replace it meanwhile.
  HANDLE held = CreateFileW(project.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string refusal = "Cannot save \"" + win::Narrow(project) + "\": ";
  HWND errors = nullptr;
  ASSERT_TRUE(program.Activate());
  const bool refused = PressUntil('S', {VK_CONTROL}, [&] {
    return (errors = WindowShowing(program, refusal)) != nullptr;
  });
  CloseHandle(held);
  ASSERT_TRUE(refused) << ChildTexts(program.Dialog() ? program.Dialog() : main);
  RECT area{};
  GetWindowRect(errors, &area);
  EXPECT_TRUE(SaveScreenPicture(
      area, win::Widen(std::string(KV_SHOT_DIR)) + L"\\save-refused-errors.bmp"));
  CloseErrors(program, errors);
  EXPECT_NE(program.Title().find(" * "), std::string::npos) << program.Title();
  EXPECT_EQ(FileBytes(project), original);

  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('S', {VK_CONTROL}, [&] { return program.Title() == ExampleTitle(); }))
      << program.Title();
  EXPECT_EQ(GetFileAttributesW(leftover.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(FileBytes(unrelated), "kept");
  EXPECT_NE(FileBytes(project).find("Options0=Actv00"), std::string::npos);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(15000));
}

}  // namespace
}  // namespace kv::test
