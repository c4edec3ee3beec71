// kvcheck run PROJECT SCRIPT: loads the project, starts the engine with logging on, plays
// the script and prints every engine log line, in order, as "log <line>".
//
// MIDI runs through the real MIDI manager over the loopback driver stand-in: every port alias
// the project names becomes a stand-in device of its bound name (an unbound alias is bound to
// a device of its own name), and every input named by a midi-in line an input; all of them
// are opened before the script starts, and before the project-opened event runs, so actions
// fired at project open reach their outputs. What reaches a stand-in output prints as
// "midi-out <device> <hex bytes>"; the manager's port messages print as "midi-port <text>"
// and its errors as "midi-error <text>".
//
// Script lines:
//   midi HEX...        one MIDI message from input port 0, bytes in hexadecimal; 1 to 3
//                      bytes that begin a SysEx (F0 first), carry one on (no status byte
//                      first) or end one (F7 last) go as a SysEx piece, so "F0 7E" then
//                      "7F F7" is one SysEx in two pieces; other lines of 1 to 3 bytes are a
//                      short message, longer ones a SysEx buffer
//   midi-in PORT HEX...  the same through the stand-in input named PORT
//   unplug PORT        the devices named PORT go away; the manager rescans as on a device
//   plug PORT          change (at once, and forced once more 10 s later while the script runs)
//   replug PORT        the devices named PORT go away and come back before any scan; then the
//                      device-change scan runs (their ports are closed and reopened)
//   wait MS            lets MS milliseconds pass (timers fire, delayed actions run)
//   processing off|on  switches processing
//   key down|up VK [ext]  a keystroke event (VK decimal, or hexadecimal with "$" or "0x");
//                      "ext" marks an extended key (Page Up, the arrows, right Ctrl ...)
//   # comment          (and empty lines) ignored
// After the last line the tool waits up to 1 s for due work, then stops the engine cleanly.
// What actions send outside is printed instead of sent: "key <down|up> <vk>",
// "mouse <what> <values>", "post <class>/<title> <msg> <wparam> <lparam>" (every window
// looked up by class or exact title is there) and "exec <file> <parameters>".
#include <chrono>
#include <cstdint>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/main_thread.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/dispatcher.h"
#include "engine/keys/key_events.h"
#include "engine/project.h"
#include "engine/system/execute_file_system.h"
#include "engine/system/key_system.h"
#include "engine/system/mouse_system.h"
#include "engine/system/target_window_system.h"
#include "engine/timer_manager.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "midi/model/alias.h"
#include "midi/system/midi_device.h"
#include "midi/system/midi_input.h"
#include "midi/manager/midi_manager.h"
#include "midi/system/midi_output.h"
#include "midi/testing/loopback_midi.h"
#include "midi/testing/loopback_ports.h"
#include "tools/kvcheck/kvcheck.h"

namespace kv::kvcheck {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kSettleMs = 1000;
// Logged last: when it arrives, every line logged before it has been delivered.
constexpr const char* kEndMarker = "\x01kvcheck run: end of log";

std::string HexBytes(const uint8_t* bytes, size_t count) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i) text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

// The loopback stand-in as the system's MIDI interface, with every message an output took
// printed (on the main thread, in the order sent). Lock: mutex_ guards names_ only.
class TPrintingMidi final : public TWinmmMidi {
 public:
  TPrintingMidi(TLoopbackMidi& loop, std::function<void(const std::string&)> print)
      : loop_(loop), print_(std::move(print)) {}

