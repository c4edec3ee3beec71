#include "midi/system/midi_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "midi/testing/loopback_midi.h"

namespace kv {
namespace {

std::vector<uint8_t> SysEx(size_t length) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i & 0x7F);
  bytes.front() = 0xF0;
  bytes.back() = 0xF7;
  return bytes;
}

class MidiOutputTest : public ::testing::Test {
 protected:
  MidiOutputTest() : scope_(loop_) {
    loop_.AddOutput("Synth", "\\\\?\\swenum#synth#1#{guid}");
    loop_.AddOutput("Other");
  }
  void OpenSynth() {
    out_.SetDeviceID(0);
    out_.Open();
    ASSERT_TRUE(out_.IsOpen());
  }
  std::vector<size_t> LongSizes() {
    std::vector<size_t> sizes;
    for (auto& s : loop_.Sent("Synth")) {
      if (s.isLong) sizes.push_back(s.bytes.size());
    }
    return sizes;
  }

  TLoopbackMidi loop_;
  TWinmmMidiScope scope_;
  TMidiOutput out_;  // destroyed (closed) before the loopback is uninstalled
};

TEST_F(MidiOutputTest, EnumeratesWithMapperFirstAndDropsNamelessDevices) {
  loop_.AddOutput("");
  TMidiDeviceList list;
  TMidiOutput::EnumDevices(list, true);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0]->GetDeviceID(), kMidiMapperDevice);
  EXPECT_EQ(list[1]->GetName(), "Synth");
  EXPECT_EQ(list[1]->GetDevicePath(), "\\\\?\\swenum#synth#1#{guid}");
  EXPECT_EQ(list[2]->GetName(), "Other");
  EXPECT_EQ(list[2]->GetDevicePath(), "");
  EXPECT_EQ(list[2]->GetKindName(), "MIDI Out");
  TMidiOutput::EnumDevices(list, false);
  EXPECT_EQ(list.size(), 2u);
  loop_.Unplug("Synth");
  loop_.Unplug("Other");
  loop_.Unplug("");
  TMidiOutput::EnumDevices(list, true);
  EXPECT_TRUE(list.empty());
}

TEST_F(MidiOutputTest, OpenFailureNamesThePortAndTheSystemText) {
  out_.SetDeviceID(0);
  loop_.InjectError(TLoopbackCall::Open, kMmAllocated);
  try {
    out_.Open();
    FAIL() << "opened";
  } catch (const EMidiOutputError& e) {
    EXPECT_EQ(e.Code(), kMmAllocated);
    EXPECT_STREQ(e.what(),
                 "Cannot open MIDI output device \"Synth\":\r\n"
                 "The specified resource is already allocated.");
  }
  EXPECT_TRUE(out_.IsClosed());
  EXPECT_FALSE(IsOpenPortName(true, "Synth"));
  EXPECT_EQ(MidiOutErrorText(9999), "Unspecified error");
}

TEST_F(MidiOutputTest, ShortMessagesArePacked) {
  OpenSynth();
  EXPECT_TRUE(out_.SendMsg(0x90, 0x3C, 0x7F));
  EXPECT_TRUE(out_.SendShort(0x05C1));
  loop_.InjectError(TLoopbackCall::ShortMsg, kMmNotSupported);
  EXPECT_FALSE(out_.SendShort(0xF8));
  auto sent = loop_.Sent("Synth");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].bytes, (std::vector<uint8_t>{0x90, 0x3C, 0x7F}));
  EXPECT_EQ(sent[1].bytes, (std::vector<uint8_t>{0xC1, 0x05}));
  out_.Close();
  EXPECT_FALSE(out_.SendShort(0xF8));
}

