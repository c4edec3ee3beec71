#include "controls/img_control.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kv {
namespace {

class FakePicture : public TImagePicture {
 public:
  FakePicture(int w, int h) : w_(w), h_(h) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }

 private:
  int w_, h_;
};

struct RecordingTarget : TImageDrawTarget {
  std::vector<ui::TRect> copies;
  int emptyMarks = 0;
  void CopyPicture(const TImagePicture&, ui::TRect source, ui::TPoint) override {
    copies.push_back(source);
  }
  void DrawEmptyMark(ui::TRect) override { ++emptyMarks; }
};

// A stored lamp strip: a 45 x 9 picture, frames of 9 x 9.
std::unique_ptr<TFrameImage> LampStrip() {
  auto img = std::make_unique<TFrameImage>();
  img->BeginLoading();
  img->SetBitmap(std::make_unique<FakePicture>(45, 9));
  img->SetWidth(9);
  img->SetHeight(9);
  img->Loaded();
  return img;
}

TEST(FrameImage, StoredStripSettlesItsCount) {
  auto img = LampStrip();
  EXPECT_EQ(img->Count(), 5);
  EXPECT_EQ(img->Width(), 9);
  EXPECT_EQ(img->FrameOrigin(3).x, 27);
  RecordingTarget t;
  img->Draw(t, 2, 0, 0, 9, 9);
  ASSERT_EQ(t.copies.size(), 1u);
  EXPECT_EQ(t.copies[0], ui::TRect::FromBounds(18, 0, 9, 9));
  img->SetAlwaysDisplayEmpty(true);
  img->Draw(t, 2, 0, 0, 9, 9);
  EXPECT_EQ(t.emptyMarks, 1);
}

TEST(FrameImage, SizesCountsAndSeparators) {
  TFrameImage img;
  img.SetBitmap(std::make_unique<FakePicture>(45, 9));
  img.SetWidth(8);
  img.SetSeparatorSize(1);
  EXPECT_EQ(img.Count(), 5);
  img.SetSeparatorSize(0);
  img.SetCount(3);
  EXPECT_EQ(img.Width(), 15);
  img.SetCount(-1);
  img.SetWidth(-3);
  EXPECT_EQ(img.Count(), 3);
  EXPECT_EQ(img.Width(), 15);
  img.SetWidth(100);  // clamped to the picture
  EXPECT_EQ(img.Width(), 45);
  EXPECT_EQ(img.Count(), 1);
  img.SetOrientation(TStripOrientation::sbVertical);
  EXPECT_EQ(img.Height(), 9);
}

TEST(FrameImage, NegativeSeparatorIsRefusedAndDividesNothing) {
  TFrameImage img;
  img.SetBitmap(std::make_unique<FakePicture>(45, 9));
  img.SetWidth(9);
  img.SetSeparatorSize(-9);  // would make the frame step 0
  EXPECT_EQ(img.SeparatorSize(), 0);
  EXPECT_EQ(img.Count(), 5);
}

TEST(FrameImage, EmptyPictureDrawsTheEmptyMarkAndClientsFollow) {
  auto img = std::make_unique<TFrameImage>();
  RecordingTarget t;
  img->Draw(t, 0, 0, 0, 9, 9);
  EXPECT_EQ(t.emptyMarks, 1);
  TImgControlLogic c;
  c.SetFrameImage(img.get());
  EXPECT_EQ(img->ClientCount(), 1u);
  img.reset();  // the control forgets a destroyed image
  EXPECT_EQ(c.FrameImage(), nullptr);
  EXPECT_EQ(c.FrameIndex(), -1);
}

TEST(FrameImage, ResourceNameFollowsTheScreenDepth) {
  TFrameImage img;
  img.SetResBitmap256("LAMPS256");
  SetScreenBitDepth(8);
  EXPECT_EQ(img.ResourceName(), "LAMPS256");
  img.SetResBitmap("LAMPS");
  EXPECT_EQ(img.ResourceName(), "LAMPS256");
  SetScreenBitDepth(16);
  EXPECT_EQ(img.ResourceName(), "LAMPS");
  SetPictureResourceLoader([](const std::string& name) -> std::unique_ptr<TImagePicture> {
    if (name == "LAMPS") return std::make_unique<FakePicture>(20, 10);
    return nullptr;
  });
  img.SetCount(2);
  img.LoadResBitmap();
  EXPECT_EQ(img.Width(), 10);
  img.SetResBitmap("MISSING");  // a failed load keeps the picture
  EXPECT_EQ(img.Bitmap()->Width(), 20);
  SetPictureResourceLoader(nullptr);
  SetScreenBitDepth(32);
  EXPECT_FALSE(ScreenDepthChanged(16));
  EXPECT_TRUE(ScreenDepthChanged(8));
  EXPECT_FALSE(ScreenDepthChanged(4));
  EXPECT_TRUE(ScreenDepthChanged(32));
}

