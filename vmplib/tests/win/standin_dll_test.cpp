// A library loaded by name exchanging MIDI over the stand-in bus, as the main program's
// virtual ports will: display names come through the registry, messages through the rings.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "vmplib/standin/standin_dll.h"
#include "vmplib/tests/no_access_page.h"
#include "vmplib/vmplib.h"

namespace {

class StandInDllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadLibraryW(L"vmplib_standin.dll");
    ASSERT_NE(dll_, nullptr);
  }
  void TearDown() override {
    // Every port goes, so the next test (and the registry) starts clean.
    if (!dll_) return;
    auto count = Get<VMPL_GetPortCountFn>("VMPL_GetPortCount");
    auto getInfo = Get<VMPL_GetPortInfoFn>("VMPL_GetPortInfo");
    auto remove = Get<VMPL_RemovePortFn>("VMPL_RemovePort");
    auto destroy = Get<VMPL_DestroyInfoFn>("VMPL_DestroyInfo");
    Get<VMPLSTANDIN_SetPresentFn>("VMPLSTANDIN_SetPresent")(1);
    while (count() > 0 && count() != VMPL_NO_PORT_COUNT) {
      VMPL_PortInfo* p = nullptr;
      ASSERT_EQ(getInfo(0, &p), 0u);
      remove(p);
      destroy(p);
    }
    FreeLibrary(dll_);
  }
  template <typename Fn>
  Fn Get(const char* name) {
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll_, name)));
    EXPECT_NE(fn, nullptr) << name;
    return fn;
  }
  uint32_t Add(uint32_t type, const char16_t* device, const char16_t* out, const char16_t* in) {
    VMPL_PortDesc d{};
    d.version = VMPL_VERSION;
    d.type = type;
    d.deviceName = device;
    d.outName = out;
    d.inName = in;
    return Get<VMPL_AddPortFn>("VMPL_AddPort")(&d);
  }
  VMPL_PortInfo* Info(uint32_t i) {
    VMPL_PortInfo* p = nullptr;
    EXPECT_EQ(Get<VMPL_GetPortInfoFn>("VMPL_GetPortInfo")(i, &p), 0u);
    return p;
  }
  HMODULE dll_ = nullptr;
};

TEST_F(StandInDllTest, ListsPortsWithRegistryDisplayNames) {
  EXPECT_EQ(Get<VMPL_IsBusInstalledFn>("VMPL_IsBusInstalled")(), 1u);
  ASSERT_EQ(Add(1, u"kvDllOut0000", u"Korvanta \u00C4 out", nullptr), 0u);
  ASSERT_EQ(Add(3, u"kvDllBoth0001", u"Both out", u"Both in"), 0u);
  EXPECT_EQ(Get<VMPL_GetPortCountFn>("VMPL_GetPortCount")(), 2u);
  VMPL_PortInfo* a = Info(0);
  VMPL_PortInfo* b = Info(1);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(std::u16string(a->outName), u"Korvanta \u00C4 out");
  EXPECT_EQ(a->inName, nullptr);
  EXPECT_EQ(std::u16string(b->inName), u"Both in");
  EXPECT_EQ(std::u16string(b->deviceName), u"kvDllBoth0001");
  auto destroy = Get<VMPL_DestroyInfoFn>("VMPL_DestroyInfo");
  EXPECT_EQ(destroy(a), 0u);
  EXPECT_EQ(destroy(b), 0u);

  Get<VMPLSTANDIN_SetPresentFn>("VMPLSTANDIN_SetPresent")(0);
  EXPECT_EQ(Get<VMPL_GetPortCountFn>("VMPL_GetPortCount")(), VMPL_NO_PORT_COUNT);
  EXPECT_EQ(Get<VMPL_IsBusInstalledFn>("VMPL_IsBusInstalled")(), 0u);
}

