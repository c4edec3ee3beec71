// kvcheck run PROJECT SCRIPT: loads the project, starts the engine with logging on, plays
// the script and prints every engine log line, in order, as "log <line>".
//
// Script lines:
//   midi HEX...        one MIDI message from input port 0, bytes in hexadecimal
//   wait MS            lets MS milliseconds pass (timers fire, delayed actions run)
//   processing off|on  switches processing
//   key down|up VK     a keystroke event (VK decimal, or hexadecimal with "$" or "0x")
//   # comment          (and empty lines) ignored
// After the last line the tool waits up to 1 s for due work, then stops the engine cleanly.
// What actions send outside is printed instead of sent: "key <down|up> <vk>",
// "mouse <what> <values>", "post <class>/<title> <msg> <wparam> <lparam>" (every window
// looked up by class or exact title is there) and "exec <file> <parameters>".
#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/main_thread.h"
#include "base/text.h"
#include "engine/dispatcher.h"
#include "engine/execute_file_system.h"
#include "engine/key_events.h"
#include "engine/key_system.h"
#include "engine/mouse_system.h"
#include "engine/project.h"
#include "engine/target_window_system.h"
#include "engine/text_helpers.h"
#include "engine/timer_manager.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "tools/kvcheck/kvcheck.h"

namespace kv::kvcheck {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kSettleMs = 1000;
// Logged last: when it arrives, every line logged before it has been delivered.
constexpr const char* kEndMarker = "\x01kvcheck run: end of log";

// Serves main-thread calls (log lines, actions of the main thread) for ms milliseconds.
void ServeFor(uint32_t ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  TMainThreadCalls& calls = TMainThreadCalls::Instance();
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    calls.Serve(static_cast<uint32_t>(left > 10 ? 10 : (left < 1 ? 1 : left)));
  }
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
    size_t start = i;
    while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::vector<uint8_t> MidiBytes(const std::vector<std::string>& words, const std::string& where) {
  std::vector<uint8_t> bytes;
  for (size_t i = 1; i < words.size(); ++i) {
    int32_t value = words[i].size() <= 2 ? HexToInt(words[i]) : -1;
    if (words[i].empty() || value < 0)
      throw Exception(where + ": not a hexadecimal byte: " + words[i]);
    bytes.push_back(static_cast<uint8_t>(value));
  }
  if (bytes.empty()) throw Exception(where + ": midi needs at least one byte");
  return bytes;
}

void SendMidi(TTransEngine& engine, const std::vector<uint8_t>& bytes) {
  bool swallowed = false;
  bool handled = false;
  if (bytes.size() <= 3) {
    uint32_t packed = 0;
    for (size_t i = 0; i < bytes.size(); ++i) packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    engine.HandleShortMessage(0, packed, swallowed, handled);
  } else {
    engine.HandleLongMessage(0, bytes.data(), static_cast<int32_t>(bytes.size()), swallowed,
                             handled);
  }
}

// A first press or a release of the key, as the key-input watcher reports it.
void SendKey(TTransEngine& engine, const std::vector<std::string>& words,
             const std::string& where) {
  const auto vk = words.size() == 3 ? TryStrToInt(words[2]) : std::nullopt;
  if ((words.size() != 3 || (words[1] != "down" && words[1] != "up")) || !vk || *vk < 1 ||
      *vk > 254)
    throw Exception(where + ": key needs down or up and a virtual key 1 to 254");
  const uint32_t scan = GetKeySystem().MapVirtualKey(static_cast<uint32_t>(*vk), kMapVkToScan);
  uint32_t flags = 1 | ((scan & 0xFF) << 16);
  if (words[1] == "up") flags |= 0xC0000000u;
  TKeyData record;
  record.virtualKey = static_cast<uint8_t>(*vk);
  DecodeKeyMessage(record, flags);
  uint32_t keyData[4];
  KeyDataToWords(record, keyData);
  engine.KeyEventReceived(keyData);
}

// One script line; throws kv::Exception for a line it does not understand.
void PlayLine(TTransEngine& engine, const std::string& line, size_t number) {
  std::vector<std::string> words = Words(line);
  if (words.empty() || words[0][0] == '#') return;
  const std::string where = "script line " + std::to_string(number);
  const std::string& command = words[0];
  if (command == "midi") {
    SendMidi(engine, MidiBytes(words, where));
  } else if (command == "wait") {
    auto ms = words.size() == 2 ? TryStrToInt(words[1]) : std::nullopt;
    if (!ms || *ms < 0) throw Exception(where + ": wait needs a number of milliseconds");
    ServeFor(static_cast<uint32_t>(*ms));
  } else if (command == "processing") {
    if (words.size() != 2 || (words[1] != "on" && words[1] != "off"))
      throw Exception(where + ": processing needs on or off");
    engine.Params().SetEnabled(words[1] == "on");
  } else if (command == "key") {
    SendKey(engine, words, where);
  } else {
    throw Exception(where + ": unknown command: " + command);
  }
}

// Due work: queued or delayed actions, running timers.
bool WorkPending(TTransEngine& engine) {
  TRuntimeDispatcher* dispatcher = engine.Dispatcher();
  return (dispatcher && dispatcher->QueuedEntries() > 0) ||
         GetTimerManager().PurgeAndCountActive() > 0;
}

void Settle(TTransEngine& engine) {
  const auto end = Clock::now() + std::chrono::milliseconds(kSettleMs);
  while (WorkPending(engine) && Clock::now() < end) ServeFor(5);
}

// Serves main-thread calls until the end marker has come through (bounded: a full log ring
// drops lines, the marker among them).
void DrainLog(TTransEngine& engine, const bool& markerSeen) {
  engine.Params().Log(kEndMarker);
  const auto end = Clock::now() + std::chrono::seconds(5);
  while (!markerSeen && Clock::now() < end) TMainThreadCalls::Instance().Serve(10);
}

int RunScript(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() != 2) {
    std::cerr << "usage: kvcheck run PROJECT SCRIPT\n";
    return kExitUsage;
  }
  const std::vector<std::string> script = ReadLines(args[1]);  // before anything starts
  TMainThreadCalls::Instance().SetMainThread();
  SetRuntimeMessageHandler(
      [&out](void*, int, const std::string& text) { out << "runtime " << Escaped(text) << "\n"; });
  bool markerSeen = false;
  int status = kExitOk;
  // Actions run on the dispatcher and timer threads too: their lines are printed by the main
  // thread, in the order they were sent.
  auto print = [&out](const std::string& line) {
    TMainThreadCalls::Instance().Queue([&out, line] { out << Escaped(line) << "\n"; });
  };
  TKeyRecorder keys;
  TMouseRecorder mouse;
  TWindowRecorder windows;
  TExecuteRecorder shell;
  keys.OnLine = mouse.OnLine = windows.OnLine = shell.OnLine = print;
  windows.openOnFind = true;
  TScopedKeySystem keyScope(keys);
  TScopedMouseSystem mouseScope(mouse);
  TScopedWindowSystem windowScope(windows);
  TScopedExecuteSystem shellScope(shell);
  {
    TTransEngine engine;
    engine.Params().SetOnLog([&out, &markerSeen](const std::string& line) {
      if (line == kEndMarker)
        markerSeen = true;
      else
        out << "log " << Escaped(line) << "\n";
    });
    TCascadedErrorMessageHandler errors(
        [&out](int, const std::string& text) { out << "error=" << Escaped(text) << "\n"; });
    std::string failure;
    try {
      engine.Project().LoadFromFile(args[0], false, true, &errors);
      for (size_t i = 0; i < script.size(); ++i) PlayLine(engine, script[i], i + 1);
      Settle(engine);
    } catch (const std::exception& e) {
      failure = e.what();
      status = kExitFailed;
    }
    // The lines logged up to a failure come before its report.
    DrainLog(engine, markerSeen);
    engine.Params().SetOnLog(nullptr);
    if (status != kExitOk) out << "error=" << Escaped(failure) << "\n";
  }
  FreeTimerManager();
  SetRuntimeMessageHandler(nullptr);
  TMainThreadCalls::Instance().Serve();
  return status;
}

}  // namespace

KVCHECK_SUBCOMMAND(run, "PROJECT SCRIPT", RunScript);

}  // namespace kv::kvcheck
