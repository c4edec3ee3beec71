// Bus driver installation over a fake device setup.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "vmplib/device_setup.h"
#include "vmplib/vmplib.h"

namespace kv::vmpl {
namespace {

std::vector<char16_t> Multi(std::initializer_list<std::u16string> ids) {
  std::vector<char16_t> v;
  for (const auto& id : ids) {
    v.insert(v.end(), id.begin(), id.end());
    v.push_back(0);
  }
  v.push_back(0);
  return v;
}

// A machine's devices: hardware ids, present or not.
struct FakeMachine : TDeviceSetup {
  struct Device {
    std::vector<char16_t> ids;  // empty: no hardware ids
    bool present = true;
    bool removed = false;
  };
  std::vector<Device> devices;
  std::u16string infFile = u"C:\\drv\\zarnbus.inf";
  bool updateWorks = true, updateAsksReboot = false, restartNeeded = false;
  bool setFails = false, idsError = false;
  int updates = 0, prompts = 0, devConfigDeleted = 0;

  struct Set : TDeviceSet {
    FakeMachine& m;
    std::vector<size_t> members;
    Set(FakeMachine& machine, bool presentOnly) : m(machine) {
      for (size_t i = 0; i < m.devices.size(); ++i) {
        if (!m.devices[i].removed && (!presentOnly || m.devices[i].present)) members.push_back(i);
      }
    }
    Ids HardwareIds(uint32_t index, std::vector<char16_t>& ids) override {
      if (index >= members.size()) return Ids::End;
      if (m.idsError) return Ids::Error;
      ids = m.devices[members[index]].ids;
      return ids.empty() ? Ids::None : Ids::Ok;
    }
    bool Remove(uint32_t index) override {
      m.devices[members[index]].removed = true;
      return true;
    }
    bool RestartNeeded() override { return m.restartNeeded; }
  };
  struct NewDevice : TNewDevice {
    FakeMachine& m;
    size_t index;
    NewDevice(FakeMachine& machine, size_t i) : m(machine), index(i) {}
    bool Remove() override {
      m.devices[index].removed = true;
      return true;
    }
  };

  bool InfFileExists(std::u16string_view path) override { return path == infFile; }
  std::unique_ptr<TDeviceSet> OpenDevices(bool presentOnly) override {
    if (setFails) return nullptr;
    return std::make_unique<Set>(*this, presentOnly);
  }
  std::unique_ptr<TNewDevice> RegisterDevice(std::u16string_view inf,
                                             std::u16string_view idList) override {
    EXPECT_EQ(inf, infFile);
    // The list's own terminator is part of it; the string's follows it.
    EXPECT_EQ(idList, std::u16string_view(u"root\\zarnbus\0", 13));
    devices.push_back({Multi({u"root\\zarnbus"})});
    return std::make_unique<NewDevice>(*this, devices.size() - 1);
  }
  bool UpdateDriver(std::u16string_view id, std::u16string_view inf, bool& reboot) override {
    EXPECT_EQ(id, u"root\\zarnbus");
    EXPECT_EQ(inf, infFile);
    ++updates;
    reboot = updateAsksReboot;
    return updateWorks;
  }
  void PromptRestart() override { ++prompts; }
  void DeleteDevConfig() override { ++devConfigDeleted; }

  size_t Live(std::u16string_view id) const {
    size_t n = 0;
    for (const auto& d : devices) n += !d.removed && MultiStringContains(d.ids, id);
    return n;
  }
};

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDeviceSetup(&m_); }
  void TearDown() override { SetDeviceSetup(nullptr); }
  FakeMachine m_;
};

TEST(MultiStringTest, MatchesWholeEntriesExactly) {
  const auto ids = Multi({u"PCI\\VEN_1", u"root\\zarnbus"});
  EXPECT_TRUE(MultiStringContains(ids, u"root\\zarnbus"));
  EXPECT_FALSE(MultiStringContains(ids, u"ROOT\\zarnbus"));
  EXPECT_FALSE(MultiStringContains(ids, u"root\\zarn"));
  EXPECT_FALSE(MultiStringContains({}, u"x"));
  const std::vector<char16_t> unterminated = {u'a', u'b'};
  EXPECT_TRUE(MultiStringContains(unterminated, u"ab"));
  EXPECT_FALSE(MultiStringContains(Multi({u"", u"x"}), u"x"));  // an empty entry ends the list
}

