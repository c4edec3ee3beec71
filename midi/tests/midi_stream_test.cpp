// A long stream through input, engine, router and output while another input is unplugged
// and plugged back: nothing crashes, the port reopens, and nothing is lost while plugged.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "base/ini_file.h"
#include "engine/action_registry.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "midi/model/alias.h"
#include "midi/manager/midi_action_sink.h"
#include "midi/system/midi_input.h"
#include "midi/manager/midi_manager.h"
#include "midi/system/midi_output.h"
#include "midi/model/router.h"
#include "midi/testing/loopback_midi.h"
#include "midi/testing/loopback_ports.h"

namespace kv {
namespace {

// A translator that matches every note-on of note 60 and lets the message pass on; the
// project's routes.
const char* kProject =
    "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
    "Name0=n\r\nIncoming0=MID1903Cpp\r\nOutgoing0=None\r\nOptions0=Actv01Stop00OutO01\r\n\r\n"
    "[MIDI.routes]\r\nIn0=InK\r\nOut0=OutT\r\nIn1=InP\r\nOut1=OutP\r\n";

std::vector<uint8_t> SysEx(size_t length, uint8_t seed) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>((seed + i) & 0x7F);
  bytes.front() = 0xF0;
  bytes.back() = 0xF7;
  return bytes;
}

struct TReceived {
  std::vector<std::vector<uint8_t>> shorts;
  std::vector<uint8_t> longBytes;  // the SysEx pieces joined
};

TReceived Split(const std::vector<TLoopbackSent>& sent) {
  TReceived r;
  for (const TLoopbackSent& s : sent) {
    if (s.isLong)
      r.longBytes.insert(r.longBytes.end(), s.bytes.begin(), s.bytes.end());
    else
      r.shorts.push_back(s.bytes);
  }
  return r;
}

class MidiStreamTest : public ::testing::Test {
 protected:
  MidiStreamTest() : scope_(loop_) {
    RegisterStandardTransActions();
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
    // Pads comes first: unplugging it shifts the device ids of Keys under its open handle.
    loop_.AddInput("Pads");
    loop_.AddInput("Keys");
    loop_.AddOutput("Thru");
    loop_.AddOutput("PadsThru");
    TMidiAliasManager& aliases = MidiAliasManager();
    aliases.AddAlias("InK", "Keys", makMidiIn, false);
    aliases.AddAlias("InP", "Pads", makMidiIn, false);
    aliases.AddAlias("OutT", "Thru", makMidiOut, false);
    aliases.AddAlias("OutP", "PadsThru", makMidiOut, false);
  }
  ~MidiStreamTest() override {
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
  }

  static void StartWithEveryPortOpen(TMidiManager& manager) {
    manager.Init();
    manager.SetSuspended(false);
    for (int i = 0; i < manager.GetDeviceCount(true); ++i) manager.OpenInput(i, true);
    for (int i = 0; i < manager.GetDeviceCount(false); ++i) manager.OpenOutput(i, true);
  }

