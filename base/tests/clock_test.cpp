#include "base/clock.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Clock, DueTimesCompareAcrossTheWrap) {
  EXPECT_TRUE(TimeReached(10, 10));
  EXPECT_TRUE(TimeReached(11, 10));
  EXPECT_FALSE(TimeReached(9, 10));
  // Due just before the wrap, now just after it.
  EXPECT_TRUE(TimeReached(5, 0xFFFFFFF0u));
  // Due just after the wrap, now just before it: not yet.
  EXPECT_FALSE(TimeReached(0xFFFFFFF0u, 5));
}

TEST(Clock, TestClockReplacesTheSystemClock) {
  {
    TestClock clock(0xFFFFFFFEu);
    EXPECT_EQ(GetTickMs(), 0xFFFFFFFEu);
    clock.Advance(3);
    EXPECT_EQ(GetTickMs(), 1u);
    clock.Set(500);
    EXPECT_EQ(clock.Now(), 500u);
  }
  const uint32_t a = GetTickMs();
  const uint32_t b = GetTickMs();
  EXPECT_TRUE(TimeReached(b, a));
}

}  // namespace
}  // namespace kv
