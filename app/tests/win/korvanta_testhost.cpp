// korvanta_testhost.exe (tests only): the whole program over the loopback MIDI stand-in, with
// the outputs "KV Loop Out" and the input "KV Loop In". Every message the output takes is
// written, one hexadecimal short message a line, to the file named by KV_TEST_MIDI_LOG, so a
// test outside the process can check what the program sent. A file named by KV_TEST_MIDI_FEED,
// one hexadecimal short message a line, is played into the input and removed once played.
// With KV_TEST_TRAY_LOG the notification area is a recorder (Xvfb has none): every call the
// program makes is written to that file, a line each ("add", "modify" or "delete", then the
// name of the icon's picture), the last time when the program has ended.
// With KV_TEST_MIDI_SWAP the host also has the input "KV Loop Spare" and, unplugged, "KV Loop
// In 2"; once the file it names appears, the spare is swapped for "KV Loop In 2" (the port
// count stays), the forced follow-up scan is put off beyond any test, and the file is removed.
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window/win/program_main.h"
#include "app/shell/win/tray_icons_win.h"
#include "app/main_window/win/shell_hooks.h"
#include "base/main_thread.h"
#include "midi/manager/midi_manager.h"
#include "midi/testing/loopback_midi.h"
#include "midi/system/winmm_midi.h"
#include "ui/tray_icon.h"

namespace {

// False when the file could not be replaced (a test reading it holds it open): written again
// at the next turn.
bool WriteSent(const std::wstring& file, const std::vector<kv::TLoopbackSent>& sent) {
  const std::wstring temporary = file + L".part";
  FILE* f = _wfopen(temporary.c_str(), L"wb");
  if (!f) return false;
  for (const kv::TLoopbackSent& s : sent) {
    uint32_t packed = 0;
    for (size_t i = 0; i < s.bytes.size() && i < 3; ++i) packed |= uint32_t{s.bytes[i]} << (8 * i);
    fprintf(f, "%06X\n", packed);
  }
  fclose(f);
  return MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

// Plays the messages of the feed file into the input once the program has opened it; the file
// is removed then, so a test knows its messages were taken.
void PlayFeed(const std::wstring& file, kv::TLoopbackMidi& loop) {
  FILE* f = _wfopen(file.c_str(), L"rb");
  if (!f) return;
  char line[64];
  std::vector<uint32_t> messages;
  while (fgets(line, sizeof(line), f))
    if (line[0] != '\n' && line[0] != '\r') messages.push_back(strtoul(line, nullptr, 16));
  fclose(f);
  if (messages.empty()) return;
  // The first input the program has open takes them.
  const char* input = "KV Loop In";
  if (!loop.FeedShort(input, messages[0])) {
    input = "KV Loop In 2";
    if (!loop.FeedShort(input, messages[0])) return;
  }
  for (size_t i = 1; i < messages.size(); ++i) loop.FeedShort(input, messages[i]);
  DeleteFileW(file.c_str());
}

// On the main thread, so that the delay is in place before the test can ask for a rescan.
void SwapWhenAsked(const std::wstring& file, kv::TLoopbackMidi& loop, bool& swapped) {
  if (swapped || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  swapped = true;
  kv::TMainThreadCalls::Instance().Queue([&loop, file] {
    if (kv::MidiManagerExists()) kv::MidiManager().SetRescanDelay(24u * 3600u * 1000u);
    loop.Unplug("KV Loop Spare");
    loop.Plug("KV Loop In 2");
    DeleteFileW(file.c_str());
  });
}

bool WriteTrayCalls(const std::wstring& file,
                    const std::vector<kv::ui::TScopedNotifyIconHook::TCall>& calls) {
  static const std::array<kv::TIconHandle, 8> icons = kv::LoadTrayIcons();
  const std::wstring temporary = file + L".part";
  FILE* f = _wfopen(temporary.c_str(), L"wb");
  if (!f) return false;
  for (const auto& call : calls) {
    const char* what = call.message == NIM_ADD ? "add" : call.message == NIM_MODIFY ? "modify" : "delete";
    const auto icon = reinterpret_cast<kv::TIconHandle>(call.data.hIcon);
    const auto at = std::find(icons.begin(), icons.end(), icon);
    const char* name = call.message == NIM_DELETE ? ""
                       : at != icons.end()        ? kv::kTrayIconNames[at - icons.begin()]
                                                  : "other";
    fprintf(f, "%s %s\n", what, name);
  }
  fclose(f);
  return MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH);
  return std::wstring(buffer, n < MAX_PATH ? n : 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kv::TLoopbackMidi loop;
  loop.AddOutput("KV Loop Out");
  loop.AddInput("KV Loop In");
  kv::TWinmmMidiScope scope(loop);
  const std::wstring logFile = EnvironmentValue(L"KV_TEST_MIDI_LOG");
  const std::wstring feedFile = EnvironmentValue(L"KV_TEST_MIDI_FEED");
  const std::wstring trayFile = EnvironmentValue(L"KV_TEST_TRAY_LOG");
  const std::wstring swapFile = EnvironmentValue(L"KV_TEST_MIDI_SWAP");
  bool swapped = false;
  if (!swapFile.empty()) {
    loop.AddInput("KV Loop Spare");
    loop.AddInput("KV Loop In 2");
    loop.Unplug("KV Loop In 2");
  }
  std::unique_ptr<kv::ui::TScopedNotifyIconHook> tray;
  if (!trayFile.empty()) tray = std::make_unique<kv::ui::TScopedNotifyIconHook>();
  std::atomic<bool> done{false};
  std::thread writer([&] {
    size_t written = 0;
    size_t trayWritten = 0;
    while (!done.load()) {
      const std::vector<kv::TLoopbackSent> sent = loop.Sent("KV Loop Out");
      if (!logFile.empty() && sent.size() != written) {
        if (WriteSent(logFile, sent)) written = sent.size();
      }
      if (!feedFile.empty()) PlayFeed(feedFile, loop);
      if (!swapFile.empty()) SwapWhenAsked(swapFile, loop, swapped);
      if (tray) {
        const auto calls = tray->Calls();
        if (calls.size() != trayWritten && WriteTrayCalls(trayFile, calls))
          trayWritten = calls.size();
      }
      Sleep(20);
    }
  });
  kv::TShellHooks hooks;
  const int result = kv::RunKorvanta(hooks);
  done.store(true);
  writer.join();
  // The last calls (the icon's removal) must reach the file, though a test may be reading it.
  if (tray)
    for (int attempt = 0; attempt < 100 && !WriteTrayCalls(trayFile, tray->Calls()); ++attempt)
      Sleep(20);
  return result;
}
