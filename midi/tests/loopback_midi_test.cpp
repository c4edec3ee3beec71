// The loopback driver stand-in must behave as a driver does, or the port tests prove nothing.
#include "midi/testing/loopback_midi.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace kv {
namespace {

struct TRecorded {
  TMidiMsg msg;
  uintptr_t param1;
  std::thread::id thread;
};

// Collects callbacks; instance data points at it.
struct TRecorder {
  std::mutex mutex;  // guards seen
  std::vector<TRecorded> seen;

  static void Callback(TMidiHandle, TMidiMsg msg, uintptr_t instance, uintptr_t param1, uintptr_t) {
    auto* self = reinterpret_cast<TRecorder*>(instance);
    std::lock_guard<std::mutex> lock(self->mutex);
    self->seen.push_back({msg, param1, std::this_thread::get_id()});
  }
  std::vector<TRecorded> Take() {
    std::lock_guard<std::mutex> lock(mutex);
    return std::move(seen);
  }
  uintptr_t Instance() { return reinterpret_cast<uintptr_t>(this); }
};

TEST(LoopbackMidi, EnumeratesPluggedDevicesAndShiftsIdsOnUnplug) {
  TLoopbackMidi loop;
  loop.AddInput("A");
  loop.AddInput("B", "\\\\?\\usb#b#1#x");
  loop.AddOutput("A");
  std::string name;
  EXPECT_EQ(loop.InGetNumDevs(), 2u);
  loop.Unplug("A");
  EXPECT_EQ(loop.InGetNumDevs(), 1u);
  EXPECT_EQ(loop.OutGetNumDevs(), 0u);
  ASSERT_EQ(loop.InGetDevName(0, name), kMmNoError);
  EXPECT_EQ(name, "B");
  EXPECT_EQ(loop.InGetDevName(1, name), kMmBadDeviceId);
  uint32_t bytes = 0;
  ASSERT_EQ(loop.InQueryInterfaceSize(0, bytes), kMmNoError);
  std::string path;
  ASSERT_EQ(loop.InQueryInterface(0, bytes, path), kMmNoError);
  EXPECT_EQ(path, "\\\\?\\usb#b#1#x");
  loop.Plug("A");
  ASSERT_EQ(loop.InGetDevName(0, name), kMmNoError);
  EXPECT_EQ(name, "A");
}

TEST(LoopbackMidi, CallbacksArriveInOrderOnTheirOwnThread) {
  TLoopbackMidi loop;
  loop.AddInput("In");
  TRecorder rec;
  TMidiHandle h = 0;
  ASSERT_EQ(loop.InOpen(h, 0, &TRecorder::Callback, rec.Instance()), kMmNoError);
  EXPECT_FALSE(loop.FeedShort("In", 0x90));  // not started
  ASSERT_EQ(loop.InStart(h), kMmNoError);
  for (uint32_t i = 0; i < 50; ++i) ASSERT_TRUE(loop.FeedShort("In", 0x403C90 + (i << 8)));
  loop.WaitIdle();
  ASSERT_EQ(loop.InClose(h), kMmNoError);
  auto seen = rec.Take();
  ASSERT_EQ(seen.size(), 52u);  // open, 50 messages, close
  EXPECT_EQ(seen.front().msg, TMidiMsg::InOpen);
  EXPECT_EQ(seen.back().msg, TMidiMsg::InClose);
  for (uint32_t i = 0; i < 50; ++i) {
    EXPECT_EQ(seen[i + 1].param1, 0x403C90 + (i << 8));
    EXPECT_NE(seen[i + 1].thread, std::this_thread::get_id());
  }
}

TEST(LoopbackMidi, SysExFillsBuffersInOrderAndResetReturnsAll) {
  TLoopbackMidi loop;
  loop.AddInput("In");
  TRecorder rec;
  TMidiHandle h = 0;
  ASSERT_EQ(loop.InOpen(h, 0, &TRecorder::Callback, rec.Instance()), kMmNoError);
  std::vector<uint8_t> storage[3];
  TMidiHeader headers[3];
  for (int i = 0; i < 3; ++i) {
    storage[i].resize(4);
    headers[i].data = storage[i].data();
    headers[i].bufferLength = 4;
    EXPECT_EQ(loop.InAddBuffer(h, headers[i]), kMidiErrUnprepared);
    ASSERT_EQ(loop.InPrepareHeader(h, headers[i]), kMmNoError);
    ASSERT_EQ(loop.InAddBuffer(h, headers[i]), kMmNoError);
  }
  ASSERT_EQ(loop.InStart(h), kMmNoError);
  ASSERT_TRUE(loop.FeedLong("In", {0xF0, 1, 2, 3, 4, 0xF7}));
  loop.WaitIdle();
  EXPECT_EQ(loop.InUnprepareHeader(h, headers[2]), kMidiErrStillPlaying);
  EXPECT_EQ(loop.InClose(h), kMidiErrStillPlaying);  // buffers still queued
  ASSERT_EQ(loop.InReset(h), kMmNoError);
  auto seen = rec.Take();
  ASSERT_EQ(seen.size(), 4u);  // open, two filled, one returned by the reset
  EXPECT_EQ(seen[1].param1, reinterpret_cast<uintptr_t>(&headers[0]));
  EXPECT_EQ(seen[2].param1, reinterpret_cast<uintptr_t>(&headers[1]));
  EXPECT_EQ(seen[3].param1, reinterpret_cast<uintptr_t>(&headers[2]));
  EXPECT_EQ(headers[0].bytesRecorded, 4u);
  EXPECT_EQ(headers[1].bytesRecorded, 2u);  // 4 and F7: the end of the message
  EXPECT_EQ(headers[2].bytesRecorded, 0u);
  EXPECT_EQ(storage[1][1], 0xF7);
  for (auto& header : headers) {
    EXPECT_TRUE(header.flags & kMidiHdrDone);
    EXPECT_EQ(loop.InUnprepareHeader(h, header), kMmNoError);
  }
  EXPECT_EQ(loop.InClose(h), kMmNoError);
}

TEST(LoopbackMidi, UnpluggedHandleFailsAndKeepsItsBuffers) {
  TLoopbackMidi loop;
  loop.AddOutput("Out");
  TRecorder rec;
  TMidiHandle h = 0;
  ASSERT_EQ(loop.OutOpen(h, 0, &TRecorder::Callback, rec.Instance()), kMmNoError);
  uint8_t bytes[3] = {0xF0, 0x01, 0xF7};
  TMidiHeader header;
  header.data = bytes;
  header.bufferLength = 3;
  ASSERT_EQ(loop.OutPrepareHeader(h, header), kMmNoError);
  loop.HoldOutputBuffers(true);
  ASSERT_EQ(loop.OutLongMsg(h, header), kMmNoError);
  loop.Unplug("Out");
  loop.WaitIdle();
  EXPECT_EQ(loop.OutShortMsg(h, 0x90), kMmNoDriver);
  EXPECT_EQ(loop.OutReset(h), kMmNoDriver);
  EXPECT_EQ(loop.OutUnprepareHeader(h, header), kMidiErrStillPlaying);
  EXPECT_EQ(loop.OutClose(h), kMmNoError);
  EXPECT_EQ(loop.OpenHandles(), 0u);
  EXPECT_EQ(loop.OutClose(h), kMmInvalidHandle);
  auto seen = rec.Take();
  ASSERT_EQ(seen.size(), 2u);  // open, and the close of the unplug: the buffer never returns
  EXPECT_EQ(seen[1].msg, TMidiMsg::OutClose);
  ASSERT_EQ(loop.Sent("Out").size(), 1u);
  EXPECT_TRUE(loop.Sent("Out")[0].isLong);
}

TEST(LoopbackMidi, InjectedErrorsFailTheNextCallsOnly) {
  TLoopbackMidi loop;
  loop.AddOutput("Out");
  TMidiHandle h = 0;
  loop.InjectError(TLoopbackCall::Open, kMmNoMem, 2);
  EXPECT_EQ(loop.OutOpen(h, 0, nullptr, 0), kMmNoMem);
  EXPECT_EQ(loop.OutOpen(h, 0, nullptr, 0), kMmNoMem);
  ASSERT_EQ(loop.OutOpen(h, 0, nullptr, 0), kMmNoError);
  TMidiHandle second = 0;
  EXPECT_EQ(loop.OutOpen(second, 0, nullptr, 0), kMmAllocated);
  EXPECT_EQ(loop.CallCount(TLoopbackCall::Open), 4);
  EXPECT_EQ(loop.OutShortMsg(h, 0x7F), kMmInvalidParam);  // no status byte
  ASSERT_EQ(loop.OutShortMsg(h, 0x2C07B0), kMmNoError);
  ASSERT_EQ(loop.OutShortMsg(h, 0x05C1), kMmNoError);
  auto sent = loop.Sent("Out");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].bytes, (std::vector<uint8_t>{0xB0, 0x07, 0x2C}));
  EXPECT_EQ(sent[1].bytes, (std::vector<uint8_t>{0xC1, 0x05}));
  EXPECT_EQ(loop.OutClose(h), kMmNoError);
}

TEST(LoopbackMidi, MapperPlaysThroughTheFirstOutput) {
  TLoopbackMidi loop;
  std::string name;
  EXPECT_EQ(loop.OutGetDevName(kMidiMapperId, name), kMmBadDeviceId);
  loop.AddOutput("First");
  ASSERT_EQ(loop.OutGetDevName(kMidiMapperId, name), kMmNoError);
  EXPECT_EQ(name, "MIDI Mapper");
  TMidiHandle h = 0;
  ASSERT_EQ(loop.OutOpen(h, kMidiMapperId, nullptr, 0), kMmNoError);
  ASSERT_EQ(loop.OutShortMsg(h, 0xF8), kMmNoError);
  EXPECT_EQ(loop.Sent("First").size(), 1u);
  EXPECT_EQ(loop.OutClose(h), kMmNoError);
}

}  // namespace
}  // namespace kv
