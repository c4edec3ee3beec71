// Connections and message exchange over the stand-in bus.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "vmplib/connection.h"
#include "vmplib/ring.h"
#include "vmplib/standin/standin_bus.h"
#include "vmplib/tests/test_ports.h"

namespace kv::vmpl {
namespace {

using test::AddPort;
using test::Connection;
using test::GetInfo;

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(AddPort(1, u"kvOut", u"Out"), 0u);            // index 0
    ASSERT_EQ(AddPort(2, u"kvIn", nullptr, u"In"), 0u);     // index 1
    ASSERT_EQ(AddPort(3, u"kvBoth", u"BOut", u"BIn"), 0u);  // index 2
    out_ = GetInfo(0);
    in_ = GetInfo(1);
    both_ = GetInfo(2);
  }
  void TearDown() override {
    EXPECT_EQ(ConnectionCount(), 0u);
    EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
  }

  VMPL_Message Message(uint8_t* buffer = nullptr, uint32_t capacity = 0) {
    VMPL_Message m{};
    m.buffer = buffer;
    m.capacity = capacity;
    return m;
  }

  TStandInBusScope bus_;
  test::InfoPtr out_, in_, both_;
};

std::vector<uint8_t> SysEx(size_t n, uint8_t seed = 1) {
  std::vector<uint8_t> v(n);
  v.front() = 0xF0;
  for (size_t i = 1; i + 1 < n; ++i) v[i] = uint8_t((seed + i) & 0x7F);
  v.back() = 0xF7;
  return v;
}

TEST_F(ExchangeTest, ConnectChecksItsArguments) {
  VMPL_Handle h = 5;
  EXPECT_EQ(VMPL_Connect(nullptr, &h), 1u);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(VMPL_Connect(out_.get(), nullptr), 1u);
  VMPL_PortInfo bad = *out_;
  bad.version = 0x1002;
  EXPECT_EQ(VMPL_Connect(&bad, &h), 18u);
  bad = *out_;
  bad.type = 0;
  EXPECT_EQ(VMPL_Connect(&bad, &h), 1u);
  bad = *out_;
  bad.deviceName = u"missing";
  EXPECT_EQ(VMPL_Connect(&bad, &h), 3u);
  bad.deviceName = nullptr;
  EXPECT_EQ(VMPL_Connect(&bad, &h), 3u);
}

TEST_F(ExchangeTest, DeviceNameTooLongForItsPathIsRefusedBeforeAnythingOpens) {
  // "\\.\" and 55 characters fit exactly; one more does not.
  std::u16string fits(55, u'a'), tooLong(56, u'b');
  ASSERT_EQ(AddPort(1, fits.c_str(), u"F"), 0u);
  ASSERT_EQ(AddPort(1, tooLong.c_str(), u"L"), 0u);
  Connection ok(GetInfo(3).get());
  EXPECT_EQ(ok.code(), 0u);
  bus_->FailBlocks(true);  // anything made now would fail with 8
  Connection refused(GetInfo(4).get());
  EXPECT_EQ(refused.code(), 3u);
  bus_->FailBlocks(false);
}

TEST_F(ExchangeTest, ConnectFailuresReleaseEverything) {
  bus_->FailEvents(true);
  EXPECT_EQ(Connection(in_.get()).code(), 8u);
  bus_->FailEvents(false);
  bus_->FailBlocks(true);
  EXPECT_EQ(Connection(out_.get()).code(), 8u);
  bus_->FailBlocks(false);
  bus_->FailRequest(kPortConnect);
  EXPECT_EQ(Connection(both_.get()).code(), 9u);
  EXPECT_FALSE(bus_->IsConnected(2));
  // The port is connected only once at a time on this bus.
  Connection first(both_.get());
  ASSERT_EQ(first.code(), 0u);
  EXPECT_EQ(Connection(both_.get()).code(), 9u);
}

