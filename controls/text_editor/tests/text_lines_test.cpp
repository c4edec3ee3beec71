#include "controls/text_editor/text_lines.h"

#include <gtest/gtest.h>

#include "base/exception.h"

#include <utility>
#include <vector>

namespace kv {
namespace {

struct Recorder {
  std::vector<std::pair<int, int>> ranges;
  int widthCalls = 0;
  void Install(TZNStrings& s) {
    s.SetHooks(
        nullptr, nullptr, [this](int a, int b) { ranges.emplace_back(a, b); },
        [this] { ++widthCalls; });
  }
};

TEST(ZNStrings, EachChangeReportsItsRangeOnce) {
  TZNStrings s;
  Recorder r;
  r.Install(s);
  s.Add("one");
  s.Add("two");
  s.Put(0, "1");
  s.Exchange(1, 0);
  s.Delete(1);
  EXPECT_EQ(r.ranges,
            (std::vector<std::pair<int, int>>{{0, -1}, {1, -1}, {0, 0}, {0, 1}, {1, -1}}));
  r.ranges.clear();
  s.SetText("a\r\nb");
  s.Clear();
  s.AddStrings({"x", "y"});
  EXPECT_EQ(r.ranges, (std::vector<std::pair<int, int>>{{-1, -1}, {-1, -1}, {0, -1}}));
}

TEST(ZNStrings, NestedUpdatesWidenOneRange) {
  TZNStrings s;
  Recorder r;
  r.Install(s);
  s.SetText("a\nb\nc\nd");
  r.ranges.clear();
  s.BeginUpdate();
  s.Put(2, "C");
  s.Put(1, "B");
  EXPECT_TRUE(r.ranges.empty());
  s.EndUpdate();
  ASSERT_EQ(r.ranges.size(), 1u);
  EXPECT_EQ(r.ranges[0], std::make_pair(1, 2));
  s.BeginUpdate();
  s.Put(3, "D");
  s.Insert(1, "new");  // up to the end absorbs any last line
  s.EndUpdate();
  EXPECT_EQ(r.ranges[1], std::make_pair(1, -1));
}

TEST(ZNStrings, LongestLineGrowsAndResetsOnlyOnWholeText) {
  TZNStrings s;
  Recorder r;
  r.Install(s);
  s.Add("abc");
  s.Add("abcdef");
  EXPECT_EQ(s.LongestLine(), 6);
  EXPECT_EQ(r.widthCalls, 2);
  s.Delete(1);
  EXPECT_EQ(s.LongestLine(), 6);  // deleting never lowers it
  s.Put(0, "a");
  EXPECT_EQ(r.widthCalls, 2);
  s.SetText("12\r\n1234");
  EXPECT_EQ(s.LongestLine(), 4);
  s.Clear();
  EXPECT_EQ(s.LongestLine(), 0);
}

TEST(ZNStrings, TextSplitsEveryBreakAndJoinsWithCrLf) {
  TZNStrings s;
  s.SetText("a\r\nb\rc\nd\r\n");
  ASSERT_EQ(s.Count(), 4);
  EXPECT_EQ(s[3], "d");
  EXPECT_EQ(s.Text(), "a\r\nb\r\nc\r\nd");
  s.SetText("a\r\n\r\n");
  EXPECT_EQ(s.Count(), 2);
  // A last empty line: one break fewer than lines.
  EXPECT_EQ(s.Text(), "a\r\n");
  EXPECT_THROW(s.Get(2), Exception);
  EXPECT_THROW(s.Delete(-1), Exception);
}

TEST(ZNStrings, HookMayEditTheListAgain) {
  TZNStrings s;
  int calls = 0;
  s.SetHooks(
      nullptr, nullptr,
      [&](int, int) {
        if (++calls == 1) s.Add("from hook");
      },
      nullptr);
  s.Add("first");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(s.Count(), 2);
}

}  // namespace
}  // namespace kv
