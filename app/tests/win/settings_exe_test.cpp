// Where the program meets its settings, its file dialogs and the hosts of its models, driven
// from outside as a user meets them: a settings file named on the command line (and held by
// another program at exit), names typed into the real open and save dialogs, a project whose
// aliases this machine lacks, the log window's place between runs, a minimised start, and the
// virtual ports asked for without the bus driver (also by an installer's silent run).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kHostName = L"korvanta_testhost";
constexpr int kTranslators = 1;
constexpr const wchar_t* kFolder = L"kv-settings";

bool FileThere(const std::wstring& file) {
  return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring SectionPath(const std::wstring& base, const wchar_t* section) {
  return std::wstring(kProgramKey) + L"\\" + base + L"\\" + section;
}

DWORD ValueCount(const std::wstring& base, const wchar_t* section) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(base, section).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return 0;
  DWORD count = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return count;
}

// A DWORD value of the program's settings, or -1 when there is none.
long long RegInteger(const std::wstring& base, const wchar_t* section, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, SectionPath(base, section).c_str(), name, RRF_RT_REG_DWORD,
                   nullptr, &value, &size) != ERROR_SUCCESS)
    return -1;
  return static_cast<LONG>(value);
}

HWND WaitForWindowTitled(const TRunningProgram& program, const std::string& start) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = WindowTitled(program, start)) != nullptr; });
  return found;
}

// Ends the program with the main window's close, answering Yes when it asks first.
bool CloseProgram(TRunningProgram& program) {
  HWND main = program.MainWindow(0);
  if (!main) return false;
  PostMessageW(main, WM_CLOSE, 0, 0);
  return WaitUntil([&] {
    if (HWND question = WindowSaying(program, "Do you really want to quit")) {
      ClickButton(question, "&Yes");
    }
    return !program.Running();
  }, 30000);
}

// Types a file name into the file dialog of that title and confirms it; true once it closed.
bool ChooseInFileDialog(TRunningProgram& program, const std::string& title,
                        const std::wstring& file) {
  HWND dialog = WaitForWindowTitled(program, title);
  if (!dialog) return false;
  ActivateWindow(dialog);
  TypeWide(file);
  return PressUntil(VK_RETURN, {}, [&] { return WindowTitled(program, title) == nullptr; });
}

// The system's text of an error code, as a program shows it.
std::string SystemErrorText(DWORD code) {
  wchar_t text[512] = {};
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, text, 512, nullptr);
  std::wstring s(text, n);
  while (!s.empty() && (s.back() == L'\r' || s.back() == L'\n' || s.back() == L' ')) s.pop_back();
  return win::Narrow(s);
}

// A settings file as quiet as WriteQuietSettings makes the registry.
void WriteQuietSettingsFile(const std::wstring& file) {
  std::ofstream out(file.c_str(), std::ios::binary);
  out << "[Current]\r\nDontAskForClose=1\r\nMigrationDone=1\r\nDoNotShowLoggerWarning=1\r\n"
         "ShowSplashScreen=0\r\nBuildVersionOfInstalledPresets=2147483647\r\nPresetFolder="
      << win::Narrow(TempFolder(L"kv-quiet-data")) << "\r\n";
}

class SettingsExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }
};

TEST_F(SettingsExeTest, ANamedSettingsFileThatIsMissingIsCreatedAndTheRegistryKeptAsItWas) {
  WriteQuietSettings(kHostName);
  const DWORD before = ValueCount(kHostName, L"Current");
  const std::wstring named = TempFolder(kFolder) + L"\\named.kvxs";
  DeleteFileW(named.c_str());
  TRunningProgram program(Exe(kHostName), L"/settings " + Quoted(named));
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(CloseProgram(program));
  EXPECT_NE(FileBytes(named).find("[Current]"), std::string::npos);
  EXPECT_EQ(ValueCount(kHostName, L"Current"), before);
  EXPECT_EQ(ValueCount(kHostName, L"MIDI.alias"), 0u);
}