TEST_F(InstallTest, MissingFolderOrPatternPathIs1AndTouchesNothing) {
  int32_t reboot = 7;
  EXPECT_EQ(VMPL_InstallBusDriver(u"C:\\nothere.inf", &reboot), 1u);
  EXPECT_EQ(reboot, 0);
  EXPECT_EQ(VMPL_InstallBusDriver(u"C:\\drv\\*.inf", nullptr), 1u);
  EXPECT_EQ(VMPL_InstallBusDriver(u"C:\\drv\\zarnbus.in?", nullptr), 1u);
  EXPECT_EQ(VMPL_InstallBusDriver(nullptr, nullptr), 1u);
  EXPECT_EQ(VMPL_InstallBusDriver(u"", nullptr), 1u);
  EXPECT_EQ(m_.devices.size(), 0u);
  EXPECT_EQ(m_.updates, 0);
}

TEST_F(InstallTest, InstallCreatesTheBusDeviceOnce) {
  m_.devices.push_back({});  // a device without hardware ids is skipped
  m_.devices.push_back({Multi({u"ACPI\\x"})});
  int32_t reboot = 5;
  EXPECT_EQ(VMPL_InstallBusDriver(m_.infFile.c_str(), &reboot), 0u);
  EXPECT_EQ(reboot, 0);
  EXPECT_EQ(m_.Live(u"root\\zarnbus"), 1u);
  // A second install updates the device it finds.
  m_.updateAsksReboot = true;
  EXPECT_EQ(VMPL_InstallBusDriver(m_.infFile.c_str(), &reboot), 0u);
  EXPECT_EQ(reboot, 1);
  EXPECT_EQ(m_.Live(u"root\\zarnbus"), 1u);
  EXPECT_EQ(m_.updates, 2);
  // Null reboot flag is fine.
  EXPECT_EQ(VMPL_InstallBusDriver(m_.infFile.c_str(), nullptr), 0u);
}

TEST_F(InstallTest, RefusedUpdateLeavesNoDeviceBehind) {
  m_.updateWorks = false;
  EXPECT_EQ(VMPL_InstallBusDriver(m_.infFile.c_str(), nullptr), 14u);
  EXPECT_EQ(m_.Live(u"root\\zarnbus"), 0u);
  m_.devices.push_back({Multi({u"root\\zarnbus"})});
  EXPECT_EQ(VMPL_InstallBusDriver(m_.infFile.c_str(), nullptr), 14u);
  EXPECT_EQ(m_.Live(u"root\\zarnbus"), 1u);  // an existing device is kept
}

TEST_F(InstallTest, InstallWhenTheDevicesCannotBeScanned) {
  m_.setFails = true;
  EXPECT_EQ(VMPL_InstallBusDriver(m_.infFile.c_str(), nullptr), 14u);
  m_.setFails = false;
  m_.devices.push_back({Multi({u"x"})});
  m_.idsError = true;
  EXPECT_EQ(VMPL_InstallBusDriver(m_.infFile.c_str(), nullptr), 14u);
  EXPECT_EQ(m_.devices.size(), 1u);
}

TEST_F(InstallTest, UninstallRemovesBusAndEveryPortDevice) {
  m_.devices.push_back({Multi({u"root\\zarnbus"})});
  m_.devices.push_back({Multi({u"ZARNBUS\\ZarnMIDI"}), true});
  m_.devices.push_back({Multi({u"ZARNBUS\\ZarnMIDI"}), false});  // not present
  m_.devices.push_back({Multi({u"other"})});
  m_.restartNeeded = true;
  EXPECT_EQ(VMPL_UninstallBusDriver(), 0u);
  EXPECT_EQ(m_.Live(u"root\\zarnbus"), 0u);
  EXPECT_EQ(m_.Live(u"ZARNBUS\\ZarnMIDI"), 0u);
  EXPECT_EQ(m_.Live(u"other"), 1u);
  EXPECT_EQ(m_.prompts, 1);
  EXPECT_EQ(m_.devConfigDeleted, 1);
}

TEST_F(InstallTest, UninstallWithoutTheBusIs15AndLeavesPortsAlone) {
  m_.devices.push_back({Multi({u"ZARNBUS\\ZarnMIDI"}), false});
  m_.devices.push_back({Multi({u"root\\zarnbus"}), false});  // installed once, not present
  EXPECT_EQ(VMPL_UninstallBusDriver(), 15u);
  EXPECT_EQ(m_.Live(u"ZARNBUS\\ZarnMIDI"), 1u);
  EXPECT_EQ(m_.devConfigDeleted, 0);
  EXPECT_EQ(m_.prompts, 0);
}

}  // namespace
}  // namespace kv::vmpl