TEST_F(ExchangeTest, ShortMessagesGoOutAsTheirBytes) {
  Connection c(out_.get());
  ASSERT_EQ(c.code(), 0u);
  EXPECT_TRUE(bus_->IsConnected(0));
  EXPECT_EQ(VMPL_SendShort(c.handle(), 0x407F90), 0u);
  EXPECT_EQ(VMPL_SendShort(c.handle(), 0x05C3), 0u);
  EXPECT_EQ(VMPL_SendShort(c.handle(), 0xFE), 0u);
  EXPECT_EQ(VMPL_SendShort(c.handle(), 0x12345678), 0u);  // a data byte: all four
  EXPECT_EQ(bus_->TakeSent(0),
            (std::vector<uint8_t>{0x90, 0x7F, 0x40, 0xC3, 0x05, 0xFE, 0x78, 0x56, 0x34, 0x12}));
}

TEST_F(ExchangeTest, SendLongLimitsAndPortDirections) {
  Connection o(out_.get()), i(in_.get());
  ASSERT_EQ(o.code(), 0u);
  ASSERT_EQ(i.code(), 0u);
  std::vector<uint8_t> big(kRingDataSize);
  EXPECT_EQ(VMPL_SendLong(o.handle(), big.data(), 0), 1u);
  EXPECT_EQ(VMPL_SendLong(o.handle(), nullptr, 3), 1u);
  EXPECT_EQ(VMPL_SendLong(o.handle(), big.data(), kRingDataSize), 1u);
  EXPECT_TRUE(bus_->TakeSent(0).empty());
  EXPECT_EQ(VMPL_SendLong(o.handle(), big.data(), kRingMaxWrite), 0u);
  EXPECT_EQ(bus_->TakeSent(0).size(), kRingMaxWrite);
  EXPECT_EQ(VMPL_SendLong(i.handle(), big.data(), 3), 7u);
  EXPECT_EQ(VMPL_SendShort(i.handle(), 0x90), 7u);
  VMPL_Message m{};
  EXPECT_EQ(VMPL_Receive(o.handle(), &m), 6u);
  EXPECT_EQ(VMPL_SendLong(12345, big.data(), 3), 5u);
  EXPECT_EQ(VMPL_Receive(12345, &m), 5u);
  EXPECT_EQ(VMPL_Receive(i.handle(), nullptr), 1u);
}

TEST_F(ExchangeTest, FullOutputRingRefusesAndKeepsItsPosition) {
  Connection o(out_.get());
  bus_->SetConsumeOutput(false);
  std::vector<uint8_t> data(40000, 0x11);
  EXPECT_EQ(VMPL_SendLong(o.handle(), data.data(), 40000), 0u);
  EXPECT_EQ(VMPL_SendLong(o.handle(), data.data(), 30000), 9u);
  EXPECT_EQ(VMPL_SendLong(o.handle(), data.data(), kRingMaxWrite - 40000), 0u);
  EXPECT_EQ(VMPL_SendShort(o.handle(), 0xF8), 9u);  // one byte stays free
  EXPECT_TRUE(bus_->TakeSent(0).empty());
}

TEST_F(ExchangeTest, OutputWrapsAroundTheRing) {
  Connection o(out_.get());
  ASSERT_TRUE(bus_->SetOutputPosition(0, kRingDataSize - 3));
  const auto sx = SysEx(10);
  EXPECT_EQ(VMPL_SendLong(o.handle(), sx.data(), 10), 0u);
  EXPECT_EQ(bus_->TakeSent(0), sx);
}

