// Canvas, memory bitmaps, resources and the hint window, checked at a few pixels.
#include <gtest/gtest.h>

#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/hint_window.h"
#include "ui/tests/win/ui_test_support.h"

namespace kv::ui {
namespace {

using testing::PumpUntil;

class DrawingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
};

TEST_F(DrawingTest, MemoryCanvasDrawsAndCopiesToAnother) {
  TMemoryCanvas buffer(40, 20);
  buffer.FillRect({0, 0, 40, 20}, clWhite);
  buffer.FillRect({10, 5, 20, 15}, clRed);
  buffer.SetPen(clBlue);
  buffer.Line(0, 19, 40, 19);  // the end point is not drawn
  EXPECT_EQ(buffer.Pixel(15, 10), RgbColor(255, 0, 0));
  EXPECT_EQ(buffer.Pixel(5, 10), RgbColor(255, 255, 255));
  EXPECT_EQ(buffer.Pixel(0, 19), RgbColor(0, 0, 255));

  TMemoryCanvas target(40, 20);
  target.FillRect({0, 0, 40, 20}, clBlack);
  buffer.CopyTo(target, 0, 0);
  EXPECT_EQ(target.Pixel(15, 10), RgbColor(255, 0, 0));
  EXPECT_EQ(target.Pixel(39, 0), RgbColor(255, 255, 255));
}

TEST_F(DrawingTest, SystemColoursResolveWhenDrawing) {
  TMemoryCanvas buffer(4, 4);
  buffer.FillRect({0, 0, 4, 4}, clBtnFace);
  EXPECT_EQ(buffer.Pixel(1, 1), GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clHighlight), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(ColorToRGB(RgbColor(1, 2, 3)), RGB(1, 2, 3));
}

TEST_F(DrawingTest, TextIsMeasuredAndDrawnWithTheFont) {
  TFont font(TFontSpec{"Tahoma", -20, true});
  ASSERT_TRUE(font);
  TMemoryCanvas buffer(200, 40);
  buffer.FillRect({0, 0, 200, 40}, clWhite);
  buffer.SetFont(font.Handle());
  TSize one = buffer.TextExtent("W");
  TSize three = buffer.TextExtent("WWW");
  EXPECT_GT(one.cx, 0);
  EXPECT_EQ(three.cx, 3 * one.cx);
  EXPECT_GE(one.cy, 18);
  buffer.SetTextColor(clBlack);
  buffer.SetTextBackground(clNone);
  TRect r{0, 0, 200, 40};
  buffer.DrawText(r, "WWW", DT_LEFT | DT_TOP | DT_SINGLELINE);
  int dark = 0;
  for (int x = 0; x < three.cx; ++x) {
    for (int y = 0; y < one.cy; ++y) dark += buffer.Pixel(x, y) == 0 ? 1 : 0;
  }
  EXPECT_GT(dark, 20);
  TRect calc{0, 0, 50, 0};
  buffer.DrawText(calc, "WWW WWW WWW", DT_CALCRECT | DT_WORDBREAK);
  EXPECT_GT(calc.Height(), one.cy);  // wrapped onto more lines
}

TEST_F(DrawingTest, BitmapsComeFromResourcesAndCopy) {
  TBitmap strip;
  ASSERT_TRUE(strip.LoadFromResource("STRIP"));
  EXPECT_EQ(strip.Width(), 45);
  EXPECT_EQ(strip.Height(), 9);
  TBitmap missing;
  EXPECT_FALSE(missing.LoadFromResource("NO_SUCH_BITMAP"));
  EXPECT_TRUE(missing.Empty());

  TBitmap copy;
  copy.Assign(strip);
  strip.Reset();
  TMemoryCanvas canvas(45, 9);
  canvas.Draw(0, 0, copy);
  EXPECT_EQ(canvas.Pixel(4, 4), RgbColor(0, 0, 0));
  EXPECT_EQ(canvas.Pixel(13, 4), RgbColor(255, 255, 0));
  canvas.FillRect({0, 0, 45, 9}, clWhite);
  canvas.DrawPart(0, 0, copy, TRect::FromBounds(18, 0, 9, 9));  // frame 2
  EXPECT_EQ(canvas.Pixel(4, 4), RgbColor(255, 160, 0));
  EXPECT_EQ(canvas.Pixel(12, 4), RgbColor(255, 255, 255));

  TBitmap moved = std::move(copy);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(moved.Width(), 45);
}

TEST_F(DrawingTest, ImageListsTakeStripsAndIcons) {
  TBitmap strip;
  ASSERT_TRUE(strip.LoadFromResource("STRIP"));
  TImageList images(9, 9);
  EXPECT_EQ(images.AddStrip(strip, clBlack), 0);
  EXPECT_EQ(images.Count(), 5);
  TIcon icon;
  icon.Adopt(CopyIcon(LoadIconW(nullptr, IDI_INFORMATION)));
  EXPECT_EQ(images.AddIcon(icon), 5);
  EXPECT_FALSE(strip.Empty());  // the list copied it
}

TEST_F(DrawingTest, PaintGoesThroughTheCanvasOfACustomControl) {
  TFormParams p;
  p.caption = "Paint";
  p.bounds = TRect::FromBounds(50, 50, 200, 150);
  TForm form(p);
  TCustomControl& box = form.Add<TCustomControl>(form, TRect::FromBounds(10, 10, 50, 50));
  int paints = 0;
  box.OnPaint = [&](TCanvas& c) {
    ++paints;
    c.FillRect(box.ClientRect(), clGreen);
  };
  form.Show();
  box.Repaint();
  ASSERT_TRUE(PumpUntil([&] { return paints > 0; }));
  TWindowCanvas screen(box.Handle());
  EXPECT_EQ(screen.Pixel(5, 5), RgbColor(0, 128, 0));
}

TEST_F(DrawingTest, ScreenshotsCaptureWhatIsShownAndSaveAsBmp) {
  TFormParams p;
  p.caption = "Shot";
  p.bounds = TRect::FromBounds(60, 60, 200, 150);
  p.border = TBorderStyle::None;
  TForm form(p);
  form.SetColor(clRed);
  form.Show();
  form.Repaint();
  TBitmap shot;
  ASSERT_TRUE(PumpUntil([&] {
    form.Repaint();
    return shot.CaptureScreen(60, 60, 200, 150) && shot.PixelAt(100, 75) == RgbColor(255, 0, 0);
  }));
  EXPECT_EQ(shot.Width(), 200);
  EXPECT_EQ(shot.PixelAt(200, 0), clNone);

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string file = std::string(temp) + "kv_ui_shot.bmp";
  ASSERT_TRUE(shot.SaveToFile(file));
  // The file is a picture the resource loader reads back.
  HANDLE h = LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  ASSERT_NE(h, nullptr);
  TBitmap back;
  back.Adopt(static_cast<HBITMAP>(h));
  EXPECT_EQ(back.Width(), 200);
  EXPECT_EQ(back.Height(), 150);
  EXPECT_EQ(back.PixelAt(10, 140), RgbColor(255, 0, 0));
  DeleteFileA(file.c_str());
}

TEST_F(DrawingTest, HintWindowShowsTextWithoutTakingTheFocus) {
  TFormParams p;
  p.caption = "Owner";
  p.bounds = TRect::FromBounds(50, 50, 200, 150);
  TForm form(p);
  form.Show();
  SetActiveWindow(form.Handle());
  THintWindow hint;
  TRect r = hint.CalcHintRect(100, "127");
  EXPECT_GT(r.Width(), 4);
  EXPECT_LE(r.Width(), 100 + 6);
  TRect wide = hint.CalcHintRect(100, "a rather long text that must wrap onto lines");
  EXPECT_GT(wide.Height(), r.Height());
  hint.ActivateHint(r.Offset(300, 300), "127");
  EXPECT_TRUE(hint.Showing());
  EXPECT_EQ(hint.Caption(), "127");
  EXPECT_EQ(hint.ScreenRect().left, 300);
  EXPECT_NE(GetActiveWindow(), hint.Handle());
  hint.ReleaseHint();
  EXPECT_FALSE(hint.Showing());
}

}  // namespace
}  // namespace kv::ui
