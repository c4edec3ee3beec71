// MIDI capture: the ring, the pattern, the monitor lines, and events from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/midi_capture.h"

namespace kv {
namespace {

TIncomingEvent MidiEvent(const std::vector<uint8_t>& bytes, uint8_t context = kContextCallback) {
  TIncomingEvent event;
  event.kind = kActionMidi;
  event.context = context;
  event.data = bytes.data();
  event.length = static_cast<int32_t>(bytes.size());
  return event;
}

// A flag one thread sets and another waits for, with a generous bound.
class Signal {
 public:
  void Set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    changed_.notify_all();
  }
  bool Wait() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return set_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

TEST(CapturePatternTest, DifferingBytesBecomeLocalVariables) {
  EXPECT_EQ(CapturePattern({0x90, 0x40, 0x7F}, {0x90, 0x41, 0x7F}), "90 pp 7F");
  EXPECT_EQ(CapturePattern({0x90, 0x40, 0x7F}, {0x80, 0x41, 0x00}), std::nullopt);
  EXPECT_EQ(CapturePattern({0x90, 0x40}, {0x90, 0x40, 0x7F}), std::nullopt);
  EXPECT_EQ(CapturePattern({0xB0, 0x07}, {0xB0, 0x08}), std::nullopt) << "one equal byte";

  std::vector<uint8_t> a(11, 0), b(11, 0);
  for (int i = 1; i <= 8; ++i) b[static_cast<size_t>(i)] = 1;
  EXPECT_EQ(CapturePattern(a, b), "00 pp qq rr ss tt uu vv ww 00 00");
  b[9] = 1;
  EXPECT_EQ(CapturePattern(a, b), std::nullopt) << "a ninth differing byte";
}

TEST(MidiCaptureTest, ShowsHexThenPatternsAndKeepsEightMonitorLines) {
  TMidiCapture capture({});
  capture.OnEvent(MidiEvent({0x90, 0x40, 0x7F}));
  EXPECT_EQ(capture.ShowNewest(), std::nullopt) << "nothing is kept while off";

  capture.SetTarget(kCaptureIncoming);
  TIncomingEvent timer;
  timer.kind = kActionTimer;
  capture.OnEvent(timer);
  EXPECT_EQ(capture.ShowNewest(), std::nullopt) << "only MIDI is captured";

  capture.OnEvent(MidiEvent({0x90, 0x40, 0x7F}));
  EXPECT_EQ(capture.ShowNewest(), "90 40 7F") << "the first message is plain hex";
  capture.OnEvent(MidiEvent({0x90, 0x41, 0x7F}));
  EXPECT_EQ(capture.ShowNewest(), "90 pp 7F");
  auto lines = capture.MonitorLines();
  EXPECT_EQ(lines[0], "90 41 7F");
  EXPECT_EQ(lines[1], "90 40 7F");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(capture.MonitorLineText(2), std::nullopt) << "an empty line copies nothing";
  EXPECT_EQ(capture.MonitorLineText(1), "90 40 7F");

  for (uint8_t n = 0; n < 9; ++n) {
    capture.OnEvent(MidiEvent({0xC0, n}));
    capture.ShowNewest();
  }
  lines = capture.MonitorLines();
  EXPECT_EQ(lines[0], "C0 08");
  EXPECT_EQ(lines[7], "C0 01");

  capture.SetTarget(kCaptureOutgoing);
  EXPECT_EQ(capture.MonitorLines()[0], "") << "switching empties the ring and the lines";
  EXPECT_EQ(capture.ShowNewest(), std::nullopt);
}

TEST(MidiCaptureTest, LongMessagesAreCutToTheSlot) {
  TMidiCapture capture({});
  capture.SetTarget(kCaptureOutgoing);
  std::vector<uint8_t> sysex(700, 0x11);
  sysex.front() = 0xF0;
  sysex.back() = 0xF7;
  capture.OnEvent(MidiEvent(sysex));
  const std::string shown = *capture.ShowNewest();
  EXPECT_EQ(shown.size(), 600u * 3 - 1);
  EXPECT_EQ(shown.substr(shown.size() - 2), "11");
}

TEST(MidiCaptureTest, NotifiesWhetherTheEventCameOnTheMainThread) {
  std::vector<bool> calls;
  TMidiCapture capture([&](bool onMainThread) { calls.push_back(onMainThread); });
  capture.SetTarget(kCaptureIncoming);
  capture.OnEvent(MidiEvent({0x90, 1, 2}, kContextCallback));
  capture.OnEvent(MidiEvent({0x90, 1, 2}, kContextDispatcher));
  capture.OnEvent(MidiEvent({0x90, 1, 2}, kContextMainThread));
  EXPECT_EQ(calls, (std::vector<bool>{false, false, true}));
}

TEST(MidiCaptureTest, EventsFromManyThreadsWhileTheMainThreadShows) {
  std::atomic<int> notified{0};
  TMidiCapture capture([&](bool) { notified.fetch_add(1); });
  capture.SetTarget(kCaptureIncoming);
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&capture, t] {
      for (int i = 0; i < kEach; ++i) {
        capture.OnEvent(MidiEvent({0x90, static_cast<uint8_t>(t), static_cast<uint8_t>(i & 0x7F)}));
      }
    });
  }
  for (int i = 0; i < 200; ++i) {
    if (auto text = capture.ShowNewest()) {
      EXPECT_EQ(text->size(), 8u) << *text;  // always a whole three-byte message
    }
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(notified.load(), kThreads * kEach);
}

TEST(MidiCaptureTest, DetachWaitsForANotificationInFlight) {
  Signal entered;
  Signal release;
  std::atomic<bool> notificationDone{false};
  auto capture = std::make_shared<TMidiCapture>([&](bool) {
    entered.Set();
    release.Wait();
    notificationDone = true;
  });
  capture->SetTarget(kCaptureIncoming);
  std::thread midi([&] { capture->OnEvent(MidiEvent({0x90, 1, 2})); });
  ASSERT_TRUE(entered.Wait());

  std::atomic<bool> doneWhenDetached{false};
  std::thread closing([&] {
    capture->Detach();
    doneWhenDetached = notificationDone.load();
  });
  release.Set();
  closing.join();
  midi.join();
  EXPECT_TRUE(doneWhenDetached) << "Detach returned while a notification was running";

  int late = 0;
  TMidiCapture after([&](bool) { ++late; });
  after.SetTarget(kCaptureIncoming);
  after.Detach();
  after.OnEvent(MidiEvent({0x90, 1, 2}));
  EXPECT_EQ(late, 0) << "nothing is notified after Detach";
}

}  // namespace
}  // namespace kv
