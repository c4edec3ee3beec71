#include "vmplib/port_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "vmplib/short_message.h"

namespace kv::vmpl {
namespace {

uint32_t U32At(const std::vector<uint8_t>& r, size_t at) {
  uint32_t v;
  std::memcpy(&v, &r[at], 4);
  return v;
}

void PutAt(std::vector<uint8_t>& r, size_t at, uint32_t v) {
  std::memcpy(&r[at], &v, 4);
}

TEST(PortRecordTest, BuildPacksStringsInOrderAfterTheHead) {
  VMPL_PortDesc d{};
  d.version = VMPL_VERSION;
  d.type = VMPL_PORT_BOTH;
  d.deviceName = u"dev1";
  d.outName = u"Out";
  d.inName = u"In";
  d.value = 77;
  auto r = BuildPortRecord(d);
  ASSERT_TRUE(r);
  EXPECT_EQ(U32At(*r, 0), 76u + 10 + 8 + 6);
  EXPECT_EQ(r->size(), U32At(*r, 0));
  EXPECT_EQ(U32At(*r, 4), VMPL_VERSION);
  EXPECT_EQ(U32At(*r, 8), 3u);
  EXPECT_EQ(U32At(*r, 12), 10u);
  EXPECT_EQ(U32At(*r, 16), 76u);
  EXPECT_EQ(U32At(*r, 20), 8u);
  EXPECT_EQ(U32At(*r, 24), 86u);
  EXPECT_EQ(U32At(*r, 28), 6u);
  EXPECT_EQ(U32At(*r, 32), 94u);
  EXPECT_EQ(U32At(*r, 36), 0u);
  EXPECT_EQ(U32At(*r, 40), 77u);
  EXPECT_EQ((*r)[76], 'd');
  EXPECT_EQ((*r)[84], 0);  // terminator of "dev1"
  EXPECT_EQ((*r)[85], 0);
}

TEST(PortRecordTest, AbsentDeviceNameTakesNoRoom) {
  VMPL_PortDesc d{};
  d.version = VMPL_VERSION;
  d.type = VMPL_PORT_OUTPUT;
  d.outName = u"X";
  auto r = BuildPortRecord(d);
  ASSERT_TRUE(r);
  EXPECT_EQ(U32At(*r, 12), 0u);
  EXPECT_EQ(U32At(*r, 16), 0u);
  EXPECT_EQ(U32At(*r, 20), 4u);
  EXPECT_EQ(U32At(*r, 24), 76u);
  EXPECT_EQ(U32At(*r, 28), 0u);
}

TEST(PortRecordTest, DecodeRoundTripsAndChecksEveryOffset) {
  VMPL_PortDesc d{};
  d.version = VMPL_VERSION;
  d.type = VMPL_PORT_INPUT;
  d.deviceName = u"port0001";
  d.inName = u"Name";
  d.value = 5;
  auto r = *BuildPortRecord(d);
  SetRecordPortId(r, 42);
  DecodedPortRecord out;
  ASSERT_EQ(DecodePortRecord(r.data(), uint32_t(r.size()), out), 0u);
  EXPECT_EQ(out.head.portId, 42u);
  EXPECT_EQ(out.head.value, 5u);
  EXPECT_EQ(*out.deviceName, u"port0001");
  EXPECT_EQ(*out.recordInName, u"Name");
  EXPECT_FALSE(out.recordOutName);

  // Shorter than its size claims, or another version: 18.
  EXPECT_EQ(DecodePortRecord(r.data(), uint32_t(r.size() - 1), out), 18u);
  auto v = r;
  PutAt(v, 4, 0x1000);
  EXPECT_EQ(DecodePortRecord(v.data(), uint32_t(v.size()), out), 18u);
  // Unreadable: too short for a head, a string outside the record, one inside the head.
  EXPECT_EQ(DecodePortRecord(r.data(), 4, out), 1u);
  EXPECT_EQ(DecodePortRecord(nullptr, 100, out), 1u);
  auto s = r;
  PutAt(s, 0, 40);
  EXPECT_EQ(DecodePortRecord(s.data(), uint32_t(s.size()), out), 1u);
  auto o = r;
  PutAt(o, 16, uint32_t(r.size()) - 2);
  EXPECT_EQ(DecodePortRecord(o.data(), uint32_t(o.size()), out), 1u);
  PutAt(o, 16, 0xFFFFFFF0);
  EXPECT_EQ(DecodePortRecord(o.data(), uint32_t(o.size()), out), 1u);
  PutAt(o, 16, 8);
  EXPECT_EQ(DecodePortRecord(o.data(), uint32_t(o.size()), out), 1u);
  EXPECT_FALSE(out.deviceName);
}

TEST(PortRecordTest, UnterminatedDeviceNameIsTerminatedByTheDecoder) {
  VMPL_PortDesc d{};
  d.version = VMPL_VERSION;
  d.type = VMPL_PORT_OUTPUT;
  d.deviceName = u"abc";
  auto r = *BuildPortRecord(d);
  PutAt(r, 12, 6);  // the terminator left out of the length
  DecodedPortRecord out;
  ASSERT_EQ(DecodePortRecord(r.data(), uint32_t(r.size()), out), 0u);
  EXPECT_EQ(*out.deviceName, u"abc");
}

TEST(PortRecordTest, CategoryKeyPathFormatsTheIdentifier) {
  const Guid id = {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE,
                   0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  EXPECT_EQ(CategoryKeyPath(id),
            u"SYSTEM\\CurrentControlSet\\Control\\MediaCategories\\"
            u"{12345678-9ABC-DEF0-0123-456789ABCDEF}");
}

TEST(PortRecordTest, NameValueMustBeAStringAndIsAlwaysTerminated) {
  RegistryValue v;
  v.type = kRegTypeString;
  v.data = {'A', 0, 'b', 0, 0, 0, 'z', 0};
  EXPECT_EQ(*DecodeNameValue(v), u"Ab");
  v.data = {'A', 0, 'b', 0, 'c'};  // no terminator, odd length
  EXPECT_EQ(*DecodeNameValue(v), u"Ab");
  v.data.clear();
  EXPECT_EQ(*DecodeNameValue(v), u"");
  v.type = 3;  // binary
  v.data = {'A', 0};
  EXPECT_FALSE(DecodeNameValue(v));
  v.type = 2;  // expandable string: not a plain string value
  EXPECT_FALSE(DecodeNameValue(v));
}

TEST(ShortMessageTest, SendLengths) {
  EXPECT_EQ(ShortSendLength(0x00), 4u);
  EXPECT_EQ(ShortSendLength(0x7F), 4u);
  EXPECT_EQ(ShortSendLength(0x403C90), 3u);
  EXPECT_EQ(ShortSendLength(0x40BC90), 4u);  // bit 15
  EXPECT_EQ(ShortSendLength(0x803C90), 4u);  // bit 23
  EXPECT_EQ(ShortSendLength(0x05C0), 2u);
  EXPECT_EQ(ShortSendLength(0x85D0), 4u);
  EXPECT_EQ(ShortSendLength(0x7FE0), 3u);
  EXPECT_EQ(ShortSendLength(0xF0), 4u);
  EXPECT_EQ(ShortSendLength(0xF1), 2u);
  EXPECT_EQ(ShortSendLength(0xF3), 2u);
  EXPECT_EQ(ShortSendLength(0xF2), 3u);
  EXPECT_EQ(ShortSendLength(0xF4), 1u);
  EXPECT_EQ(ShortSendLength(0xFE), 1u);
  EXPECT_EQ(ShortSendLength(0xFF), 1u);
}

TEST(ShortMessageTest, MessageLengths) {
  EXPECT_EQ(ShortMessageLength(0x00), 0u);
  EXPECT_EQ(ShortMessageLength(0x7F), 0u);
  EXPECT_EQ(ShortMessageLength(0x80), 3u);
  EXPECT_EQ(ShortMessageLength(0xBF), 3u);
  EXPECT_EQ(ShortMessageLength(0xC0), 2u);
  EXPECT_EQ(ShortMessageLength(0xDF), 2u);
  EXPECT_EQ(ShortMessageLength(0xE5), 3u);
  EXPECT_EQ(ShortMessageLength(0xF0), 1u);
  EXPECT_EQ(ShortMessageLength(0xF1), 2u);
  EXPECT_EQ(ShortMessageLength(0xF2), 3u);
  EXPECT_EQ(ShortMessageLength(0xF3), 2u);
  EXPECT_EQ(ShortMessageLength(0xF4), 1u);
  EXPECT_EQ(ShortMessageLength(0x1234FF), 1u);
  EXPECT_EQ(ShortMessageLength(0xFFFFFF90), 3u);  // only the lowest byte counts
}

}  // namespace
}  // namespace kv::vmpl