class TestControl : public TImgControlLogic {
 public:
  int refreshes = 0;
  std::vector<int> timerStarts;
  int timerStops = 0;
  int captureReleases = 0;
  std::string hint;
  bool hintShowing = false;

 protected:
  void RefreshFrame(bool) override { ++refreshes; }
  void StartRepeatTimer(int ms) override { timerStarts.push_back(ms); }
  void StopRepeatTimer() override { ++timerStops; }
  void ReleaseMouseCapture() override { ++captureReleases; }
  void ShowScrollHintText(const std::string& t) override {
    hint = t;
    hintShowing = true;
  }
  void HideScrollHint() override { hintShowing = false; }
  bool ScrollHintShowing() const override { return hintShowing; }
};

TEST(ImgControl, LampPositionsShowTheirFrames) {
  auto img = LampStrip();
  TestControl c;
  c.SetFrameImage(img.get());
  c.SetMax(4);
  for (int p = 0; p <= 4; ++p) {
    c.SetPosition(p);
    EXPECT_EQ(c.FrameIndex(), p);
  }
  c.SetMax(100);
  c.SetPosition(20);
  EXPECT_EQ(c.FrameIndex(), 0);
  c.SetPosition(21);
  EXPECT_EQ(c.FrameIndex(), 1);
  c.SetPosition(81);
  EXPECT_EQ(c.FrameIndex(), 4);
  c.SetPosition(100);
  EXPECT_EQ(c.FrameIndex(), 4);
}

TEST(ImgControl, SetPositionClampsAndNeverFiresOnScroll) {
  TestControl c;
  int changes = 0, scrolls = 0;
  c.OnChange = [&] { ++changes; };
  c.OnScroll = [&](int&) { ++scrolls; };
  c.SetPosition(500);
  EXPECT_EQ(c.Position(), 100);
  EXPECT_EQ(c.CaptionText(), "100");
  c.SetPosition(100);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(scrolls, 0);
  c.SetMax(50);  // below Position: Position follows first
  EXPECT_EQ(c.Position(), 50);
  EXPECT_EQ(changes, 2);
  c.SetMax(-5);  // below Min: refused
  EXPECT_EQ(c.Max(), 50);
  c.SetMin(60);
  EXPECT_EQ(c.Min(), 0);
  c.ScrollTo(10);
  EXPECT_EQ(scrolls, 1);
  c.OnScroll = [](int& v) { v = 7; };
  c.ScrollTo(30);
  EXPECT_EQ(c.Position(), 7);
}

TEST(ImgControl, DragWithDetentAndFineSteps) {
  TestControl c;
  c.SetMin(-100);
  c.MouseDown(true, {}, 10, 100);
  for (int y = 99; y >= 95; --y) {
    c.MouseMove({}, 10, y, true);
    EXPECT_EQ(c.Position(), 0) << y;
  }
  c.MouseMove({}, 10, 94, true);  // the sixth pixel above the press
  EXPECT_EQ(c.Position(), 1);
  c.MouseUp(10, 94);
  c.SetPosition(3);
  c.MouseDown(true, {}, 0, 50);
  c.MouseMove({}, 0, 55, true);  // would pass 0 by 2: stops there
  EXPECT_EQ(c.Position(), 0);
  c.MouseUp(0, 55);
  c.SetPosition(3);
  c.MouseDown(true, {}, 0, 50);
  c.MouseMove({}, 0, 59, true);
  EXPECT_EQ(c.Position(), -6);
  c.MouseUp(0, 59);
  c.SetPosition(50);
  c.MouseDown(true, TImgShift{true}, 0, 50);
  c.MouseMove(TImgShift{true}, 0, 38, true);  // 12 pixels with Shift: 2 steps
  EXPECT_EQ(c.Position(), 52);
  c.MouseMove({}, 0, 30, true);  // Shift let go after a fine drag: one step
  EXPECT_EQ(c.Position(), 53);
  c.MouseMove({}, 0, 28, false);  // without the capture nothing moves
  EXPECT_EQ(c.Position(), 53);
}

TEST(ImgControl, ZeroSmallChangeDragDividesNothing) {
  TestControl c;
  c.SetSmallChange(0);
  c.SetPosition(3);
  c.MouseDown(true, {}, 0, 50);
  c.MouseMove({}, 0, 55, true);
  c.MouseMove({}, 0, 20, true);
  EXPECT_EQ(c.Position(), 3);
  c.MouseUp(0, 20);
}

TEST(ImgControl, EscapeRestoresTheValueFromBeforeThePress) {
  TestControl c;
  c.SetPosition(40);
  c.MouseDown(true, {}, 0, 50);
  c.MouseMove({}, 0, 30, true);
  EXPECT_NE(c.Position(), 40);
  c.KeyDown(27);
  EXPECT_EQ(c.Position(), 40);
  EXPECT_FALSE(c.Dragging());
  EXPECT_EQ(c.captureReleases, 1);
}

