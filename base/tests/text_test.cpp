#include "base/text.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Text, IntegerParsingAcceptsWholeIntegersOnly) {
  EXPECT_EQ(TryStrToInt("123"), 123);
  EXPECT_EQ(TryStrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(TryStrToInt("0x10"), 16);
  EXPECT_FALSE(TryStrToInt("2147483648"));
  EXPECT_FALSE(TryStrToInt("-2147483649"));
  EXPECT_FALSE(TryStrToInt(""));
  EXPECT_FALSE(TryStrToInt("-"));
  EXPECT_FALSE(TryStrToInt("12 "));
  EXPECT_FALSE(TryStrToInt("$"));
  EXPECT_FALSE(TryStrToInt("$1FFFFFFFF"));
  EXPECT_EQ(StrToIntDef("x", 5), 5);
}

TEST(Text, CaseAndTrimming) {
  EXPECT_EQ(UpperCase("abcXYZ09"), "ABCXYZ09");
  EXPECT_TRUE(SameText("MIDI.in", "midi.IN"));
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_TRUE(AnsiSameText("Preset", "PRESET"));
  EXPECT_EQ(Trim(" \t x y \r"), "x y");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
}

TEST(Text, Hex) {
  EXPECT_EQ(IntToHex(0xABC, 4), "0ABC");
  EXPECT_EQ(IntToHex(0, 2), "00");
  EXPECT_EQ(IntToHex(0xFFFFFFFF, 2), "FFFFFFFF");
}

}  // namespace
}  // namespace kv