TEST_F(ExchangeTest, ReceivesShortAndSysExRecords) {
  Connection c(in_.get());
  ASSERT_EQ(c.code(), 0u);
  ASSERT_TRUE(bus_->InjectShort(1, 0x7F3C90, 3, 1234));
  ASSERT_TRUE(bus_->InjectShort(1, 0xFE, 1, 5));
  const auto sx = SysEx(20);
  ASSERT_TRUE(bus_->InjectRecord(1, VMPL_KIND_SYSEX, 9, sx));
  std::vector<uint8_t> buf(64);
  VMPL_Message m = Message(buf.data(), 64);
  ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u);
  EXPECT_EQ(m.kind, 1u);
  EXPECT_EQ(m.time, 1234u);
  EXPECT_EQ(m.shortMsg, 0x7F3C90u);
  // A one-byte message after a three-byte one carries no stale bytes.
  ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u);
  EXPECT_EQ(m.shortMsg, 0xFEu);
  EXPECT_EQ(m.time, 5u);
  ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u);
  EXPECT_EQ(m.kind, 2u);
  EXPECT_EQ(m.received, 20u);
  EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + 20), sx);
}

TEST_F(ExchangeTest, OverLongRecordsAreSkippedWholeAndTheNextOneArrives) {
  Connection c(both_.get());
  std::vector<uint8_t> buf(16, 0xAA);
  ASSERT_TRUE(bus_->InjectRecord(2, VMPL_KIND_SYSEX, 0, SysEx(17)));
  ASSERT_TRUE(bus_->InjectRecord(2, VMPL_KIND_SYSEX, 0, SysEx(4)));
  ASSERT_TRUE(bus_->InjectShort(2, 0x01020304, 5));  // longer than shortMsg
  ASSERT_TRUE(bus_->InjectShort(2, 0x40, 0));
  ASSERT_TRUE(bus_->InjectRecord(2, 7, 0, {1, 2, 3}));  // unknown kind
  ASSERT_TRUE(bus_->InjectShort(2, 0xF8, 1));
  VMPL_Message m = Message(buf.data(), 16);
  EXPECT_EQ(VMPL_Receive(c.handle(), &m), 16u);
  EXPECT_EQ(buf, std::vector<uint8_t>(16, 0xAA));  // nothing written past the record's room
  m = Message(nullptr, 100);
  EXPECT_EQ(VMPL_Receive(c.handle(), &m), 16u);  // no buffer for SysEx
  m = Message(buf.data(), 16);
  m.shortMsg = 0xDEADBEEF;
  EXPECT_EQ(VMPL_Receive(c.handle(), &m), 16u);
  EXPECT_EQ(m.shortMsg, 0xDEADBEEFu);
  EXPECT_EQ(VMPL_Receive(c.handle(), &m), 0u);  // an empty short record
  EXPECT_EQ(m.shortMsg, 0u);
  EXPECT_EQ(VMPL_Receive(c.handle(), &m), 9u);
  ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u);
  EXPECT_EQ(m.shortMsg, 0xF8u);
}

TEST_F(ExchangeTest, HeadersAndDataStraddlingTheEndAreReadWhole) {
  Connection c(in_.get());
  std::vector<uint8_t> buf(300);
  for (uint32_t before : {1u, 8u, 15u, 16u, 17u, 100u}) {
    ASSERT_TRUE(bus_->SetInputPosition(1, kRingDataSize - before));
    const auto sx = SysEx(200, uint8_t(before));
    ASSERT_TRUE(bus_->InjectRecord(1, VMPL_KIND_SYSEX, before, sx));
    VMPL_Message m = Message(buf.data(), 300);
    ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u) << before;
    EXPECT_EQ(m.time, before);
    EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + 200), sx) << before;
  }
}

