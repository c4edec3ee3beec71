#include "vmplib/ring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

#include "vmplib/local_objects.h"

namespace kv::vmpl {
namespace {

struct BlockDeleter {
  void operator()(uint8_t* b) const { FreeLocalBlock(b); }
};

class RingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    block_.reset(AllocLocalBlock());
    RingInit(block_.get());
  }
  uint8_t* b() { return block_.get(); }
  std::unique_ptr<uint8_t, BlockDeleter> block_;
};

std::vector<uint8_t> Pattern(size_t n, uint8_t seed = 0) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7);
  return v;
}

TEST_F(RingTest, LayoutAfterInit) {
  uint32_t words[4];
  std::memcpy(words, b(), 16);
  EXPECT_EQ(words[0], kRingDataOffset);
  EXPECT_EQ(words[1], 0u);
  EXPECT_EQ(words[2], 0u);
  EXPECT_EQ(RingAvailable(b()), 0u);
  EXPECT_EQ(RingFree(b()), kRingMaxWrite);
}

TEST_F(RingTest, OneByteStaysFreeSoAFullRingNeverReadsEmpty) {
  const auto data = Pattern(kRingMaxWrite);
  ASSERT_TRUE(RingWrite(b(), data.data(), kRingMaxWrite));
  EXPECT_EQ(RingAvailable(b()), kRingMaxWrite);
  EXPECT_EQ(RingFree(b()), 0u);
  const uint8_t one = 1;
  EXPECT_FALSE(RingWrite(b(), &one, 1));
  std::vector<uint8_t> out(kRingMaxWrite);
  ASSERT_TRUE(RingRead(b(), out.data(), kRingMaxWrite));
  EXPECT_EQ(out, data);
  EXPECT_EQ(RingAvailable(b()), 0u);
}

TEST_F(RingTest, WriteThatDoesNotFitLeavesEverythingAsItWas) {
  RingSetPositions(b(), 100, 100);
  const auto data = Pattern(kRingMaxWrite - 10);
  ASSERT_TRUE(RingWrite(b(), data.data(), uint32_t(data.size())));
  const uint32_t w = RingWritePosition(b());
  const auto more = Pattern(11);
  EXPECT_FALSE(RingWrite(b(), more.data(), 11));
  EXPECT_EQ(RingWritePosition(b()), w);
  EXPECT_TRUE(RingWrite(b(), more.data(), 10));
  EXPECT_FALSE(RingWrite(b(), more.data(), kRingDataSize));
}

TEST_F(RingTest, DataWrapsAroundTheEnd) {
  RingSetPositions(b(), kRingDataSize - 5, kRingDataSize - 5);
  const auto data = Pattern(12, 3);
  ASSERT_TRUE(RingWrite(b(), data.data(), 12));
  EXPECT_EQ(RingWritePosition(b()), 7u);
  std::vector<uint8_t> peek(4);
  ASSERT_TRUE(RingPeek(b(), 3, peek.data(), 4));
  EXPECT_EQ(peek, std::vector<uint8_t>(data.begin() + 3, data.begin() + 7));
  std::vector<uint8_t> out(12);
  ASSERT_TRUE(RingRead(b(), out.data(), 12));
  EXPECT_EQ(out, data);
  EXPECT_EQ(RingReadPosition(b()), 7u);
}

TEST_F(RingTest, ReadsAreAllOrNothing) {
  const auto data = Pattern(10);
  ASSERT_TRUE(RingWrite(b(), data.data(), 10));
  std::vector<uint8_t> out(16, 0xEE);
  EXPECT_FALSE(RingRead(b(), out.data(), 16));
  EXPECT_EQ(RingReadPosition(b()), 0u);
  EXPECT_EQ(out, std::vector<uint8_t>(16, 0xEE));
  EXPECT_FALSE(RingPeek(b(), 5, out.data(), 6));
  EXPECT_TRUE(RingRead(b(), nullptr, 4));  // skipping
  EXPECT_EQ(RingAvailable(b()), 6u);
}

TEST_F(RingTest, CorruptPositionsStayInsideTheDataArea) {
  const uint32_t bad = 0xFFFFFFF0;
  std::memcpy(b() + 8, &bad, 4);  // write position out of range
  EXPECT_LT(RingWritePosition(b()), kRingDataSize);
  std::vector<uint8_t> out(kRingMaxWrite);
  RingRead(b(), out.data(), uint32_t(RingAvailable(b())));  // must stay in bounds (ASan)
}

}  // namespace
}  // namespace kv::vmpl
