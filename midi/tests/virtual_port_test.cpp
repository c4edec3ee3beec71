// The program's virtual ports over the port library linked into the test, on its stand-in bus.
#include "midi/virtual/virtual_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "midi/manager/midi_manager.h"
#include "midi/system/port_text.h"
#include "midi/manager/virtual_port_setup.h"
#include "vmplib/ring.h"
#include "vmplib/standin/standin_bus.h"

namespace kv {
namespace {

const TVmplApi& LinkedVmplApi() {
  static const TVmplApi api = {
      &VMPL_GetVersion,     &VMPL_GetPortCount,     &VMPL_GetPortInfo,
      &VMPL_DestroyInfo,    &VMPL_AddPort,          &VMPL_RemovePort,
      &VMPL_Connect,        &VMPL_Disconnect,       &VMPL_SendShort,
      &VMPL_SendLong,       &VMPL_Receive,          &VMPL_GetShortMessageLength,
      &VMPL_IsBusInstalled, &VMPL_InstallBusDriver, &VMPL_UninstallBusDriver};
  return api;
}

TEST(VirtualPortNames, CleaningAndPrefixes) {
  std::string name = "Korvanta: \"Pro\" <1>?*/\\'";
  CleanPortName(name);
  EXPECT_EQ(name, "KorvantaPro1");
  std::u16string wide = u"A B\tC:D";
  CleanPortNameW(wide);
  EXPECT_EQ(wide, u"ABCD");
  EXPECT_EQ(StripPrefix("From X", "From "), "X");
  EXPECT_EQ(StripPrefix("from X", "From "), "from X");
  EXPECT_EQ(StripPrefix("X", ""), "X");
}

TEST(VirtualPortNames, DisplayNames) {
  EXPECT_EQ(MakeVirtualOutName("From Korvanta 1"), "Virtual Out Korvanta 1");
  EXPECT_EQ(MakeVirtualInName("To Korvanta 1"), "Virtual In Korvanta 1");
  EXPECT_EQ(MakeVirtualOutName(""), "");
  EXPECT_EQ(MakeVirtualOutName("Port Virtual Out"), "Port Virtual Out");
  SetVirtualPortPrefixes("", "");
  // With empty prefixes, a name with and one without "From " show alike.
  EXPECT_EQ(MakeVirtualOutName("From Korvanta 1"), "Virtual Out Korvanta 1");
  EXPECT_EQ(MakeVirtualOutName("Korvanta 1"), "Virtual Out Korvanta 1");
  SetVirtualPortPrefixes("Out-", "In-");
  EXPECT_EQ(MakeVirtualOutName("Out-From K"), "Virtual Out K");
  EXPECT_EQ(MakeVirtualInName("In-K"), "Virtual In K");
  SetVirtualPortPrefixes("From ", "To ");
}

TEST(VirtualPortNames, ErrorTexts) {
  EXPECT_EQ(GetVmplErrorText(3), "port does not exist");
  EXPECT_EQ(GetVmplErrorText(17), "unknown error code 17");
  EXPECT_STREQ(EVMIDIError(5).what(), "invalid handle");
  EXPECT_STREQ(EVMIDIError(13, "Context:").what(),
               "Context:\r\nerror connecting to virtual MIDI bus");
  EXPECT_NO_THROW(RaiseVmplError(0, "x"));
  EXPECT_THROW(RaiseVmplError(9, "x"), EVMIDIError);
}

TEST(VirtualPortNames, WithoutTheLibraryThereAreNoPorts) {
  TVmplApiScope scope(UnavailableVmplApi());
  EXPECT_FALSE(IsVirtualMidiBusAvailable());
  EXPECT_EQ(GetVirtualPortCount(u"Korvanta"), 0);
  TMidiDeviceList list;
  TVMidiOutput::EnumDevices(list, u"Korvanta");
  EXPECT_TRUE(list.empty());
  TVMidiOutput out;
  out.SetDeviceID(0);
  EXPECT_EQ(out.GetDeviceID(), kNoMidiDevice);
}

// Records what the setup asks of the program.
class TRecordingHost : public TVirtualPortSetupHost {
 public:
  bool ConfirmWarning(const std::string& text) override {
    asked.push_back(text);
    return confirm;
  }
  bool ErrorOkCancel(const std::string& text) override {
    errors.push_back(text);
    return confirm;
  }
  void Error(const std::string& text) override { errors.push_back(text); }
  bool confirm = true;
  std::vector<std::string> asked, errors;
};

class VirtualPortTest : public ::testing::Test {
 protected:
  VirtualPortTest() : api_(LinkedVmplApi()) {
    SetVirtualPortPrefixes("", "");
    SetVirtualPortSetupHost(&host_);
  }
  ~VirtualPortTest() override {
    SetVirtualPortSetupHost(nullptr);
    SetVirtualPortPrefixes("From ", "To ");
  }
  void MakePairs(int count) {
    ASSERT_EQ(SetVirtualPortCount("Korvanta", "Korvanta", count, false, true),
              kVirtualPortsAsWanted);
  }
  std::vector<std::string> DeviceNames() {
    std::vector<TVmplInfoPtr> list;
    ListVirtualPorts(list, u"");
    std::vector<std::string> names;
    for (auto& info : list) names.push_back(NarrowFromUtf16(VmplText(info->deviceName)));
    return names;
  }

