#include "ui/placement_logic.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kv::ui {
namespace {

const TRect kWork{0, 0, 1280, 1000};  // a task bar below

TPlacementWindow Window(TRect bounds) {
  TPlacementWindow w;
  w.bounds = bounds;
  w.restored = bounds;
  w.visible = true;
  return w;
}

TEST(PlacementLogicTest, CentresWithHalvesTowardZero) {
  EXPECT_EQ(CenteredPosition({101, 51}, {0, 0, 300, 200}), (TPoint{100, 75}));
  EXPECT_EQ(CenteredPosition({400, 300}, {-100, 10, 100, 110}), (TPoint{-200, -90}));
}

TEST(PlacementLogicTest, KeepsThirtyPixelsAndTheTitleBarOnTheWorkArea) {
  TRect work{100, 50, 1100, 850};
  // Far right: 30 pixels inside the right edge.
  EXPECT_EQ(KeepOnWorkArea(TRect::FromBounds(5000, 100, 200, 100), work, false).left, 1070);
  // Far left: 30 pixels of the window still show.
  EXPECT_EQ(KeepOnWorkArea(TRect::FromBounds(-900, 100, 200, 100), work, false).left, -70);
  // Below and above.
  EXPECT_EQ(KeepOnWorkArea(TRect::FromBounds(200, 3000, 200, 100), work, false).top, 820);
  EXPECT_EQ(KeepOnWorkArea(TRect::FromBounds(200, -40, 200, 100), work, false).top, 50);
  // Shrinking to the work area.
  TRect big = KeepOnWorkArea(TRect::FromBounds(100, 50, 3000, 2000), work, true);
  EXPECT_EQ(big.Width(), 1000);
  EXPECT_EQ(big.Height(), 800);
  EXPECT_EQ(KeepOnWorkArea(TRect::FromBounds(100, 50, 3000, 2000), work, false).Width(), 3000);
}

TEST(PlacementLogicTest, MaximisedWindowStoresStateTwoAndItsNormalBounds) {
  TMemIniFile ini;
  TPlacementWindow w = Window({-8, -8, 1288, 1008});
  w.state = TWindowState::Maximized;
  w.restored = TRect::FromBounds(40, 30, 600, 400);
  WritePlacement(ini, "Current", kPlaceSize | kPlacePosition | kPlaceMaximized | kPlaceVisible,
                 "Main", w, kWork);
  EXPECT_EQ(ini.ReadInteger("Current", "MainState", -1), 2);
  EXPECT_EQ(ini.ReadInteger("Current", "MainLeft", -1), 40);
  EXPECT_EQ(ini.ReadInteger("Current", "MainTop", -1), 30);
  EXPECT_EQ(ini.ReadInteger("Current", "MainWidth", -1), 600);
  EXPECT_EQ(ini.ReadInteger("Current", "MainHeight", -1), 400);
  EXPECT_TRUE(ini.ReadBool("Current", "MainVisible", false));
  EXPECT_FALSE(ini.ValueExists("Current", "MainStyle"));

  // Reading it back: a main form starts maximised, any other window is set maximised.
  TPlacementWindow fresh = Window(TRect::FromBounds(0, 0, 300, 200));
  fresh.isMainForm = true;
  TPlacementResult r = ReadPlacement(ini, "Current", 7, "Main", fresh, kWork, kWork);
  EXPECT_EQ(r.bounds, TRect::FromBounds(40, 30, 600, 400));
  EXPECT_EQ(r.initialShowCommand, 3);
  EXPECT_FALSE(r.state);
  fresh.isMainForm = false;
  r = ReadPlacement(ini, "Current", 7, "Main", fresh, kWork, kWork);
  EXPECT_EQ(r.state, TWindowState::Maximized);
  EXPECT_FALSE(r.initialShowCommand);
}

TEST(PlacementLogicTest, StateFollowsTheFlagsAndTheApplication) {
  TMemIniFile ini;
  TPlacementWindow w = Window(TRect::FromBounds(10, 10, 100, 100));
  w.state = TWindowState::Minimized;
  WritePlacement(ini, "S", kPlaceMaximized, "", w, kWork);  // minimised not asked for
  EXPECT_EQ(ini.ReadInteger("S", "State", -1), 0);
  WritePlacement(ini, "S", kPlaceMinimized, "", w, kWork);
  EXPECT_EQ(ini.ReadInteger("S", "State", -1), 1);
  // A minimised application writes 1 for the main form only with the minimised flag.
  TPlacementWindow main = Window(TRect::FromBounds(10, 10, 100, 100));
  main.isMainForm = true;
  main.applicationMinimized = true;
  main.state = TWindowState::Maximized;
  WritePlacement(ini, "S", kPlaceMaximized, "", main, kWork);
  EXPECT_EQ(ini.ReadInteger("S", "State", -1), 0);
  WritePlacement(ini, "S", kPlaceMaximized | kPlaceMinimized, "", main, kWork);
  EXPECT_EQ(ini.ReadInteger("S", "State", -1), 1);
  TPlacementResult r = ReadPlacement(ini, "S", kPlaceMinimized, "", main, kWork, kWork);
  EXPECT_EQ(r.initialShowCommand, 7);
}

TEST(PlacementLogicTest, PositionIsRelativeToTheWorkArea) {
  TRect work{200, 40, 1480, 1040};  // a task bar left and on top
  TMemIniFile ini;
  WritePlacement(ini, "S", kPlacePosition, "P", Window(TRect::FromBounds(250, 90, 100, 80)), work);
  EXPECT_EQ(ini.ReadInteger("S", "PLeft", 0), 50);
  EXPECT_EQ(ini.ReadInteger("S", "PTop", 0), 50);
  TPlacementResult r = ReadPlacement(ini, "S", kPlacePosition, "P",
                                     Window(TRect::FromBounds(0, 0, 100, 80)), work, work);
  EXPECT_EQ(r.bounds, TRect::FromBounds(250, 90, 100, 80));
}

TEST(PlacementLogicTest, MissingOrOffScreenPositionsComeBackOnScreen) {
  TMemIniFile ini;
  TRect owner = TRect::FromBounds(100, 100, 600, 400);
  TPlacementWindow w = Window(TRect::FromBounds(0, 0, 200, 100));
  // Nothing stored: centred over the owner.
  TPlacementResult r = ReadPlacement(ini, "S", kPlaceSize | kPlacePosition, "", w, kWork, owner);
  EXPECT_EQ(r.bounds, TRect::FromBounds(300, 250, 200, 100));
  // Only one of the two keys stored counts as nothing stored.
  ini.WriteInteger("S", "Left", 10);
  r = ReadPlacement(ini, "S", kPlacePosition, "", w, kWork, owner);
  EXPECT_EQ(r.bounds.left, 300);
  // Far right of the screen: the whole window comes back, its right edge on the screen's.
  ini.WriteInteger("S", "Left", 9000);
  ini.WriteInteger("S", "Top", 20);
  r = ReadPlacement(ini, "S", kPlacePosition, "", w, kWork, owner);
  EXPECT_EQ(r.bounds, TRect::FromBounds(kWork.right - 200, 20, 200, 100));
  // The limits of a 32-bit integer, either way, with a work area that does not start at 0.
  const TRect work{200, 40, 1480, 1040};
  for (int64_t far : {int64_t{INT32_MAX}, int64_t{INT32_MIN}}) {
    ini.WriteInteger("S", "Left", static_cast<int>(far));
    ini.WriteInteger("S", "Top", static_cast<int>(far));
    ini.WriteInteger("S", "Width", static_cast<int>(far));
    ini.WriteInteger("S", "Height", 300);
    r = ReadPlacement(ini, "S", kPlaceSize | kPlacePosition, "", w, work, owner);
    EXPECT_GE(r.bounds.left, work.left) << far;
    EXPECT_GE(r.bounds.top, work.top) << far;
    EXPECT_LE(r.bounds.right, work.right) << far;
    EXPECT_LE(r.bounds.bottom, work.bottom) << far;
    EXPECT_EQ(r.bounds.Height(), 300) << far;
  }
  // With two screens the window comes back onto the one nearest to where it was stored.
  const TRect left{-1280, 0, 0, 1000};
  auto nearest = [&](const TRect& at) { return at.left < 0 ? left : kWork; };
  ini.WriteInteger("S", "Left", -5000);
  ini.WriteInteger("S", "Top", 100);
  r = ReadPlacement(ini, "S", kPlacePosition, "", w, kWork, owner, nearest);
  EXPECT_EQ(r.bounds, TRect::FromBounds(-1280, 100, 200, 100));
}

TEST(PlacementLogicTest, DamagedSizesNeverGiveAnInvisibleWindow) {
  TMemIniFile ini;
  ini.WriteString("S", "Width", "0");
  ini.WriteString("S", "Height", "-50");
  TPlacementResult r = ReadPlacement(ini, "S", kPlaceSize, "",
                                     Window(TRect::FromBounds(5, 5, 320, 240)), kWork, kWork);
  EXPECT_EQ(r.bounds.Width(), 320);
  EXPECT_EQ(r.bounds.Height(), 240);
  ini.WriteString("S", "Width", "3");  // too small to use: the window's own size
  ini.WriteString("S", "Height", "12");
  r = ReadPlacement(ini, "S", kPlaceSize, "", Window(TRect::FromBounds(5, 5, 320, 240)), kWork,
                    kWork);
  EXPECT_EQ(r.bounds.Size(), (TSize{320, 240}));
  ini.WriteString("S", "Width", "5000");  // larger than the screen: shrunk to it
  r = ReadPlacement(ini, "S", kPlaceSize, "", Window(TRect::FromBounds(5, 5, 320, 240)), kWork,
                    kWork);
  EXPECT_EQ(r.bounds.Width(), kWork.Width());
}

TEST(PlacementLogicTest, VisibilityAndStyle) {
  TMemIniFile ini;
  TPlacementWindow w = Window(TRect::FromBounds(0, 0, 100, 100));
  w.visible = false;
  w.style = TFormStyle::StayOnTop;
  WritePlacement(ini, "S", kPlaceVisible | kPlaceStyle, "Log", w, kWork);
  EXPECT_EQ(ini.ReadString("S", "LogVisible", ""), "0");
  EXPECT_EQ(ini.ReadInteger("S", "LogStyle", -1), 3);

  TPlacementWindow other = Window(TRect::FromBounds(0, 0, 100, 100));
  TPlacementResult r = ReadPlacement(ini, "S", kPlaceVisible | kPlaceStyle | kPlacePosition, "Log",
                                     other, kWork, kWork);
  EXPECT_EQ(r.visible, false);
  EXPECT_EQ(r.style, TFormStyle::StayOnTop);
  EXPECT_TRUE(r.designedPosition);
  EXPECT_FALSE(r.hideMainForm);

  // The main form defaults to visible; a stored false only stops its first showing.
  TPlacementWindow main = other;
  main.isMainForm = true;
  TMemIniFile empty;
  r = ReadPlacement(empty, "S", kPlaceVisible, "Main", main, kWork, kWork);
  EXPECT_FALSE(r.hideMainForm);
  EXPECT_FALSE(r.visible);
  r = ReadPlacement(ini, "S", kPlaceVisible, "Log", main, kWork, kWork);
  EXPECT_TRUE(r.hideMainForm);
  // Other forms default to hidden.
  r = ReadPlacement(empty, "S", kPlaceVisible, "Main", other, kWork, kWork);
  EXPECT_EQ(r.visible, false);
}

}  // namespace
}  // namespace kv::ui
