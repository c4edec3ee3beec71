#include "midi/system/midi_input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "midi/testing/loopback_midi.h"
#include "midi/system/midi_output.h"

namespace kv {
namespace {

// What the hooks saw; written on the loopback's callback thread.
struct TSeen {
  std::mutex mutex;  // guards the fields below
  std::vector<uint32_t> shorts;
  std::vector<std::vector<uint8_t>> sysEx;
  std::vector<uint32_t> unhandled;
};

class MidiInputTest : public ::testing::Test {
 protected:
  MidiInputTest() : scope_(loop_) {
    loop_.AddInput("Keys", "\\\\?\\usb#vid_1#2#{guid}");
    loop_.AddOutput("Keys");
  }
  void Hook(bool handle = true) {
    in_.SetShortMsgHook([this, handle](TMidiInputBase&, uint32_t m, bool& handled) {
      std::lock_guard<std::mutex> lock(seen_.mutex);
      seen_.shorts.push_back(m);
      handled = handle;
    });
    in_.SetSysExHook([this](TMidiInputBase&, const uint8_t* d, size_t n, bool& handled) {
      std::lock_guard<std::mutex> lock(seen_.mutex);
      seen_.sysEx.emplace_back(d, d + n);
      handled = true;
    });
    in_.OnShortMsg = [this](TMidiInputBase&, uint32_t m) {
      std::lock_guard<std::mutex> lock(seen_.mutex);
      seen_.unhandled.push_back(m);
    };
  }
  void OpenAndStart() {
    in_.SetDeviceID(0);
    in_.Open();
    ASSERT_TRUE(in_.IsOpen());
    in_.Start();
    ASSERT_TRUE(in_.IsStarted());
  }
  std::vector<uint32_t> Shorts() {
    loop_.WaitIdle();
    std::lock_guard<std::mutex> lock(seen_.mutex);
    return seen_.shorts;
  }
  std::vector<std::vector<uint8_t>> SysExSeen() {
    loop_.WaitIdle();
    std::lock_guard<std::mutex> lock(seen_.mutex);
    return seen_.sysEx;
  }

  TLoopbackMidi loop_;
  TWinmmMidiScope scope_;
  TSeen seen_;
  TMidiInput in_;  // destroyed (closed) first
};

TEST_F(MidiInputTest, EnumeratesInputs) {
  loop_.AddInput("Pads");
  loop_.AddInput("");
  TMidiDeviceList list;
  TMidiInput::EnumDevices(list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->GetName(), "Keys");
  EXPECT_EQ(list[0]->GetDevicePath(), "\\\\?\\usb#vid_1#2#{guid}");
  EXPECT_EQ(list[0]->GetKindName(), "MIDI In");
  EXPECT_FALSE(list[0]->IsOutput());
  EXPECT_EQ(list[1]->GetName(), "Pads");
}

TEST_F(MidiInputTest, RealTimeBytesAreFilteredByThePassFlags) {
  Hook();
  OpenAndStart();
  EXPECT_FALSE(in_.GetPassActiveSensing());
  EXPECT_TRUE(in_.GetPassTimingClock());
  loop_.FeedShort("Keys", 0xF8);
  loop_.FeedShort("Keys", 0xFE);
  loop_.FeedShort("Keys", 0x7F3C90);
  EXPECT_EQ(Shorts(), (std::vector<uint32_t>{0xF8, 0x7F3C90}));
  in_.SetPassActiveSensing(true);
  in_.SetPassTimingClock(false);
  loop_.FeedShort("Keys", 0xF8);
  loop_.FeedShort("Keys", 0xFE, TMidiMsg::InMoreData);
  EXPECT_EQ(Shorts(), (std::vector<uint32_t>{0xF8, 0x7F3C90, 0xFE}));
}

TEST_F(MidiInputTest, UnhandledShortMessagesReachTheHandler) {
  Hook(false);
  OpenAndStart();
  loop_.FeedShort("Keys", 0x4090);
  loop_.WaitIdle();
  std::lock_guard<std::mutex> lock(seen_.mutex);
  EXPECT_EQ(seen_.unhandled, (std::vector<uint32_t>{0x4090}));
}

TEST_F(MidiInputTest, LongSysExArrivesBufferByBufferAndBuffersGoBack) {
  Hook();
  OpenAndStart();
  EXPECT_EQ(loop_.QueuedInputBuffers("Keys"), 16u);
  std::vector<uint8_t> bytes(2500, 0x11);
  bytes.front() = 0xF0;
  bytes.back() = 0xF7;
  loop_.FeedLong("Keys", bytes);
  auto seen = SysExSeen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].size(), 1024u);
  EXPECT_EQ(seen[1].size(), 1024u);
  EXPECT_EQ(seen[2].size(), 452u);
  std::vector<uint8_t> joined;
  for (auto& piece : seen) joined.insert(joined.end(), piece.begin(), piece.end());
  EXPECT_EQ(joined, bytes);
  EXPECT_EQ(loop_.QueuedInputBuffers("Keys"), 16u);
  // Many more than there are buffers: each comes back for the next.
  for (int i = 0; i < 40; ++i) loop_.FeedLong("Keys", {0xF0, static_cast<uint8_t>(i), 0xF7});
  EXPECT_EQ(SysExSeen().size(), 43u);
}