// Closed a moment after the start, with the error window up and the splash still counting:
// the program also ends cleanly.
TEST_F(SettingsExeTest, ASettingsFileNameOutsideTheCodePageIsReportedAndNothingSaved) {
  WriteQuietSettings(kHostName);
  const DWORD before = ValueCount(kHostName, L"Current");
  const std::wstring named = TempFolder(kFolder) + L"\\\u0442\u0435\u0441\u0442.kvxs";
  DeleteFileW(named.c_str());
  TRunningProgram program(Exe(kHostName), L"/settings " + Quoted(named));
  HWND errors = nullptr;
  std::string shown;
  EXPECT_TRUE(WaitUntil([&] {
    errors = WindowTitled(program, "Errors");
    shown = errors ? ChildTexts(errors) : "";
    return shown.find("has characters this program cannot store") != std::string::npos;
  })) << shown;
  EXPECT_NE(shown.find("\\????.kvxs"), std::string::npos) << shown;
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(CloseProgram(program));
  EXPECT_FALSE(FileThere(named));
  EXPECT_EQ(ValueCount(kHostName, L"Current"), before);
}

TEST_F(SettingsExeTest, OpenAndSaveDialogsReturnAShorterNameExactly) {
  WriteQuietSettings(kHostName);
  const std::wstring longer = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  const std::wstring shorter = CopyExample("Timer sequence.kvxp", kFolder);
  TRunningProgram program(Exe(kHostName), L"/project " + Quoted(longer));
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));

  program.Activate();
  ASSERT_TRUE(
      PressUntil('O', {VK_CONTROL}, [&] { return WindowTitled(program, "Open") != nullptr; }));
  ASSERT_TRUE(ChooseInFileDialog(program, "Open", shorter));
  EXPECT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 4; }));
  EXPECT_TRUE(WaitUntil([&] {
    return program.Title().find("Timer sequence") != std::string::npos;
  })) << program.Title();
  EXPECT_EQ(WindowSaying(program, "does not exist"), nullptr);

  // A name the code page cannot hold is refused where it is chosen, and the dialog comes back.
  const std::wstring foreign = TempFolder(kFolder) + L"\\\u0442\u0435\u0441\u0442.kvxp";
  CopyFileW(shorter.c_str(), foreign.c_str(), FALSE);
  program.Activate();
  ASSERT_TRUE(
      PressUntil('O', {VK_CONTROL}, [&] { return WindowTitled(program, "Open") != nullptr; }));
  HWND open = WindowTitled(program, "Open");
  ActivateWindow(open);
  TypeWide(foreign);
  HWND refusal = nullptr;
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] {
    return (refusal = WindowSaying(program, "has characters this program cannot store")) !=
           nullptr;
  }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(refusal, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refusal); }));
  open = WaitForWindowTitled(program, "Open");
  ASSERT_NE(open, nullptr);
  PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Open") == nullptr; }));
  EXPECT_NE(program.Title().find("Timer sequence"), std::string::npos) << program.Title();

  const std::wstring saved = TempFolder(kFolder) + L"\\B.kvxp";
  DeleteFileW(saved.c_str());
  program.Activate();
  ASSERT_TRUE(PressUntil(VK_F12, {}, [&] { return WindowTitled(program, "Save") != nullptr; }));
  ASSERT_TRUE(ChooseInFileDialog(program, "Save", saved));
  EXPECT_TRUE(WaitUntil([&] { return FileThere(saved); }));
  EXPECT_EQ(WindowSaying(program, "Cannot save"), nullptr);
}

