#include "midi/system/midi_device.h"

#include <gtest/gtest.h>

#include <map>

#include "midi/system/registry_string.h"

namespace kv {
namespace {

// A port over a made-up list of devices; DoOpen can be told to decline or fail.
template <typename Base>
class TFakePort : public Base {
 public:
  enum class OpenBehaviour { Opens, Declines, Throws };

  ~TFakePort() override { this->Close(); }
  void GetDeviceInfo(int32_t id, std::string& path, std::string& name) override {
    name = id == kMidiMapperDevice ? "Mapper" : "Device " + std::to_string(id);
    path = "\\\\?\\fake#" + std::to_string(id);
  }
  int GetDeviceCount() override { return 3; }
  std::unique_ptr<TMidiDeviceBase> Clone() const override { return nullptr; }
  std::string GetKindName() const override { return "Fake"; }

  OpenBehaviour behaviour = OpenBehaviour::Opens;
  TMidiPortHandle closedHandle = 0;
  bool handleWasClearedBeforeDoClose = false;

 protected:
  void DoOpen() override {
    if (behaviour == OpenBehaviour::Throws) throw EMidiError("cannot");
    if (behaviour == OpenBehaviour::Opens) this->SetHandle(42);
  }
  bool DoClose(TMidiPortHandle handle) override {
    handleWasClearedBeforeDoClose = this->GetHandle() == 0;
    closedHandle = handle;
    return true;
  }
};

class TFakeOutput : public TFakePort<TMidiOutputBase> {
 public:
  bool SendMsg(uint8_t, uint8_t, uint8_t) override { return false; }
  bool SendShort(uint32_t) override { return false; }
  bool SendLong(const uint8_t*, size_t) override { return false; }
  size_t SendLongChunked(const uint8_t*, size_t, const TMidiWaitMethod&) override { return 0; }
};

class TFakeInput : public TFakePort<TMidiInputBase> {
 public:
  void SetShortMsgHook(TMidiShortHook hook) override { shortHook = std::move(hook); }
  TMidiShortHook GetShortMsgHook() const override { return shortHook; }
  TMidiSysExHook GetSysExHook() const override { return sysExHook; }
  void SetSysExHook(TMidiSysExHook hook) override { sysExHook = std::move(hook); }
  bool GetPassActiveSensing() const override { return passAs; }
  bool GetPassTimingClock() const override { return passTc; }
  void SetPassActiveSensing(bool pass) override { passAs = pass; }
  void SetPassTimingClock(bool pass) override { passTc = pass; }
  void Start() override {}
  void Stop() override {}
  bool IsStarted() const override { return false; }

