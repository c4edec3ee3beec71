// Korvanta.exe driven from outside, as a user and other programs reach it: its command line,
// its windows with real keys and clicks, the clipboard between two running copies, the close
// request, the exit question and the end of the session, the examples a first start installs,
// and a start in every placement the settings hold. (Its MIDI and its dialogs have files of
// their own beside this one.)
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/tests/win/korvanta_driver.h"
#include "app/tests/win/korvanta_exe_shared.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

std::string RunValue(HKEY root) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                   L"Zarn's Korvanta Pro", RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS)
    return {};
  return win::Narrow(buffer);
}

TEST_F(KorvantaExeTest, CloseOptionRunsTheCommandLineWithoutWindowOrSettings) {
  const std::string oldRun = RunValue(HKEY_LOCAL_MACHINE) + RunValue(HKEY_CURRENT_USER);
  {
    TRunningProgram program(Exe(kProgramName), L"/close");
    ASSERT_TRUE(program.Started());
    bool windowSeen = false;
    const bool ended = WaitUntil(
        [&] {
          windowSeen = windowSeen || !program.VisibleWindows().empty();
          return !program.Running();
        },
        5000);
    EXPECT_TRUE(ended) << "still running after 5 s";
    EXPECT_FALSE(windowSeen);
  }
  EXPECT_FALSE(ProgramSettingsExist());

  // The autostart entry goes in with the program's own path and comes out again.
  {
    TRunningProgram program(Exe(kProgramName), L"/autostart /close");
    ASSERT_TRUE(program.WaitForExit(15000));
  }
  const std::string expected = "\"" + win::Narrow(Exe(kProgramName)) + "\" /start";
  const std::string written = RunValue(HKEY_LOCAL_MACHINE).empty()
                                  ? RunValue(HKEY_CURRENT_USER)
                                  : RunValue(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(written, expected);
  {
    TRunningProgram program(Exe(kProgramName), L"/uninstall /close");
    ASSERT_TRUE(program.WaitForExit(15000));
  }
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), "");
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "");
  EXPECT_FALSE(ProgramSettingsExist());
  (void)oldRun;
}

TEST_F(KorvantaExeTest, ProjectInTitleUncheckMarksItAndEveryCloseAsksToSave) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.Title() ==
                                      "Zarn's Korvanta Pro - MIDI to keystrokes.kvxp"; }))
      << program.Title();
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  EXPECT_EQ(program.Column(kPresets), std::vector<std::string>{"Media keys"});
  EXPECT_EQ(program.Column(kTranslators),
            (std::vector<std::string>{"Play or pause", "Next", "Previous"}));
  EXPECT_EQ(program.Cell(kTranslators, 0, 2), "MIDI 90 3C pp");
  EXPECT_EQ(program.Cell(kTranslators, 0, 4), "stop");
  EXPECT_EQ(program.Cell(kTranslators, 1, 3), "Keystroke: Right ");  // the arrow, not the keypad
  EXPECT_TRUE(program.Checked(kTranslators, 0));
  ASSERT_TRUE(SaveWindowShot(main, L"main-window-project.bmp"));

  // Unchecking a translator marks the project changed.
  ASSERT_TRUE(program.SetRowState(kTranslators, 0, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] { return !program.Checked(kTranslators, 0); }));
  ASSERT_TRUE(WaitUntil([&] {
    return program.Title() == "Zarn's Korvanta Pro * MIDI to keystrokes.kvxp";
  })) << program.Title();

  // A close request from outside asks to save; Cancel keeps the program and the changes.
  PostMessageW(main, 0x69A, 0x69A, 0);
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  const std::vector<std::string> texts = TRunningProgram::Texts(dialog);
  EXPECT_TRUE(Contains(texts, "You have made changes to Project \"MIDI to keystrokes.kvxp\""))
      << ::testing::PrintToString(texts);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_TRUE(program.Running());

  // So does the end of the session.
  PostMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), "Do you want to save it ?"));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(program.Title(), "Zarn's Korvanta Pro * MIDI to keystrokes.kvxp");

  // Answering No lets a close request go on without writing the file: the program goes quiet
  // and waits to be ended.
  const std::string before = [&] {
    std::ifstream in(file.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }();
  PostMessageW(main, 0x69A, 0x69A, 0);
  dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  // The "No" button enables itself once the dialog was active for a moment.
  ActivateWindow(dialog);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&No"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }, 20000));
  EXPECT_TRUE(program.Running());
  std::ifstream after(file.c_str(), std::ios::binary);
  std::stringstream s;
  s << after.rdbuf();
  EXPECT_EQ(s.str(), before);
}

