// Korvanta.exe driven from outside, as a user and other programs reach it: its command line,
// its windows with real keys and clicks, the clipboard between two running copies, the close
// request and the end of the session, the panic sent to a loopback MIDI output, and the
// settings and property dialogs its menus open.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/controller/panic.h"
#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kProgramName = L"Korvanta";
constexpr const wchar_t* kHostName = L"korvanta_testhost";
constexpr int kPresets = 0, kTranslators = 1;
constexpr const wchar_t* kFolder = L"kv-main-window";

std::string RunValue(HKEY root) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                   L"Zarn's Korvanta Pro", RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS)
    return {};
  return win::Narrow(buffer);
}

class KorvantaExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }
};

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

TEST_F(KorvantaExeTest, PanicSilencesTheLoopbackOutputInOrder) {
  WriteQuietSettings(kHostName);
  const std::wstring log = TempFolder(kFolder) + L"\\panic-midi.txt";
  DeleteFileW(log.c_str());
  TRunningProgram program(Exe(kHostName), L"/midiout \"KV Loop Out\"",
                          {{L"KV_TEST_MIDI_LOG", log}});
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(program.Activate());
  std::vector<uint32_t> sent;
  auto readLog = [&] {
    sent.clear();
    std::ifstream in(log.c_str());
    std::string line;
    while (std::getline(in, line))
      if (!line.empty()) sent.push_back(static_cast<uint32_t>(std::stoul(line, nullptr, 16)));
    return sent.size() >= 2080;
  };
  // Pressed again only while nothing reached the output: a second press would resume, and a
  // third start another panic. (The status bar may show a hint instead of the progress.)
  ASSERT_TRUE(PressUntil(VK_ESCAPE, {VK_SHIFT}, [&] {
    readLog();
    return !sent.empty();
  }));
  ASSERT_TRUE(WaitUntil(readLog, 30000)) << sent.size();
  std::vector<uint32_t> expected;
  for (int channel = 0; channel < kPanicChannels; ++channel) {
    const std::vector<uint32_t> one = PanicChannelMessages(channel);
    expected.insert(expected.end(), one.begin(), one.end());
  }
  EXPECT_EQ(sent, expected);
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

// Opens the menu with Alt and its key and chooses an item with itemKey (Enter: the first one),
// again (at most three times) while done() does not follow.
bool ChooseFromMenu(TRunningProgram& program, WORD menuKey, WORD itemKey,
                    const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press(menuKey, {VK_MENU});
    Sync(program.MainWindow(0));
    Press(itemKey);
    if (WaitUntil(done, 5000)) return true;
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
  }
  return false;
}