  vmpl::TStandInBusScope bus_;
  TVmplApiScope api_;
  TRecordingHost host_;
};

TEST_F(VirtualPortTest, AddsNumberedPairsAndListsThemByFilter) {
  MakePairs(2);
  EXPECT_EQ(DeviceNames(), (std::vector<std::string>{"Korvanta0000", "Korvanta0001", "Korvanta0002",
                                                     "Korvanta0003"}));
  EXPECT_EQ(GetVirtualPortCount(u"Korvanta"), 2);
  EXPECT_EQ(GetVirtualPortCount(u"Other"), 0);
  TMidiDeviceList outs, ins;
  TVMidiOutput::EnumDevices(outs, u"Korvanta");
  TVMidiInput::EnumDevices(ins, u"Korvanta");
  ASSERT_EQ(outs.size(), 2u);
  ASSERT_EQ(ins.size(), 2u);
  EXPECT_EQ(outs[0]->GetName(), "Virtual Out Korvanta 1");
  EXPECT_EQ(outs[1]->GetName(), "Virtual Out Korvanta 2");
  EXPECT_EQ(outs[1]->GetDeviceID(), 2);
  EXPECT_EQ(ins[0]->GetName(), "Virtual In Korvanta 1");
  EXPECT_EQ(ins[0]->GetKindName(), "vMIDI In");
  TVirtualPortNames names;
  TVMidiInput::EnumDeviceNames(names, u"Korvanta");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1], (std::pair<std::string, int>("Korvanta 2", 3)));
  TVMidiOutput::EnumDevices(outs, u"Other");
  EXPECT_TRUE(outs.empty());
  // Already as wanted: nothing to do.
  EXPECT_EQ(SetVirtualPortCount("Korvanta", "Korvanta", 2, true, true), kVirtualPortsAsWanted);
  EXPECT_TRUE(host_.asked.empty());
}

TEST_F(VirtualPortTest, CountsSinglePortsAndBothSidedPorts) {
  VMPL_PortDesc desc{};
  desc.version = VMPL_VERSION;
  desc.type = VMPL_PORT_BOTH;
  desc.deviceName = u"Korvanta0000";
  desc.outName = u"K";
  desc.inName = u"K";
  ASSERT_EQ(VMPL_AddPort(&desc), 0u);
  EXPECT_EQ(GetVirtualPortCount(u"Korvanta"), 1);
  desc.type = VMPL_PORT_OUTPUT;
  desc.deviceName = u"Single0000";
  ASSERT_EQ(VMPL_AddPort(&desc), 0u);
  EXPECT_EQ(GetVirtualPortCount(u"Single"), 1);
}

TEST_F(VirtualPortTest, AddsTheMissingPortOfAnUnpairedList) {
  MakePairs(2);
  std::vector<TVmplInfoPtr> list;
  ListVirtualPorts(list, u"");
  ASSERT_EQ(VMPL_RemovePort(list[3].get()), 0u);
  MakePairs(2);
  ListVirtualPorts(list, u"");
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[3]->type, VMPL_PORT_INPUT);
  EXPECT_EQ(VmplText(list[3]->inName), u"Korvanta 2");
  EXPECT_EQ(list[3]->outName, nullptr);
}