TEST(ImgControl, KeysStepTheValue) {
  TestControl c;
  c.SetPosition(50);
  c.KeyDown(33);
  EXPECT_EQ(c.Position(), 60);
  c.KeyDown(40);
  EXPECT_EQ(c.Position(), 59);
  c.KeyDown(39);
  EXPECT_EQ(c.Position(), 60);
  c.KeyDown(35);
  EXPECT_EQ(c.Position(), 100);
  c.KeyDown(36);
  EXPECT_EQ(c.Position(), 0);
  c.SetAllowUserControl(false);
  c.KeyDown(35);
  EXPECT_EQ(c.Position(), 0);
}

std::unique_ptr<TFrameImage> ButtonStrip(bool twoState) {
  auto img = std::make_unique<TFrameImage>();
  img->SetBitmap(std::make_unique<FakePicture>(40, 20));
  img->SetCount(2);
  img->SetButton(true);
  img->SetTwoState(twoState);
  return img;
}

TEST(ImgControl, PushButtonClicksOnReleaseInsideOnly) {
  auto img = ButtonStrip(false);
  TestControl c;
  c.SetFrameImage(img.get());
  c.SetMax(1);
  int clicks = 0;
  c.OnButtonClick = [&] { ++clicks; };
  c.MouseDown(true, {}, 5, 5);
  EXPECT_EQ(c.Position(), 1);
  c.MouseMove({}, 30, 5, true);  // off the frame: released look
  EXPECT_EQ(c.Position(), 0);
  c.MouseUp(30, 5);
  EXPECT_EQ(clicks, 0);
  c.MouseDown(true, {}, 5, 5);
  c.MouseUp(5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(c.Position(), 0);
  c.KeyDown(32);
  EXPECT_EQ(c.Position(), 1);
  c.KeyUp(32);
  EXPECT_EQ(c.Position(), 0);
  EXPECT_EQ(clicks, 2);
}

TEST(ImgControl, AutoRepeatClicksAtPressThenOnTicksNotOnRelease) {
  auto img = ButtonStrip(false);
  TestControl c;
  c.SetFrameImage(img.get());
  c.SetMax(1);
  c.SetAutoRepeat(true);
  int clicks = 0;
  c.OnButtonClick = [&] { ++clicks; };
  c.MouseDown(true, {}, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(c.timerStarts, std::vector<int>{700});
  c.RepeatTick();
  c.RepeatTick();
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(c.timerStarts, (std::vector<int>{700, 200}));
  c.MouseUp(5, 5);
  EXPECT_EQ(clicks, 3);
  EXPECT_FALSE(c.Repeating());
}

TEST(ImgControl, EscapeLostCaptureOrModalStopTheRepeat) {
  auto img = ButtonStrip(false);
  TestControl c;
  c.SetFrameImage(img.get());
  c.SetMax(1);
  c.SetAutoRepeat(true);
  int clicks = 0;
  c.OnButtonClick = [&] { ++clicks; };
  c.MouseDown(true, {}, 5, 5);
  c.KeyDown(27);
  EXPECT_FALSE(c.Repeating());
  EXPECT_EQ(c.Position(), 0);
  c.RepeatTick();  // a tick already queued does nothing
  EXPECT_EQ(clicks, 1);
  c.MouseDown(true, {}, 5, 5);
  c.CancelPress();  // capture lost, or a modal dialog opened from the click
  EXPECT_FALSE(c.Repeating());
  EXPECT_FALSE(c.Dragging());
  EXPECT_EQ(c.Position(), 0);
  EXPECT_EQ(c.timerStops, 2);
}

TEST(ImgControl, TwoStateButtonTogglesWhateverMinIs) {
  auto img = ButtonStrip(true);
  TestControl c;
  c.SetFrameImage(img.get());
  c.SetMax(20);
  c.SetMin(10);
  int clicks = 0;
  c.OnButtonClick = [&] { ++clicks; };
  c.MouseDown(true, {}, 5, 5);
  EXPECT_EQ(c.Position(), 20);
  c.MouseMove({}, 50, 5, true);  // off the frame: back to the state at the press
  EXPECT_EQ(c.Position(), 10);
  c.MouseMove({}, 5, 5, true);
  c.MouseUp(5, 5);
  EXPECT_EQ(c.Position(), 20);
  EXPECT_EQ(clicks, 1);
  c.MouseDown(true, {}, 5, 5);
  c.MouseUp(5, 5);
  EXPECT_EQ(c.Position(), 10);
}

TEST(ImgControl, ScrollHintFollowsTheValueWhileShown) {
  TestControl c;
  c.SetShowScrollHint(true);
  c.SetPosition(5);
  EXPECT_FALSE(c.hintShowing);
  c.MouseDown(true, {}, 0, 50);
  EXPECT_EQ(c.hint, "5");
  c.OnGetScrollHint = [&](std::string& s) { s = 'v' + std::to_string(c.Position()); };
  c.MouseMove({}, 0, 40, true);
  EXPECT_EQ(c.hint, "v15");
  c.MouseUp(0, 40);
  EXPECT_FALSE(c.hintShowing);
}

}  // namespace
}  // namespace kv