TEST_F(MidiOutputTest, LongMessageIsCopiedCountedAndFreedWhenDone) {
  OpenSynth();
  const size_t parkedBefore = ParkedMidiHeaderCount();
  auto bytes = SysEx(300);
  loop_.HoldOutputBuffers(true);
  EXPECT_TRUE(out_.SendLong(bytes.data(), bytes.size()));
  EXPECT_EQ(out_.GetPendingCount(), 1);
  loop_.ReleaseOutputBuffers();
  loop_.WaitIdle();
  EXPECT_EQ(out_.GetPendingCount(), 0);
  EXPECT_EQ(ParkedMidiHeaderCount(), parkedBefore);
  ASSERT_EQ(loop_.Sent("Synth").size(), 1u);
  EXPECT_EQ(loop_.Sent("Synth")[0].bytes, bytes);
  EXPECT_FALSE(out_.SendLong(bytes.data(), 0));
}

TEST_F(MidiOutputTest, RefusedLongMessageIsNotCounted) {
  OpenSynth();
  auto bytes = SysEx(10);
  loop_.InjectError(TLoopbackCall::LongMsg, kMidiErrNotReady);
  EXPECT_FALSE(out_.SendLong(bytes.data(), bytes.size()));
  loop_.InjectError(TLoopbackCall::Prepare, kMmNoMem);
  EXPECT_FALSE(out_.SendLong(bytes.data(), bytes.size()));
  EXPECT_EQ(out_.GetPendingCount(), 0);
  EXPECT_TRUE(loop_.Sent("Synth").empty());
}

TEST_F(MidiOutputTest, HeaderThatCannotBeUnpreparedIsNotFreed) {
  OpenSynth();
  const size_t parkedBefore = ParkedMidiHeaderCount();
  auto bytes = SysEx(10);
  loop_.InjectError(TLoopbackCall::Unprepare, kMidiErrStillPlaying);
  EXPECT_TRUE(out_.SendLong(bytes.data(), bytes.size()));
  loop_.WaitIdle();
  EXPECT_EQ(out_.GetPendingCount(), 0);
  EXPECT_EQ(ParkedMidiHeaderCount(), parkedBefore + 1);
}

TEST_F(MidiOutputTest, ChunkedSysExGoesOutInPiecesWithWaitsBetween) {
  OpenSynth();
  auto bytes = SysEx(2500);
  std::vector<size_t> sentAtWait;
  const size_t handed =
      out_.SendLongChunked(bytes.data(), bytes.size(), [&](TMidiOutputBase&, bool&) {
        loop_.WaitIdle();
        sentAtWait.push_back(LongSizes().size());
      });
  loop_.WaitIdle();
  EXPECT_EQ(handed, 2500u);
  EXPECT_EQ(LongSizes(), (std::vector<size_t>{1000, 1000, 500}));
  EXPECT_EQ(sentAtWait, (std::vector<size_t>{1, 2}));
  std::vector<uint8_t> joined;
  for (auto& s : loop_.Sent("Synth")) joined.insert(joined.end(), s.bytes.begin(), s.bytes.end());
  EXPECT_EQ(joined, bytes);
}

TEST_F(MidiOutputTest, WaitMethodCanStopTheChunkedSend) {
  OpenSynth();
  auto bytes = SysEx(2500);
  const size_t handed = out_.SendLongChunked(
      bytes.data(), bytes.size(), [](TMidiOutputBase&, bool& proceed) { proceed = false; });
  EXPECT_EQ(handed, 1000u);
}

TEST_F(MidiOutputTest, ChunkedSendKeepsAtMostElevenPiecesInFlight) {
  OpenSynth();
  loop_.HoldOutputBuffers(true);
  auto bytes = SysEx(15000);
  int maxPending = 0;
  const size_t handed =
      out_.SendLongChunked(bytes.data(), bytes.size(), [&](TMidiOutputBase& port, bool&) {
        auto& out = static_cast<TMidiOutput&>(port);
        maxPending = std::max(maxPending, out.GetPendingCount());
        if (out.GetPendingCount() > 10) {
          loop_.ReleaseOutputBuffers(1);
          loop_.WaitIdle();
        }
      });
  EXPECT_EQ(handed, 15000u);
  EXPECT_EQ(maxPending, 11);
  EXPECT_EQ(LongSizes().size(), 15u);
}