TEST_F(MidiInputTest, OpenFailureIsReportedAndNothingIsHeld) {
  in_.SetDeviceID(0);
  loop_.InjectError(TLoopbackCall::Open, kMmAllocated);
  try {
    in_.Open();
    FAIL() << "opened";
  } catch (const EMidiInputError& e) {
    EXPECT_EQ(e.Code(), kMmAllocated);
    EXPECT_STREQ(e.what(),
                 "Cannot open MIDI input device \"Keys\":\r\n"
                 "The specified resource is already allocated.");
  }
  EXPECT_TRUE(in_.IsClosed());
  EXPECT_FALSE(IsOpenPortName(false, "Keys"));
}

TEST_F(MidiInputTest, FailureAfterTheDeviceOpenedClosesItAgain) {
  const size_t parkedBefore = ParkedMidiHeaderCount();
  in_.SetDeviceID(0);
  loop_.InjectError(TLoopbackCall::AddBuffer, kMmNoMem);
  EXPECT_THROW(in_.Open(), EMidiInputError);
  EXPECT_TRUE(in_.IsClosed());
  EXPECT_EQ(loop_.OpenHandles(), 0u);
  EXPECT_EQ(ParkedMidiHeaderCount(), parkedBefore);
  EXPECT_FALSE(IsOpenPortName(false, "Keys"));

  loop_.InjectError(TLoopbackCall::Prepare, kMmNoMem);
  EXPECT_THROW(in_.Open(), EMidiInputError);
  EXPECT_EQ(loop_.OpenHandles(), 0u);
  // The device is usable again afterwards.
  in_.Open();
  EXPECT_TRUE(in_.IsOpen());
}

TEST_F(MidiInputTest, StartFailureIsRaised) {
  in_.SetDeviceID(0);
  in_.Open();
  loop_.InjectError(TLoopbackCall::Start, kMmNotSupported);
  EXPECT_THROW(in_.Start(), EMidiInputError);
  EXPECT_FALSE(in_.IsStarted());
}

TEST_F(MidiInputTest, StoppedInputDeliversNothing) {
  Hook();
  OpenAndStart();
  in_.Stop();
  EXPECT_FALSE(in_.IsStarted());
  EXPECT_FALSE(loop_.FeedShort("Keys", 0x4090));
  EXPECT_TRUE(Shorts().empty());
}

TEST_F(MidiInputTest, CloseResetsAndFreesEveryBuffer) {
  Hook();
  OpenAndStart();
  const size_t parkedBefore = ParkedMidiHeaderCount();
  in_.Close();
  EXPECT_TRUE(in_.IsClosed());
  EXPECT_FALSE(in_.IsStarted());
  EXPECT_EQ(loop_.CallCount(TLoopbackCall::Reset), 1);
  EXPECT_EQ(loop_.OpenHandles(), 0u);
  EXPECT_EQ(ParkedMidiHeaderCount(), parkedBefore);
  EXPECT_TRUE(SysExSeen().empty());  // returned empty buffers reach no hook
}