std::vector<std::string> FileLines(const std::wstring& file) {
  std::ifstream in(file.c_str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Plays short messages (hexadecimal, a line each) into the test host's input; true once taken.
bool PlayIntoInput(const std::wstring& feed, const std::string& messages) {
  {
    std::ofstream out((feed + L".part").c_str());
    out << messages;
  }
  return MoveFileExW((feed + L".part").c_str(), feed.c_str(), MOVEFILE_REPLACE_EXISTING) &&
         WaitUntil([&] { return GetFileAttributesW(feed.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

// A project of one translator that answers note 60 with note 61 on the default output: its
// output stays inside the loopback stand-in, where no window sees it.
std::wstring EchoProject() {
  const std::wstring file = TempFolder(kFolder) + L"\\echo.kvxp";
  std::ofstream out(file.c_str(), std::ios::binary);
  out << "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Echo\r\nActive=1\r\n"
         "PresetSwitchIgnore=0\r\nName0=Echo\r\nIncoming0=MID1903Cpp\r\n"
         "Outgoing0=MID1903Dpp\r\nOptions0=Actv01Stop01OutO00\r\n";
  return file;
}
constexpr const wchar_t* kLoopPorts = L" /midiin \"KV Loop In\" /midiout \"KV Loop Out\"";

// Plays the messages again (at most five times) while done() does not follow: a message that
// arrives while the program is still starting up is not processed yet.
bool PlayUntil(const std::wstring& feed, const std::string& messages,
               const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 5; ++attempt)
    if (PlayIntoInput(feed, messages) && WaitUntil(done, 4000)) return true;
  return false;
}

TEST_F(KorvantaExeTest, LogWindowOpensFromTheMenuWhileTheInputTakesMidi) {
  WriteQuietSettings(kHostName);
  WriteSetting(kHostName, L"DoNotShowLoggerWarning", 1);
  const std::wstring feed = TempFolder(kFolder) + L"\\log-feed.txt";
  DeleteFileW(feed.c_str());
  TRunningProgram program(Exe(kHostName), L"/project " + Quoted(EchoProject()) + kLoopPorts,
                          {{L"KV_TEST_MIDI_FEED", feed}});
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }));
  HWND log = nullptr;
  ASSERT_TRUE(ChooseFromMenu(program, 'V', VK_RETURN, [&] {
    return (log = WindowTitled(program, "Log Window")) != nullptr;
  }));
  // A note the project's first translator takes, played into the program's input: the log
  // shows what the engine did with it.
  std::string shown;
  EXPECT_TRUE(PlayUntil(feed, "403C90\n", [&] {
    shown = ChildTexts(log);
    return shown.find("OUT 0.0: MIDI 90 3D 40") != std::string::npos;
  })) << shown;
  // The dump of the global variables follows the lines (the echo sets none).
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(log, "Dump Global Variables"); }));
  EXPECT_TRUE(WaitUntil([&] {
    shown = ChildTexts(log);
    return shown.find("List of all global non-zero variables:\r\n\r\n(none)") != std::string::npos;
  })) << shown;
  SaveWindowShot(log, L"korvanta-log-window.bmp");
}

TEST_F(KorvantaExeTest, TheTrayIconFollowsTheActivityAndGoesWhenTheProgramEnds) {
  WriteQuietSettings(kHostName);
  const std::wstring feed = TempFolder(kFolder) + L"\\tray-feed.txt";
  const std::wstring calls = TempFolder(kFolder) + L"\\tray-calls.txt";
  DeleteFileW(feed.c_str());
  DeleteFileW(calls.c_str());
  TRunningProgram program(Exe(kHostName), L"/project " + Quoted(EchoProject()) + kLoopPorts,
                          {{L"KV_TEST_MIDI_FEED", feed}, {L"KV_TEST_TRAY_LOG", calls}});
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }));
  // The event monitor is on: its lamps are labelled below the lists.
  const std::vector<std::string> texts = TRunningProgram::Texts(main);
  EXPECT_TRUE(Contains(texts, "MIDI In"));
  EXPECT_TRUE(Contains(texts, "Router Out"));
  // Shown idle once the program is up.
  ASSERT_TRUE(WaitUntil([&] {
    const auto lines = FileLines(calls);
    return !lines.empty() && lines[0] == "add TRAY_NONE";
  }));
  // A note the translator takes: input, output and translation light the icon, and
  // after the afterglow it is idle again.
  ASSERT_TRUE(PlayUntil(feed, "403C90\n", [&] {
    const auto lines = FileLines(calls);
    return std::find(lines.begin(), lines.end(), "modify TRAY_IN_OUT_TRANS") != lines.end() &&
           lines.back() == "modify TRAY_NONE";
  })) << FileLines(calls).size();
  SaveWindowShot(main, L"korvanta-main-lamps.bmp");
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit(20000));
  const auto lines = FileLines(calls);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "delete ");
  for (const std::string& line : lines) EXPECT_NE(line, "add other") << line;
}

