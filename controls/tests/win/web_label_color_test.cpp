// The link label stays readable whatever the colour scheme makes of the hot-light colour.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "controls/go_to_web.h"
#include "controls/tests/win/win_test_support.h"
#include "controls/win/web_label.h"
#include "ui/canvas.h"
#include "ui/color_contrast.h"

namespace kv {
namespace {

// Sets the scheme's hot-light colour for one test and puts the old one back.
class HotLightScope {
 public:
  explicit HotLightScope(COLORREF color) : old_(GetSysColor(COLOR_HOTLIGHT)) { Set(color); }
  ~HotLightScope() { Set(old_); }

 private:
  static void Set(COLORREF color) {
    const INT index = COLOR_HOTLIGHT;
    SetSysColors(1, &index, &color);
  }
  COLORREF old_;
};

class WebLabelColorTest : public ::testing::Test {
 protected:
  WebLabelColorTest() : form(test::MakeForm(360, 120)) { SetBrowserSeams(test::StandInBrowser()); }
  ~WebLabelColorTest() override { SetBrowserSeams(TBrowserSeams{}); }

  // The label's text pixels on its background (the right end holds no text).
  struct TextPixels {
    COLORREF background = 0;
    double bestContrast = 1;
    bool has(COLORREF c) const { return seen.count(c) != 0; }
    std::set<COLORREF> seen;
  };
  TextPixels Read(TZarnWebLabel& label) {
    TextPixels t;
    label.Repaint();
    ui::TWindowCanvas canvas(label.Handle());
    t.background = canvas.Pixel(label.Width() - 2, label.Height() / 2);
    for (int y = 0; y < label.Height(); ++y) {
      for (int x = 0; x < label.Width(); ++x) {
        COLORREF c = canvas.Pixel(x, y);
        if (c == t.background) continue;
        t.seen.insert(c);
        t.bestContrast = std::max(t.bestContrast, ui::ContrastRatio(c, t.background));
      }
    }
    return t;
  }

  // A link label on the form, read once its text shows what done() asks for.
  TextPixels ShowLink(const std::function<bool(const TextPixels&)>& done) {
    auto& label = form->Add<TZarnWebLabel>(*form, "http://www.example.org/korvanta",
                                           ui::TRect::FromBounds(10, 10, 300, 20));
    TextPixels t;
    EXPECT_TRUE(test::PumpUntil([&] {
      t = Read(label);
      return done(t);
    }));
    return t;
  }

  std::unique_ptr<ui::TForm> form;
};

TEST_F(WebLabelColorTest, AnUnreadableHotLightFallsBackToAVisibleLinkColour) {
  HotLightScope scope(RGB(232, 236, 240));  // nearly the face colour
  TextPixels t = ShowLink([](const TextPixels& p) { return !p.seen.empty(); });
  EXPECT_GE(t.bestContrast, ui::kMinTextContrast);
  EXPECT_TRUE(t.has(ui::ReadableLinkColor(GetSysColor(COLOR_HOTLIGHT), t.background)));
}

TEST_F(WebLabelColorTest, AReadableHotLightIsKept) {
  HotLightScope scope(RGB(0, 0, 200));
  TextPixels t = ShowLink([](const TextPixels& p) { return p.has(RGB(0, 0, 200)); });
  EXPECT_GE(t.bestContrast, ui::kMinTextContrast);
}

}  // namespace
}  // namespace kv