  uint32_t OutGetNumDevs() override { return loop_.OutGetNumDevs(); }
  TMmResult OutGetDevName(uint32_t id, std::string& name) override {
    return loop_.OutGetDevName(id, name);
  }
  TMmResult OutQueryInterfaceSize(uint32_t id, uint32_t& bytes) override {
    return loop_.OutQueryInterfaceSize(id, bytes);
  }
  TMmResult OutQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override {
    return loop_.OutQueryInterface(id, bytes, path);
  }
  TMmResult OutOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                    uintptr_t instance) override {
    std::string name;
    loop_.OutGetDevName(id, name);
    const TMmResult result = loop_.OutOpen(handle, id, callback, instance);
    if (result == kMmNoError) {
      std::lock_guard<std::mutex> lock(mutex_);
      names_[handle] = name;
    }
    return result;
  }
  TMmResult OutClose(TMidiHandle handle) override { return loop_.OutClose(handle); }
  TMmResult OutReset(TMidiHandle handle) override { return loop_.OutReset(handle); }
  TMmResult OutShortMsg(TMidiHandle handle, uint32_t message) override {
    const TMmResult result = loop_.OutShortMsg(handle, message);
    if (result == kMmNoError) {
      const uint8_t bytes[3] = {static_cast<uint8_t>(message), static_cast<uint8_t>(message >> 8),
                                static_cast<uint8_t>(message >> 16)};
      const int length = GetMidiMessageLength(bytes[0]);
      Print(handle, bytes, static_cast<size_t>(length > 0 ? length : 1));
    }
    return result;
  }
  TMmResult OutPrepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return loop_.OutPrepareHeader(handle, header);
  }
  TMmResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return loop_.OutUnprepareHeader(handle, header);
  }
  TMmResult OutLongMsg(TMidiHandle handle, TMidiHeader& header) override {
    // Copied first: the header may be handed back (and freed) before the call returns.
    const std::vector<uint8_t> bytes(header.data, header.data + header.bufferLength);
    const TMmResult result = loop_.OutLongMsg(handle, header);
    if (result == kMmNoError) Print(handle, bytes.data(), bytes.size());
    return result;
  }
  bool OutGetErrorText(TMmResult code, std::string& text) override {
    return loop_.OutGetErrorText(code, text);
  }

  uint32_t InGetNumDevs() override { return loop_.InGetNumDevs(); }
  TMmResult InGetDevName(uint32_t id, std::string& name) override {
    return loop_.InGetDevName(id, name);
  }
  TMmResult InQueryInterfaceSize(uint32_t id, uint32_t& bytes) override {
    return loop_.InQueryInterfaceSize(id, bytes);
  }
  TMmResult InQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override {
    return loop_.InQueryInterface(id, bytes, path);
  }
  TMmResult InOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                   uintptr_t instance) override {
    return loop_.InOpen(handle, id, callback, instance);
  }
  TMmResult InClose(TMidiHandle handle) override { return loop_.InClose(handle); }
  TMmResult InReset(TMidiHandle handle) override { return loop_.InReset(handle); }
  TMmResult InStart(TMidiHandle handle) override { return loop_.InStart(handle); }
  TMmResult InStop(TMidiHandle handle) override { return loop_.InStop(handle); }
  TMmResult InPrepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return loop_.InPrepareHeader(handle, header);
  }
  TMmResult InUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override {
    return loop_.InUnprepareHeader(handle, header);
  }
  TMmResult InAddBuffer(TMidiHandle handle, TMidiHeader& header) override {
    return loop_.InAddBuffer(handle, header);
  }
  bool InGetErrorText(TMmResult code, std::string& text) override {
    return loop_.InGetErrorText(code, text);
  }

 private:
  void Print(TMidiHandle handle, const uint8_t* bytes, size_t count) {
    std::string name;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      name = names_[handle];
    }
    print_("midi-out " + name + " " + HexBytes(bytes, count));
  }

  TLoopbackMidi& loop_;
  std::function<void(const std::string&)> print_;
  std::mutex mutex_;                          // guards names_
  std::map<TMidiHandle, std::string> names_;  // open output handles
};