TEST_F(KorvantaExeTest, AboutOpensAndASecondAboutReusesIt) {
  WriteQuietSettings(kProgramName);
  TRunningProgram program(Exe(kProgramName), L"");
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  // The About picture: a window beside the main one far larger than a hint.
  auto findAbout = [&] {
    for (HWND w : program.VisibleWindows()) {
      RECT r{};
      GetWindowRect(w, &r);
      if (w != main && r.right - r.left >= 300 && r.bottom - r.top >= 150) return w;
    }
    return HWND{};
  };
  HWND about = nullptr;
  ASSERT_TRUE(ChooseFromMenu(program, 'H', 'A', [&] { return (about = findAbout()) != nullptr; }));
  SaveWindowShot(about, L"korvanta-about.bmp");
  // Chosen again (it may have hidden by itself meanwhile): no second About window appears.
  ChooseFromMenu(program, 'H', 'A', [&] { return IsWindowVisible(about) != FALSE; });
  ASSERT_TRUE(Sync(main));
  wchar_t aboutClass[64] = {};
  GetClassNameW(about, aboutClass, 64);
  for (HWND w : program.VisibleWindows()) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    if (w != main && wcscmp(name, aboutClass) == 0) {
      EXPECT_EQ(w, about);
    }
  }
}

TEST_F(KorvantaExeTest, EditorOpensOnATranslatorAndAnAppliedNameShowsInTheList) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  ASSERT_TRUE(program.Activate());
  ClickAt(program.RowPoint(kTranslators, 1));
  ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kTranslators, 1); }));
  // Enter on the translator opens the editor on it.
  HWND editor = nullptr, name = nullptr;
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return (editor = program.Dialog()) != nullptr; }));
  SaveWindowShot(editor, L"korvanta-editor.bmp");
  // F5: the options page with the name.
  ActivateWindow(editor);
  ASSERT_TRUE(PressUntil(VK_F5, {}, [&] {
    return (name = ChildWithText(editor, L"edit", "Next")) != nullptr && IsWindowVisible(name);
  }));
  RECT r{};
  GetWindowRect(name, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == name; }));
  SendMessageW(name, EM_SETSEL, 0, -1);
  TypeText("Skip ahead");
  // Every typed key handled before Apply is pressed.
  ASSERT_TRUE(WaitUntil([&] { return ChildWithText(editor, L"edit", "Skip ahead") == name; }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "Apply"); }));
  EXPECT_TRUE(WaitUntil([&] { return program.Cell(kTranslators, 1, 0) == "Skip ahead"; }))
      << program.Cell(kTranslators, 1, 0);
  RECT both{};
  GetWindowRect(main, &both);
  SaveScreenPicture(both, ShotFile(L"korvanta-editor-over-main.bmp"));
}


// The dialog of the program whose title is that text, once it shows.
HWND WaitForDialogTitled(TRunningProgram& program, const std::string& title) {
  HWND found = nullptr;
  WaitUntil([&] {
    found = WindowTitled(program, title);
    return found && TRunningProgram::Texts(found)[0] == title;
  });
  return found;
}

// The visible child of that class (a lower-case part of its name) showing that text, or null.
HWND VisibleChild(HWND window, const wchar_t* className, const std::string& text) {
  return ChildWithText(window, className, text, true);
}

bool BoxChecked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Opens the menu bar's menu with Alt and its key and moves its highlight with the keys (from
// its first item); false when the menu did not open.
bool OpenMenuAt(TRunningProgram& program, WORD menuKey, std::initializer_list<WORD> moves) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press(menuKey, {VK_MENU});
    if (WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) {
      Sync(program.MainWindow(0));
      for (WORD key : moves) Press(key);
      Sync(program.MainWindow(0));
      return true;
    }
    Press(VK_ESCAPE);
  }
  return false;
}

// Chooses a menu item by its place (see OpenMenuAt) and Enter, and waits for the dialog of that
// title; again, at most three times, while it does not come.
HWND OpenFromMenu(TRunningProgram& program, WORD menuKey, std::initializer_list<WORD> moves,
                  const std::string& title) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!OpenMenuAt(program, menuKey, moves)) return nullptr;
    Press(VK_RETURN);
    if (WaitUntil([&] { return WindowTitled(program, title) != nullptr; }, 5000))
      return WaitForDialogTitled(program, title);
    while (OpenMenuWindow()) Press(VK_ESCAPE);
  }
  return nullptr;
}