TEST_F(SettingsExeTest, AProjectWithAnAliasThisMachineLacksAsksForItsPort) {
  WriteQuietSettings(kHostName);
  const std::wstring project = TempFolder(kFolder) + L"\\unbound.kvxp";
  {
    std::ofstream out(project.c_str(), std::ios::binary);
    out << "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
           "Name0=n\r\nIncoming0=MID1903Cpp\r\nOutgoing0=MID2MIDA00010005SynthB007pp\r\n"
           "Options0=Actv01Stop00OutO00\r\n";
  }
  TRunningProgram program(Exe(kHostName), L"/project " + Quoted(project));
  HWND dialog = WaitForWindowTitled(program, "Select MIDI Port");
  ASSERT_NE(dialog, nullptr);
  const std::vector<std::string> texts = TRunningProgram::Texts(dialog);
  EXPECT_TRUE(Contains(texts, "Synth")) << ::testing::PrintToString(texts);
  EXPECT_TRUE(Contains(texts, "MIDI OUTPUT device:")) << ::testing::PrintToString(texts);
  SaveWindowShot(dialog, L"settings-alias-definition.bmp");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  EXPECT_TRUE(WaitUntil([&] { return WindowTitled(program, "Select MIDI Port") == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }));
}

// The settings file held open by another program at exit: the user is told which file and
// why, and chooses. Cancel goes on working; Retry once the file is free saves and ends; quitting
// without saving ends and leaves the file as it was.
TEST_F(SettingsExeTest, ASettingsFileHeldAtExitIsReportedAndSavedOnRetry) {
  WriteQuietSettings(kHostName);
  const std::wstring named = TempFolder(kFolder) + L"\\held.kvxs";
  for (const bool retry : {true, false}) {
    SCOPED_TRACE(retry ? "retry" : "quit without saving");
    WriteQuietSettingsFile(named);
    const std::string before = FileBytes(named);
    TRunningProgram program(Exe(kHostName), L"/settings " + Quoted(named));
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    HANDLE held = CreateFileW(named.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    auto ask = [&] {
      PostMessageW(main, WM_CLOSE, 0, 0);
      HWND question = nullptr;
      WaitUntil([&] {
        return (question = WindowSaying(program, "The settings could not be saved")) != nullptr;
      });
      return question;
    };
    HWND question = ask();
    ASSERT_NE(question, nullptr) << "nothing said";
    const std::string said = ChildTexts(question);
    EXPECT_NE(said.find(win::Narrow(named)), std::string::npos) << said;
    EXPECT_NE(said.find(SystemErrorText(ERROR_SHARING_VIOLATION)), std::string::npos) << said;
    if (retry) {
      SaveWindowShot(question, L"settings-save-failed.bmp");
      ASSERT_TRUE(WaitUntil([&] { return ClickButton(question, "Cancel"); }));
      ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(question); }));
      EXPECT_TRUE(program.Running());
      question = ask();
      ASSERT_NE(question, nullptr) << "nothing said the second time";
      CloseHandle(held);
      ASSERT_TRUE(WaitUntil([&] { return ClickButton(question, "&Retry"); }));
      ASSERT_TRUE(program.WaitForExit(20000)) << "still running";
      EXPECT_NE(FileBytes(named).find("Column0="), std::string::npos);
    } else {
      ASSERT_TRUE(WaitUntil([&] { return ClickButton(question, "&Quit without saving"); }));
      ASSERT_TRUE(program.WaitForExit(20000)) << "still running";
      CloseHandle(held);
      EXPECT_EQ(FileBytes(named), before);
    }
  }
}

