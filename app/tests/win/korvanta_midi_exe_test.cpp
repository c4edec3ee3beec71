// Korvanta's test host driven from outside with MIDI through the loopback stand-in: the panic
// sent to its output, the log window that shows what the engine did with an incoming note,
// the tray icon that follows the activity, and the rescan that finds a swapped device.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "app/controller/panic.h"
#include "app/tests/win/korvanta_driver.h"
#include "app/tests/win/korvanta_exe_shared.h"

namespace kv::test {
namespace {

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

std::vector<std::string> FileLines(const std::wstring& file) {
  std::ifstream in(file.c_str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
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

// Picks the last item of a main menu's drop-down by keys.
bool ChooseLastMenuItem(TRunningProgram& program, WORD menuKey, const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press(menuKey, {VK_MENU});
    if (WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) {
      Sync(program.MainWindow(0));
      Press(VK_UP);
      Sync(program.MainWindow(0));
      Press(VK_RETURN);
      if (WaitUntil(done, 5000)) return true;
    }
    while (OpenMenuWindow()) Press(VK_ESCAPE);
  }
  return false;
}

// An input swapped for another leaves the port count as it was: "Rescan MIDI devices" finds
// it at once, and the port the command line asked for opens and answers a note.
TEST_F(KorvantaExeTest, RescanFromTheMenuFindsASwappedDeviceAtOnce) {
  WriteQuietSettings(kHostName);
  const std::wstring feed = TempFolder(kFolder) + L"\\swap-feed.txt";
  const std::wstring log = TempFolder(kFolder) + L"\\swap-midi.txt";
  const std::wstring swap = TempFolder(kFolder) + L"\\swap.txt";
  for (const std::wstring& file : {feed, log, swap}) DeleteFileW(file.c_str());
  TRunningProgram program(
      Exe(kHostName),
      L"/project " + Quoted(EchoProject()) + L" /midiin \"KV Loop In 2\" /midiout \"KV Loop Out\"",
      {{L"KV_TEST_MIDI_FEED", feed}, {L"KV_TEST_MIDI_LOG", log}, {L"KV_TEST_MIDI_SWAP", swap}});
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 1; }));
  // The port is not there yet: the program says so once.
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (box = WindowSaying(program, "Failed to open MIDI IN device \"KV Loop In 2\"")) != nullptr;
  }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(box, "OK"); }));
  auto gone = [](const std::wstring& file) {
    return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES;
  };
  ASSERT_TRUE(WriteWhole(swap, "swap\n"));
  ASSERT_TRUE(WaitUntil([&] { return gone(swap); }));
  // The host plays the note only into an open input.
  ASSERT_TRUE(WriteWhole(feed, "403C90\n"));
  ASSERT_TRUE(ChooseLastMenuItem(program, 'M', [&] { return gone(feed); }));
  EXPECT_TRUE(WaitUntil([&] {
    const auto lines = FileLines(log);
    return std::find(lines.begin(), lines.end(), "403D90") != lines.end();
  }));
}

}  // namespace
}  // namespace kv::test
