#include "ui/list_drag_logic.h"

#include <gtest/gtest.h>

namespace kv::ui {
namespace {

TEST(ListDragLogicTest, TheMarkShowsWhereTheDraggedRowLands) {
  TListDragLogic drag;
  EXPECT_EQ(drag.Mark().index, -1);  // no drag
  drag.Begin(3);
  drag.Track(3);
  EXPECT_EQ(drag.Mark().index, -1);  // over itself
  drag.Track(1);
  EXPECT_EQ(drag.Mark().index, 1);
  EXPECT_FALSE(drag.Mark().after);  // moving up: before the target
  drag.Track(6);
  EXPECT_EQ(drag.Mark().index, 6);
  EXPECT_TRUE(drag.Mark().after);
  drag.Track(-1);  // below the last row
  EXPECT_EQ(drag.Mark().index, -1);
}

TEST(ListDragLogicTest, ADropIsDueOnlyOnAnotherRowWhileTheDraggedRowExists) {
  TListDragLogic drag;
  TListDrop drop;
  drag.Begin(2);
  drag.Track(5);
  ASSERT_TRUE(drag.Drop(8, drop));
  EXPECT_EQ(drop.source, 2);
  EXPECT_EQ(drop.target, 5);
  EXPECT_FALSE(drag.Active());
  EXPECT_FALSE(drag.Drop(8, drop));  // ended

  drag.Begin(2);
  drag.Track(2);
  EXPECT_FALSE(drag.Drop(8, drop));  // onto itself
  drag.Begin(2);
  drag.Track(-1);
  EXPECT_FALSE(drag.Drop(8, drop));  // onto no row
  drag.Begin(6);
  drag.Track(1);
  EXPECT_FALSE(drag.Drop(5, drop));  // rows were deleted under the drag
  drag.Begin(1);
  drag.Track(6);
  EXPECT_FALSE(drag.Drop(5, drop));  // the target row is gone
  drag.Begin(1);
  drag.Track(4);
  drag.Cancel();
  EXPECT_FALSE(drag.Drop(8, drop));
}

TEST(ListDragLogicTest, TheListScrollsNearItsEdgesAndBeyondThem) {
  TListDragGeometry g{20, 200, 16};
  EXPECT_EQ(TListDragLogic::ScrollDirection(-5, g), -1);  // above the list, over the header
  EXPECT_EQ(TListDragLogic::ScrollDirection(35, g), -1);
  EXPECT_EQ(TListDragLogic::ScrollDirection(36, g), 0);
  EXPECT_EQ(TListDragLogic::ScrollDirection(183, g), 0);
  EXPECT_EQ(TListDragLogic::ScrollDirection(184, g), 1);
  EXPECT_EQ(TListDragLogic::ScrollDirection(400, g), 1);
  // A list two rows high keeps a middle where nothing scrolls.
  TListDragGeometry small{0, 30, 16};
  EXPECT_EQ(TListDragLogic::ScrollDirection(9, small), -1);
  EXPECT_EQ(TListDragLogic::ScrollDirection(15, small), 0);
  EXPECT_EQ(TListDragLogic::ScrollDirection(21, small), 1);
}

}  // namespace
}  // namespace kv::ui
