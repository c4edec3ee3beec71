#include "base/text_helpers.h"

#include <gtest/gtest.h>

#include "base/exception.h"

namespace kv {
namespace {

TEST(TextHelpersTest, HexReadingChecksItsBounds) {
  EXPECT_EQ(HexToInt("7f"), 127);
  EXPECT_EQ(HexToInt("7F"), 127);
  EXPECT_EQ(HexToInt("7g"), -1);
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("123456789"), 0x23456789);
  EXPECT_EQ(HexToInt("09afAF"), 0x09AFAF);
  EXPECT_EQ(HexToInt("/"), -1);  // the characters next to the digit ranges
  EXPECT_EQ(HexToInt(":"), -1);
  EXPECT_EQ(HexToInt("@"), -1);
  EXPECT_EQ(HexToInt("G"), -1);
  EXPECT_EQ(HexToInt("`"), -1);
  EXPECT_EQ(HexToIntAt("xx00FFyy", 5, 2), 255);
  EXPECT_EQ(HexToIntAt("00FF", 3, 4), -1);  // reaches past the end
  EXPECT_EQ(HexToIntAt("00FF", 5, 1), -1);
  EXPECT_EQ(HexToIntAt("00FF", 0, 2), -1);
  EXPECT_EQ(HexToIntAt("00FF", 99, 2), -1);
}

TEST(TextHelpersTest, HexWriting) {
  EXPECT_EQ(IntToHexFixed(70000, 4, 4), "1170");
  EXPECT_EQ(IntToHexFixed(10, 4, 4), "000A");
  EXPECT_EQ(IntToHexFixed(-1, 4, 4), "FFFF");
  EXPECT_EQ(IntToHexFixed(0x12345, 2, 0), "12345");
}

TEST(TextHelpersTest, LengthPrefixedRoundTripAndBounds) {
  EXPECT_EQ(EncodeLengthPrefixed("abc"), "0003abc");
  std::string out;
  EXPECT_EQ(DecodeLengthPrefixed("xx0003abcyy", 3, out), 7u);
  EXPECT_EQ(out, "abc");
  EXPECT_EQ(DecodeLengthPrefixed("0000", 1, out), 4u);
  EXPECT_EQ(out, "");
  for (const char* bad : {"0005abc", "000", "00G1a", "", "FFFFab"}) {
    EXPECT_THROW(DecodeLengthPrefixed(bad, 1, out), Exception) << bad;
  }
  EXPECT_THROW(DecodeLengthPrefixed("0003abc", 2, out), Exception);
  EXPECT_THROW(DecodeLengthPrefixed("0003abc", 0, out), Exception);
  EXPECT_THROW(DecodeLengthPrefixed("0003abc", 100, out), Exception);
  try {
    DecodeLengthPrefixed("0005abc", 1, out);
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Wrong string format");
  }
  // Too long to count in 4 digits: what is written still reads back (cut).
  const std::string huge(70000, 'z');
  const std::string stored = EncodeLengthPrefixed(huge);
  EXPECT_EQ(DecodeLengthPrefixed(stored, 1, out), 4u + 65535u);
  EXPECT_EQ(out.size(), 65535u);
}

// A buffer may hold the end of one SysEx and the start of the next: nothing after an F7 may
// go missing from the log.
TEST(TextHelpersTest, BytesToHexShowsEveryByte) {
  const uint8_t bytes[] = {0xF0, 0x01, 0xF7, 0x00};
  EXPECT_EQ(BytesToHexText(bytes, 4), "F0 01 F7 00");
  const uint8_t twoSysEx[] = {0xF7, 0xF0, 0x7E, 0xF7};
  EXPECT_EQ(BytesToHexText(twoSysEx, 4), "F7 F0 7E F7");
  const uint8_t note[] = {0x90, 0x3C, 0x7F};
  EXPECT_EQ(BytesToHexText(note, 3), "90 3C 7F");
  EXPECT_EQ(BytesToHexText(nullptr, 3), "");
  EXPECT_EQ(BytesToHexText(note, 0), "");
}

TEST(TextHelpersTest, EscapesRoundTrip) {
  const std::string comment = "line one\r\nline\ttwo \\ end\b";
  const std::string escaped = EscapeText(comment);
  EXPECT_EQ(escaped, "line one\\r\\nline\\ttwo \\\\ end\\a");
  EXPECT_EQ(escaped.find('\n'), std::string::npos);
  EXPECT_EQ(UnescapeText(escaped), comment);
  EXPECT_EQ(UnescapeText("a\\qb\\"), "aqb");
}

TEST(TextHelpersTest, Paths) {
  EXPECT_TRUE(IsAbsolutePath("C:\\x"));
  EXPECT_TRUE(IsAbsolutePath("\"C:\\x y\""));
  EXPECT_TRUE(IsAbsolutePath("\\\\server\\share"));
  EXPECT_FALSE(IsAbsolutePath("\\dir\\x"));
  EXPECT_FALSE(IsAbsolutePath("name.txt"));
  EXPECT_FALSE(IsAbsolutePath("C:"));
  EXPECT_EQ(MakeAbsolutePath("C:\\a.exe", "D:\\p"), "C:\\a.exe");
  EXPECT_EQ(MakeAbsolutePath("a.exe", "D:\\p"), "D:\\p\\a.exe");
  EXPECT_EQ(MakeAbsolutePath("a.exe", "D:\\p\\"), "D:\\p\\a.exe");
  EXPECT_EQ(MakeAbsolutePath("\\a.exe", "D:\\p"), "D:\\p\\a.exe");
  EXPECT_TRUE(StrHasPrefix("StMa0000", "stma", true));
  EXPECT_FALSE(StrHasPrefix("StMa0000", "stma", false));
  EXPECT_FALSE(StrHasPrefix("St", "StMa", false));
}

TEST(TextHelpersTest, HashStringSetIdsAreSharedAndCaseless) {
  THashStringSet a, b;
  const int32_t fader = a.GetId("Fader", true);
  EXPECT_GT(fader, 0);
  EXPECT_EQ(a.GetId("FADER", false), fader);
  EXPECT_EQ(a.GetId("other", false), 0);
  const int32_t other = b.GetId("Fader", true);
  EXPECT_NE(other, fader);  // one counter for every set
  EXPECT_EQ(a.NameOf(fader), "FADER");
  a.Clear();
  EXPECT_EQ(a.GetId("fader", false), 0);
}

}  // namespace
}  // namespace kv