// The MIDI side of a run: the stand-in driver, the manager over it and its rescan timer.
// Main thread only, except what the manager and the stand-in do on their own threads.
struct TMidiRig {
  TMidiRig(std::function<void(const std::string&)> print) : printing(loop, print) {
    manager.SetRescanTimer(
        [this](uint32_t ms) { rescanDue = Clock::now() + std::chrono::milliseconds(ms); });
  }
  // Stand-in devices for the aliases the project names and the inputs the script names,
  // then the first scan, and every port opened.
  void Start(const std::set<std::string>& scriptInputs) {
    std::set<std::string> inputs(scriptInputs), outputs;
    TMidiAliasManager& aliases = MidiAliasManager();
    for (int i = 0; i < aliases.GetCount(); ++i) {
      TMidiAlias* alias = aliases.GetItem(i);
      if (!alias || (alias->GetKind() != makMidiIn && alias->GetKind() != makMidiOut)) continue;
      std::string device = alias->GetDeviceName();
      if (device.empty()) {
        device = alias->GetName();
        aliases.SetAliasDevice(alias->GetName(), device, alias->GetKind());
      }
      (alias->GetKind() == makMidiIn ? inputs : outputs).insert(device);
    }
    for (const std::string& name : inputs) loop.AddInput(name);
    for (const std::string& name : outputs) loop.AddOutput(name);
    manager.Init();
    manager.SetSuspended(false);
    for (int i = 0; i < manager.GetDeviceCount(true); ++i) manager.OpenInput(i, false);
    for (int i = 0; i < manager.GetDeviceCount(false); ++i) manager.OpenOutput(i, false);
    sink.emplace(manager);
  }
  // A device change as the system reports it.
  void DeviceChange() { manager.Rescan(false, true); }
  void Poll() {
    if (rescanDue && Clock::now() >= *rescanDue) {
      rescanDue.reset();
      manager.RescanTimer();
    }
  }

  TLoopbackMidi loop;
  TPrintingMidi printing;
  TWinmmMidiScope scope{printing};
  TLoopbackPortEnumerator ports;
  TMidiManager manager{ports};
  std::optional<TScopedMidiOutputSink> sink;
  std::optional<Clock::time_point> rescanDue;
};

TMidiRig* gRig = nullptr;  // the run's, while it lives (main thread)