// The places of the commands in their menus, from the first item.
// O&ptions shares its key with &Preset: reached from &Help to its right; its last item.
const std::initializer_list<WORD> kSettingsItem = {VK_LEFT, VK_UP};
const std::initializer_list<WORD> kMidiPortsItem = {};      // &MIDI: the first item
const std::initializer_list<WORD> kPresetPortsItem = {VK_DOWN, VK_DOWN, VK_DOWN};
const std::initializer_list<WORD> kOpenUsedItem = {VK_UP, VK_UP};  // above "Rescan"
// &File: above "Recent Files" and "Exit".
const std::initializer_list<WORD> kProjectPropertiesItem = {VK_UP, VK_UP, VK_UP};

TEST_F(KorvantaExeTest, SettingsOpenFromTheMenuOnTheirPagesCancelKeepsOkApplies) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  const std::string title = program.Title();
  const std::string fullDescription = program.Cell(kTranslators, 0, 2);
  ASSERT_EQ(fullDescription, "MIDI 90 3C pp");

  const std::string settingsTitle = "Settings - Zarn's Korvanta Pro";
  HWND dialog = OpenFromMenu(program, 'H', kSettingsItem, settingsTitle);
  ASSERT_NE(dialog, nullptr);
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeItems(tree),
            (std::vector<std::string>{"Start-Up", "Appearance", "MIDI", "  MIDI Ports",
                                      "  MIDI Router", "  Virtual Ports"}));
  EXPECT_EQ(program.TreeSelection(tree), "Start-Up");
  HWND splash = ChildWithText(dialog, L"button", "Show Splash Screen");
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(IsWindowVisible(splash));
  EXPECT_FALSE(BoxChecked(splash));  // the quiet settings switch it off
  ASSERT_TRUE(SaveWindowShot(dialog, L"korvanta-settings.bmp"));

  // A box ticked and cancelled: nothing changes, and the next opening shows it as before.
  PostMessageW(splash, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return BoxChecked(splash); }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_EQ(program.Title(), title);

  // "MIDI Ports..." opens the same dialog on its ports page.
  dialog = OpenFromMenu(program, 'M', kMidiPortsItem, settingsTitle);
  ASSERT_NE(dialog, nullptr);
  tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeSelection(tree), "MIDI Ports");
  EXPECT_TRUE(WaitUntil([&] {
    return Contains(TRunningProgram::Texts(dialog), "Setup MIDI Devices and Port Aliases");
  }));
  ASSERT_TRUE(SaveWindowShot(dialog, L"korvanta-settings-ports.bmp"));
  splash = ChildWithText(dialog, L"button", "Show Splash Screen");
  ASSERT_NE(splash, nullptr);
  EXPECT_FALSE(BoxChecked(splash));

  // The router page leads to the project's properties, on their router page, over the
  // settings; closing them returns to the settings.
  ASSERT_TRUE(program.TreeItems(tree).size() == 6u);
  HWND openProject = ChildWithText(dialog, L"button", "Open Project Properties");
  ASSERT_NE(openProject, nullptr);
  PostMessageW(openProject, BM_CLICK, 0, 0);
  HWND project = WaitForDialogTitled(program, "Project Properties");
  ASSERT_NE(project, nullptr);
  HWND projectTree = TopChild(project, L"treeview");
  ASSERT_NE(projectTree, nullptr);
  EXPECT_EQ(program.TreeSelection(projectTree), "MIDI Router");
  EXPECT_FALSE(IsWindowEnabled(dialog));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(project, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Project Properties") == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));

  // Export explains itself first; Cancel there ends it and leaves the settings open.
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Export..."); }));
  HWND help = WaitForDialogTitled(program, "Export Settings");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(help),
                       "With this function, you export your settings to a .kvxs file."));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(help, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Export Settings") == nullptr; }));
  EXPECT_NE(WindowTitled(program, settingsTitle), nullptr);

  // Friendly descriptions ticked and applied with OK: the translator list shows them.
  HWND friendly = ChildWithText(dialog, L"button", "Friendly Descriptions");
  ASSERT_NE(friendly, nullptr);
  PostMessageW(friendly, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return BoxChecked(friendly); }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return program.Cell(kTranslators, 0, 2) != fullDescription; }))
      << program.Cell(kTranslators, 0, 2);
  // Options are the program's settings, not the project's.
  EXPECT_EQ(program.Title(), title);
}

