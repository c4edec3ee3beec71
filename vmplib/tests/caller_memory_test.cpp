// Callers' pointers to memory that is not there: each exported function answers with a code,
// and the process goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "vmplib/caller_memory.h"
#include "vmplib/port_info.h"
#include "vmplib/standin/standin_bus.h"
#include "vmplib/tests/no_access_page.h"
#include "vmplib/tests/test_ports.h"

namespace kv::vmpl {
namespace {

using test::Connection;
using test::GetInfo;
using test::Str;
using test::TNoAccessPage;

// A string whose last character (its terminator, or the last letter) lies right before the
// page that cannot be read.
const VMPL_Char* AtPageEnd(const TNoAccessPage& page, std::u16string_view text,
                           bool terminated) {
  const size_t chars = text.size() + (terminated ? 1 : 0);
  auto* s = reinterpret_cast<VMPL_Char*>(page.Readable() + TNoAccessPage::kPageBytes) - chars;
  std::copy(text.begin(), text.end(), s);
  if (terminated) s[text.size()] = 0;
  return s;
}

template <typename T>
T* Unreadable(const TNoAccessPage& page) {
  return static_cast<T*>(page.NoAccess());
}

// A record whose first bytes are readable and whose rest lies in the unreadable page.
template <typename T>
T* Straddling(const TNoAccessPage& page) {
  return reinterpret_cast<T*>(page.Readable() + TNoAccessPage::kPageBytes - sizeof(T) / 2);
}

TEST(CallerMemoryTest, CopiesStopAtTheFirstByteThatIsNotThere) {
  TNoAccessPage page;
  std::u16string s;
  EXPECT_EQ(ReadCallerString(AtPageEnd(page, u"edge", true), 100, s), TCallerString::Read);
  EXPECT_EQ(s, u"edge");
  EXPECT_EQ(ReadCallerString(AtPageEnd(page, u"runs on", false), 100, s),
            TCallerString::Unreadable);
  EXPECT_EQ(ReadCallerString(Unreadable<VMPL_Char>(page), 100, s), TCallerString::Unreadable);
  EXPECT_EQ(ReadCallerString(u"fits5", 5, s), TCallerString::Read);
  EXPECT_EQ(ReadCallerString(u"longer", 5, s), TCallerString::TooLong);
  uint8_t bytes[8] = {};
  EXPECT_FALSE(CopyCallerMemory(bytes, page.Readable() + TNoAccessPage::kPageBytes - 4, 8));
  EXPECT_FALSE(CopyCallerMemory(page.NoAccess(), bytes, 8));
  EXPECT_TRUE(CopyCallerMemory(page.Readable() + TNoAccessPage::kPageBytes - 8, bytes, 8));
}

class CallerMemoryExportsTest : public ::testing::Test {
 protected:
  VMPL_PortDesc Desc(const VMPL_Char* outName) {
    VMPL_PortDesc d{};
    d.version = VMPL_VERSION;
    d.type = VMPL_PORT_BOTH;
    d.deviceName = u"kvBoth";
    d.outName = outName;
    d.inName = u"In";
    return d;
  }

  TStandInBusScope bus_;
  TNoAccessPage page_;
};

TEST_F(CallerMemoryExportsTest, UnreadableDescriptionsAndNamesAddNothing) {
  EXPECT_EQ(VMPL_AddPort(Unreadable<VMPL_PortDesc>(page_)), 1u);
  EXPECT_EQ(VMPL_AddPort(Straddling<VMPL_PortDesc>(page_)), 1u);
  VMPL_PortDesc d = Desc(Unreadable<VMPL_Char>(page_));
  EXPECT_EQ(VMPL_AddPort(&d), 8u);
  d = Desc(AtPageEnd(page_, u"Out", false));
  EXPECT_EQ(VMPL_AddPort(&d), 8u);
  EXPECT_EQ(bus_->PortCount(), 0u);
  d = Desc(AtPageEnd(page_, u"Out", true));
  ASSERT_EQ(VMPL_AddPort(&d), 0u);
  test::InfoPtr info = GetInfo(0);
  ASSERT_TRUE(info);
  EXPECT_EQ(Str(info->outName), u"Out");
  EXPECT_EQ(Str(info->inName), u"In");
}

TEST_F(CallerMemoryExportsTest, UnreadablePortRecordsAndOutValuesAreInvalidParameters) {
  VMPL_PortDesc d = Desc(u"Out");
  ASSERT_EQ(VMPL_AddPort(&d), 0u);
  test::InfoPtr info = GetInfo(0);
  ASSERT_TRUE(info);
  const size_t live = LivePortInfoCount();
  EXPECT_EQ(VMPL_GetPortInfo(0, Unreadable<VMPL_PortInfo*>(page_)), 1u);
  EXPECT_EQ(LivePortInfoCount(), live);  // the record made for it went again
  EXPECT_EQ(VMPL_DestroyInfo(Unreadable<VMPL_PortInfo>(page_)), 1u);
  EXPECT_EQ(VMPL_RemovePort(Unreadable<VMPL_PortInfo>(page_)), 1u);
  EXPECT_EQ(VMPL_RemovePort(Straddling<VMPL_PortInfo>(page_)), 1u);
  VMPL_Handle h = 5;
  EXPECT_EQ(VMPL_Connect(Unreadable<VMPL_PortInfo>(page_), &h), 1u);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(VMPL_Connect(info.get(), Unreadable<VMPL_Handle>(page_)), 1u);
  VMPL_PortInfo nameGone = *info;
  nameGone.deviceName = Unreadable<VMPL_Char>(page_);
  EXPECT_EQ(VMPL_Connect(&nameGone, &h), 1u);
  EXPECT_FALSE(bus_->IsConnected(0));
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
  int32_t reboot = 0;
  EXPECT_EQ(VMPL_InstallBusDriver(Unreadable<VMPL_Char>(page_), &reboot), 1u);
  EXPECT_EQ(VMPL_InstallBusDriver(u"C:\\drv\\zarnbus.inf", Unreadable<int32_t>(page_)), 1u);

  // A message record that is not there takes nothing from the ring.
  Connection c(info.get());
  ASSERT_EQ(c.code(), 0u);
  ASSERT_TRUE(bus_->InjectShort(0, 0x90, 1));
  EXPECT_EQ(VMPL_Receive(c.handle(), Unreadable<VMPL_Message>(page_)), 1u);
  EXPECT_EQ(VMPL_Receive(c.handle(), Straddling<VMPL_Message>(page_)), 1u);
  VMPL_Message m{};
  ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u);
  EXPECT_EQ(m.shortMsg, 0x90u);
  EXPECT_EQ(c.Disconnect(), 0u);
  EXPECT_EQ(VMPL_RemovePort(info.get()), 0u);
}

}  // namespace
}  // namespace kv::vmpl