  TMidiShortHook shortHook;
  TMidiSysExHook sysExHook;
  bool passAs = false, passTc = true;
};

TEST(MidiDevice, NewPortHasNoDevice) {
  TFakeOutput out;
  EXPECT_EQ(out.GetDeviceID(), kNoMidiDevice);
  EXPECT_TRUE(out.IsClosed());
  EXPECT_TRUE(out.GetName().empty());
  EXPECT_TRUE(out.GetFeedbackCheck());
  out.Open();  // no device: nothing happens
  EXPECT_TRUE(out.IsClosed());
}

TEST(MidiDevice, SetDeviceIdRereadsOrClears) {
  TFakeOutput out;
  out.SetDeviceID(1);
  EXPECT_EQ(out.GetDeviceID(), 1);
  EXPECT_EQ(out.GetName(), "Device 1");
  EXPECT_EQ(out.GetDevicePath(), "\\\\?\\fake#1");
  out.SetDeviceID(kMidiMapperDevice);
  EXPECT_EQ(out.GetName(), "Mapper");
  out.SetDeviceID(3);  // equal to the device count
  EXPECT_EQ(out.GetDeviceID(), kNoMidiDevice);
  EXPECT_TRUE(out.GetName().empty());
  EXPECT_TRUE(out.GetDevicePath().empty());
  out.SetDeviceID(-2);
  EXPECT_EQ(out.GetDeviceID(), kNoMidiDevice);
}

TEST(MidiDevice, DisplayNameShowsInstancesFromTwo) {
  TFakeOutput out;
  out.SetName("Synth");
  out.SetInstanceNumber(1);
  EXPECT_EQ(out.GetDisplayName(), "Synth");
  out.SetInstanceNumber(2);
  EXPECT_EQ(out.GetDisplayName(), "Synth (2)");
}

TEST(MidiDevice, OpenRegistersAndCloseUnregistersTheDisplayName) {
  TFakeOutput out;
  out.SetDeviceID(0);
  out.SetInstanceNumber(2);
  out.Open();
  EXPECT_TRUE(out.IsOpen());
  EXPECT_TRUE(IsOpenPortName(true, "device 0 (2)"));  // case-insensitive
  EXPECT_FALSE(IsOpenPortName(false, "Device 0 (2)"));
  out.Close();
  EXPECT_TRUE(out.IsClosed());
  EXPECT_EQ(out.closedHandle, 42u);
  EXPECT_TRUE(out.handleWasClearedBeforeDoClose);
  EXPECT_FALSE(IsOpenPortName(true, "Device 0 (2)"));
}

TEST(MidiDevice, PortThatDidNotOpenIsNotRegistered) {
  TFakeOutput declines;
  declines.SetDeviceID(0);
  declines.behaviour = TFakeOutput::OpenBehaviour::Declines;
  declines.Open();
  EXPECT_TRUE(declines.IsClosed());
  EXPECT_FALSE(IsOpenPortName(true, "Device 0"));

  TFakeOutput fails;
  fails.SetDeviceID(0);
  fails.behaviour = TFakeOutput::OpenBehaviour::Throws;
  EXPECT_THROW(fails.Open(), EMidiError);
  EXPECT_FALSE(IsOpenPortName(true, "Device 0"));
}

TEST(MidiDevice, FeedbackLoopThroughVirtualCableIsRefused) {
  TFakeInput in;
  in.SetDeviceID(0);
  in.SetName("LoopBE Internal MIDI");
  TFakeOutput out;
  out.SetDeviceID(0);
  out.SetName("LoopBE Internal MIDI");

  // Only the output list holds it: no loop.
  RegisterOpenPortName(true, "LoopBE Internal MIDI");
  EXPECT_FALSE(WouldCreateFeedbackLoop(true, "LoopBE Internal MIDI"));
  UnregisterOpenPortName(true, "LoopBE Internal MIDI");

  in.Open();
  ASSERT_TRUE(in.IsOpen());
  try {
    out.Open();
    FAIL() << "opened";
  } catch (const EVirtualMIDIFeedback& e) {
    EXPECT_STREQ(e.what(),
                 "Opening \"LoopBE Internal MIDI\" would create a virtual feedback loop !");
  }
  EXPECT_TRUE(out.IsClosed());
  out.SetFeedbackCheck(false);
  out.Open();
  EXPECT_TRUE(out.IsOpen());
}

TEST(MidiDevice, VirtualCablePrefixes) {
  EXPECT_TRUE(IsVirtualCablePortName("MIDI Yoke NT: 1"));
  EXPECT_TRUE(IsVirtualCablePortName("midi yoke junction: 3"));
  EXPECT_TRUE(IsVirtualCablePortName("LB3"));
  EXPECT_FALSE(IsVirtualCablePortName("LB"));
  EXPECT_FALSE(IsVirtualCablePortName("My LoopBE"));
}

TEST(MidiDevice, MessageLengths) {
  EXPECT_EQ(GetMidiMessageLength(0xF8), 1);
  EXPECT_EQ(GetMidiMessageLength(0xC5), 2);
  EXPECT_EQ(GetMidiMessageLength(0x7F), 0);
  EXPECT_EQ(GetMidiMessageLength(0x90), 3);
  EXPECT_EQ(GetMidiMessageLength(0xBF), 3);
  EXPECT_EQ(GetMidiMessageLength(0xDF), 2);
  EXPECT_EQ(GetMidiMessageLength(0xE0), 3);
  EXPECT_EQ(GetMidiMessageLength(0xF0), 1);
  EXPECT_EQ(GetMidiMessageLength(0xF1), 2);
  EXPECT_EQ(GetMidiMessageLength(0xF2), 3);
  EXPECT_EQ(GetMidiMessageLength(0xF3), 2);
  EXPECT_EQ(GetMidiMessageLength(0xF4), 1);
}

TEST(MidiDevice, SameDeviceByPathOrInstance) {
  TFakeOutput a, b;
  a.SetDeviceID(0);
  b.SetDeviceID(1);
  b.SetName(a.GetName());
  EXPECT_FALSE(SameMidiDevice(a, b));  // different paths
  TFakeOutput c;
  c.Assign(a);
  EXPECT_TRUE(SameMidiDevice(a, c));
  TFakeInput in;
  in.SetDeviceID(0);
  EXPECT_FALSE(SameMidiDevice(a, in));  // other direction
  TFakeOutput noPathA, noPathB;
  noPathA.SetName("X");
  noPathB.SetName("X");
  noPathB.SetInstanceNumber(1);
  EXPECT_FALSE(SameMidiDevice(noPathA, noPathB));
  noPathB.SetInstanceNumber(0);
  EXPECT_TRUE(SameMidiDevice(noPathA, noPathB));
}

TEST(MidiDevice, InputAssignCopiesHooksAndFlags) {
  TFakeInput source;
  source.SetDeviceID(2);
  source.SetInstanceNumber(3);
  source.SetFeedbackCheck(false);
  int calls = 0;
  source.SetShortMsgHook([&](TMidiInputBase&, uint32_t, bool&) { ++calls; });
  source.OnShortMsg = [&](TMidiInputBase&, uint32_t) { ++calls; };
  source.SetPassActiveSensing(true);
  source.SetPassTimingClock(false);
  TFakeInput copy;
  copy.Assign(source);
  EXPECT_EQ(copy.GetDeviceID(), 2);
  EXPECT_EQ(copy.GetName(), "Device 2");
  EXPECT_EQ(copy.GetInstanceNumber(), 3);
  EXPECT_FALSE(copy.GetFeedbackCheck());
  EXPECT_TRUE(copy.GetPassActiveSensing());
  EXPECT_FALSE(copy.GetPassTimingClock());
  bool handled = false;
  copy.GetShortMsgHook()(copy, 0x90, handled);
  copy.OnShortMsg(copy, 0x90);
  EXPECT_EQ(calls, 2);
}

// The registry as a map of "key|value" to text.
std::map<std::string, std::string>& FakeRegistry() {
  static std::map<std::string, std::string> values;
  return values;
}
bool ReadFakeRegistry(const std::string& key, const std::string& value, size_t maxChars,
                      std::string& text) {
  auto it = FakeRegistry().find(key + "|" + value);
  if (it == FakeRegistry().end() || it->second.size() > maxChars) return false;
  text = it->second;
  return true;
}

class UsbPortName : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeRegistry().clear();
    SetRegistryStringReader(&ReadFakeRegistry);
  }
  void TearDown() override { SetRegistryStringReader(nullptr); }
  const std::string key_ = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234&PID_0001\\5&abc";
  const std::string path_ = "\\\\?\\USB#VID_1234&PID_0001#5&abc#{guid}\\global";
};