TEST_F(MidiOutputTest, ChunkedSendCountsOnlyAcceptedPieces) {
  OpenSynth();
  auto bytes = SysEx(3500);
  int waits = 0;
  const size_t handed =
      out_.SendLongChunked(bytes.data(), bytes.size(), [&](TMidiOutputBase&, bool&) {
        if (++waits == 1) {
          loop_.InjectError(TLoopbackCall::LongMsg, kMidiErrNotReady);
        }
      });
  EXPECT_EQ(handed, 1000u);
  loop_.WaitIdle();
  EXPECT_EQ(LongSizes(), (std::vector<size_t>{1000}));
}

TEST_F(MidiOutputTest, ChunkedSendStopsWaitingWhenThePortIsLost) {
  OpenSynth();
  loop_.HoldOutputBuffers(true);
  auto bytes = SysEx(20000);
  const size_t parkedBefore = ParkedMidiHeaderCount();
  const size_t handed =
      out_.SendLongChunked(bytes.data(), bytes.size(), [&](TMidiOutputBase&, bool&) {
        if (out_.GetPendingCount() > 10) {
          loop_.Unplug("Synth");
          loop_.WaitIdle();
        }
      });
  EXPECT_EQ(handed, 11000u);
  EXPECT_TRUE(out_.IsLost());
  EXPECT_FALSE(out_.SendLong(bytes.data(), 10));
  EXPECT_FALSE(out_.SendShort(0xF8));
  const int resets = loop_.CallCount(TLoopbackCall::Reset);
  out_.CloseIfLost();
  EXPECT_TRUE(out_.IsClosed());
  EXPECT_EQ(loop_.CallCount(TLoopbackCall::Reset), resets);
  // The vanished driver still holds the eleven buffers: they are kept, not freed.
  EXPECT_EQ(ParkedMidiHeaderCount(), parkedBefore + 11);
  EXPECT_EQ(loop_.OpenHandles(), 0u);
}

TEST_F(MidiOutputTest, CloseResetsAndFreesBuffersInFlight) {
  OpenSynth();
  loop_.HoldOutputBuffers(true);
  auto bytes = SysEx(100);
  const size_t parkedBefore = ParkedMidiHeaderCount();
  ASSERT_TRUE(out_.SendLong(bytes.data(), bytes.size()));
  ASSERT_TRUE(out_.SendLong(bytes.data(), bytes.size()));
  out_.CloseIfLost();  // not lost: stays open
  EXPECT_TRUE(out_.IsOpen());
  out_.Close();
  EXPECT_EQ(loop_.CallCount(TLoopbackCall::Reset), 1);
  EXPECT_EQ(out_.GetPendingCount(), 0);
  EXPECT_EQ(ParkedMidiHeaderCount(), parkedBefore);
  EXPECT_EQ(loop_.OpenHandles(), 0u);
  EXPECT_FALSE(IsOpenPortName(true, "Synth"));
}

TEST_F(MidiOutputTest, ReopenAfterReplugClearsTheLostFlag) {
  OpenSynth();
  loop_.Unplug("Synth");
  loop_.WaitIdle();
  EXPECT_TRUE(out_.IsLost());
  out_.CloseIfLost();
  loop_.Plug("Synth");
  out_.SetDeviceID(0);
  out_.Open();
  EXPECT_TRUE(out_.IsOpen());
  EXPECT_FALSE(out_.IsLost());
  EXPECT_TRUE(out_.SendShort(0xF8));
}

TEST_F(MidiOutputTest, CloneKeepsTheIdentity) {
  out_.SetDeviceID(1);
  out_.SetInstanceNumber(2);
  auto copy = out_.Clone();
  EXPECT_EQ(copy->GetDisplayName(), "Other (2)");
  EXPECT_EQ(copy->GetDeviceID(), 1);
  EXPECT_TRUE(copy->IsClosed());
}

}  // namespace
}  // namespace kv