TEST_F(VirtualPortTest, NewPortsTakeTheFirstFreeNumbers) {
  MakePairs(3);
  std::vector<TVmplInfoPtr> list;
  ListVirtualPorts(list, u"");
  ASSERT_EQ(VMPL_RemovePort(list[2].get()), 0u);  // the second pair, from the middle
  ASSERT_EQ(VMPL_RemovePort(list[3].get()), 0u);
  MakePairs(3);
  EXPECT_EQ(DeviceNames(),
            (std::vector<std::string>{"Korvanta0000", "Korvanta0001", "Korvanta0002",
                                      "Korvanta0003", "Korvanta0004", "Korvanta0005"}));
  ListVirtualPorts(list, u"");
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(list[2]->type, VMPL_PORT_OUTPUT);
  EXPECT_EQ(VmplText(list[2]->outName), u"Korvanta 2");
  EXPECT_EQ(list[3]->type, VMPL_PORT_INPUT);
  EXPECT_EQ(VmplText(list[3]->inName), u"Korvanta 2");
  EXPECT_EQ(VmplText(list[4]->outName), u"Korvanta 3");
}

TEST_F(VirtualPortTest, RemovesFromTheEndAfterClosingTheirSlots) {
  MakePairs(3);
  struct TFreeManager {
    ~TFreeManager() { FreeMidiManager(); }
  } freeManager;
  TMidiManager& manager = MidiManager();
  manager.SetSuspended(false);
  for (const bool isInput : {true, false}) {
    for (int i = 0; i < manager.GetDeviceCount(isInput); ++i) {
      if (manager.GetDevice(i, isInput)->IsVirtual()) manager.OpenDevice(i, isInput, true);
    }
  }
  std::vector<std::string> closed;
  manager.OnLog = [&](int, bool, const std::string& text) {
    if (text.rfind("Closed ", 0) == 0) closed.push_back(text);
  };
  ASSERT_EQ(SetVirtualPortCount("Korvanta", "Korvanta", 1, true, true), kVirtualPortsAsWanted);
  EXPECT_EQ(host_.asked.size(), 1u);
  EXPECT_EQ(DeviceNames(), (std::vector<std::string>{"Korvanta0000", "Korvanta0001"}));
  // Closed before the next scan, and not reopened by it.
  EXPECT_EQ(closed, (std::vector<std::string>{"Closed MIDI IN: Virtual In Korvanta 3",
                                              "Closed MIDI OUT: Virtual Out Korvanta 3",
                                              "Closed MIDI IN: Virtual In Korvanta 2",
                                              "Closed MIDI OUT: Virtual Out Korvanta 2"}));
  for (const char* name : {"Virtual In Korvanta 2", "Virtual In Korvanta 3"}) {
    const TMMMidiDev* slot = manager.GetDevice(manager.IndexOfDevice(name, true), true);
    ASSERT_NE(slot, nullptr) << name;
    EXPECT_FALSE(slot->IsOpen() || slot->IsOpenRequested()) << name;
  }
  EXPECT_TRUE(
      manager.GetDevice(manager.IndexOfDevice("Virtual In Korvanta 1", true), true)->IsOpen());
  host_.confirm = false;
  EXPECT_EQ(SetVirtualPortCount("Korvanta", "Korvanta", 0, true, true), kVirtualPortsFailed);
  EXPECT_EQ(DeviceNames().size(), 2u);
}

TEST_F(VirtualPortTest, AddingWithoutTheBusFails) {
  bus_->SetPresent(false);
  EXPECT_EQ(SetVirtualPortCount("Korvanta", "Korvanta", 1, false, true), kVirtualPortsFailed);
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_EQ(host_.errors[0].rfind("Error: Virtual MIDI bus driver not installed.", 0), 0u);
}

TEST_F(VirtualPortTest, OutputSendsThroughItsConnection) {
  MakePairs(1);
  TVMidiOutput out;
  out.SetPortFilter(u"Korvanta");
  out.SetDeviceID(0);
  out.Open();
  ASSERT_TRUE(out.IsOpen());
  EXPECT_TRUE(bus_->IsConnected(0));
  EXPECT_TRUE(out.SendMsg(0x90, 0xBC, 0xFF));  // data bytes cut to 7 bits
  const std::vector<uint8_t> sysEx = {0xF0, 0x01, 0x02, 0xF7};
  EXPECT_EQ(out.SendLongChunked(sysEx.data(), sysEx.size(),
                                [](TMidiOutputBase&, bool&) { FAIL() << "waited"; }),
            4u);
  EXPECT_EQ(bus_->TakeSent(0), (std::vector<uint8_t>{0x90, 0x3C, 0x7F, 0xF0, 0x01, 0x02, 0xF7}));
  out.Close();
  EXPECT_FALSE(bus_->IsConnected(0));
  EXPECT_FALSE(out.SendShort(0xF8));
}

