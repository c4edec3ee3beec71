#include "midi/manager/midi_manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "base/ini_file.h"
#include "base/main_thread.h"
#include "midi/testing/loopback_midi.h"
#include "midi/system/midi_input.h"
#include "midi/system/midi_output.h"
#include "midi/model/router.h"

namespace kv {
namespace {

// The system ports of the loopback, plus made-up names of the program's virtual ports, with
// the nesting of scans counted.
class TCountingPorts final : public TMidiPortEnumerator {
 public:
  void EnumVirtualInputs(TMidiDeviceList& list, const std::u16string&) override { list.clear(); }
  void EnumVirtualOutputs(TMidiDeviceList& list, const std::u16string&) override { list.clear(); }
  void EnumVirtualInputNames(TVirtualPortNames& list, const std::u16string&) override {
    list = virtualInputNames;
  }
  void EnumVirtualOutputNames(TVirtualPortNames& list, const std::u16string&) override {
    list = virtualOutputNames;
  }
  void EnumSystemInputs(TMidiDeviceList& list) override {
    ++scans;
    TMidiInput::EnumDevices(list);
  }
  void EnumSystemOutputs(TMidiDeviceList& list, bool withMapper) override {
    TMidiOutput::EnumDevices(list, withMapper);
  }
  TVirtualPortNames virtualInputNames, virtualOutputNames;
  int scans = 0;
};

// Waits up to ten seconds for the condition, serving main-thread calls meanwhile.
bool WaitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    TMainThreadCalls::Instance().Serve(5);
  }
  return true;
}

class MidiManagerTest : public ::testing::Test {
 protected:
  MidiManagerTest() : scope_(loop_) {
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
    loop_.AddInput("Keys", "\\\\?\\usb#keys#1#{in}");
    loop_.AddOutput("Keys", "\\\\?\\usb#keys#1#{in}");
    loop_.AddOutput("Synth");
  }
  ~MidiManagerTest() override {
    manager_.reset();
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
  }
  TMidiManager& Manager() {
    if (!manager_) {
      manager_ = std::make_unique<TMidiManager>(ports_);
      manager_->Init();
      manager_->SetSuspended(false);
    }
    return *manager_;
  }
  TMidiAlias* Alias(const std::string& name, const std::string& device, uint8_t kind) {
    const int index = MidiAliasManager().AddAlias(name, device, kind, false);
    return MidiAliasManager().GetItem(index);
  }
  // The engine stand-in: every message handled, swallowed when asked.
  struct TEngineStandIn final : TMidiInputHandler {
    void HandleShortMessage(int32_t, uint32_t, bool& swallowed, bool& handled) override {
      ++*seen;
      swallowed = swallow;
      handled = true;
    }
    void HandleLongMessage(int32_t, const uint8_t*, int32_t, bool&, bool&) override {}
    void OnMidiThroughActivity() override { ++thru; }
    std::atomic<int>* seen = nullptr;
    bool swallow = false;
    std::atomic<int> thru{0};
  };
  void BindEngine(std::atomic<int>& seen, bool swallow) {
    engine_.seen = &seen;
    engine_.swallow = swallow;
    Manager().BindEngine(&engine_);
  }

  TLoopbackMidi loop_;
  TWinmmMidiScope scope_;
  TCountingPorts ports_;
  TEngineStandIn engine_;  // outlives the manager that calls it
  std::unique_ptr<TMidiManager> manager_;
};

TEST(MidiPortNumbering, EqualNamesAreNumberedAndOneDeviceGetsItsNumberInTheName) {
  TLoopbackMidi loop;
  TWinmmMidiScope scope(loop);
  loop.AddInput("Synth", "\\\\?\\usb#a#1#x");
  loop.AddInput("Synth", "\\\\?\\usb#b#2#x");
  loop.AddInput("Solo");
  loop.AddInput("Twin", "\\\\?\\usb#t#1#x");
  loop.AddInput("Twin", "\\\\?\\usb#t#1#x");
  loop.AddOutput("Synth", "\\\\?\\usb#b#2#x");
  TMidiDeviceList ins, outs;
  TMidiInput::EnumDevices(ins);
  TMidiOutput::EnumDevices(outs, false);
  NumberDuplicatePorts(ins);
  NumberDuplicatePorts(outs);
  CopyInstanceNumbers(ins, outs);
  EXPECT_EQ(ins[0]->GetDisplayName(), "Synth");
  EXPECT_EQ(ins[1]->GetDisplayName(), "Synth (2)");
  EXPECT_EQ(ins[2]->GetDisplayName(), "Solo");
  EXPECT_EQ(ins[3]->GetDisplayName(), "1 Twin");
  EXPECT_EQ(ins[4]->GetDisplayName(), "2 Twin");
  EXPECT_EQ(outs[0]->GetDisplayName(), "Synth (2)");  // the output of the second interface
}