TEST_F(KorvantaExeTest, ProjectAndPresetPropertiesMarkTheProjectChanged) {
  WriteQuietSettings(kProgramName);
  {
    // Without presets there is no current preset: its command is shown disabled and does
    // nothing.
    TRunningProgram program(Exe(kProgramName), L"");
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return program.List(kPresets) != nullptr; }));
    ASSERT_TRUE(OpenMenuAt(program, 'M', kPresetPortsItem));
    HWND menu = OpenMenuWindow();
    ASSERT_NE(menu, nullptr);
    RECT area{}, menuRect{};
    GetWindowRect(main, &area);
    GetWindowRect(menu, &menuRect);
    UnionRect(&area, &area, &menuRect);
    RedrawWindow(menu, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(Sync(main));
    // The status bar shows the hint of the highlighted item: the keys reached the command.
    EXPECT_TRUE(WaitUntil([&] {
      return program.StatusText(0) == "The MIDI ports the current preset uses" ||
             program.StatusText(SB_SIMPLEID) == "The MIDI ports the current preset uses";
    })) << program.StatusText(0);
    EXPECT_TRUE(SaveScreenPicture(area, ShotFile(L"korvanta-midi-menu-no-preset.bmp")));
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([] { return OpenMenuWindow() == nullptr; }));
    ASSERT_TRUE(Sync(main));
    EXPECT_EQ(program.Dialog(), nullptr);

    // Nothing is used and nothing open: the program says so.
    ASSERT_TRUE(OpenMenuAt(program, 'M', kOpenUsedItem));
    Press(VK_RETURN);
    HWND info = program.WaitForDialog();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(
        Contains(TRunningProgram::Texts(info), "No MIDI ports needed to be opened or closed."))
        << ::testing::PrintToString(TRunningProgram::Texts(info));
    ActivateWindow(info);
    ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program.Dialog() == nullptr; }));
  }

  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  const std::string unchanged = "Zarn's Korvanta Pro - MIDI to keystrokes.kvxp";
  const std::string changed = "Zarn's Korvanta Pro * MIDI to keystrokes.kvxp";
  ASSERT_EQ(program.Title(), unchanged);

  // With a current preset the same menu place opens its default ports.
  const std::string presetTitle = "Properties for Preset \"Media keys\"";
  HWND dialog = OpenFromMenu(program, 'M', kPresetPortsItem, presetTitle);
  ASSERT_NE(dialog, nullptr);
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeSelection(tree), "Default MIDI Ports");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_EQ(program.Title(), unchanged);

  // The author typed in and OK: the title shows the project changed.
  dialog = OpenFromMenu(program, 'F', kProjectPropertiesItem, "Project Properties");
  ASSERT_NE(dialog, nullptr);
  tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeItems(tree),
            (std::vector<std::string>{"Author Info", "Default MIDI Ports", "MIDI Router"}));
  EXPECT_EQ(program.TreeSelection(tree), "Author Info");
  HWND author = TopChild(dialog, L"edit");
  ASSERT_NE(author, nullptr);
  EXPECT_EQ(ChildWithText(dialog, L"edit", "Zarn Software"), author);
  ActivateWindow(dialog);
  RECT r{};
  GetWindowRect(author, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == author; }));
  SendMessageW(author, EM_SETSEL, 0, -1);
  TypeText("Tester");
  ASSERT_TRUE(WaitUntil([&] { return ChildWithText(dialog, L"edit", "Tester") == author; }));
  ASSERT_TRUE(SaveWindowShot(dialog, L"korvanta-project-properties.bmp"));
  // Nothing is changed before the dialog applies.
  EXPECT_EQ(program.Title(), unchanged);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return program.Title() == changed; })) << program.Title();

  // Saved, then the preset's switching option changed through Alt+Enter on the preset list.
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('S', {VK_CONTROL}, [&] { return program.Title() == unchanged; }))
      << program.Title();
  ClickAt(program.RowPoint(kPresets, 0));
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == program.List(kPresets); }));
  HWND preset = nullptr;
  ASSERT_TRUE(PressUntil(VK_RETURN, {VK_MENU}, [&] {
    return (preset = WindowTitled(program, presetTitle)) != nullptr;
  }));
  HWND always = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    always = ChildWithText(preset, L"button",
                           "Ignore for Next/Previous Preset switching (\"always active\")");
    return always != nullptr;
  }));
  const bool wasChecked = BoxChecked(always);
  PostMessageW(always, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return BoxChecked(always) != wasChecked; }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(preset, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return program.Title() == changed; })) << program.Title();
}


