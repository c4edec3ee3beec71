#include "controls/list_drag.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(ListDragStart, StartsBeyondTwoPixelsWhileTheLeftButtonIsHeld) {
  TListDragStart d;
  d.MouseDown(true, 10, 10);
  EXPECT_FALSE(d.MouseMove(true, 12, 8, true));  // exactly 2 pixels
  EXPECT_TRUE(d.MouseMove(true, 13, 10, true));
  EXPECT_TRUE(d.MouseMove(true, 10, 7, true));  // repeats while held
  EXPECT_FALSE(d.MouseMove(false, 20, 20, true));
  EXPECT_FALSE(d.MouseMove(true, 20, 20, false));  // no handler: normal handling
  d.MouseUp();
  EXPECT_FALSE(d.MouseMove(true, 20, 20, true));
  d.MouseDown(false, 10, 10);  // a right press starts nothing
  EXPECT_FALSE(d.Pending());
}

}  // namespace
}  // namespace kv