TEST_F(KorvantaExeTest, PresetKeysRenameDuplicateMoveAndDelete) {
  WriteQuietSettings(kProgramName);
  {
    // The empty window, as a first start shows it.
    TRunningProgram program(Exe(kProgramName), L"");
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return program.List(kPresets) != nullptr; }));
    ASSERT_TRUE(Sync(main));
    ASSERT_TRUE(SaveWindowShot(main, L"main-window-empty.bmp"));
  }
  const std::wstring file = CopyExample("Timer sequence.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 4; }));
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == program.List(kPresets); }));

  // F2 renames in place.
  ASSERT_TRUE(PressUntil(VK_F2, {}, [&] { return program.Focused() != program.List(kPresets); }));
  TypeText("Intro");
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program.Cell(kPresets, 0, 0) == "Intro"; }))
      << program.Cell(kPresets, 0, 0);
  EXPECT_NE(program.Title().find(" * "), std::string::npos) << program.Title();

  // Ctrl+D duplicates, Ctrl+Up moves the copy up, with its translators.
  ASSERT_TRUE(PressUntil('D', {VK_CONTROL}, [&] {
    return program.Column(kPresets) == std::vector<std::string>{"Intro", "Copy of Intro"};
  }));
  EXPECT_TRUE(program.RowSelected(kPresets, 1));
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 4; }));
  ASSERT_TRUE(PressUntil(VK_UP, {VK_CONTROL}, [&] {
    return program.Column(kPresets) == std::vector<std::string>{"Copy of Intro", "Intro"};
  }));
  EXPECT_EQ(program.Column(kPresets, 1), (std::vector<std::string>{"0", "1"}));
  EXPECT_TRUE(program.RowSelected(kPresets, 0));

  // Del asks; Yes deletes.
  ASSERT_TRUE(PressUntil(VK_DELETE, {}, [&] { return program.Dialog() != nullptr; }));
  HWND dialog = program.Dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog),
                       "Are you sure to delete Preset \"Copy of Intro\" ?"));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&Yes"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Column(kPresets) == std::vector<std::string>{"Intro"}; }));

  // The tray menu, opened as the notification area's right click does.
  RECT area{};
  GetWindowRect(main, &area);
  SetCursorPos(area.left + 300, area.top + 200);
  // The notification area reports the right button's release (WM_RBUTTONUP) for icon 1.
  PostMessageW(main, 0x7E8, 1, WM_RBUTTONUP);
  ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
  HWND menu = FindWindowW(L"#32768", nullptr);
  RECT menuRect{};
  GetWindowRect(menu, &menuRect);
  UnionRect(&area, &area, &menuRect);
  RedrawWindow(menu, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(Sync(main));  // answered from inside the menu's own loop
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  InflateRect(&area, 0, 40);
  EXPECT_TRUE(SaveScreenPicture(area, ShotFile(L"main-window-tray-menu.bmp")));
  PostMessageW(main, WM_CANCELMODE, 0, 0);
}

TEST_F(KorvantaExeTest, TranslatorsCopiedInOneCopyArePastedInAnother) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram first(Exe(kProgramName), L"/project " + Quoted(file));
  ASSERT_TRUE(WaitUntil([&] { return first.RowCount(kTranslators) == 3; }));
  ASSERT_TRUE(first.Activate());
  ASSERT_TRUE(PressUntil(VK_TAB, {}, [&] { return first.Focused() == first.List(kTranslators); }));
  ASSERT_TRUE(PressUntil(VK_DOWN, {VK_SHIFT}, [&] {
    return first.RowSelected(kTranslators, 0) && first.RowSelected(kTranslators, 1);
  }));
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  const UINT format = RegisterClipboardFormatW(L"Zarn's KV/Translator");
  ASSERT_TRUE(PressUntil('C', {VK_CONTROL}, [&] { return IsClipboardFormatAvailable(format) != 0; }));

  // Another program sees both forms.
  ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != 0; }));
  std::string blocks, text;
  if (HANDLE h = GetClipboardData(format)) {
    blocks.assign(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
  }
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  EXPECT_NE(blocks.find("Name=Play or pause"), std::string::npos) << blocks;
  EXPECT_NE(blocks.find("Name=Next"), std::string::npos);
  EXPECT_EQ(blocks.find("Name=Previous"), std::string::npos);
  EXPECT_NE(text.find("Translator 0: Play or pause"), std::string::npos) << text;
  EXPECT_NE(text.find("Translator 1: Next"), std::string::npos) << text;

  TRunningProgram second(Exe(kProgramName), L"");
  ASSERT_NE(second.MainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return second.List(kTranslators) != nullptr; }));
  ASSERT_TRUE(second.Activate());
  ASSERT_TRUE(PressUntil('V', {VK_CONTROL}, [&] { return second.RowCount(kTranslators) == 2; }));
  EXPECT_EQ(second.Column(kTranslators), (std::vector<std::string>{"Play or pause", "Next"}));
  EXPECT_EQ(second.Column(kPresets), std::vector<std::string>{"(unnamed)"});
  EXPECT_EQ(second.Cell(kTranslators, 1, 2), "MIDI 90 3E pp");
}

