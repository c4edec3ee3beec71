#include "controls/text_editor/text_grid.h"

#include <gtest/gtest.h>

#include "controls/text_editor/text_options.h"

namespace kv {
namespace {

TEST(ZNText, TabsExpandToTheNextStopAndControlCharsShowAsDots) {
  EXPECT_EQ(ZNExpandLine("\tx", 8), "        x");
  EXPECT_EQ(ZNExpandLine("abc\tx", 8), "abc     x");
  EXPECT_EQ(ZNExpandLine("a\x07z", 8), "a.z");
  EXPECT_EQ(ZNScreenColumn("abc\tx", 4, 8), 8);
  EXPECT_EQ(ZNScreenColumn("ab", 5, 8), 5);    // beyond the end: one per column
  EXPECT_EQ(ZNTextColumn("abc\tx", 6, 8), 3);  // inside the tab
  EXPECT_EQ(ZNTextColumn("abc\tx", 8, 8), 4);
  EXPECT_EQ(ZNTextColumn("ab", 6, 8), 6);
  EXPECT_EQ(ZNScreenColumn("\t", 1, 0), 1);  // a zero tab width acts as 1
}

TEST(ZNText, WordBoundaries) {
  EXPECT_TRUE(IsZNWordChar('@'));
  EXPECT_TRUE(IsZNWordChar('\xE9'));
  EXPECT_FALSE(IsZNWordChar('_'));
  EXPECT_FALSE(IsZNWordChar('['));
  const std::string line = "foo_bar  baz";
  EXPECT_EQ(ZNNextWordStart(line, 0), 4);
  EXPECT_EQ(ZNNextWordStart(line, 4), 9);
  EXPECT_EQ(ZNNextWordStart(line, 9), 12);
  EXPECT_EQ(ZNPrevWordStart(line, 12), 9);
  EXPECT_EQ(ZNPrevWordStart(line, 9), 4);
  EXPECT_EQ(ZNPrevWordStart("   x", 3), -1);
  int s = 0, e = 0;
  ASSERT_TRUE(ZNWordAt(line, 5, s, e));
  EXPECT_EQ(s, 4);
  EXPECT_EQ(e, 7);
  ASSERT_TRUE(ZNWordAt(line, 7, s, e));  // not on a word: the next one
  EXPECT_EQ(s, 9);
  EXPECT_FALSE(ZNWordAt("ab  ", 3, s, e));
}

TEST(ZNText, LineBreaksOfEveryKindCountOnce) {
  EXPECT_EQ(ZNSplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(ZNSplitLines("\r\n"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(ZNSplitLines(""), (std::vector<std::string>{""}));
}

TEST(ZNText, AClipInsideOneRowStillPaintsIt) {
  int first = 0, last = 0;
  ASSERT_TRUE(ZNRowsForClip(20, 28, 16, 10, first, last));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 1);
  ASSERT_TRUE(ZNRowsForClip(0, 320, 16, 10, first, last));
  EXPECT_EQ(last, 10);
  ASSERT_TRUE(ZNRowsForClip(15, 17, 16, 10, first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 1);
  EXPECT_FALSE(ZNRowsForClip(5, 5, 16, 10, first, last));
}

TEST(ZNText, GutterNumbersAndOptionClamps) {
  EXPECT_EQ(ZNGutterNumber(1, 5), "000001");
  EXPECT_EQ(ZNGutterNumber(12, 0), "12");
  EXPECT_EQ(ZNGutterNumber(1234567, 2), "1234567");
  TZNGutterOptions g;
  g.SetWidth(100);
  EXPECT_EQ(g.Width(), 48);
  g.SetWidth(5);
  EXPECT_EQ(g.Width(), 12);
  g.SetWidth(26);
  g.SetSpace(20);
  EXPECT_EQ(g.Space(), 8);
  g.SetLedingDigits(12);
  EXPECT_EQ(g.LedingDigits(), 8);
  int n = 0;
  EXPECT_TRUE(g.RowNumber(1, 2, 3, n));
  EXPECT_EQ(n, 3);
  EXPECT_FALSE(g.RowNumber(1, 3, 3, n));   // below the last line
  EXPECT_TRUE(g.RowNumber(1, 40, -1, n));  // count not yet known
  g.SetZeroStart(true);
  EXPECT_TRUE(g.RowNumber(1, 0, 3, n));
  EXPECT_EQ(n, 0);
}

TEST(ZNText, CompletionEntriesAndLinkHints) {
  const TZNDropEntry plain = ZNParseDropEntry("word");
  EXPECT_FALSE(plain.hasFields);
  EXPECT_EQ(plain.InsertionText(), "word");
  const TZNDropEntry two = ZNParseDropEntry("fn|func");
  EXPECT_EQ(two.first, "fn");
  EXPECT_EQ(two.InsertionText(), "func");
  const TZNDropEntry three = ZNParseDropEntry("a|b|c(x)");
  EXPECT_EQ(three.InsertionText(), "c(x)");
  EXPECT_EQ(ZNCompletionToType("Hello", "he"), "llo");
  EXPECT_EQ(ZNCompletionToType("Hello", "hx"), "ello");
  EXPECT_EQ(ZNLinkHintText("a.JPEG"), "Image: a.JPEG");
  EXPECT_EQ(ZNLinkHintText("http://x"), "Link to: http://x");
}

}  // namespace
}  // namespace kv
