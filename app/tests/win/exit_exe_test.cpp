// Korvanta.exe started and ended as a user meets it: how long the last answer of an exit takes
// to end the program (printed, never asserted: the figures depend on the machine), an exit
// that answers No to saving a changed project, and a stored window placement far off screen.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kProgramName = L"Korvanta";
constexpr int kTranslators = 1;
constexpr const wchar_t* kFolder = L"kv-exit";

// When the main window was hidden and destroyed and the process ended, in milliseconds after
// the answer; -1 for what did not happen within the bound.
struct TExitFigures {
  long long hidden = -1;
  long long gone = -1;
  long long ended = -1;
};

TExitFigures WatchExit(TRunningProgram& program, HWND main, ULONGLONG answeredAt,
                       DWORD boundMs = 20000) {
  TExitFigures f;
  for (;;) {
    const long long now = static_cast<long long>(GetTickCount64() - answeredAt);
    if (f.hidden < 0 && (!IsWindow(main) || !IsWindowVisible(main))) f.hidden = now;
    if (f.gone < 0 && !IsWindow(main)) f.gone = now;
    if (f.ended < 0 && !program.Running()) {
      f.ended = now;
      if (f.hidden < 0) f.hidden = now;
      if (f.gone < 0) f.gone = now;
    }
    if (f.ended >= 0 || now > boundMs) return f;
    Sleep(2);
  }
}

// Three exits of each kind: one follows the machine's moment more than the program.
constexpr int kExitsEach = 3;

// The median exit by its end, with the range of the window's going.
void Report(const std::string& what, std::vector<TExitFigures> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const TExitFigures& a, const TExitFigures& b) { return a.ended < b.ended; });
  const TExitFigures& f = runs[runs.size() / 2];
  long long fastest = f.gone, slowest = f.gone;
  for (const TExitFigures& run : runs) {
    fastest = std::min(fastest, run.gone);
    slowest = std::max(slowest, run.gone);
  }
  std::printf(
      "[ figures  ] %s: main window hidden %lld ms, gone %lld ms (%lld-%lld), process "
      "ended %lld ms after the answer (median of %zu; goal: gone within 300 ms, ended "
      "within 1000 ms)\n",
      what.c_str(), f.hidden, f.gone, fastest, slowest, f.ended, runs.size());
  std::fflush(stdout);
}

// Clicks the button as soon as the dialog enables it; returns the moment of the click.
ULONGLONG Answer(HWND dialog, const char* caption) {
  ActivateWindow(dialog);
  EXPECT_TRUE(WaitUntil([&] { return ClickButton(dialog, caption); }, 20000)) << caption;
  return GetTickCount64();
}

class ExitExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }
};

// Under Wine: while it lives, Korvanta's top-level windows are managed as Wine usually
// manages them (the tests' prefix leaves them unmanaged), so that hiding one waits for a
// window manager the virtual display does not have.
class TScopedManagedWindows {
 public:
  TScopedManagedWindows() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Y"),
                   2 * sizeof(wchar_t));
    RegCloseKey(key);
  }
  ~TScopedManagedWindows() {
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Korvanta.exe");
  }
  TScopedManagedWindows(const TScopedManagedWindows&) = delete;
  TScopedManagedWindows& operator=(const TScopedManagedWindows&) = delete;

 private:
  static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\Korvanta.exe\\X11 Driver";
};

// Yes to the exit question with a project open and nothing changed (with the log window open
// or not).
void YesToQuitting(bool logOpen, TExitFigures& f) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"DontAskForClose", 0);
  if (logOpen) {
    WriteSetting(kProgramName, L"ShowLoggerForm", 1);
    WriteSetting(kProgramName, L"DoNotShowLoggerWarning", 1);
  }
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  if (logOpen) {
    ASSERT_TRUE(WaitUntil([&] { return program.VisibleWindows().size() == 2; }));
  }
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND w : program.VisibleWindows())
      if (Contains(TRunningProgram::Texts(w), "Do you really want to quit")) dialog = w;
    return dialog != nullptr;
  }));
  f = WatchExit(program, main, Answer(dialog, "&Yes"));
  EXPECT_GE(f.ended, 0) << "still running 20 s after the answer";
  DeleteProgramSettings();
}

// No to saving a changed project: the program ends and the file stays as it was.
void NoToSaving(TExitFigures& f) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  const std::string before = FileBytes(file);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  ASSERT_TRUE(program.SetRowState(kTranslators, 0, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)));
  ASSERT_TRUE(WaitUntil([&] {
    return program.Title() == "Zarn's Korvanta Pro * MIDI to keystrokes.kvxp";
  })) << program.Title();
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog),
                       "You have made changes to Project \"MIDI to keystrokes.kvxp\""));
  f = WatchExit(program, main, Answer(dialog, "&No"));
  EXPECT_GE(f.gone, 0) << "the window stays 20 s after the answer";
  EXPECT_GE(f.ended, 0) << "still running 20 s after the answer";
  EXPECT_EQ(FileBytes(file), before);
  DeleteProgramSettings();
}

void ReportNoToSaving(const std::string& how) {
  std::vector<TExitFigures> runs(kExitsEach);
  for (TExitFigures& f : runs) ASSERT_NO_FATAL_FAILURE(NoToSaving(f));
  Report("No to saving a changed project, " + how, runs);
}

void ReportYesToQuitting(const std::string& how) {
  for (const bool logOpen : {false, true}) {
    std::vector<TExitFigures> runs(kExitsEach);
    for (TExitFigures& f : runs) ASSERT_NO_FATAL_FAILURE(YesToQuitting(logOpen, f));
    Report((logOpen ? "Yes to quitting with the log window open, " : "Yes to quitting, ") + how,
           runs);
  }
}

// Three exits, each checked, are also the figures of No to saving with unmanaged windows: a
// fourth start only to check the same would add nothing.
TEST_F(ExitExeTest, NoToSavingAChangedProjectEndsTheProgramAndLeavesTheFile) {
  ReportNoToSaving("unmanaged windows");
}

TEST_F(ExitExeTest, TimedReportOfTheEndAfterTheLastAnswer) {
  ReportYesToQuitting("unmanaged windows");
  TScopedManagedWindows managed;
  const std::string how = "windows managed as Wine usually does, no window manager";
  ReportYesToQuitting(how);
  ReportNoToSaving(how);
}

TEST_F(ExitExeTest, AMainWindowStoredFarOffScreenShowsOnTheScreen) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  for (const DWORD stored : {DWORD{0x7FFFFFFF}, DWORD{0x80000000}}) {
    DeleteProgramSettings();
    WriteQuietSettings(kProgramName);
    WriteSectionSetting(kProgramName, L"Main", L"Left", stored);
    WriteSectionSetting(kProgramName, L"Main", L"Top", stored);
    WriteSectionSetting(kProgramName, L"Main", L"Width", 0);  // an impossible size: a usable window
    WriteSectionSetting(kProgramName, L"Main", L"Height", 0xFFFFFFF0);
    TRunningProgram program(Exe(kProgramName), L"");
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_GE(r.left, work.left) << stored;
    EXPECT_GE(r.top, work.top) << stored;
    EXPECT_LE(r.right, work.right) << stored;
    EXPECT_LE(r.bottom, work.bottom) << stored;
    EXPECT_GE(r.right - r.left, 300) << stored;
    EXPECT_GE(r.bottom - r.top, 200) << stored;
  }
}

}  // namespace
}  // namespace kv::test