// Serves main-thread calls (log lines, actions of the main thread) for ms milliseconds.
void ServeFor(uint32_t ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  TMainThreadCalls& calls = TMainThreadCalls::Instance();
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    if (gRig) gRig->Poll();
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

std::vector<uint8_t> MidiBytes(const std::vector<std::string>& words, const std::string& where,
                               size_t first = 1) {
  std::vector<uint8_t> bytes;
  for (size_t i = first; i < words.size(); ++i) {
    int32_t value = words[i].size() <= 2 ? HexToInt(words[i]) : -1;
    if (words[i].empty() || value < 0)
      throw Exception(where + ": not a hexadecimal byte: " + words[i]);
    bytes.push_back(static_cast<uint8_t>(value));
  }
  if (bytes.empty()) throw Exception(where + ": midi needs at least one byte");
  return bytes;
}

uint32_t Packed(const std::vector<uint8_t>& bytes) {
  uint32_t packed = 0;
  for (size_t i = 0; i < bytes.size(); ++i) packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return packed;
}

// A line's bytes travel as a SysEx buffer (not a short message) when there are more than 3,
// or when they begin a SysEx, carry one on (no status byte first) or end one.
bool IsSysExBuffer(const std::vector<uint8_t>& bytes) {
  return bytes.size() > 3 || bytes.front() == 0xF0 || bytes.front() < 0x80 ||
         bytes.back() == 0xF7;
}

// Through the stand-in input: its callback thread runs the manager and the engine. A port
// that is not open (unplugged) takes nothing, as a vanished device sends nothing.
void FeedMidi(TMidiRig& rig, const std::string& port, const std::vector<uint8_t>& bytes) {
  if (IsSysExBuffer(bytes))
    rig.loop.FeedLong(port, bytes);
  else
    rig.loop.FeedShort(port, Packed(bytes));
  rig.loop.WaitIdle();
}

void SendMidi(TTransEngine& engine, const std::vector<uint8_t>& bytes) {
  if (gRig) {
    // Input port 0 is the manager's first input slot, when there is one.
    if (TMMMidiIn* first = gRig->manager.GetInput(0))
      return FeedMidi(*gRig, first->GetName(), bytes);
  }
  bool swallowed = false;
  bool handled = false;
  if (!IsSysExBuffer(bytes)) {
    engine.HandleShortMessage(0, Packed(bytes), swallowed, handled);
  } else {
    engine.HandleLongMessage(0, bytes.data(), static_cast<int32_t>(bytes.size()), swallowed,
                             handled);
  }
}

// A first press or a release of the key, as the key-input watcher reports it.
void SendKey(TTransEngine& engine, const std::vector<std::string>& words,
             const std::string& where) {
  const bool extended = words.size() == 4 && words[3] == "ext";
  const auto vk = words.size() == 3 || extended ? TryStrToInt(words[2]) : std::nullopt;
  if (!vk || (words[1] != "down" && words[1] != "up") || *vk < 1 || *vk > 254)
    throw Exception(where + ": key needs down or up, a virtual key 1 to 254 and maybe ext");
  const uint32_t scan = GetKeySystem().MapVirtualKey(static_cast<uint32_t>(*vk), kMapVkToScan);
  uint32_t flags = 1 | ((scan & 0xFF) << 16);
  if (extended) flags |= 1u << 24;  // the keyboard message's extended-key bit
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
  } else if (command == "midi-in") {
    if (words.size() < 3) throw Exception(where + ": midi-in needs a port and at least one byte");
    FeedMidi(*gRig, words[1], MidiBytes(words, where, 2));
  } else if (command == "unplug" || command == "plug") {
    if (words.size() != 2) throw Exception(where + ": " + command + " needs a port name");
    if (command == "unplug")
      gRig->loop.Unplug(words[1]);
    else
      gRig->loop.Plug(words[1]);
    gRig->DeviceChange();
  } else if (command == "replug") {
    if (words.size() != 2) throw Exception(where + ": replug needs a port name");
    gRig->loop.Unplug(words[1]);
    // The system tells the open ports at once that their device went away.
    gRig->loop.WaitIdle();
    gRig->loop.Plug(words[1]);
    gRig->DeviceChange();
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
  if (gRig) gRig->loop.WaitIdle();
}

// The inputs midi-in lines name: they exist before the first scan.
std::set<std::string> ScriptInputs(const std::vector<std::string>& script) {
  std::set<std::string> names;
  for (const std::string& line : script) {
    const std::vector<std::string> words = Words(line);
    if (words.size() >= 2 && words[0] == "midi-in") names.insert(words[1]);
  }
  return names;
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
  TMidiRig rig(print);
  rig.manager.OnLog = [&print](int, bool, const std::string& text) { print("midi-port " + text); };
  rig.manager.OnError = [&print](int, const std::string& text) { print("midi-error " + text); };
  gRig = &rig;
  {
    TTransEngine engine(TEngineBindings{&GetTimerManager(), &rig.manager, nullptr});
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
      // The ports the project names open before its project-opened event runs.
      engine.Project().LoadFromFile(args[0], false, false, &errors);
      rig.Start(ScriptInputs(script));
      engine.Project().NotifyProjectOpened();
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
  // The engine is gone: nothing sends any more; the ports close with the rig.
  rig.sink.reset();
  rig.manager.OnLog = nullptr;
  rig.manager.OnError = nullptr;
  rig.manager.CloseAll();
  gRig = nullptr;
  FreeTimerManager();
  SetRuntimeMessageHandler(nullptr);
  TMainThreadCalls::Instance().Serve();
  return status;
}

}  // namespace

KVCHECK_SUBCOMMAND(run, "PROJECT SCRIPT", RunScript);

}  // namespace kv::kvcheck