TEST_F(ExchangeTest, TornRecordsAreWaitedForAndCorruptOnesRefused) {
  Connection c(in_.get());
  const uint32_t head[4] = {kRecordMagic, 8, 0, VMPL_KIND_SYSEX};
  std::vector<uint8_t> raw(sizeof head);
  std::memcpy(raw.data(), head, sizeof head);
  std::vector<uint8_t> buf(16);
  VMPL_Message m = Message(buf.data(), 16);
  std::atomic<uint32_t> result{99};
  // A receive begun on an empty ring waits; a part of a header, then a header without its
  // data, wake it and it waits on, without returning: the driver has not finished the record.
  std::thread receiver([&] { result = VMPL_Receive(c.handle(), &m); });
  ASSERT_TRUE(bus_->WaitForEventWaits(1, 20000));
  ASSERT_TRUE(bus_->InjectRaw(1, std::vector<uint8_t>(raw.begin(), raw.begin() + 10)));
  ASSERT_TRUE(bus_->WaitForEventWaits(2, 20000));
  ASSERT_TRUE(bus_->InjectRaw(1, std::vector<uint8_t>(raw.begin() + 10, raw.end())));
  ASSERT_TRUE(bus_->WaitForEventWaits(3, 20000));
  EXPECT_EQ(result, 99u);
  // The data completes the record, and it arrives whole.
  ASSERT_TRUE(bus_->InjectRaw(1, {0xF0, 1, 2, 3, 4, 5, 6, 0xF7}));
  receiver.join();
  ASSERT_EQ(result, 0u);
  EXPECT_EQ(m.received, 8u);
  EXPECT_EQ(buf[7], 0xF7);
  // A record that is never finished holds its receive only until the disconnect.
  ASSERT_TRUE(bus_->InjectRaw(1, raw));
  const uint64_t waits = bus_->EventWaits();
  std::thread stuck([&] { result = VMPL_Receive(c.handle(), &m); });
  ASSERT_TRUE(bus_->WaitForEventWaits(waits + 1, 20000));
  EXPECT_EQ(c.Disconnect(), 0u);
  stuck.join();
  EXPECT_EQ(result, 10u);
}

TEST_F(ExchangeTest, CorruptRecordsAreErrorsNeverGarbage) {
  Connection c(in_.get());
  std::vector<uint8_t> buf(16);
  VMPL_Message m = Message(buf.data(), 16);
  // A bad magic: the header is consumed and the record after it still arrives.
  ASSERT_TRUE(bus_->InjectRaw(1, std::vector<uint8_t>(16, 0x55)));
  ASSERT_TRUE(bus_->InjectShort(1, 0xF8, 1));
  EXPECT_EQ(VMPL_Receive(c.handle(), &m), 9u);
  ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u);
  EXPECT_EQ(m.shortMsg, 0xF8u);
  // A length that can never fit the ring is dropped with its header.
  const uint32_t huge[4] = {kRecordMagic, 0xFFFFFFF0, 0, VMPL_KIND_SYSEX};
  std::vector<uint8_t> h(16);
  std::memcpy(h.data(), huge, 16);
  ASSERT_TRUE(bus_->InjectRaw(1, h));
  EXPECT_EQ(VMPL_Receive(c.handle(), &m), 9u);
  ASSERT_TRUE(bus_->InjectShort(1, 0xFA, 1));
  ASSERT_EQ(VMPL_Receive(c.handle(), &m), 0u);
  EXPECT_EQ(m.shortMsg, 0xFAu);
}

TEST_F(ExchangeTest, DisconnectTwiceAndAfterAFailedRequest) {
  Connection a(out_.get());
  const VMPL_Handle h = a.handle();
  EXPECT_EQ(VMPL_Disconnect(h), 0u);
  EXPECT_EQ(VMPL_Disconnect(h), 5u);
  EXPECT_EQ(VMPL_SendShort(h, 0x90), 5u);
  EXPECT_FALSE(bus_->IsConnected(0));
  Connection b(in_.get());
  bus_->FailRequest(kPortDisconnect);
  EXPECT_EQ(b.Disconnect(), 9u);
  EXPECT_EQ(ConnectionCount(), 0u);  // released all the same
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
  // The port is free again.
  Connection again(in_.get());
  EXPECT_EQ(again.code(), 0u);
  EXPECT_EQ(VMPL_Disconnect(0), 5u);
}