TEST_F(UsbPortName, UsbAudioPortTakesItsLocation) {
  FakeRegistry()[key_ + "|Service"] = "USBAudio";
  FakeRegistry()[key_ + "|LocationInformation"] = "Front Panel Keys";
  std::string name = "USB Audio Device";
  EXPECT_TRUE(GetUsbPortName(path_, name));
  EXPECT_EQ(name, "Front Panel Keys");
}

TEST_F(UsbPortName, AnyFailureKeepsTheName) {
  std::string name = "USB Audio Device";
  EXPECT_FALSE(GetUsbPortName(path_, name));  // no key
  FakeRegistry()[key_ + "|Service"] = "other";
  FakeRegistry()[key_ + "|LocationInformation"] = "Front";
  EXPECT_FALSE(GetUsbPortName(path_, name));
  FakeRegistry()[key_ + "|Service"] = "usbaudio";
  FakeRegistry()[key_ + "|LocationInformation"] = std::string(201, 'x');  // over the bound
  EXPECT_FALSE(GetUsbPortName(path_, name));
  FakeRegistry()[key_ + "|LocationInformation"] = "";
  EXPECT_FALSE(GetUsbPortName(path_, name));
  EXPECT_FALSE(GetUsbPortName("\\\\?\\hdaudio#x#y", name));
  EXPECT_FALSE(GetUsbPortName("\\\\?\\usb#only-one-part", name));
  EXPECT_EQ(name, "USB Audio Device");
}

}  // namespace
}  // namespace kv