TEST_F(MidiManagerTest, ScanMakesOneSlotPerPortWithTheMapperFirst) {
  TMidiManager& m = Manager();
  ASSERT_EQ(m.GetDeviceCount(true), 1);
  ASSERT_EQ(m.GetDeviceCount(false), 3);
  EXPECT_EQ(m.GetDevice(0, true)->GetName(), "Keys");
  EXPECT_EQ(m.GetDevice(0, false)->GetName(), "MIDI Mapper");
  EXPECT_EQ(m.IndexOfDevice("synth", false), 2);
  EXPECT_TRUE(m.GetDevice(2, false)->IsPresent());
  EXPECT_EQ(m.GetDevice(3, false), nullptr);
  EXPECT_EQ(m.FindOrAddDevice("Nothing", false, false, false), -1);
}

TEST_F(MidiManagerTest, ProgramsOwnVirtualPortsAreNotListedAsSystemPorts) {
  ports_.virtualOutputNames = {{"Korvanta 1", 0}};
  loop_.AddInput("2- Korvanta 1");
  TMidiManager& m = Manager();
  EXPECT_EQ(m.GetDeviceCount(true), 1);
  EXPECT_EQ(m.IndexOfDevice("2- Korvanta 1", true), -1);
}

TEST_F(MidiManagerTest, SuspendedManagerOnlyMarksPortsToOpen) {
  TMidiManager& m = Manager();
  m.SetSuspended(true);
  m.OpenInput(0, false);
  EXPECT_TRUE(m.GetDevice(0, true)->IsOpenRequested());
  EXPECT_FALSE(m.GetDevice(0, true)->IsOpen());
  m.SetSuspended(false);  // its scan opens what waits
  EXPECT_TRUE(m.GetDevice(0, true)->IsOpen());
}

TEST_F(MidiManagerTest, OpenErrorsAreReportedOrRaised) {
  TMidiManager& m = Manager();
  std::vector<std::string> errors;
  m.OnError = [&](int, const std::string& text) { errors.push_back(text); };
  loop_.InjectError(TLoopbackCall::Open, kMmAllocated);
  m.OpenOutput(2, false);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot open MIDI output device \"Synth\":", 0), 0u);
  EXPECT_EQ(m.GetDevice(2, false)->GetLastError(), errors[0]);
  try {
    m.OpenInput(99, true);
    FAIL() << "no error";
  } catch (const EMidiError& e) {
    EXPECT_STREQ(e.what(), "MIDI IN: Internal error: illegal MIDI In device ID: 99");
  }
}

TEST_F(MidiManagerTest, UnpluggedInputKeepsItsSlotAndReopensWithItsAliases) {
  TMidiManager& m = Manager();
  TMidiAlias* in = Alias("InA", "Keys", makMidiIn);
  std::vector<std::string> log;
  m.OnLog = [&](int, bool, const std::string& text) { log.push_back(text); };
  m.OpenInput(0, true);
  ASSERT_TRUE(m.GetDevice(0, true)->IsOpen());
  EXPECT_EQ(in->GetDeviceIndex(), 0);
  loop_.Unplug("Keys");
  m.Rescan(false, false);
  TMMMidiDev* slot = m.GetDevice(0, true);
  EXPECT_FALSE(slot->IsPresent());
  EXPECT_FALSE(slot->IsOpen());
  EXPECT_TRUE(slot->IsOpenRequested());
  loop_.Plug("Keys");
  m.Rescan(true, false);
  EXPECT_TRUE(slot->IsPresent());
  EXPECT_TRUE(slot->IsOpen());
  EXPECT_EQ(in->GetDeviceIndex(), 0);
  EXPECT_EQ(log.front(), "Opened MIDI IN: Keys");
  // Closed by the user, it is not reopened by a scan.
  m.CloseDevice(0, true, true);
  m.Rescan(true, false);
  EXPECT_FALSE(slot->IsOpen());
  EXPECT_FALSE(slot->IsOpenRequested());
}