  TLoopbackMidi loop_;
  TWinmmMidiScope scope_;
  TLoopbackPortEnumerator ports_;
};

TEST_F(MidiStreamTest, TenThousandMessagesSurviveAnInputComingAndGoing) {
  TMidiManager manager(ports_);
  StartWithEveryPortOpen(manager);
  const int pads = manager.IndexOfDevice("Pads", true);
  ASSERT_GE(pads, 0);
  {
    TTransEngine engine(TEngineBindings{nullptr, &manager, nullptr});
    TMemIniFile ini;
    ini.SetText(kProject);
    engine.Project().ReadProject(ini, "stream.kvxp", true, false, nullptr);

    constexpr int kMessages = 10000;
    std::vector<std::vector<uint8_t>> fedShorts;
    std::vector<uint8_t> fedLong;
    std::atomic<int> refused{0};
    std::thread feeder([&] {
      std::mt19937 random(6);
      for (int i = 0; i < kMessages; ++i) {
        if (i % 100 == 99) {
          const size_t length = 4 + random() % (64 * 1024 - 4 + 1);
          std::vector<uint8_t> bytes = SysEx(length, static_cast<uint8_t>(i));
          if (!loop_.FeedLong("Keys", bytes)) ++refused;
          fedLong.insert(fedLong.end(), bytes.begin(), bytes.end());
        } else {
          const uint8_t note = i % 2 ? 0x3C : static_cast<uint8_t>(i % 128);
          const std::vector<uint8_t> bytes{0x90, note, static_cast<uint8_t>(i % 127 + 1)};
          if (!loop_.FeedShort("Keys", 0x90u | note << 8 | uint32_t{bytes[2]} << 16)) ++refused;
          fedShorts.push_back(bytes);
        }
      }
    });

    size_t padsFed = 0;
    for (int round = 0; round < 10; ++round) {
      loop_.Unplug("Pads");
      manager.Rescan(false, false);
      EXPECT_FALSE(manager.GetDevice(pads, true)->IsOpen());
      EXPECT_FALSE(loop_.FeedShort("Pads", 0x7F3C90));
      loop_.Plug("Pads");
      manager.Rescan(false, false);
      ASSERT_TRUE(manager.GetDevice(pads, true)->IsOpen()) << round;
      for (int i = 0; i < 20; ++i) padsFed += loop_.FeedShort("Pads", 0x403C90) ? 1 : 0;
      padsFed += loop_.FeedLong("Pads", SysEx(3000, 1)) ? 1 : 0;
      // Delivered before the next unplug: what is still in flight when a device goes away
      // goes with it.
      loop_.WaitIdle();
    }
    feeder.join();
    loop_.WaitIdle();
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(padsFed, 10u * 21u);

    const TReceived thru = Split(loop_.Sent("Thru"));
    ASSERT_EQ(thru.shorts.size(), fedShorts.size());
    for (size_t i = 0; i < fedShorts.size(); ++i)
      ASSERT_EQ(thru.shorts[i], fedShorts[i]) << "message " << i;
    EXPECT_TRUE(thru.longBytes == fedLong) << thru.longBytes.size() << " of " << fedLong.size();
    const TReceived padsThru = Split(loop_.Sent("PadsThru"));
    EXPECT_EQ(padsThru.shorts.size(), 200u);
    EXPECT_EQ(padsThru.longBytes.size(), 10u * 3000u);
  }
  manager.CloseAll();
}

// A rescan rebinds every alias; one whose port stays must never read as unbound meanwhile, or
// what a MIDI thread sends through it then is lost.
TEST_F(MidiStreamTest, AnAliasOfAPortThatStaysIsNeverUnboundDuringARescan) {
  TMidiManager manager(ports_);
  manager.Init();
  TMidiAlias* out = MidiAliasManager().Lookup("OutT", makMidiOut, false);
  ASSERT_NE(out, nullptr);
  const int32_t bound = out->GetDeviceIndex();
  ASSERT_GE(bound, 0);
  std::atomic<bool> stop{false};
  std::atomic<int> unbound{0};
  std::atomic<int> reads{0};
  std::thread reader([&] {
    while (!stop) {
      unbound += out->GetDeviceIndex() != bound ? 1 : 0;
      ++reads;
    }
  });
  // The rescans must meet a reader that runs (a new thread may take a while to start).
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (reads == 0 && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
  for (int i = 0; i < 200; ++i) {
    loop_.Unplug("Pads");
    manager.Rescan(false, false);
    loop_.Plug("Pads");
    manager.Rescan(true, false);
  }
  stop = true;
  reader.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(unbound, 0);
}

// Engines are made and freed (each binds to the manager and unbinds) while MIDI passes
// through the router: what the manager calls after passing a message on must never be read
// while it is being replaced, and nothing stops passing through.
TEST_F(MidiStreamTest, EnginesComeAndGoWhileMidiPassesThrough) {
  TMidiManager manager(ports_);
  StartWithEveryPortOpen(manager);
  std::atomic<bool> stop{false};
  std::atomic<int> fed{0};
  std::thread feeder([&] {
    while (!stop) {
      fed += loop_.FeedShort("Keys", 0x403C90) ? 1 : 0;
      std::this_thread::yield();
    }
  });
  for (int round = 0; round < 30; ++round) {
    TTransEngine engine(TEngineBindings{nullptr, &manager, nullptr});
    // The routes belong to the project: each engine's project starts over.
    MidiRouter().AddRoute(MidiAliasManager().Lookup("InK", makMidiIn, false),
                          MidiAliasManager().Lookup("OutT", makMidiOut, false));
    const int before = fed;
    // Bounded: the feeder goes on while the engine is bound.
    for (int i = 0; i < 100000 && fed < before + 20; ++i) std::this_thread::yield();
  }
  stop = true;
  feeder.join();
  loop_.WaitIdle();
  // Unmatched by every engine (they have no presets) and passed by none when unbound: each
  // message fed reached the output or was never handled.
  EXPECT_LE(loop_.Sent("Thru").size(), static_cast<size_t>(fed));
  EXPECT_GT(loop_.Sent("Thru").size(), 0u);
  manager.CloseAll();
}

// The manager is the sink MIDI actions send through: an action reaches the output its alias
// is bound to, and the message it answered is swallowed.
TEST_F(MidiStreamTest, AMidiActionReachesTheOutputOfItsAlias) {
  TMidiManager manager(ports_);
  StartWithEveryPortOpen(manager);
  TScopedMidiOutputSink sink(manager);
  {
    TTransEngine engine(TEngineBindings{nullptr, &manager, nullptr});
    TMemIniFile ini;
    ini.SetText(
        "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
        "Name0=n\r\nIncoming0=MID1903Cpp\r\nOutgoing0=MID2MIDA00010004OutPB007pp\r\n"
        "Options0=Actv01Stop00OutO00\r\n\r\n[MIDI.routes]\r\nIn0=InK\r\nOut0=OutT\r\n");
    engine.Project().ReadProject(ini, "action.kvxp", true, false, nullptr);
    ASSERT_TRUE(loop_.FeedShort("Keys", 0x403C90));
    ASSERT_TRUE(loop_.FeedShort("Keys", 0x403D90));  // no match: passed through
    loop_.WaitIdle();
  }
  const auto sent = loop_.Sent("PadsThru");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (std::vector<uint8_t>{0xB0, 0x07, 0x40}));
  const auto thru = loop_.Sent("Thru");
  ASSERT_EQ(thru.size(), 1u);
  EXPECT_EQ(thru[0].bytes, (std::vector<uint8_t>{0x90, 0x3D, 0x40}));
  manager.CloseAll();
}

}  // namespace
}  // namespace kv
