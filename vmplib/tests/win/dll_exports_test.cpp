// vmplib.dll through its exports by name on a machine without the bus driver.
#include <windows.h>

#include <gtest/gtest.h>

#include "vmplib/tests/no_access_page.h"
#include "vmplib/vmplib.h"

namespace {

class DllExportsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dll_ = LoadLibraryW(L"vmplib.dll"); }
  static void TearDownTestSuite() {
    if (dll_) FreeLibrary(dll_);
  }
  template <typename Fn>
  static Fn Get(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll_, name)));
  }
  static HMODULE dll_;
};
HMODULE DllExportsTest::dll_ = nullptr;

TEST_F(DllExportsTest, ExportsTheFifteenFunctionsByName) {
  ASSERT_NE(dll_, nullptr);
  for (const char* name :
       {"VMPL_GetVersion", "VMPL_GetPortCount", "VMPL_GetPortInfo", "VMPL_DestroyInfo",
        "VMPL_AddPort", "VMPL_RemovePort", "VMPL_Connect", "VMPL_Disconnect", "VMPL_SendShort",
        "VMPL_SendLong", "VMPL_Receive", "VMPL_GetShortMessageLength", "VMPL_IsBusInstalled",
        "VMPL_InstallBusDriver", "VMPL_UninstallBusDriver"}) {
    EXPECT_NE(GetProcAddress(dll_, name), nullptr) << name;
  }
}

TEST_F(DllExportsTest, AnswersOfAMachineWithoutTheBus) {
  ASSERT_NE(dll_, nullptr);
  EXPECT_EQ(Get<VMPL_GetVersionFn>("VMPL_GetVersion")(), 0x1001u);
  EXPECT_EQ(Get<VMPL_GetPortCountFn>("VMPL_GetPortCount")(), 0xFFFFFFFFu);
  EXPECT_EQ(Get<VMPL_IsBusInstalledFn>("VMPL_IsBusInstalled")(), 0u);

  auto getInfo = Get<VMPL_GetPortInfoFn>("VMPL_GetPortInfo");
  VMPL_PortInfo* info = nullptr;
  EXPECT_EQ(getInfo(0, &info), 13u);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(getInfo(0, nullptr), 1u);

  auto addPort = Get<VMPL_AddPortFn>("VMPL_AddPort");
  VMPL_PortDesc d{};
  EXPECT_EQ(addPort(nullptr), 1u);
  EXPECT_EQ(addPort(&d), 18u);
  d.version = VMPL_VERSION;
  EXPECT_EQ(addPort(&d), 1u);
  d.type = 1;
  d.deviceName = u"kvtest";
  EXPECT_EQ(addPort(&d), 13u);

  auto removePort = Get<VMPL_RemovePortFn>("VMPL_RemovePort");
  VMPL_PortInfo mine{VMPL_VERSION, 1, u"kvtest", nullptr, nullptr, 0, 1};
  EXPECT_EQ(removePort(nullptr), 1u);
  EXPECT_EQ(removePort(&mine), 13u);
  auto destroy = Get<VMPL_DestroyInfoFn>("VMPL_DestroyInfo");
  EXPECT_EQ(destroy(nullptr), 1u);
  EXPECT_EQ(destroy(&mine), 1u);  // not one of the library's records

  auto connect = Get<VMPL_ConnectFn>("VMPL_Connect");
  VMPL_Handle h = 77;
  EXPECT_EQ(connect(nullptr, &h), 1u);
  EXPECT_EQ(h, 0u);
  h = 77;
  EXPECT_EQ(connect(&mine, &h), 3u);  // no such port device
  EXPECT_EQ(h, 0u);
  mine.version = 0;
  EXPECT_EQ(connect(&mine, &h), 18u);

  EXPECT_EQ(Get<VMPL_DisconnectFn>("VMPL_Disconnect")(1234), 5u);
  EXPECT_EQ(Get<VMPL_SendShortFn>("VMPL_SendShort")(1234, 0x90), 5u);
  const uint8_t data[3] = {0xF0, 0x01, 0xF7};
  auto sendLong = Get<VMPL_SendLongFn>("VMPL_SendLong");
  EXPECT_EQ(sendLong(1234, data, 3), 5u);
  EXPECT_EQ(sendLong(1234, data, 0), 1u);
  EXPECT_EQ(sendLong(1234, nullptr, 3), 1u);
  auto receive = Get<VMPL_ReceiveFn>("VMPL_Receive");
  VMPL_Message m{};
  EXPECT_EQ(receive(1234, &m), 5u);
  EXPECT_EQ(receive(1234, nullptr), 1u);
  auto length = Get<VMPL_GetShortMessageLengthFn>("VMPL_GetShortMessageLength");
  EXPECT_EQ(length(0x90), 3u);
  EXPECT_EQ(length(0x40), 0u);

  int32_t reboot = 9;
  auto install = Get<VMPL_InstallBusDriverFn>("VMPL_InstallBusDriver");
  EXPECT_EQ(install(u"C:\\no\\such\\file.inf", &reboot), 1u);
  EXPECT_EQ(reboot, 0);
  EXPECT_EQ(install(u"C:\\windows", nullptr), 1u);  // a folder
  EXPECT_EQ(install(u"C:\\windows\\*.ini", nullptr), 1u);
  EXPECT_EQ(Get<VMPL_UninstallBusDriverFn>("VMPL_UninstallBusDriver")(), 15u);
}

TEST_F(DllExportsTest, PointersToMemoryThatIsNotThereAreCodesNotFaults) {
  ASSERT_NE(dll_, nullptr);
  const kv::vmpl::test::TNoAccessPage page;
  void* gone = page.NoAccess();
  EXPECT_EQ(Get<VMPL_AddPortFn>("VMPL_AddPort")(static_cast<const VMPL_PortDesc*>(gone)), 1u);
  auto* record = static_cast<VMPL_PortInfo*>(gone);
  EXPECT_EQ(Get<VMPL_RemovePortFn>("VMPL_RemovePort")(record), 1u);
  EXPECT_EQ(Get<VMPL_DestroyInfoFn>("VMPL_DestroyInfo")(record), 1u);
  auto connect = Get<VMPL_ConnectFn>("VMPL_Connect");
  VMPL_Handle h = 77;
  EXPECT_EQ(connect(record, &h), 1u);
  EXPECT_EQ(h, 0u);
  VMPL_PortInfo mine{VMPL_VERSION, 1, static_cast<const VMPL_Char*>(gone), nullptr, nullptr, 0, 1};
  EXPECT_EQ(connect(&mine, &h), 1u);
  mine.deviceName = u"kvtest";
  EXPECT_EQ(connect(&mine, static_cast<VMPL_Handle*>(gone)), 1u);
  EXPECT_EQ(Get<VMPL_ReceiveFn>("VMPL_Receive")(1234, static_cast<VMPL_Message*>(gone)), 1u);
  EXPECT_EQ(Get<VMPL_InstallBusDriverFn>("VMPL_InstallBusDriver")(
                static_cast<const VMPL_Char*>(gone), nullptr),
            1u);
  // Still here, and the library still answers.
  EXPECT_EQ(Get<VMPL_GetVersionFn>("VMPL_GetVersion")(), 0x1001u);
}

}  // namespace