TEST_F(VirtualPortTest, OutputOfAnotherProgramIsNotOpened) {
  MakePairs(1);
  TVMidiOutput out;
  out.SetDeviceID(0);  // any filter while the id is set
  out.SetPortFilter(u"Other");
  out.Open();
  EXPECT_TRUE(out.IsClosed());
  EXPECT_FALSE(IsOpenPortName(true, out.GetDisplayName()));
}

TEST_F(VirtualPortTest, StalePortIndexNeverConnectsAnotherPort) {
  MakePairs(2);
  TVMidiOutput out;
  out.SetPortFilter(u"Korvanta");
  out.SetDeviceID(2);  // Korvanta0002, "Korvanta 2"
  std::vector<TVmplInfoPtr> list;
  ListVirtualPorts(list, u"");
  ASSERT_EQ(VMPL_RemovePort(list[0].get()), 0u);  // every index after it shifts
  out.Open();
  ASSERT_TRUE(out.IsOpen());
  EXPECT_EQ(out.GetDeviceID(), 1);
  EXPECT_TRUE(out.SendShort(0xF8));
  EXPECT_EQ(bus_->TakeSent(1), (std::vector<uint8_t>{0xF8}));
  out.Close();

  ListVirtualPorts(list, u"");
  ASSERT_EQ(VMPL_RemovePort(list[1].get()), 0u);  // the port itself goes
  try {
    out.Open();
    FAIL() << "opened";
  } catch (const EVMIDIError& e) {
    EXPECT_EQ(e.Code(), VMPL_ERR_PORT_DOES_NOT_EXIST);
  }
  EXPECT_TRUE(out.IsClosed());
}

// What an input's hooks saw, from its receive thread.
struct TReceived {
  std::mutex mutex;  // guards the fields below
  std::condition_variable changed;
  std::vector<uint32_t> shorts;
  std::vector<std::vector<uint8_t>> sysEx;

  void Wire(TVMidiInput& in) {
    in.SetShortMsgHook([this](TMidiInputBase&, uint32_t m, bool& handled) {
      std::lock_guard<std::mutex> lock(mutex);
      shorts.push_back(m);
      handled = true;
      changed.notify_all();
    });
    in.SetSysExHook([this](TMidiInputBase&, const uint8_t* d, size_t n, bool& handled) {
      std::lock_guard<std::mutex> lock(mutex);
      sysEx.emplace_back(d, d + n);
      handled = true;
      changed.notify_all();
    });
  }
  bool WaitFor(size_t shortCount, size_t sysExCount) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(20), [&] {
      return shorts.size() >= shortCount && sysEx.size() >= sysExCount;
    });
  }
};

TEST_F(VirtualPortTest, InputReceivesOnItsThreadAndFiltersActiveSensing) {
  MakePairs(1);
  TReceived received;
  TVMidiInput in;
  in.SetPortFilter(u"Korvanta");
  in.SetDeviceID(1);
  received.Wire(in);
  try {
    in.Start();
    FAIL() << "started";
  } catch (const EMidiError& e) {
    EXPECT_STREQ(e.what(), "Cannot start virtual MIDI IN if port not opened.");
  }
  in.Open();
  ASSERT_TRUE(in.IsOpen());
  EXPECT_FALSE(in.IsStarted());
  EXPECT_FALSE(bus_->IsConnected(1));  // the open does not connect
  in.Start();
  ASSERT_TRUE(in.IsStarted());
  ASSERT_TRUE(bus_->InjectShort(1, 0xFE, 1));
  ASSERT_TRUE(bus_->InjectShort(1, 0xF8, 1));
  ASSERT_TRUE(bus_->InjectShort(1, 0x7F3C90, 3));
  ASSERT_TRUE(bus_->InjectRecord(1, VMPL_KIND_SYSEX, 0, {0xF0, 0x7E, 0xF7}));
  ASSERT_TRUE(received.WaitFor(2, 1));
  std::lock_guard<std::mutex> lock(received.mutex);
  EXPECT_EQ(received.shorts, (std::vector<uint32_t>{0xF8, 0x7F3C90}));
  EXPECT_EQ(received.sysEx[0], (std::vector<uint8_t>{0xF0, 0x7E, 0xF7}));
}

