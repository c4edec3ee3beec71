// korvanta_testhost.exe (tests only): the whole program over the loopback MIDI stand-in, with
// the outputs "KV Loop Out" and the input "KV Loop In". Every message the output takes is
// written, one hexadecimal short message a line, to the file named by KV_TEST_MIDI_LOG, so a
// test outside the process can check what the program sent.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/win/main_window_hooks.h"
#include "app/win/program_main.h"
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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kv::TLoopbackMidi loop;
  loop.AddOutput("KV Loop Out");
  loop.AddInput("KV Loop In");
  kv::TWinmmMidiScope scope(loop);
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"KV_TEST_MIDI_LOG", buffer, MAX_PATH);
  const std::wstring logFile(buffer, n < MAX_PATH ? n : 0);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    size_t written = 0;
    while (!done.load()) {
      const std::vector<kv::TLoopbackSent> sent = loop.Sent("KV Loop Out");
      if (!logFile.empty() && sent.size() != written) {
        WriteSent(logFile, sent);
        written = sent.size();
      }
      Sleep(20);
    }
  });
  kv::TMainWindowHooks hooks;
  const int result = kv::RunKorvanta(hooks);
  done.store(true);
  writer.join();
  return result;
}