TEST_F(MidiManagerTest, AbsentPortFromTheSettingsKeepsItsOptionsAndOpensWhenPlugged) {
  TMemIniFile ini;
  ini.WriteString(kMidiInSection, "Name0", "Pads");
  ini.WriteString(kMidiInSection, "Options0", "TFF");
  ini.WriteString(kMidiOutSection, "Name0", "Synth");
  ini.WriteString(kMidiOutSection, "Options0", "F");
  ini.WriteString(kMidiOutSection, "Name1", "Gone");
  TMidiManager& m = Manager();
  m.LoadFromIni(ini);
  const int pads = m.IndexOfDevice("Pads", true);
  ASSERT_GE(pads, 0);
  EXPECT_EQ(m.GetDevice(pads, true)->GetDevice()->GetKindName(), "Dummy MIDI In");
  TMemIniFile saved;
  saved.WriteString(kMidiInSection, "Name1", "stale");
  m.SaveToIni(saved);
  EXPECT_EQ(saved.ReadString(kMidiInSection, "Name0", ""), "Pads");
  EXPECT_EQ(saved.ReadString(kMidiInSection, "Options0", ""), "TFF");
  EXPECT_FALSE(saved.ValueExists(kMidiInSection, "Name1"));
  EXPECT_EQ(saved.ReadString(kMidiOutSection, "Name1", ""), "Gone");

  loop_.AddInput("Pads");
  m.Rescan(false, false);
  TMMMidiDev* slot = m.GetDevice(pads, true);
  ASSERT_TRUE(slot->IsOpen());
  auto device = std::dynamic_pointer_cast<TMidiInputBase>(slot->GetDevice());
  EXPECT_TRUE(device->GetPassActiveSensing());
  EXPECT_FALSE(device->GetPassTimingClock());
}

TEST_F(MidiManagerTest, UnswallowedMidiPassesThroughToRoutedOutputsOnce) {
  TMidiManager& m = Manager();
  TMidiAlias* in = Alias("InA", "Keys", makMidiIn);
  TMidiAlias* out = Alias("OutA", "Synth", makMidiOut);
  MidiRouter().AddRoute(in, out);
  MidiRouter().AddRoute(in, out);
  std::atomic<int> seen{0};
  BindEngine(seen, false);
  m.OpenInput(0, true);
  m.OpenOutput(2, true);
  loop_.FeedShort("Keys", 0x403C90);
  loop_.WaitIdle();
  EXPECT_EQ(seen, 1);
  auto sent = loop_.Sent("Synth");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (std::vector<uint8_t>{0x90, 0x3C, 0x40}));
  EXPECT_EQ(engine_.thru, 1);
}

TEST_F(MidiManagerTest, SwallowedOrSuspendedMidiIsNotPassed) {
  TMidiManager& m = Manager();
  MidiRouter().AddRoute(Alias("InA", "Keys", makMidiIn), Alias("OutA", "Synth", makMidiOut));
  std::atomic<int> seen{0};
  BindEngine(seen, true);
  m.OpenInput(0, true);
  m.OpenOutput(2, true);
  loop_.FeedShort("Keys", 0x403C90);
  loop_.WaitIdle();
  EXPECT_EQ(seen, 1);
  EXPECT_TRUE(loop_.Sent("Synth").empty());
  m.SetSuspended(true);
  loop_.FeedShort("Keys", 0x403C90);
  loop_.WaitIdle();
  EXPECT_EQ(seen, 1);
  EXPECT_FALSE(m.SendShortToAll(0xF8));
}

TEST_F(MidiManagerTest, AliasesOfOnePortSendOnceAndDeletedAliasesNoLonger) {
  TMidiManager& m = Manager();
  TMidiAliasList list;
  list.Add(Alias("OutA", "Synth", makMidiOut));
  list.Add(Alias("OutB", "Synth", makMidiOut));
  m.OpenOutput(2, true);
  EXPECT_TRUE(m.SendShortToAliases(list, 0xF8));
  EXPECT_EQ(loop_.Sent("Synth").size(), 1u);
  MidiAliasManager().DeleteAlias(MidiAliasManager().IndexOf("OutA", makMidiOut));
  MidiAliasManager().DeleteAlias(MidiAliasManager().IndexOf("OutB", makMidiOut));
  EXPECT_EQ(list.GetItem(0)->GetDeviceIndex(), -1);
  EXPECT_FALSE(m.SendShortToAliases(list, 0xF8));
  EXPECT_EQ(loop_.Sent("Synth").size(), 1u);
  EXPECT_TRUE(m.SendShortToAll(0xFA));
}