TEST_F(KorvantaExeTest, ImportedSettingsShowInTheOpenSettingsAndStayAfterOk) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"DontShowImSettings", 1);
  const std::wstring imported = TempFolder(kFolder) + L"\\imported.kvxs";
  {
    std::ofstream out(imported.c_str(), std::ios::binary);
    out << "[Current]\r\nFriendlyDescriptions=1\r\nShowSplashScreen=0\r\n";
  }
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  const std::string fullDescription = program.Cell(kTranslators, 0, 2);

  const std::string settingsTitle = "Settings - Zarn's Korvanta Pro";
  HWND dialog = OpenFromMenu(program, 'H', kSettingsItem, settingsTitle);
  ASSERT_NE(dialog, nullptr);
  HWND friendly = ChildWithText(dialog, L"button", "Friendly Descriptions");
  ASSERT_NE(friendly, nullptr);
  EXPECT_FALSE(BoxChecked(friendly));

  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Import..."); }));
  HWND open = WaitForDialogTitled(program, "Import Settings");
  ASSERT_NE(open, nullptr);
  ActivateWindow(open);
  TypeText(win::Narrow(imported));
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] {
    return WindowTitled(program, "Import Settings") == nullptr;
  }));
  HWND info = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND w : program.VisibleWindows())
      if (w != main && w != dialog) info = w;
    return info != nullptr;
  }));
  EXPECT_TRUE(Contains(TRunningProgram::Texts(info), "Settings imported successfully."))
      << ::testing::PrintToString(TRunningProgram::Texts(info));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(info, "OK"); }));

  // The imported option shows in the dialog at once, and in the list behind it.
  EXPECT_TRUE(WaitUntil([&] { return BoxChecked(friendly); }));
  EXPECT_TRUE(WaitUntil([&] { return program.Cell(kTranslators, 0, 2) != fullDescription; }));
  // OK keeps it: the dialog does not put back what it showed before the import.
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  ASSERT_TRUE(Sync(main));
  EXPECT_NE(program.Cell(kTranslators, 0, 2), fullDescription);
}

TEST_F(KorvantaExeTest, EditorsPortEditOpensTheSettingsOnTheirPortsPage) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  ASSERT_TRUE(program.Activate());
  ClickAt(program.RowPoint(kTranslators, 0));
  ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kTranslators, 0); }));
  HWND editor = nullptr;
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return (editor = program.Dialog()) != nullptr; }));
  // The trigger's ports: "On specific port(s)" shows the list and its Edit button.
  HWND specific = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (specific = VisibleChild(editor, L"button", "On specific port(s)")) != nullptr;
  }));
  PostMessageW(specific, BM_CLICK, 0, 0);
  HWND edit = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    edit = VisibleChild(editor, L"button", "Edit");
    return edit && IsWindowEnabled(edit);
  }));
  PostMessageW(edit, BM_CLICK, 0, 0);
  HWND dialog = WaitForDialogTitled(program, "Settings - Zarn's Korvanta Pro");
  ASSERT_NE(dialog, nullptr);
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeSelection(tree), "MIDI Ports");
  // Modal over the editor.
  EXPECT_FALSE(IsWindowEnabled(editor));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Settings") == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(editor) != FALSE; }));
}

}  // namespace
}  // namespace kv::test
