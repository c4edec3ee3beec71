#include "ui/shortcut.h"

#include <gtest/gtest.h>

namespace kv::ui {
namespace {

TEST(ShortCutTest, TextsOfTheListShortcuts) {
  EXPECT_EQ(ShortCutToText(MakeShortCut('C', false, true, false)), "Ctrl+C");
  EXPECT_EQ(ShortCutToText(MakeShortCut(38, true, true, false)), "Ctrl+Shift+Up");
  EXPECT_EQ(ShortCutToText(MakeShortCut(13, false, false, true)), "Alt+Enter");
  EXPECT_EQ(ShortCutToText(MakeShortCut(46, false, false, false)), "Del");
  EXPECT_EQ(ShortCutToText(MakeShortCut(0x71, false, false, false)), "F2");
  EXPECT_EQ(ShortCutToText(kScNone), "");
  EXPECT_EQ(ShortCutToText(MakeShortCut(0xE7, false, true, false)), "");  // no name
}

TEST(ShortCutTest, TextRoundTripsAndIgnoresCaseAndOrder) {
  for (TShortCut sc :
       {MakeShortCut('D', false, true, false), MakeShortCut(40, true, true, false),
        MakeShortCut(0x70 + 11, false, false, false), MakeShortCut(0x65, false, true, true)}) {
    EXPECT_EQ(TextToShortCut(ShortCutToText(sc)), sc) << ShortCutToText(sc);
  }
  EXPECT_EQ(TextToShortCut("shift+ctrl+down"), MakeShortCut(40, true, true, false));
  EXPECT_EQ(TextToShortCut("Ctrl+"), kScNone);
  EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), kScNone);
  EXPECT_EQ(TextToShortCut(""), kScNone);
}

}  // namespace
}  // namespace kv::ui
