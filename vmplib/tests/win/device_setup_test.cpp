// Installing and removing the bus against the system's real device registration. The driver
// update and the restart prompt are stood in for: the test machine's driver update reports
// success even when it installed nothing, and a prompt would wait for a user.
#include <windows.h>

#include <gtest/gtest.h>

#include "vmplib/tests/win/test_inf.h"
#include "vmplib/vmplib.h"
#include "vmplib/win/device_setup_win.h"

namespace kv::vmpl {
namespace {

class TScriptedSetup : public win::TWinDeviceSetup {
 public:
  bool UpdateDriver(std::u16string_view, std::u16string_view, bool& reboot) override {
    ++updates;
    reboot = askReboot;
    return updateWorks;
  }
  void PromptRestart() override { ++prompts; }
  bool updateWorks = true, askReboot = false;
  int updates = 0, prompts = 0;
};

class DeviceSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RemoveDevices(u"root\\zarnbus");
    inf_ = test::WriteTestInf();
    SetDeviceSetup(&setup_);
  }
  void TearDown() override {
    SetDeviceSetup(nullptr);
    test::RemoveDevices(u"root\\zarnbus");
  }
  const VMPL_Char* Inf() const { return reinterpret_cast<const VMPL_Char*>(inf_.c_str()); }

  TScriptedSetup setup_;
  std::wstring inf_;
};

TEST_F(DeviceSetupTest, RefusedDriverUpdateLeavesNoDeviceBehind) {
  setup_.updateWorks = false;
  int32_t reboot = 3;
  EXPECT_EQ(VMPL_InstallBusDriver(Inf(), &reboot), 14u);
  EXPECT_EQ(reboot, 0);
  EXPECT_EQ(setup_.updates, 1);
  EXPECT_EQ(test::CountDevices(u"root\\zarnbus", false), 0);
}

TEST_F(DeviceSetupTest, InstallRegistersOneBusDeviceAndUninstallRemovesIt) {
  int32_t reboot = 3;
  ASSERT_EQ(VMPL_InstallBusDriver(Inf(), &reboot), 0u);
  EXPECT_EQ(reboot, 0);
  EXPECT_EQ(test::CountDevices(u"root\\zarnbus", true), 1);
  // Installed already: the driver is updated, no second device is made.
  setup_.askReboot = true;
  ASSERT_EQ(VMPL_InstallBusDriver(Inf(), &reboot), 0u);
  EXPECT_EQ(reboot, 1);
  EXPECT_EQ(setup_.updates, 2);
  EXPECT_EQ(test::CountDevices(u"root\\zarnbus", true), 1);

  EXPECT_EQ(VMPL_UninstallBusDriver(), 0u);
  EXPECT_EQ(test::CountDevices(u"root\\zarnbus", true), 0);
  EXPECT_EQ(VMPL_UninstallBusDriver(), 15u);
}

TEST_F(DeviceSetupTest, FolderAndMissingPathsAre1) {
  std::wstring folder = inf_.substr(0, inf_.find_last_of(L'\\'));
  EXPECT_EQ(VMPL_InstallBusDriver(reinterpret_cast<const VMPL_Char*>(folder.c_str()), nullptr), 1u);
  std::wstring missing = folder + L"\\other.inf";
  EXPECT_EQ(VMPL_InstallBusDriver(reinterpret_cast<const VMPL_Char*>(missing.c_str()), nullptr),
            1u);
  EXPECT_EQ(setup_.updates, 0);
  EXPECT_EQ(test::CountDevices(u"root\\zarnbus", false), 0);
}

}  // namespace
}  // namespace kv::vmpl