TEST_F(MidiInputTest, UnpluggedInputClosesWithoutResetAndKeepsQueuedBuffers) {
  Hook();
  OpenAndStart();
  // Two buffers come back and cannot be given to the system again: they are no longer
  // queued when the device vanishes, so they can be freed; the other fourteen cannot.
  loop_.InjectError(TLoopbackCall::AddBuffer, kMmNoMem, 2);
  loop_.FeedLong("Keys", std::vector<uint8_t>(2048, 0x01));
  EXPECT_EQ(SysExSeen().size(), 2u);
  const size_t parkedBefore = ParkedMidiHeaderCount();
  loop_.Unplug("Keys");
  loop_.WaitIdle();
  EXPECT_TRUE(in_.IsLost());
  EXPECT_TRUE(in_.IsOpen());
  in_.CloseIfLost();
  EXPECT_TRUE(in_.IsClosed());
  EXPECT_EQ(loop_.CallCount(TLoopbackCall::Reset), 0);
  EXPECT_EQ(ParkedMidiHeaderCount(), parkedBefore + 14);
  EXPECT_EQ(loop_.OpenHandles(), 0u);
  // Plugged in again, it opens anew.
  loop_.Plug("Keys");
  OpenAndStart();
  EXPECT_FALSE(in_.IsLost());
  loop_.FeedShort("Keys", 0x4090);
  EXPECT_EQ(Shorts().back(), 0x4090u);
}

TEST_F(MidiInputTest, CloseWaitsForASysExHookInProgress) {
  std::promise<void> entered, closeStarted;
  auto closeStartedFuture = closeStarted.get_future();
  std::atomic<bool> hookDone{false};
  std::atomic<int> sum{0};
  in_.SetSysExHook([&](TMidiInputBase&, const uint8_t* d, size_t n, bool& handled) {
    entered.set_value();
    closeStartedFuture.wait();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    int s = 0;
    for (size_t i = 0; i < n; ++i) s += d[i];  // the buffer must still be there
    sum = s;
    hookDone = true;
    handled = true;
  });
  OpenAndStart();
  loop_.FeedLong("Keys", {0xF0, 0x01, 0x02, 0xF7});
  entered.get_future().wait();
  bool doneWhenClosed = false;
  std::thread closer([&] {
    closeStarted.set_value();
    in_.Close();
    doneWhenClosed = hookDone;
  });
  closer.join();
  EXPECT_TRUE(doneWhenClosed);
  EXPECT_EQ(sum, 0xF0 + 1 + 2 + 0xF7);
  EXPECT_EQ(loop_.OpenHandles(), 0u);
}

TEST_F(MidiInputTest, OutputCabledToInputArrives) {
  loop_.AddCable("Keys", "Keys");
  Hook();
  OpenAndStart();
  TMidiOutput out;
  out.SetDeviceID(0);
  out.Open();
  ASSERT_TRUE(out.SendMsg(0x90, 0x3C, 0x40));
  const std::vector<uint8_t> sysEx = {0xF0, 0x7E, 0x7F, 0xF7};
  ASSERT_TRUE(out.SendLong(sysEx.data(), sysEx.size()));
  EXPECT_EQ(Shorts(), (std::vector<uint32_t>{0x403C90}));
  auto seen = SysExSeen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], sysEx);
}

TEST_F(MidiInputTest, CloneCarriesHooksAndFlags) {
  Hook();
  in_.SetDeviceID(0);
  in_.SetPassActiveSensing(true);
  auto copy = in_.Clone();
  auto& input = static_cast<TMidiInput&>(*copy);
  EXPECT_TRUE(input.GetPassActiveSensing());
  EXPECT_TRUE(static_cast<bool>(input.GetShortMsgHook()));
  EXPECT_EQ(input.GetName(), "Keys");
}

}  // namespace
}  // namespace kv