// The deferred scan is forced and arms the timer when the request asked for it: the device
// change a dialog's message loop reported may have swapped a port for another.
TEST_F(MidiManagerTest, RescanFromAnErrorReportOfARescanIsDeferred) {
  loop_.AddInput("Spare");
  loop_.AddInput("Pads");
  loop_.Unplug("Pads");
  TMidiManager& m = Manager();
  int armed = 0;
  m.SetRescanTimer([&](uint32_t) { ++armed; });
  m.OpenOutput(2, true);
  int reports = 0;
  m.OnError = [&](int, const std::string&) {
    ++reports;
    const int before = ports_.scans;
    loop_.Unplug("Spare");
    loop_.Plug("Pads");
    m.Rescan(true, true);  // as a dialog's message loop would on a device change
    EXPECT_EQ(ports_.scans, before);
  };
  loop_.Unplug("Synth");
  loop_.InjectError(TLoopbackCall::Open, kMmNoMem);
  m.Rescan(false, false);  // Synth absent: closed, waits to reopen
  loop_.Plug("Synth");
  const int before = ports_.scans;
  m.Rescan(true, false);  // reopening fails and reports; the report asks for a rescan
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(ports_.scans, before + 2);  // the deferred one ran after the first
  EXPECT_TRUE(m.GetDevice(2, false)->IsOpen());
  EXPECT_GE(m.IndexOfDevice("Pads", true), 0);
  EXPECT_EQ(armed, 1);
}

TEST_F(MidiManagerTest, AHandlerThrowingOutOfAScanLeavesLaterScansWorking) {
  TMidiManager& m = Manager();
  m.OpenOutput(2, true);
  int reports = 0;
  m.OnError = [&](int, const std::string&) {
    if (++reports == 1) throw std::runtime_error("a report that fails");
  };
  loop_.Unplug("Synth");
  m.Rescan(false, false);
  loop_.Plug("Synth");
  loop_.InjectError(TLoopbackCall::Open, kMmNoMem);
  EXPECT_ANY_THROW(m.Rescan(true, false));
  // Scans go on, and a report is made at once, not kept for a scan that never ends.
  const int before = ports_.scans;
  m.Rescan(true, false);
  EXPECT_EQ(ports_.scans, before + 1);
  EXPECT_TRUE(m.GetDevice(2, false)->IsOpen());
}

TEST_F(MidiManagerTest, SendingWhileDevicesComeAndGoIsSafe) {
  TMidiManager& m = Manager();
  m.OpenOutput(2, true);
  std::atomic<bool> stop{false};
  std::thread sender([&] {
    while (!stop) m.SendShortToAll(0xF8);
  });
  for (int i = 0; i < 20; ++i) {
    loop_.Unplug("Synth");
    m.Rescan(false, false);
    loop_.Plug("Synth");
    m.Rescan(true, false);
  }
  stop = true;
  sender.join();
  EXPECT_TRUE(m.GetDevice(2, false)->IsOpen());
}

TEST_F(MidiManagerTest, InputStreamSurvivesUnplugAndLosesNothingWhilePlugged) {
  TMidiManager& m = Manager();
  std::atomic<int> seen{0};
  BindEngine(seen, false);
  m.OpenInput(0, true);
  int fed = 0;
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 200; ++i) fed += loop_.FeedShort("Keys", 0x403C90) ? 1 : 0;
    std::vector<uint8_t> sysEx(3000, 0x01);
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;
    loop_.FeedLong("Keys", sysEx);
    loop_.WaitIdle();
    loop_.Unplug("Keys");
    m.Rescan(false, false);
    loop_.Plug("Keys");
    m.Rescan(true, false);
    ASSERT_TRUE(m.GetDevice(0, true)->IsOpen());
  }
  EXPECT_EQ(fed, 1000);
  EXPECT_EQ(seen, 1000);
}

// A device-change scan is followed by a forced one on the main thread, armed by the manager
// itself: a device that replaced another of the same count is found only by that one.
TEST_F(MidiManagerTest, DeviceChangeScanIsFollowedByAForcedScan) {
  TMainThreadCalls::Instance().SetMainThread();
  TMidiManager& m = Manager();
  m.SetRescanDelay(20);
  loop_.Unplug("Keys");
  loop_.AddInput("Drums");
  m.Rescan(false, true);
  EXPECT_EQ(m.IndexOfDevice("Drums", true), -1);  // the count did not change
  ASSERT_TRUE(WaitUntil([&] { return m.IndexOfDevice("Drums", true) >= 0; }));
  EXPECT_FALSE(m.GetDevice(m.IndexOfDevice("Keys", true), true)->IsPresent());
  // One that comes due while the manager is freed finds it gone.
  m.SetRescanDelay(0);
  m.Rescan(false, true);
  manager_.reset();
  TMainThreadCalls::Instance().Serve(20);
}

