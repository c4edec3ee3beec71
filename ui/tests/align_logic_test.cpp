#include "ui/align_logic.h"

#include <gtest/gtest.h>

namespace kv::ui {
namespace {

TAlignItem Item(TAlign align, int width, int height, TMargins margins = {}) {
  return {align, TRect::FromBounds(0, 0, width, height), margins, true};
}

TEST(AlignLogicTest, EdgesFirstThenTheClientFillsTheRest) {
  // A tool bar, a status bar, a list on the left, a splitter beside it and the main list.
  std::vector<TAlignItem> items = {Item(TAlign::Top, 10, 30), Item(TAlign::Bottom, 10, 20),
                                   Item(TAlign::Left, 150, 10), Item(TAlign::Left, 5, 10),
                                   Item(TAlign::Client, 1, 1)};
  std::vector<TRect> r = AlignItems({0, 0, 600, 400}, items);
  EXPECT_EQ(r[0], (TRect{0, 0, 600, 30}));
  EXPECT_EQ(r[1], (TRect{0, 380, 600, 400}));
  EXPECT_EQ(r[2], (TRect{0, 30, 150, 380}));
  EXPECT_EQ(r[3], (TRect{150, 30, 155, 380}));
  EXPECT_EQ(r[4], (TRect{155, 30, 600, 380}));
}

TEST(AlignLogicTest, MarginsKeepSpaceAroundEachChild) {
  // A panel with margins 5, 0, 5, 5 filling the window below a 30-pixel bar.
  std::vector<TAlignItem> items = {Item(TAlign::Top, 10, 30),
                                   Item(TAlign::Client, 1, 1, {5, 0, 5, 5})};
  std::vector<TRect> r = AlignItems({0, 0, 300, 200}, items);
  EXPECT_EQ(r[1], (TRect{5, 30, 295, 195}));
  std::vector<TAlignItem> right = {Item(TAlign::Right, 40, 10, {2, 3, 4, 5}),
                                   Item(TAlign::Right, 10, 10)};
  r = AlignItems({0, 0, 100, 50}, right);
  EXPECT_EQ(r[0], (TRect{56, 3, 96, 45}));
  EXPECT_EQ(r[1], (TRect{44, 0, 54, 50}));
}

TEST(AlignLogicTest, HiddenAndUnalignedChildrenKeepTheirPlaceAndTakeNoRoom) {
  TAlignItem hidden = Item(TAlign::Top, 10, 30);
  hidden.visible = false;
  TAlignItem free{TAlign::None, TRect::FromBounds(7, 8, 9, 10), {}, true};
  std::vector<TRect> r = AlignItems({0, 0, 100, 100}, {hidden, free, Item(TAlign::Client, 1, 1)});
  EXPECT_EQ(r[0], hidden.bounds);
  EXPECT_EQ(r[1], free.bounds);
  EXPECT_EQ(r[2], (TRect{0, 0, 100, 100}));
}

TEST(AlignLogicTest, ATooSmallParentGivesEmptyRectanglesNotNegativeOnes) {
  std::vector<TAlignItem> items = {Item(TAlign::Top, 10, 80), Item(TAlign::Bottom, 10, 80),
                                   Item(TAlign::Client, 1, 1, {5, 5, 5, 5})};
  std::vector<TRect> r = AlignItems({0, 0, 8, 100}, items);
  EXPECT_GE(r[2].Width(), 0);
  EXPECT_GE(r[2].Height(), 0);
  EXPECT_GE(r[0].Width(), 0);
}

}  // namespace
}  // namespace kv::ui
