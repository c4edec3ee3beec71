// Thick lines, polylines and ellipses, checked at the pixels they must and must not cover.
#include <gtest/gtest.h>

#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/form.h"
#include "ui/tests/win/ui_test_support.h"

namespace kv::ui {
namespace {

using testing::PumpUntil;

class ShapesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  ShapesTest() : canvas(80, 60) { canvas.FillRect({0, 0, 80, 60}, clWhite); }
  TMemoryCanvas canvas;
};

TEST_F(ShapesTest, ThickLineCoversItsWidthAndEndsByItsCap) {
  canvas.SetThickPen(clRed, 5, TPenCap::Flat);
  canvas.Line(10, 20, 50, 20);
  for (int y = 18; y <= 22; ++y) EXPECT_EQ(canvas.Pixel(30, y), clRed) << y;
  EXPECT_EQ(canvas.Pixel(30, 17), clWhite);
  EXPECT_EQ(canvas.Pixel(30, 23), clWhite);
  EXPECT_EQ(canvas.Pixel(8, 20), clWhite);  // cut at the end point
  EXPECT_EQ(canvas.Pixel(52, 20), clWhite);

  canvas.SetThickPen(clBlue, 5, TPenCap::Round);
  canvas.Line(10, 40, 50, 40);
  EXPECT_EQ(canvas.Pixel(8, 40), clBlue);  // rounded beyond both ends
  EXPECT_EQ(canvas.Pixel(52, 40), clBlue);
  EXPECT_EQ(canvas.Pixel(7, 37), clWhite);

  canvas.SetThickPen(clBlack, 0);  // no width: nothing drawn
  canvas.Line(0, 55, 80, 55);
  EXPECT_EQ(canvas.Pixel(40, 55), clWhite);
}

TEST_F(ShapesTest, PolylineJoinsItsPointsAndSkipsTooFew) {
  canvas.SetThickPen(clGreen, 3);
  canvas.Polyline({{10, 10}, {40, 10}, {40, 40}});
  EXPECT_EQ(canvas.Pixel(25, 10), clGreen);
  EXPECT_EQ(canvas.Pixel(40, 25), clGreen);
  EXPECT_EQ(canvas.Pixel(40, 10), clGreen);  // the corner is joined
  EXPECT_EQ(canvas.Pixel(25, 25), clWhite);  // not closed
  canvas.Polyline({{60, 50}});
  canvas.Polyline({});
  EXPECT_EQ(canvas.Pixel(60, 50), clWhite);
}

TEST_F(ShapesTest, EllipseIsOutlinedWithThePenAndFilledWithTheBrush) {
  canvas.SetPen(clBlack, 1);
  canvas.SetBrush(clBlue);
  canvas.Ellipse({10, 10, 50, 30});
  EXPECT_EQ(canvas.Pixel(30, 20), clBlue);
  EXPECT_EQ(canvas.Pixel(30, 10), clBlack);  // top of the outline
  EXPECT_EQ(canvas.Pixel(11, 11), clWhite);  // the corner of the box is outside
  EXPECT_EQ(canvas.Pixel(52, 20), clWhite);

  canvas.SetBrush(clNone);  // hollow
  canvas.SetThickPen(clRed, 3);
  canvas.Ellipse({10, 35, 40, 55});
  EXPECT_EQ(canvas.Pixel(25, 45), clWhite);
  EXPECT_EQ(canvas.Pixel(25, 36), clRed);
}

TEST(ShapesWindowTest, AConnectionStrokeShowsOnTheWindow) {
  Application().Initialize();
  TFormParams p;
  p.caption = "Shapes";
  p.bounds = TRect::FromBounds(100, 100, 240, 160);
  TForm form(p);
  TCustomControl& area = form.Add<TCustomControl>(form, TRect::FromBounds(0, 0, 200, 100));
  area.SetColor(RgbColor(240, 240, 240));
  area.OnPaint = [&](TCanvas& c) {
    // A connection: a 5-pixel stroke with a 1-pixel white highlight one pixel above its middle.
    c.SetThickPen(clBlue, 5);
    c.Line(20, 50, 180, 50);
    c.SetPen(clWhite, 1);
    c.Line(20, 49, 180, 49);
    c.SetPen(clBlack, 2);
    c.SetBrush(clYellow);
    c.Ellipse({150, 5, 190, 35});
  };
  form.Show();
  SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  auto pixel = [&](int x, int y) {
    TWindowCanvas c(area.Handle());
    return c.Pixel(x, y);
  };
  ASSERT_TRUE(PumpUntil([&] {
    area.Update();
    return pixel(100, 52) == clBlue;
  }));
  EXPECT_EQ(pixel(100, 49), clWhite);
  EXPECT_EQ(pixel(100, 48), clBlue);
  EXPECT_EQ(pixel(100, 45), RgbColor(240, 240, 240));
  EXPECT_EQ(pixel(170, 20), clYellow);
  EXPECT_EQ(pixel(151, 6), RgbColor(240, 240, 240));
}

}  // namespace
}  // namespace kv::ui