TEST_F(ExchangeTest, CableJoinsAnOutputToAnInput) {
  bus_->Cable(0, 1);
  Connection o(out_.get()), i(in_.get());
  EXPECT_EQ(VMPL_SendShort(o.handle(), 0x403C90), 0u);
  const auto sx = SysEx(30);
  EXPECT_EQ(VMPL_SendLong(o.handle(), sx.data(), 30), 0u);
  std::vector<uint8_t> buf(64);
  VMPL_Message m = Message(buf.data(), 64);
  ASSERT_EQ(VMPL_Receive(i.handle(), &m), 0u);
  EXPECT_EQ(m.kind, 1u);
  EXPECT_EQ(m.shortMsg, 0x403C90u);
  ASSERT_EQ(VMPL_Receive(i.handle(), &m), 0u);
  EXPECT_EQ(m.kind, 2u);
  EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + m.received), sx);
}

// --- threads ---

TEST_F(ExchangeTest, DisconnectWakesEveryBlockedReceiver) {
  Connection c(in_.get());
  const VMPL_Handle h = c.handle();
  std::atomic<int> woke{0};
  std::vector<std::thread> receivers;
  std::vector<uint32_t> codes(3, 0);
  for (int t = 0; t < 3; ++t) {
    receivers.emplace_back([&, t] {
      VMPL_Message m{};
      codes[t] = VMPL_Receive(h, &m);
      woke++;
    });
  }
  // Let them block (nothing is published); a receive that came too late gets 5 instead.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(woke.load(), 0);
  EXPECT_EQ(c.Disconnect(), 0u);
  for (auto& t : receivers) t.join();
  for (uint32_t code : codes) EXPECT_TRUE(code == 10u || code == 5u || code == 12u) << code;
}

TEST_F(ExchangeTest, SendReceiveAndDisconnectRacing) {
  bus_->Cable(2, 2);  // what the port is sent comes back as its input
  for (int round = 0; round < 20; ++round) {
    VMPL_Handle h = 0;
    ASSERT_EQ(VMPL_Connect(both_.get(), &h), 0u);
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> received{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
      threads.emplace_back([&] {
        while (!stop) {
          const uint32_t r = VMPL_SendShort(h, 0x403C90);
          if (r == VMPL_ERR_INVALID_HANDLE) break;
          EXPECT_TRUE(r == 0 || r == VMPL_ERR_IO || r == VMPL_ERR_NOT_CONNECTED) << r;
        }
      });
      threads.emplace_back([&] {
        std::vector<uint8_t> buf(64);
        for (;;) {
          VMPL_Message m{};
          m.buffer = buf.data();
          m.capacity = 64;
          const uint32_t r = VMPL_Receive(h, &m);
          if (r == VMPL_ERR_INVALID_HANDLE || r == VMPL_ERR_NO_MORE_DATA ||
              r == VMPL_ERR_NOT_CONNECTED) {
            break;
          }
          ASSERT_EQ(r, 0u);
          EXPECT_EQ(m.shortMsg, 0x403C90u);
          received++;
        }
      });
    }
    // The disconnect must meet the exchange under way (new threads may take a while to start).
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (received == 0 && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(VMPL_Disconnect(h), 0u);
    stop = true;
    for (auto& t : threads) t.join();
  }
}

}  // namespace
}  // namespace kv::vmpl

namespace kv::vmpl {
namespace {

TEST_F(ExchangeTest, DisconnectClosesTheDeviceOnlyAfterASendInFlightHasLeftIt) {
  Connection c(out_.get());
  const VMPL_Handle h = c.handle();
  bus_->HoldRequests(kPortOutputWritten);
  std::thread sender([&] { EXPECT_EQ(VMPL_SendShort(h, 0x90), 0u); });
  ASSERT_TRUE(bus_->WaitUntilHeld(30000));
  std::atomic<bool> done{false};
  std::thread closer([&] {
    EXPECT_EQ(c.Disconnect(), 0u);
    done = true;
  });
  // The disconnect waits for the send: the port device stays open meanwhile.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done.load());
  EXPECT_EQ(bus_->OpenDeviceCount(), 1u);
  bus_->ReleaseRequests();
  sender.join();
  closer.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(bus_->OpenDeviceCount(), 0u);
}

}  // namespace
}  // namespace kv::vmpl
