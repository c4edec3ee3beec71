#include "controls/margin_splitter.h"

#include <gtest/gtest.h>

#include <vector>

namespace kv {
namespace {

// The main window's row: the preset list left (with a left margin of 5), the splitter, and
// the translator list filling the rest of a 600-pixel panel.
TSplitSibling Sib(ui::TRect r, TSplitAlign a) {
  TSplitSibling s;
  s.bounds = r;
  s.align = a;
  return s;
}

std::vector<TSplitSibling> MainRow(int presetWidth = 200) {
  TSplitSibling presets = Sib(ui::TRect{5, 0, 5 + presetWidth, 400}, TSplitAlign::Left);
  presets.alignWithMargins = true;
  presets.margins.left = 5;
  TSplitSibling splitter =
      Sib(ui::TRect{5 + presetWidth, 0, 10 + presetWidth, 400}, TSplitAlign::Left);
  splitter.isSplitter = true;
  TSplitSibling translators = Sib(ui::TRect{10 + presetWidth, 0, 600, 400}, TSplitAlign::Client);
  return {presets, splitter, translators};
}

TEST(MarginSplitter, DragStopsAtMinSizeWithoutSnapping) {
  auto row = MainRow();
  TMarginSplitterDrag drag(row, row[1].bounds, TSplitAlign::Left, 600, 50, false, {207, 10});
  ASSERT_TRUE(drag.Active());
  EXPECT_EQ(drag.ControlIndex(), 0);
  EXPECT_EQ(drag.MaxSize(), 600 - 50 - 200 - 5 + 200);
  EXPECT_TRUE(drag.Move({57, 10}, nullptr));  // 150 to the left
  EXPECT_EQ(drag.NewSize(), 50);
  EXPECT_EQ(drag.SplitOffset(), -150);
  EXPECT_TRUE(drag.Move({-300, 10}, nullptr));
  EXPECT_EQ(drag.NewSize(), 50);        // never 0 without AutoSnap
  EXPECT_EQ(drag.SplitOffset(), -150);  // corrected by what the clamp took
  ui::TRect applied;
  EXPECT_TRUE(drag.Apply(drag.NewSize(), applied));
  EXPECT_EQ(applied, (ui::TRect{5, 0, 55, 400}));
  EXPECT_FALSE(drag.Apply(50, applied));  // the same size again does nothing
  EXPECT_TRUE(drag.Move({2000, 10}, nullptr));
  EXPECT_EQ(drag.NewSize(), drag.MaxSize());
}

// Every applied size must stay the base of nothing: the control follows the mouse pixel for
// pixel however many small steps the drag takes, both ways and on either side.
TEST(MarginSplitter, ManySmallStepsFollowTheMouseExactly) {
  auto row = MainRow();
  TMarginSplitterDrag drag(row, row[1].bounds, TSplitAlign::Left, 600, 50, false, {207, 10});
  ui::TRect applied;
  for (int step = 1; step <= 7; ++step) {
    ASSERT_TRUE(drag.Move({207 + 10 * step, 10}, nullptr));
    ASSERT_TRUE(drag.Apply(drag.NewSize(), applied));
    EXPECT_EQ(applied, (ui::TRect{5, 0, 205 + 10 * step, 400})) << "step " << step;
    EXPECT_EQ(drag.SplitOffset(), 10 * step);
  }
  for (int step = 6; step >= -3; --step) {
    ASSERT_TRUE(drag.Move({207 + 10 * step, 10}, nullptr));
    ASSERT_TRUE(drag.Apply(drag.NewSize(), applied));
    EXPECT_EQ(applied.Width(), 200 + 10 * step) << "step " << step;
  }

  std::vector<TSplitSibling> col(2);
  col[0].bounds = {0, 0, 100, 200};
  col[0].align = TSplitAlign::Client;
  col[1].bounds = {0, 203, 100, 300};
  col[1].align = TSplitAlign::Bottom;
  TMarginSplitterDrag up(col, ui::TRect{0, 200, 100, 203}, TSplitAlign::Bottom, 300, 30, false,
                         {50, 201});
  for (int step = 1; step <= 5; ++step) {
    ASSERT_TRUE(up.Move({50, 201 - 4 * step}, nullptr));
    ASSERT_TRUE(up.Apply(up.NewSize(), applied));
    EXPECT_EQ(applied, (ui::TRect{0, 203 - 4 * step, 100, 300})) << "step " << step;
  }
}

TEST(MarginSplitter, AutoSnapAndVeto) {
  auto row = MainRow();
  TMarginSplitterDrag drag(row, row[1].bounds, TSplitAlign::Left, 600, 50, true, {207, 10});
  EXPECT_TRUE(drag.Move({0, 10}, nullptr));
  EXPECT_EQ(drag.NewSize(), 0);
  EXPECT_FALSE(drag.Move({250, 10}, [](int&, bool& accept) { accept = false; }));
  EXPECT_EQ(drag.NewSize(), 0);
  EXPECT_TRUE(drag.Move({250, 10}, [](int& size, bool&) { size = 99; }));
  EXPECT_EQ(drag.NewSize(), 99);
}

TEST(MarginSplitter, FindsAControlBesideItsMarginAndEmptyOnes) {
  // A splitter right of a control whose right margin is 5: the probe falls in the margin.
  std::vector<TSplitSibling> row(2);
  row[0].bounds = {0, 0, 100, 50};
  row[0].align = TSplitAlign::Left;
  row[0].alignWithMargins = true;
  row[0].margins.right = 5;
  const ui::TRect splitter{105, 0, 108, 50};
  row[1].bounds = splitter;
  row[1].isSplitter = true;
  EXPECT_EQ(FindSplitControl(row, splitter, TSplitAlign::Left), 0);
  row[0].alignWithMargins = false;
  EXPECT_EQ(FindSplitControl(row, splitter, TSplitAlign::Left), -1);
  // A collapsed (zero-height) control above a top splitter is still found.
  std::vector<TSplitSibling> col(1);
  col[0].bounds = {0, 20, 100, 20};
  EXPECT_EQ(FindSplitControl(col, ui::TRect{0, 20, 100, 23}, TSplitAlign::Top), 0);
  col[0].enabled = false;
  EXPECT_EQ(FindSplitControl(col, ui::TRect{0, 20, 100, 23}, TSplitAlign::Top), -1);
}

TEST(MarginSplitter, BottomAlignmentKeepsTheFarEdge) {
  std::vector<TSplitSibling> col(2);
  col[0].bounds = {0, 0, 100, 200};
  col[0].align = TSplitAlign::Client;
  col[1].bounds = {0, 203, 100, 300};
  col[1].align = TSplitAlign::Bottom;
  const ui::TRect splitter{0, 200, 100, 203};
  TMarginSplitterDrag drag(col, splitter, TSplitAlign::Bottom, 300, 30, false, {50, 201});
  ASSERT_EQ(drag.ControlIndex(), 1);
  EXPECT_TRUE(drag.Move({50, 181}, nullptr));  // up 20: the bottom control grows
  EXPECT_EQ(drag.NewSize(), 117);
  ui::TRect r;
  ASSERT_TRUE(drag.Apply(drag.NewSize(), r));
  EXPECT_EQ(r, (ui::TRect{0, 183, 100, 300}));
  EXPECT_EQ(drag.LineRect(), splitter.Offset(0, -20));
}

TEST(ShadowPanel, ShadowsLieRightOfAndBelowEachChild) {
  const TShadowRects s = ShadowRectsFor(ui::TRect{10, 10, 50, 30}, 4);
  EXPECT_EQ(s.right, (ui::TRect{50, 14, 54, 34}));
  EXPECT_EQ(s.below, (ui::TRect{14, 30, 54, 34}));
  EXPECT_TRUE(ShadowRectsFor(ui::TRect{10, 10, 50, 30}, 0).right.IsEmpty());
}

}  // namespace
}  // namespace kv
