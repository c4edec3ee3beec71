// The portable rules behind radio groups, list boxes, track bars and link colours.
#include <gtest/gtest.h>

#include <climits>

#include "ui/color_contrast.h"
#include "ui/item_index.h"
#include "ui/radio_group_layout.h"
#include "ui/track_bar_logic.h"

namespace kv::ui {
namespace {

TEST(ItemIndexTest, SelectionFollowsItsItemThroughDeletesAndInserts) {
  EXPECT_EQ(IndexAfterDelete(3, 1), 2);   // an item above went away
  EXPECT_EQ(IndexAfterDelete(1, 3), 1);   // one below: unchanged
  EXPECT_EQ(IndexAfterDelete(2, 2), -1);  // the selected item itself
  EXPECT_EQ(IndexAfterDelete(-1, 0), -1);
  EXPECT_EQ(IndexAfterInsert(2, 2), 3);  // put in at the selection: it moves down
  EXPECT_EQ(IndexAfterInsert(2, 5), 2);
  EXPECT_EQ(IndexAfterInsert(-1, 0), -1);
  EXPECT_EQ(ValidIndex(4, 5), 4);
  EXPECT_EQ(ValidIndex(5, 5), -1);
  EXPECT_EQ(ValidIndex(-3, 5), -1);
}

TEST(RadioGroupLayoutTest, ItemsFillColumnsTopToBottomBelowTheCaption) {
  TRadioGroupMetrics m{16, 17, 8};
  // Five items in a 200 x 120 group, one column: equal shares of the 96 pixels below the
  // caption, each button centred in its share.
  std::vector<TRect> one = RadioGroupItemRects({0, 0, 200, 120}, 5, 1, m);
  ASSERT_EQ(one.size(), 5u);
  const int slot = (120 - 4 - 16) / 5;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(one[i].left, 8);
    EXPECT_EQ(one[i].Width(), 184);
    EXPECT_EQ(one[i].Height(), 17);
    EXPECT_EQ(one[i].top, 16 + i * slot + (slot - 17) / 2);
  }
  EXPECT_LE(one[4].bottom, 120);

  // Seven items in two columns: four rows, the second column starts with item 4.
  std::vector<TRect> two = RadioGroupItemRects({0, 0, 208, 120}, 7, 2, m);
  EXPECT_EQ(two[3].left, two[0].left);
  EXPECT_EQ(two[4].left, 8 + 96);
  EXPECT_EQ(two[4].top, two[0].top);
  EXPECT_GT(two[3].top, two[2].top);

  // More columns than items, none, and a group too low for its rows.
  EXPECT_EQ(RadioGroupItemRects({0, 0, 200, 60}, 2, 5, m).size(), 2u);
  EXPECT_EQ(RadioGroupItemRects({0, 0, 200, 60}, 2, 5, m)[1].left, 8 + 92);
  EXPECT_TRUE(RadioGroupItemRects({0, 0, 200, 60}, 0, 1, m).empty());
  std::vector<TRect> low = RadioGroupItemRects({0, 0, 200, 30}, 3, 1, m);
  EXPECT_EQ(low[1].top - low[0].top, 17);  // never overlapping
}

TEST(TrackBarLogicTest, NumbersAreKeptConsistent) {
  TTrackBarRange r;
  r.min = 10;
  r.max = 5;  // reversed
  r.position = 99;
  r.lineSize = 0;
  r.pageSize = -4;
  r.frequency = -1;
  TTrackBarRange n = Normalized(r);
  EXPECT_EQ(n.max, 10);
  EXPECT_EQ(n.position, 10);
  EXPECT_EQ(n.lineSize, 1);
  EXPECT_EQ(n.pageSize, 1);
  EXPECT_EQ(n.frequency, 0);
  r = {0, 100, -5, 1, 10, 1};
  EXPECT_EQ(Normalized(r).position, 0);
}

TEST(TrackBarLogicTest, InnerTicksStepFromMinAndStayBounded) {
  EXPECT_EQ(InnerTickPositions({0, 10, 0, 1, 2, 2}), (std::vector<int>{2, 4, 6, 8}));
  EXPECT_EQ(InnerTickPositions({-5, 5, 0, 1, 2, 3}), (std::vector<int>{-2, 1, 4}));
  EXPECT_TRUE(InnerTickPositions({0, 10, 0, 1, 2, 0}).empty());  // ends only
  EXPECT_TRUE(InnerTickPositions({0, 1, 0, 1, 2, 1}).empty());
  // A long range with frequency 1 would put a mark at every pixel and a message per mark:
  // the step grows to a multiple of the frequency instead.
  std::vector<int> many = InnerTickPositions({0, 1000000, 0, 1, 2, 1});
  EXPECT_LE(many.size(), static_cast<size_t>(kMaxInnerTicks));
  EXPECT_GE(many.size(), static_cast<size_t>(kMaxInnerTicks) - 1);
  std::vector<int> fives = InnerTickPositions({0, 100000, 0, 1, 2, 7});
  for (int t : fives) EXPECT_EQ(t % 7, 0);
  std::vector<int> whole = InnerTickPositions({INT_MIN, INT_MAX, 0, 1, 2, 1});
  EXPECT_LE(whole.size(), static_cast<size_t>(kMaxInnerTicks));
  ASSERT_FALSE(whole.empty());
  EXPECT_GT(whole.front(), INT_MIN);
  EXPECT_LT(whole.back(), INT_MAX);
}

TEST(ColorContrastTest, RatiosFollowLuminance) {
  EXPECT_NEAR(ContrastRatio(clBlack, clWhite), 21.0, 0.01);
  EXPECT_NEAR(ContrastRatio(clWhite, clBlack), 21.0, 0.01);
  EXPECT_NEAR(ContrastRatio(clGray, clGray), 1.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(RgbColor(0, 0, 255), clWhite), 8.59, 0.01);
}

TEST(ColorContrastTest, LinkColourFallsBackWhenItVanishes) {
  const TColor face = RgbColor(240, 240, 240);
  // A readable hot-light colour is kept as the scheme gives it.
  EXPECT_EQ(ReadableLinkColor(RgbColor(0, 0, 255), face), RgbColor(0, 0, 255));
  // Nearly white on a light face: the dark link colour instead.
  const TColor fallback = ReadableLinkColor(RgbColor(230, 235, 255), face);
  EXPECT_EQ(fallback, kLinkOnLight);
  EXPECT_GE(ContrastRatio(fallback, face), kMinTextContrast);
  // A dark blue on a dark face: the light link colour.
  const TColor dark = RgbColor(32, 32, 40);
  EXPECT_EQ(ReadableLinkColor(RgbColor(0, 0, 160), dark), kLinkOnDark);
  EXPECT_GE(ContrastRatio(kLinkOnDark, dark), kMinTextContrast);
  EXPECT_GE(ContrastRatio(kLinkOnLight, clWhite), kMinTextContrast);
}

}  // namespace
}  // namespace kv::ui
