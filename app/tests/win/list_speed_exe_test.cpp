// What a user waits for with a long preset: the program started on a project whose first preset
// holds 4,096 translators, driven from outside. It prints how long the rows take to show, how
// long the window's thread was at most unable to answer in the first seconds after the window
// shows, how long the translator editor takes to open the first time, and how long the rows
// take to come back after switching presets and to arrive after a paste of all of them; the
// figures are reported, never asserted (they follow the machine's load), but every step must
// end with the right rows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr int kPresets = 0, kTranslators = 1;
constexpr int kBig = 4096;

std::wstring BigProject() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring file = std::wstring(folder) + L"kv-list-speed.kvxp";
  std::ofstream out(file.c_str(), std::ios::binary);
  out << "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Big\r\nActive=1\r\n";
  for (int i = 0; i < kBig; ++i) {
    char note[3];
    std::snprintf(note, sizeof note, "%02X", i % 128);
    out << "Name" << i << "=Note " << i << "\r\nIncoming" << i << "=MID190" << note
        << "pp\r\nOutgoing" << i << "=KAM10000KSQ10002020220\r\nOptions" << i
        << "=Actv01Stop00OutO00\r\n";
  }
  out << "\r\n[Preset.1]\r\nName=Small\r\nActive=1\r\nName0=One\r\nIncoming0=MID1903Cpp\r\n"
         "Outgoing0=KAM10000KSQ10002020220\r\nOptions0=Actv01Stop00OutO00\r\n";
  return file;
}

long long MillisSince(LARGE_INTEGER start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

struct TFigures {
  long long shownAt = 0, filled = 0, longestBlock = 0, editorOpened = 0, switched = 0, pasted = 0;
};

// The longest round trip of an empty message to the window, asked again and again from here
// for that long: what a user clicking then would wait at most for the window to react.
long long LongestRoundTrip(HWND window, long long forMs) {
  const LARGE_INTEGER start = Now();
  long long longest = 0;
  while (MillisSince(start) < forMs) {
    const LARGE_INTEGER sent = Now();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result)) return -1;
    longest = std::max(longest, MillisSince(sent));
    Sleep(5);
  }
  return longest;
}

// Ctrl+E on the first row: how long until the editor shows and its thread answers again.
void TimeFirstEditorOpening(TRunningProgram& program, TFigures& figures) {
  ASSERT_TRUE(program.Activate());
  ClickAt(program.RowPoint(kTranslators, 0));
  ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kTranslators, 0); }));
  ASSERT_TRUE(Sync(program.MainWindow()));
  const LARGE_INTEGER opening = Now();
  Press('E', {VK_CONTROL});
  HWND editor = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (editor = WindowTitled(program, "Edit Translator")); }));
  ASSERT_TRUE(Sync(editor));
  figures.editorOpened = MillisSince(opening);
  EXPECT_EQ(WindowText(editor), "Edit Translator Entry Note 0");
  // Closed again: a shown editor follows the selection, which the figures below leave out.
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "Close"); }));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }));
}

// One start of the program on the big project, every step checked for its rows.
void TimeOneStart(const std::wstring& file, TFigures& figures) {
  const LARGE_INTEGER started = Now();
  TRunningProgram program(BinFolder() + L"\\korvanta_testhost.exe", L"/project \"" + file + L"\"");
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  figures.shownAt = MillisSince(started);
  const LARGE_INTEGER windowShown = Now();
  // Asked from a thread of its own while this one waits for the rows, as a user's clicks would.
  std::thread poller([&] { figures.longestBlock = LongestRoundTrip(main, 3000); });
  const bool filled = WaitUntil([&] { return program.RowCount(kTranslators) == kBig; }, 60000);
  if (filled) figures.filled = MillisSince(windowShown);
  poller.join();
  ASSERT_TRUE(filled);
  ASSERT_GE(figures.longestBlock, 0) << "the window did not answer";
  EXPECT_EQ(program.Cell(kTranslators, kBig - 1, 0), "Note 4095");
  TimeFirstEditorOpening(program, figures);
  if (::testing::Test::HasFatalFailure()) return;

  ASSERT_TRUE(program.Activate());
  ClickAt(program.RowPoint(kPresets, 1));
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }, 60000));
  const LARGE_INTEGER switching = Now();
  ClickAt(program.RowPoint(kPresets, 0));
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == kBig; }, 60000));
  figures.switched = MillisSince(switching);

  // All of them copied, then pasted into the small preset.
  ClickAt(program.RowPoint(kTranslators, 0));
  ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kTranslators, 0); }));
  // Both again should a key go astray while the machine is busy; each may come twice.
  ASSERT_TRUE(PressUntil('A', {VK_CONTROL}, [&] {
    return WaitUntil([&] { return program.RowSelected(kTranslators, kBig - 1); }, 20000);
  }));
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  ASSERT_TRUE(PressUntil('C', {VK_CONTROL}, [&] { return CountClipboardFormats() > 0; }));
  ClickAt(program.RowPoint(kPresets, 1));
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }, 60000));
  ClickAt(program.RowPoint(kTranslators, 0));
  const LARGE_INTEGER pasting = Now();
  Press('V', {VK_CONTROL});
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == kBig + 1; }, 60000));
  figures.pasted = MillisSince(pasting);
  EXPECT_EQ(program.Cell(kTranslators, kBig, 0), "Note 4095");
}

void Report(const char* what, std::vector<long long> values) {
  std::sort(values.begin(), values.end());
  std::printf("[ timing ] %s: %lld ms (median of %zu starts; %lld-%lld)\n", what,
              values[values.size() / 2], values.size(), values.front(), values.back());
}

// Three starts: the first on a machine that has not run the program for a while pays for its
// cold files, which is no figure of the list.
TEST(ListSpeedExeTest, TimedReportOfALongPresetShownSwitchedAndPasted) {
  DeleteProgramSettings();
  WriteQuietSettings(L"korvanta_testhost");
  const std::wstring file = BigProject();
  std::vector<TFigures> runs(3);
  for (TFigures& figures : runs) {
    TimeOneStart(file, figures);
    if (HasFatalFailure()) return;
  }
  auto all = [&runs](long long TFigures::*field) {
    std::vector<long long> values;
    for (const TFigures& figures : runs) values.push_back(figures.*field);
    return values;
  };
  Report("main window shown after the start", all(&TFigures::shownAt));
  Report("4096 translators shown after the window", all(&TFigures::filled));
  Report("longest the window did not answer in the 3 s after it showed",
         all(&TFigures::longestBlock));
  Report("first opening of the translator editor (Ctrl+E)", all(&TFigures::editorOpened));
  Report("switching back to them", all(&TFigures::switched));
  Report("pasting 4096 translators", all(&TFigures::pasted));
  std::fflush(stdout);
  DeleteFileW(file.c_str());
}

}  // namespace
}  // namespace kv::test