// The log window keeps its place in the registry, also while a settings file named on the
// command line holds the other settings.
TEST_F(SettingsExeTest, TheLogWindowReopensWhereItWas) {
  const std::wstring named = TempFolder(kFolder) + L"\\log-window.kvxs";
  for (const bool namedFile : {false, true}) {
    SCOPED_TRACE(namedFile ? "settings file" : "registry");
    DeleteProgramSettings();
    DeleteFileW(named.c_str());
    WriteQuietSettings(kHostName);
    WriteSetting(kHostName, L"DoNotShowLoggerWarning", 1);
    const std::wstring arguments = namedFile ? L"/settings " + Quoted(named) : L"";
    if (namedFile) WriteQuietSettingsFile(named);
    RECT placed{};
    {
      TRunningProgram program(Exe(kHostName), arguments);
      ASSERT_NE(program.MainWindow(), nullptr);
      HWND log = nullptr;
      for (int attempt = 0; attempt < 3 && !log; ++attempt) {
        program.Activate();
        Press('V', {VK_MENU});
        Sync(program.MainWindow(0));
        Press(VK_RETURN);
        WaitUntil([&] { return (log = WindowTitled(program, "Log Window")) != nullptr; }, 5000);
      }
      ASSERT_NE(log, nullptr);
      SetWindowPos(log, nullptr, namedFile ? 180 : 140, 120, 500, 300,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      ASSERT_TRUE(Sync(log));
      GetWindowRect(log, &placed);
      ASSERT_TRUE(CloseProgram(program));
    }
    if (namedFile)
      EXPECT_NE(FileBytes(named).find("ShowLoggerForm=1"), std::string::npos);
    else
      EXPECT_EQ(RegInteger(kHostName, L"Current", L"ShowLoggerForm"), 1);
    EXPECT_GE(RegInteger(kHostName, L"LogWindow", L"Width"), 0);

    TRunningProgram again(Exe(kHostName), arguments);
    ASSERT_NE(again.MainWindow(), nullptr);
    HWND log = WaitForWindowTitled(again, "Log Window");
    ASSERT_NE(log, nullptr);
    RECT shown{};
    EXPECT_TRUE(WaitUntil([&] {
      GetWindowRect(log, &shown);
      return EqualRect(&shown, &placed) != FALSE;
    })) << shown.left << "," << shown.top << " " << shown.right - shown.left << "x"
        << shown.bottom - shown.top;
    ASSERT_TRUE(CloseProgram(again));
  }
}

// The editor open at the end opens again at the next start; closed, it stays closed.
TEST_F(SettingsExeTest, TheEditorReopensWhenItWasOpenAtTheEnd) {
  DeleteProgramSettings();
  WriteQuietSettings(kHostName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  {
    TRunningProgram program(Exe(kHostName), L"/project " + Quoted(file));
    ASSERT_NE(program.MainWindow(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
    ASSERT_TRUE(program.Activate());
    ClickAt(program.RowPoint(kTranslators, 0));
    ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kTranslators, 0); }));
    ASSERT_TRUE(PressUntil('E', {VK_CONTROL}, [&] { return program.Dialog() != nullptr; }));
    ASSERT_TRUE(CloseProgram(program));
  }
  EXPECT_EQ(RegInteger(kHostName, L"Current", L"ShowEditWindow"), 1);
  {
    TRunningProgram again(Exe(kHostName), L"/project " + Quoted(file));
    ASSERT_NE(again.MainWindow(), nullptr);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (editor = again.Dialog()) != nullptr; }));
    PostMessageW(editor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }));
    ASSERT_TRUE(CloseProgram(again));
  }
  EXPECT_EQ(RegInteger(kHostName, L"Current", L"ShowEditWindow"), 0);
}

// The test host started afresh with "Start Minimized" on the example, minimising to the tray
// or not, from a placement that was maximised or not; its main window once the start-up has
// loaded the project, else null.
HWND StartMinimizedHost(std::optional<TRunningProgram>& program, bool toTray, bool maximised) {
  DeleteProgramSettings();
  WriteQuietSettings(kHostName);
  WriteSetting(kHostName, L"StartMinimized", 1);
  WriteSetting(kHostName, L"MinimizeToTray", toTray ? 1 : 0);
  if (maximised) {
    WriteSectionSetting(kHostName, L"Main", L"State", 2);
    WriteSectionSetting(kHostName, L"Main", L"Width", 500);
    WriteSectionSetting(kHostName, L"Main", L"Height", 400);
  }
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  program.emplace(Exe(kHostName), L"/project " + Quoted(file));
  HWND main = nullptr;
  const bool loaded = WaitUntil([&] {
    main = MainWindowShownOrNot(program->Pid());
    return main && MostListRows(main) == 3;
  }, 30000);
  return loaded ? main : nullptr;
}