// How the manager learns of a quick unplug and replug.
enum class TReplugNotice { DeviceChangeScan, ForcedScan, DeviceReportOnly };

std::string NoticeName(const ::testing::TestParamInfo<TReplugNotice>& info) {
  static const char* const kNames[] = {"DeviceChangeScan", "ForcedScan", "DeviceReportOnly"};
  return kNames[static_cast<int>(info.param)];
}

class MidiQuickReplugTest : public MidiManagerTest,
                            public ::testing::WithParamInterface<TReplugNotice> {};

// Unplugged and plugged back before any scan: the scan sees the same devices with the same
// ids, but the system closed the open handles under the ports. Once the ports are back, a
// stream through input, engine and router to the output loses nothing.
TEST_P(MidiQuickReplugTest, StreamLosesNothingOnceThePortsAreBack) {
  TMainThreadCalls::Instance().SetMainThread();
  TMidiManager& m = Manager();
  MidiRouter().AddRoute(Alias("InA", "Keys", makMidiIn), Alias("OutA", "Synth", makMidiOut));
  std::atomic<int> seen{0};
  BindEngine(seen, false);
  int opened = 0;
  m.OnLog = [&](int, bool, const std::string& text) {
    opened += text == "Opened MIDI IN: Keys" || text == "Opened MIDI OUT: Synth" ? 1 : 0;
  };
  m.OpenInput(0, true);
  m.OpenOutput(2, true);
  ASSERT_EQ(opened, 2);

  std::atomic<bool> back{false}, stop{false};
  std::atomic<int> fedBack{0};
  std::vector<uint32_t> fedBackMessages;  // the feeder's until it is joined
  std::thread feeder([&] {
    for (uint32_t seq = 0; !stop; ++seq) {
      const bool afterReplug = back;
      const uint32_t message = 0x90 | (seq & 0x7F) << 8 | (seq >> 7 & 0x7F) << 16;
      if (loop_.FeedShort("Keys", message) && afterReplug) {
        fedBackMessages.push_back(message);
        ++fedBack;
      }
      std::this_thread::yield();
    }
  });
  struct TJoin {
    std::atomic<bool>& stop;
    std::thread& thread;
    ~TJoin() {
      stop = true;
      if (thread.joinable()) thread.join();
    }
  } join{stop, feeder};

  ASSERT_TRUE(WaitUntil([&] { return seen > 100; }));
  loop_.Unplug("Keys");
  loop_.Unplug("Synth");
  loop_.Plug("Keys");
  loop_.Plug("Synth");
  if (GetParam() == TReplugNotice::DeviceChangeScan) m.Rescan(false, true);
  if (GetParam() == TReplugNotice::ForcedScan) m.Rescan(true, false);
  ASSERT_TRUE(WaitUntil([&] { return opened == 4; })) << opened;
  EXPECT_TRUE(m.GetDevice(0, true)->IsPresent());
  back = true;
  ASSERT_TRUE(WaitUntil([&] { return fedBack >= 500; }));
  stop = true;
  feeder.join();
  loop_.WaitIdle();

  const auto sent = loop_.Sent("Synth");
  ASSERT_GE(sent.size(), fedBackMessages.size());
  const size_t first = sent.size() - fedBackMessages.size();
  for (size_t i = 0; i < fedBackMessages.size(); ++i) {
    const uint32_t message = fedBackMessages[i];
    const std::vector<uint8_t> bytes{static_cast<uint8_t>(message),
                                     static_cast<uint8_t>(message >> 8),
                                     static_cast<uint8_t>(message >> 16)};
    ASSERT_EQ(sent[first + i].bytes, bytes) << "message " << i << " after the replug";
  }
}

INSTANTIATE_TEST_SUITE_P(Notices, MidiQuickReplugTest,
                         ::testing::Values(TReplugNotice::DeviceChangeScan,
                                           TReplugNotice::ForcedScan,
                                           TReplugNotice::DeviceReportOnly),
                         NoticeName);

}  // namespace
}  // namespace kv