TEST_F(StandInDllTest, NamesAndRecordsThatAreNotThereAreCodesNotFaults) {
  const kv::vmpl::test::TNoAccessPage page;
  const auto* gone = static_cast<const VMPL_Char*>(page.NoAccess());
  EXPECT_EQ(Add(3, u"kvDllBoth0000", gone, u"In"), 8u);
  EXPECT_EQ(Add(3, gone, u"Out", u"In"), 8u);
  EXPECT_EQ(Get<VMPL_GetPortCountFn>("VMPL_GetPortCount")(), 0u);
  ASSERT_EQ(Add(3, u"kvDllBoth0000", u"Out", u"In"), 0u);
  auto getInfo = Get<VMPL_GetPortInfoFn>("VMPL_GetPortInfo");
  EXPECT_EQ(getInfo(0, static_cast<VMPL_PortInfo**>(page.NoAccess())), 1u);
  VMPL_PortInfo* info = Info(0);
  ASSERT_NE(info, nullptr);
  auto connect = Get<VMPL_ConnectFn>("VMPL_Connect");
  EXPECT_EQ(connect(info, static_cast<VMPL_Handle*>(page.NoAccess())), 1u);
  EXPECT_EQ(Get<VMPLSTANDIN_IsConnectedFn>("VMPLSTANDIN_IsConnected")(0), 0u);
  VMPL_Handle h = 0;
  ASSERT_EQ(connect(info, &h), 0u);
  EXPECT_EQ(Get<VMPL_DisconnectFn>("VMPL_Disconnect")(h), 0u);
  EXPECT_EQ(Get<VMPL_DestroyInfoFn>("VMPL_DestroyInfo")(info), 0u);
}

TEST_F(StandInDllTest, SendsReceivesAndWakesABlockedReceiveOnDisconnect) {
  ASSERT_EQ(Add(1, u"kvDllOut0000", u"Out", nullptr), 0u);
  ASSERT_EQ(Add(2, u"kvDllIn0001", nullptr, u"In"), 0u);
  ASSERT_EQ(Get<VMPLSTANDIN_CableFn>("VMPLSTANDIN_Cable")(0, 1), 1u);
  VMPL_PortInfo* out = Info(0);
  VMPL_PortInfo* in = Info(1);
  auto connect = Get<VMPL_ConnectFn>("VMPL_Connect");
  auto disconnect = Get<VMPL_DisconnectFn>("VMPL_Disconnect");
  auto receive = Get<VMPL_ReceiveFn>("VMPL_Receive");
  VMPL_Handle ho = 0, hi = 0;
  ASSERT_EQ(connect(out, &ho), 0u);
  ASSERT_EQ(connect(in, &hi), 0u);
  EXPECT_EQ(Get<VMPLSTANDIN_IsConnectedFn>("VMPLSTANDIN_IsConnected")(1), 1u);

  EXPECT_EQ(Get<VMPL_SendShortFn>("VMPL_SendShort")(ho, 0x647F90), 0u);
  std::vector<uint8_t> sysex(3000, 0x22);
  sysex.front() = 0xF0;
  sysex.back() = 0xF7;
  EXPECT_EQ(Get<VMPL_SendLongFn>("VMPL_SendLong")(ho, sysex.data(), 3000), 0u);
  uint8_t sent[16];
  EXPECT_EQ(Get<VMPLSTANDIN_TakeSentFn>("VMPLSTANDIN_TakeSent")(0, sent, 3), 3u);
  EXPECT_EQ(sent[0], 0x90);

  std::vector<uint8_t> buffer(4096);
  VMPL_Message m{};
  m.buffer = buffer.data();
  m.capacity = 4096;
  ASSERT_EQ(receive(hi, &m), 0u);
  EXPECT_EQ(m.shortMsg, 0x647F90u);
  ASSERT_EQ(receive(hi, &m), 0u);
  EXPECT_EQ(m.kind, 2u);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + m.received), sysex);
  ASSERT_EQ(Get<VMPLSTANDIN_InjectShortFn>("VMPLSTANDIN_InjectShort")(1, 0xF8, 1, 42), 1u);
  ASSERT_EQ(receive(hi, &m), 0u);
  EXPECT_EQ(m.shortMsg, 0xF8u);
  EXPECT_EQ(m.time, 42u);

  std::atomic<uint32_t> code{0xFFFF};
  std::thread receiver([&] {
    VMPL_Message blocked{};
    code = receive(hi, &blocked);
  });
  Sleep(50);
  EXPECT_EQ(disconnect(hi), 0u);
  receiver.join();
  EXPECT_TRUE(code == 10u || code == 5u) << code;
  EXPECT_EQ(disconnect(ho), 0u);
  EXPECT_EQ(disconnect(ho), 5u);
  auto destroy = Get<VMPL_DestroyInfoFn>("VMPL_DestroyInfo");
  destroy(out);
  destroy(in);
}

}  // namespace