TEST_F(KorvantaExeTest, TranslatorMenuAndKeysAddRenameDuplicateMoveAndDelete) {
  WriteQuietSettings(kProgramName);
  BindExampleAliases(kProgramName);
  const std::wstring file = CopyExample("MIDI router with filter.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }));
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil(VK_TAB, {}, [&] { return program.Focused() == program.List(kTranslators); }));

  // "&Translator" > "Add": a new translator after the focused row, named in place.
  ASSERT_TRUE(PressUntil('T', {VK_MENU}, [] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program.RowCount(kTranslators) == 2; }));
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() != program.List(kTranslators); }));
  TypeText("Pad");
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program.Cell(kTranslators, 1, 0) == "Pad"; }));
  EXPECT_EQ(program.Cell(kTranslators, 1, 1), "1");

  // Ctrl+D duplicates it, Ctrl+Up moves the copy up, Del asks and deletes it.
  ASSERT_TRUE(PressUntil('D', {VK_CONTROL}, [&] { return program.RowCount(kTranslators) == 3; }));
  EXPECT_EQ(program.Column(kTranslators),
            (std::vector<std::string>{"Keep program changes back", "Pad", "Pad"}));
  EXPECT_TRUE(program.RowSelected(kTranslators, 2));
  ASSERT_TRUE(PressUntil(VK_UP, {VK_CONTROL, VK_SHIFT}, [&] {
    return program.Cell(kTranslators, 0, 0) == "Pad" && program.RowSelected(kTranslators, 0);
  }));
  EXPECT_EQ(program.Column(kTranslators, 1), (std::vector<std::string>{"0", "1", "2"}));
  ASSERT_TRUE(PressUntil(VK_DELETE, {}, [&] { return program.Dialog() != nullptr; }));
  HWND dialog = program.Dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), "Are you sure to delete Translator \"Pad\" ?"));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&Yes"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 2; }));
  EXPECT_EQ(program.Column(kTranslators),
            (std::vector<std::string>{"Keep program changes back", "Pad"}));
}

// A value the program writes with its settings on a confirmed exit, and only then.
bool ProjectSettingWritten() {
  wchar_t buffer[512] = {};
  DWORD size = sizeof(buffer);
  return RegGetValueW(HKEY_CURRENT_USER,
                      (std::wstring(kProgramKey) + L"\\Korvanta\\Current").c_str(),
                      L"CurrentProject", RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS;
}

TEST_F(KorvantaExeTest, ExitAsksFirstNoKeepsRunningAndWritesNothingYesSavesSettings) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"DontAskForClose", 0);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));

  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog),
                       "Do you really want to quit Zarn's Korvanta Pro?"));
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), "Do not ask in future"));
  ActivateWindow(dialog);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&No"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_TRUE(program.Running());
  EXPECT_FALSE(ProjectSettingWritten());

  PostMessageW(main, WM_CLOSE, 0, 0);
  dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  ActivateWindow(dialog);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "&Yes"); }, 20000));
  EXPECT_TRUE(program.WaitForExit(15000));
  EXPECT_TRUE(ProjectSettingWritten());
}