// The window brought back as the user does it: the tray icon's double click, or the task bar
// button's click; true once it shows.
bool RestoreAsUser(HWND main, bool toTray) {
  if (toTray)
    PostMessageW(main, 0x7E8, 1, WM_LBUTTONDBLCLK);
  else
    PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  return WaitUntil([&] { return IsWindowVisible(main) && !IsIconic(main); });
}

// "Start Minimized" starts the window on the task bar, or in the tray when minimising hides it
// there; the start-up runs all the same (the project loads), and the window comes back as the
// task bar and the tray icon bring it back.
TEST_F(SettingsExeTest, StartMinimizedWaitsOnTheTaskBarOrInTheTray) {
  for (const bool toTray : {false, true}) {
    SCOPED_TRACE(toTray ? "in the tray" : "on the task bar");
    std::optional<TRunningProgram> program;
    HWND main = StartMinimizedHost(program, toTray, false);
    ASSERT_NE(main, nullptr) << "the start-up did not load the project";
    EXPECT_EQ(IsWindowVisible(main) != 0, !toTray);
    EXPECT_EQ(IsIconic(main) != 0, !toTray);

    ASSERT_TRUE(RestoreAsUser(main, toTray));
    ASSERT_EQ(program->MainWindow(), main);
    EXPECT_TRUE(WaitUntil([&] { return program->RowCount(kTranslators) == 3; }));
    SaveWindowShot(main, toTray ? L"settings-start-minimized-tray.bmp"
                                : L"settings-start-minimized-taskbar.bmp");
    ASSERT_TRUE(CloseProgram(*program));
  }
}

// A window that was maximised and starts minimised comes back maximised, from the task bar
// as from the tray, and counts as shown: the tray menu offers "&Minimize", which minimises it.
TEST_F(SettingsExeTest, AMaximisedWindowStartedMinimizedComesBackMaximised) {
  for (const bool toTray : {false, true}) {
    SCOPED_TRACE(toTray ? "in the tray" : "on the task bar");
    std::optional<TRunningProgram> program;
    HWND main = StartMinimizedHost(program, toTray, true);
    ASSERT_NE(main, nullptr) << "the start-up did not load the project";
    ASSERT_TRUE(RestoreAsUser(main, toTray));
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main) != 0; }));
    // The notification area reports the right button's release for icon 1; M is the
    // mnemonic of "&Minimize" alone.
    PostMessageW(main, 0x7E8, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil([] { return OpenMenuWindow() != nullptr; }));
    ASSERT_TRUE(Sync(main));
    EXPECT_TRUE(PressUntil('M', {}, [&] { return IsIconic(main) || !IsWindowVisible(main); }))
        << "the tray menu offers no \"&Minimize\"";
    if (OpenMenuWindow()) PostMessageW(main, WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(RestoreAsUser(main, toTray));
    ASSERT_TRUE(CloseProgram(*program));
  }
}

TEST_F(SettingsExeTest, VirtualPortsWithoutTheBusDriverAreReported) {
  WriteQuietSettings(kHostName);
  TRunningProgram program(Exe(kHostName), L"/vmpl 2");
  HWND error = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (error = WindowSaying(program, "Virtual MIDI bus driver not installed")) != nullptr;
  })) << "no report";
  SaveWindowShot(error, L"settings-vmpl-no-bus.bmp");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(error, "OK"); }));
  EXPECT_NE(program.MainWindow(), nullptr);

  // As an installer runs it: nothing waits for a user, the program ends by itself unseen.
  TRunningProgram installer(Exe(kHostName), L"/close /silent /vmpl 2");
  bool windowSeen = false;
  EXPECT_TRUE(WaitUntil([&] {
    windowSeen = windowSeen || !installer.VisibleWindows().empty();
    return !installer.Running();
  }, 30000)) << "still running";
  EXPECT_FALSE(windowSeen);
}

}  // namespace
}  // namespace kv::test
