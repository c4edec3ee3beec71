// Korvanta.exe driven from outside with files that are no projects (started with one, or one
// chosen in the open dialog), with saves beside what a crashed save left and saves the
// system refuses, and with a close request from another program that the user confirms while
// the program then runs on.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <fstream>
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

class ProjectFilesExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }
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
  // The edit of the dialog's file name box.
  HWND name = nullptr;
  EnumChildWindows(
      open,
      [](HWND child, LPARAM lp) -> BOOL {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        if (GetDlgCtrlID(child) != 0x47C || lstrcmpiW(kind, L"Edit") != 0) return TRUE;
        *reinterpret_cast<HWND*>(lp) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&name));
  ASSERT_NE(name, nullptr);
  // It opens in the current project's folder, where the empty file is: its name typed over
  // the proposed one.
  ASSERT_TRUE(ActivateWindow(open));
  SendMessageW(name, EM_SETSEL, 0, -1);
  TypeText("empty.kvxp");
  ASSERT_TRUE(WaitUntil([&] { return AskedText(name) == "empty.kvxp"; })) << AskedText(name);
  Press(VK_RETURN);
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

// A close request from another program, confirmed: the program goes quiet and runs on until
// the asker ends it, so a change made meanwhile is asked about again when it is closed. A
// cancelled end of the session leaves no confirmation behind either.
TEST_F(ProjectFilesExeTest, AConfirmedCloseThatDoesNotHappenLetsNoLaterChangeGoUnasked) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"DontAskForClose", 0);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));

  // An end of the session confirmed here and then cancelled by another program is forgotten
  // the same way: the close request after it asks again.
  PostMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), "Do you really want to quit"));
  ActivateWindow(dialog);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&Yes"); }, 20000));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  PostMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);

  PostMessageW(main, 0x69A, 0x69A, 0);
  dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), "Do you really want to quit"));
  ActivateWindow(dialog);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&Yes"); }, 20000));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  ASSERT_TRUE(program.Running());

  // A change after the confirmed request.
  ASSERT_TRUE(program.SetRowState(kTranslators, 0, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return program.Title().find(" * ") != std::string::npos; }))
      << program.Title();

  PostMessageW(main, WM_CLOSE, 0, 0);
  dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "ended without asking";
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), "Do you really want to quit"));
  ActivateWindow(dialog);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&Yes"); }, 20000));
  ASSERT_TRUE(WaitUntil([&] {
    HWND next = program.Dialog();
    return next && next != dialog &&
           Contains(TRunningProgram::Texts(next),
                    "You have made changes to Project \"MIDI to keystrokes.kvxp\"");
  }));
  dialog = program.Dialog();
  ActivateWindow(dialog);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&No"); }, 20000));
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