// Every placement the settings can hold starts with its project, the one named on the command
// line or the one open at the last exit: however the window is shown, the start-up goes on.
TEST_F(KorvantaExeTest, EveryPlacementStartsWithItsProject) {
  enum class TShown { Normal, Maximised, Minimised, Hidden };
  struct TPlacement {
    const char* name;
    int state;  // "Main" "State": 0 normal, 1 minimised, 2 maximised
    bool startMinimized, minimizeToTray;
    TShown shown;
  };
  const TPlacement placements[] = {
      {"normal", 0, false, false, TShown::Normal},
      {"maximised", 2, false, false, TShown::Maximised},
      {"minimised", 1, false, false, TShown::Minimised},
      {"Start Minimized", 0, true, false, TShown::Minimised},
      {"in the tray", 0, true, true, TShown::Hidden}};
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  for (size_t i = 0; i < std::size(placements); ++i) {
    const TPlacement& p = placements[i];
    const bool named = i % 2 == 0;  // else the last project, from the settings
    SCOPED_TRACE(std::string(p.name) + (named ? ", /project" : ", last project"));
    DeleteProgramSettings();
    WriteQuietSettings(kProgramName);
    WriteSectionSetting(kProgramName, L"Main", L"State", static_cast<DWORD>(p.state));
    WriteSetting(kProgramName, L"StartMinimized", p.startMinimized ? 1 : 0);
    WriteSetting(kProgramName, L"MinimizeToTray", p.minimizeToTray ? 1 : 0);
    if (!named) WriteSetting(kProgramName, L"CurrentProject", file);
    TRunningProgram program(Exe(kProgramName), named ? L"/project " + Quoted(file) : L"");
    ASSERT_TRUE(program.Started());
    HWND main = nullptr;
    std::string title;
    EXPECT_TRUE(WaitUntil([&] {
      main = MainWindowShownOrNot(program.Pid());
      title = main ? WindowText(main) : "";
      return main && title == "Zarn's Korvanta Pro - MIDI to keystrokes.kvxp" &&
             MostListRows(main) == 3;
    }, 30000)) << "the start-up did not load the project; the title: " << title;
    if (!main) continue;
    EXPECT_EQ(IsWindowVisible(main) != 0, p.shown != TShown::Hidden);
    EXPECT_EQ(IsZoomed(main) != 0, p.shown == TShown::Maximised);
    EXPECT_EQ(IsIconic(main) != 0, p.shown == TShown::Minimised);
  }
}

TEST_F(KorvantaExeTest, ExamplesAreInstalledOnFirstStartAndLoadWithoutErrors) {
  // The installer's job: the examples in the common application data folder.
  wchar_t common[MAX_PATH] = {};
  GetEnvironmentVariableW(L"ProgramData", common, MAX_PATH);
  const std::wstring source = std::wstring(common) + L"\\Zarn\\Zarn's Korvanta\\Presets";
  SHCreateDirectoryExW(nullptr, source.c_str(), nullptr);
  const char* examples[] = {"MIDI to keystrokes.kvxp", "Timer sequence.kvxp",
                            "MIDI router with filter.kvxp"};
  for (const char* name : examples)
    CopyFileW(ExampleFile(name).c_str(), (source + L"\\" + win::Widen(name)).c_str(), FALSE);
  const std::wstring dataFolder = TempFolder(kFolder) + L"\\data";
  RemoveDirectoryW((dataFolder + L"\\Presets").c_str());
  WriteSetting(kProgramName, L"DontAskForClose", 1);
  WriteSetting(kProgramName, L"MigrationDone", 1);
  WriteSetting(kProgramName, L"PresetFolder", dataFolder);
  WriteSetting(kProgramName, L"ShowSplashScreen", 0);
  BindExampleAliases(kProgramName);
  {
    TRunningProgram program(Exe(kProgramName), L"");
    ASSERT_NE(program.MainWindow(), nullptr);
    HWND dialog = program.WaitForDialog(20000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), "Presets have been installed in"));
    ActivateWindow(dialog);
    EXPECT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program.Dialog() == nullptr; }));
    for (const char* name : examples) {
      const std::wstring installed = dataFolder + L"\\Presets\\" + win::Widen(name);
      EXPECT_NE(GetFileAttributesW(installed.c_str()), INVALID_FILE_ATTRIBUTES) << name;
    }
    // Closed as a user closes it: the settings keep that the examples are installed, so the
    // starts below do not install them again.
    PostMessageW(program.MainWindow(0), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(15000));
  }
  // Each loads without an error message and shows what it does.
  const int translators[] = {3, 4, 1};
  for (int i = 0; i < 3; ++i) {
    const std::wstring file = dataFolder + L"\\Presets\\" + win::Widen(examples[i]);
    TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
    ASSERT_NE(program.MainWindow(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == translators[i]; }))
        << examples[i];
    EXPECT_EQ(program.Dialog(), nullptr) << examples[i];
    for (int row = 0; row < translators[i]; ++row)
      EXPECT_EQ(program.Cell(kTranslators, row, 2).rfind("Unknown", 0), std::string::npos);
  }
}

}  // namespace
}  // namespace kv::test
