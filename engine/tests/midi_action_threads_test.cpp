// The MIDI action used from several threads at once, as input threads and the dispatcher use
// it, and on the whole road from the engine's MIDI input to the output sink.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/actions/midi_action.h"
#include "engine/project.h"
#include "engine/tests/midi_action_recorder.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "engine/translator.h"
#include "midi/model/alias.h"

namespace kv {
namespace {

using testing::TMidiSendRecorder;

constexpr int kThreads = 4;
constexpr int kRounds = 2000;

std::unique_ptr<TTransMidiAction> Load(std::string_view text, bool incoming) {
  auto action = std::make_unique<TTransMidiAction>(incoming);
  action->LoadFromText(text);
  return action;
}

// Each input thread delivers a SysEx in two pieces from its own port; every second piece
// completes a match that carries the thread's own byte.
TEST(MidiActionThreadsTest, InputThreadsCollectTheirOwnPieces) {
  auto action = Load("MID1F0oo7FF7", true);
  std::atomic<bool> go{false};
  std::vector<int> matches(kThreads, 0), wrong(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      const uint8_t head[] = {0xF0, static_cast<uint8_t>(t)};
      const uint8_t tail[] = {0x7F, 0xF7};
      for (int i = 0; i < kRounds; ++i) {
        TIncomingEvent first;
        first.kind = kActionMidi;
        first.value = t;
        first.data = head;
        first.length = 2;
        if (action->MatchIncoming(first)) ++wrong[t];
        TIncomingEvent second = first;
        second.data = tail;
        if (!action->MatchIncoming(second)) continue;
        if (second.locals[0] == t)
          ++matches[t];
        else
          ++wrong[t];
      }
    });
  }
  go = true;
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(matches[t], kRounds) << "thread " << t;
    EXPECT_EQ(wrong[t], 0) << "thread " << t;
  }
}

// Threads send one action at once, each with its own variables: no message may carry bytes
// of another thread's send.
TEST(MidiActionThreadsTest, ConcurrentSendsNeverMixTheirBytes) {
  TMidiSendRecorder recorder;
  TScopedMidiOutputSink scope(recorder);
  auto sysex = Load("MID1F0" + std::string(40, 'o') + "F7", false);
  auto note = Load("MID190oooo", false);
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      TLocalVariables locals{};
      locals[0] = 0x10 + t;
      TExecutionContext context;
      context.locals = &locals;
      for (int i = 0; i < kRounds / 4; ++i) {
        sysex->ExecuteOutgoing(context);
        note->ExecuteOutgoing(context);
      }
    });
  }
  go = true;
  for (std::thread& th : threads) th.join();

  const auto sends = recorder.Sends();
  ASSERT_EQ(sends.size(), static_cast<size_t>(kThreads * (kRounds / 4) * 2));
  for (const auto& send : sends) {
    ASSERT_GE(send.bytes.size(), 3u);
    const uint8_t mark = send.bytes[1];
    ASSERT_GE(mark, 0x10);
    ASSERT_LT(mark, 0x10 + kThreads);
    const size_t end = send.isLong ? send.bytes.size() - 1 : send.bytes.size();
    for (size_t i = 1; i < end; ++i) ASSERT_EQ(send.bytes[i], mark);
  }
}

// MIDI in through the engine: a matching translator sends its short message on the input
// thread itself and its SysEx from the dispatcher thread.
TEST(MidiActionThreadsTest, EngineRunsMidiTranslatorsIntoTheSink) {
  TMidiSendRecorder recorder;
  TScopedMidiOutputSink scope(recorder);
  TTransEngine engine{TEngineBindings{}};
  TLockableTransList& preset = engine.Project().NewPreset();
  preset.SetActive(true);
  TTransMsgPtr echo = TTransMsg::Create("echo");
  echo->SetIncoming(Load("MID1903Cpp", true));
  echo->SetOutgoing(Load("MID1803Cpp", false));
  preset.AddTranslator(echo);
  TTransMsgPtr dump = TTransMsg::Create("dump");
  dump->SetIncoming(Load("MID1B007pp", true));
  dump->SetOutgoing(Load("MID1F07Fpp7FF7", false));
  preset.AddTranslator(dump);

  bool swallowed = false, handled = false;
  engine.HandleShortMessage(0, 0x643C90, swallowed, handled);
  EXPECT_TRUE(handled);
  auto sends = recorder.Sends();
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(sends[0].packed, 0x643C80u);
  EXPECT_TRUE(sends[0].toAll);

  engine.HandleShortMessage(0, 0x2207B0, swallowed, handled);
  // Level 1: queued to the dispatcher thread; wait for it, bounded only against a hang.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (recorder.Sends().size() < 2 && std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  sends = recorder.Sends();
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_TRUE(sends[1].isLong);
  EXPECT_EQ(sends[1].bytes, (std::vector<uint8_t>{0xF0, 0x7F, 0x22, 0x7F, 0xF7}));
}

// Queued SysEx actions run on the dispatcher thread while the main thread keeps changing the
// preset's and the project's default ports: every send goes to one whole list that was set,
// never to a list half replaced or freed.
TEST(MidiActionThreadsTest, QueuedActionsSendToTheDefaultPortsTheirEventSaw) {
  TMidiSendRecorder recorder;
  TScopedMidiOutputSink scope(recorder);
  TTransEngine engine{TEngineBindings{}};
  TMidiAliasManager& aliases = MidiAliasManager();
  TMidiAliasList first, second;
  first.Add(aliases.Lookup("QueuedOutA1", makMidiOut, true));
  first.Add(aliases.Lookup("QueuedOutA2", makMidiOut, true));
  second.Add(aliases.Lookup("QueuedOutB", makMidiOut, true));
  engine.Project().SetDefaultOutPorts(&second);
  TLockableTransList& preset = engine.Project().NewPreset();
  preset.SetActive(true);
  TTransMsgPtr dump = TTransMsg::Create("dump");
  dump->SetIncoming(Load("MID1B007pp", true));
  dump->SetOutgoing(Load("MID1F07Fpp7FF7", false));  // SysEx: always queued from MIDI input
  preset.AddTranslator(dump);

  constexpr int kMessages = 3000;
  std::atomic<bool> fed{false};
  std::thread input([&] {
    for (int i = 0; i < kMessages; ++i) {
      // The pool holds 1000 entries: a full pool would drop actions, which is not tested here.
      while (engine.Dispatcher()->QueuedEntries() > 500) std::this_thread::yield();
      bool swallowed = false, handled = false;
      engine.HandleShortMessage(0, 0x0007B0u | static_cast<uint32_t>(i & 0x7F) << 16, swallowed,
                                handled);
    }
    fed = true;
  });
  for (int round = 0; !fed.load(); ++round) {
    preset.SetDefaultOutPorts(round % 3 == 0 ? &first : round % 3 == 1 ? &second : nullptr);
    engine.Project().SetDefaultOutPorts(round % 2 == 0 ? &first : &second);
  }
  input.join();
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (recorder.Sends().size() < static_cast<size_t>(kMessages) &&
         std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));

  const auto sends = recorder.Sends();
  ASSERT_EQ(sends.size(), static_cast<size_t>(kMessages));
  const std::vector<std::string> firstNames{"QueuedOutA1", "QueuedOutA2"}, secondNames{"QueuedOutB"};
  for (const auto& send : sends) {
    ASSERT_TRUE(send.isLong);
    ASSERT_TRUE(send.ports == firstNames || send.ports == secondNames)
        << send.ports.size() << " ports";
  }
}

}  // namespace
}  // namespace kv
