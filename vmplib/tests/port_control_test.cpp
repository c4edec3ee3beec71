// The bus as a whole over the stand-in bus: counting, reading, adding and removing ports.
#include <gtest/gtest.h>

#include "vmplib/bus_control.h"
#include "vmplib/port_info.h"
#include "vmplib/port_record.h"
#include "vmplib/standin/standin_bus.h"
#include "vmplib/tests/test_ports.h"

namespace kv::vmpl {
namespace {

using test::AddPort;
using test::GetInfo;
using test::Str;

TEST(NoBusTest, EveryOperationThatNeedsTheBusSaysSo) {
  // The default system of this build has no bus (as a machine without the driver).
  EXPECT_EQ(VMPL_GetVersion(), 0x1001u);
  EXPECT_EQ(VMPL_GetPortCount(), 0xFFFFFFFFu);
  EXPECT_EQ(VMPL_IsBusInstalled(), 0u);
  VMPL_PortInfo* keep = reinterpret_cast<VMPL_PortInfo*>(uintptr_t(0x1234));
  EXPECT_EQ(VMPL_GetPortInfo(0, &keep), 13u);
  EXPECT_EQ(keep, reinterpret_cast<VMPL_PortInfo*>(uintptr_t(0x1234)));
  EXPECT_EQ(AddPort(1, u"x"), 13u);
  VMPL_PortInfo info{VMPL_VERSION, 1, u"x", nullptr, nullptr, 0, 1};
  EXPECT_EQ(VMPL_RemovePort(&info), 13u);
  VMPL_Handle h = 99;
  EXPECT_EQ(VMPL_Connect(&info, &h), 3u);
  EXPECT_EQ(h, 0u);
}

class PortControlTest : public ::testing::Test {
 protected:
  TStandInBusScope bus_;
};

TEST_F(PortControlTest, CountsAndDescribesPortsWithTheirDisplayNames) {
  EXPECT_EQ(VMPL_GetPortCount(), 0u);
  EXPECT_EQ(VMPL_IsBusInstalled(), 1u);
  ASSERT_EQ(AddPort(1, u"kv0000", u"Out A", u"ignored", 7), 0u);
  ASSERT_EQ(AddPort(2, u"kv0001", nullptr, u"In A", 8), 0u);
  ASSERT_EQ(AddPort(3, u"kv0002", u"Both out", u"Both in"), 0u);
  ASSERT_EQ(VMPL_GetPortCount(), 3u);

  auto a = GetInfo(0), b = GetInfo(1), c = GetInfo(2);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(a->version, VMPL_VERSION);
  EXPECT_EQ(a->type, 1u);
  EXPECT_EQ(Str(a->deviceName), u"kv0000");
  EXPECT_EQ(Str(a->outName), u"Out A");
  EXPECT_EQ(a->inName, nullptr);
  EXPECT_EQ(a->value, 7u);
  EXPECT_EQ(b->outName, nullptr);
  EXPECT_EQ(Str(b->inName), u"In A");
  EXPECT_EQ(b->value, 8u);
  EXPECT_EQ(Str(c->outName), u"Both out");
  EXPECT_EQ(Str(c->inName), u"Both in");
  EXPECT_NE(a->portId, b->portId);

  // Two reads of one index are two records.
  auto again = GetInfo(0);
  EXPECT_NE(again.get(), a.get());
  EXPECT_EQ(Str(again->deviceName), u"kv0000");
}

TEST_F(PortControlTest, DisplayNameThatIsNotAStringIsLeftNull) {
  ASSERT_EQ(AddPort(3, u"kv0000", u"Out", u"In"), 0u);
  // Find the output side's key through a first read, then spoil it.
  VMPL_PortInfo* raw = nullptr;
  ASSERT_EQ(VMPL_GetPortInfo(0, &raw), 0u);
  test::InfoPtr info(raw);
  // The record's identifiers come from the driver's record of the port.
  uint32_t size = 0, returned = 0, index = 0;
  OsHandle dev = bus_->OpenBusControlDevice();
  ASSERT_TRUE(bus_->BusControl(dev, kBusRecordSize, &index, 4, &size, 4, returned));
  std::vector<uint8_t> rec(size);
  ASSERT_TRUE(bus_->BusControl(dev, kBusRecord, &index, 4, rec.data(), size, returned));
  bus_->CloseDevice(dev);
  DecodedPortRecord d;
  ASSERT_EQ(DecodePortRecord(rec.data(), returned, d), 0u);
  RegistryValue binary;
  binary.type = 3;
  binary.data = {'X', 0, 0, 0};
  bus_->Names().Write(CategoryKeyPath(d.head.outId), binary);
  bus_->Names().Delete(CategoryKeyPath(d.head.inId));
  auto spoilt = GetInfo(0);
  ASSERT_TRUE(spoilt);
  EXPECT_EQ(spoilt->outName, nullptr);
  EXPECT_EQ(spoilt->inName, nullptr);
  EXPECT_EQ(Str(spoilt->deviceName), u"kv0000");
}

TEST_F(PortControlTest, AddPortChecksItsRecordFirst) {
  EXPECT_EQ(VMPL_AddPort(nullptr), 1u);
  VMPL_PortDesc d{};
  d.version = 0x1000;
  d.type = 1;
  EXPECT_EQ(VMPL_AddPort(&d), 18u);
  d.version = VMPL_VERSION;
  for (uint32_t type : {0u, 4u, 0xFFFFFFFFu}) {
    d.type = type;
    EXPECT_EQ(VMPL_AddPort(&d), 1u) << type;
  }
  EXPECT_EQ(bus_->PortCount(), 0u);
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
}

TEST_F(PortControlTest, AddPortFailures) {
  bus_->FailIdentifiers(true);
  EXPECT_EQ(AddPort(1, u"a"), 8u);
  bus_->FailIdentifiers(false);
  bus_->FailRequest(kBusAddPort);
  EXPECT_EQ(AddPort(1, u"a"), 9u);
  EXPECT_EQ(bus_->PortCount(), 0u);
  bus_->SetPresent(false);
  EXPECT_EQ(AddPort(1, u"a"), 13u);
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
}

TEST_F(PortControlTest, GetPortInfoFailuresKeepTheCallersPointer) {
  ASSERT_EQ(AddPort(1, u"a", u"A"), 0u);
  VMPL_PortInfo* p = nullptr;
  EXPECT_EQ(VMPL_GetPortInfo(0, nullptr), 1u);
  EXPECT_EQ(VMPL_GetPortInfo(1, &p), 9u);  // beyond the count: the size request is refused
  EXPECT_EQ(p, nullptr);
  bus_->FailRequest(kBusRecord);
  EXPECT_EQ(VMPL_GetPortInfo(0, &p), 9u);
  EXPECT_EQ(p, nullptr);
  bus_->FailRequest(kBusCountPorts);
  EXPECT_EQ(VMPL_GetPortCount(), 0xFFFFFFFFu);
  bus_->FailRequest(kBusCountPorts);
  EXPECT_EQ(VMPL_IsBusInstalled(), 0u);
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
  EXPECT_EQ(LivePortInfoCount(), 0u);
}

TEST_F(PortControlTest, DestroyInfoRefusesWhatItDidNotMake) {
  ASSERT_EQ(AddPort(1, u"a", u"A"), 0u);
  EXPECT_EQ(VMPL_DestroyInfo(nullptr), 1u);
  VMPL_PortInfo mine{VMPL_VERSION, 1, u"a", nullptr, nullptr, 0, 1};
  EXPECT_EQ(VMPL_DestroyInfo(&mine), 1u);
  VMPL_PortInfo* p = nullptr;
  ASSERT_EQ(VMPL_GetPortInfo(0, &p), 0u);
  p->version = 0x1000;
  EXPECT_EQ(VMPL_DestroyInfo(p), 18u);
  p->version = VMPL_VERSION;
  EXPECT_EQ(VMPL_DestroyInfo(p), 0u);
  EXPECT_EQ(LivePortInfoCount(), 0u);
}

TEST_F(PortControlTest, RemovePortSendsTheIdBack) {
  ASSERT_EQ(AddPort(1, u"a", u"A"), 0u);
  ASSERT_EQ(AddPort(2, u"b", nullptr, u"B"), 0u);
  auto first = GetInfo(0);
  EXPECT_EQ(VMPL_RemovePort(nullptr), 1u);
  EXPECT_EQ(VMPL_RemovePort(first.get()), 0u);
  ASSERT_EQ(VMPL_GetPortCount(), 1u);
  EXPECT_EQ(Str(GetInfo(0)->deviceName), u"b");
  EXPECT_EQ(VMPL_RemovePort(first.get()), 3u);  // gone already
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
}

}  // namespace
}  // namespace kv::vmpl