// The input port of the first pair, its hooks wired to `received`, opened.
void OpenWiredInput(TVMidiInput& in, TReceived& received) {
  in.SetPortFilter(u"Korvanta");
  in.SetDeviceID(1);
  received.Wire(in);
  in.Open();
}

TEST_F(VirtualPortTest, StopEndsTheThreadAndDisconnectsAndStartRestarts) {
  MakePairs(1);
  TReceived received;
  TVMidiInput in;
  OpenWiredInput(in, received);
  in.Start();
  ASSERT_TRUE(bus_->IsConnected(1));
  in.Stop();
  EXPECT_FALSE(in.IsStarted());
  EXPECT_FALSE(bus_->IsConnected(1));
  EXPECT_TRUE(in.IsOpen());
  in.Start();  // a new thread for the same open port
  ASSERT_TRUE(in.IsStarted());
  ASSERT_TRUE(bus_->InjectShort(1, 0x4090, 2));
  ASSERT_TRUE(received.WaitFor(1, 0));
  // Closing a started port disconnects its real connection.
  in.Close();
  EXPECT_FALSE(bus_->IsConnected(1));
  EXPECT_FALSE(in.IsStarted());
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
}

TEST_F(VirtualPortTest, RecordPublishedInPartArrivesWholeOnceFinished) {
  MakePairs(1);
  TReceived received;
  TVMidiInput in;
  OpenWiredInput(in, received);
  in.Start();
  ASSERT_TRUE(bus_->WaitForEventWaits(1, 20000));  // waiting on the empty ring
  const uint64_t waits = bus_->EventWaits();
  const uint32_t header[4] = {vmpl::kRecordMagic, 3, 0, VMPL_KIND_SHORT};
  std::vector<uint8_t> raw(sizeof header);
  std::memcpy(raw.data(), header, sizeof header);
  ASSERT_TRUE(bus_->InjectRaw(1, raw));
  // The thread goes back to waiting for the rest instead of retrying the receive.
  ASSERT_TRUE(bus_->WaitForEventWaits(waits + 1, 20000));
  ASSERT_TRUE(bus_->InjectRaw(1, {0x90, 0x3C, 0x7F}));
  ASSERT_TRUE(received.WaitFor(1, 0));
  {
    std::lock_guard<std::mutex> lock(received.mutex);
    EXPECT_EQ(received.shorts, (std::vector<uint32_t>{0x7F3C90}));
  }
  in.Close();
}

// A library whose receive always fails, counting the calls.
std::atomic<int> gFailedReceives{0};
uint32_t FailingReceive(VMPL_Handle, VMPL_Message*) {
  ++gFailedReceives;
  return VMPL_ERR_IO;
}
uint32_t FakeConnect(const VMPL_PortInfo*, VMPL_Handle* handle) {
  *handle = 77;
  return VMPL_OK;
}
uint32_t FakeDisconnect(VMPL_Handle) {
  return VMPL_OK;
}

TEST_F(VirtualPortTest, FailingReceiveBacksOff) {
  MakePairs(1);
  TVmplApi failing = LinkedVmplApi();
  failing.Receive = &FailingReceive;
  failing.Connect = &FakeConnect;
  failing.Disconnect = &FakeDisconnect;
  TVmplApiScope scope(failing);
  TVMidiInput in;
  in.SetPortFilter(u"Korvanta");
  in.SetDeviceID(1);
  in.Open();
  gFailedReceives = 0;
  const auto start = std::chrono::steady_clock::now();
  in.Start();
  const auto giveUp = start + std::chrono::seconds(30);
  while (gFailedReceives < 6 && std::chrono::steady_clock::now() < giveUp)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_GE(gFailedReceives.load(), 6);
  // Five waits of at least 1, 2, 4, 8 and 16 ms lie between the first six tries.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(31));
  in.Close();
  EXPECT_FALSE(in.IsStarted());
}

}  // namespace
}  // namespace kv
