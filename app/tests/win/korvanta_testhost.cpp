// korvanta_testhost.exe (tests only): the whole program over the loopback MIDI stand-in, with
// the outputs "KV Loop Out" and the input "KV Loop In". Every message the output takes is
// written, one hexadecimal short message a line, to the file named by KV_TEST_MIDI_LOG, so a
// test outside the process can check what the program sent. A file named by KV_TEST_MIDI_FEED,
// one hexadecimal short message a line, is played into the input and removed once played.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/win/program_main.h"
#include "app/win/shell_hooks.h"
#include "midi/testing/loopback_midi.h"
#include "midi/winmm_midi.h"

namespace {

void WriteSent(const std::wstring& file, const std::vector<kv::TLoopbackSent>& sent) {
  const std::wstring temporary = file + L".part";
  FILE* f = _wfopen(temporary.c_str(), L"wb");
  if (!f) return;
  for (const kv::TLoopbackSent& s : sent) {
    uint32_t packed = 0;
    for (size_t i = 0; i < s.bytes.size() && i < 3; ++i) packed |= uint32_t{s.bytes[i]} << (8 * i);
    fprintf(f, "%06X\n", packed);
  }
  fclose(f);
  MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
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
  if (messages.empty() || !loop.FeedShort("KV Loop In", messages[0])) return;
  for (size_t i = 1; i < messages.size(); ++i) loop.FeedShort("KV Loop In", messages[i]);
  DeleteFileW(file.c_str());
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
  std::atomic<bool> done{false};
  std::thread writer([&] {
    size_t written = 0;
    while (!done.load()) {
      const std::vector<kv::TLoopbackSent> sent = loop.Sent("KV Loop Out");
      if (!logFile.empty() && sent.size() != written) {
        WriteSent(logFile, sent);
        written = sent.size();
      }
      if (!feedFile.empty()) PlayFeed(feedFile, loop);
      Sleep(20);
    }
  });
  kv::TShellHooks hooks;
  const int result = kv::RunKorvanta(hooks);
  done.store(true);
  writer.join();
  return result;
}
