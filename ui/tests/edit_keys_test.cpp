#include "ui/edit_keys.h"

#include <gtest/gtest.h>

namespace kv::ui {
namespace {

TShortCut Key(const char* text) {
  TShortCut sc = TextToShortCut(text);
  EXPECT_NE(sc, kScNone) << text;
  return sc;
}

TEST(EditKeysTest, EditingKeysStayWithTheFieldInBothKinds) {
  for (const char* text : {"Del", "Shift+Del", "BkSp", "Left", "Shift+End", "Ctrl+C", "Ctrl+V",
                           "Ctrl+X", "Ctrl+Z", "Ctrl+A", "Ctrl+Shift+Left", "Shift+Ins",
                           "Ctrl+Ins", "Ctrl+Del", "Alt+BkSp", "Enter", "Esc", "Space", "D",
                           "Shift+D", "Num 5", "Num -"}) {
    EXPECT_TRUE(EditKeepsShortCut(Key(text), false)) << text;
    EXPECT_TRUE(EditKeepsShortCut(Key(text), true)) << text;
  }
  EXPECT_TRUE(EditKeepsShortCut(0xBE, false));                      // the full stop key
  EXPECT_TRUE(EditKeepsShortCut(MakeShortCut('Q', false, true, true), false));  // AltGr+Q
}

TEST(EditKeysTest, CommandKeysStayShortcuts) {
  for (const char* text : {"F2", "F12", "Ctrl+D", "Ctrl+E", "Ctrl+S", "Ctrl+O", "Alt+Enter",
                           "Shift+Esc", "Alt+D", "Ctrl+F4"}) {
    EXPECT_FALSE(EditKeepsShortCut(Key(text), false)) << text;
    EXPECT_FALSE(EditKeepsShortCut(Key(text), true)) << text;
  }
}

TEST(EditKeysTest, PageAndCtrlArrowKeysBelongToMultiLineFieldsOnly) {
  for (const char* text : {"PgUp", "Shift+PgDn", "Ctrl+Up", "Ctrl+Down", "Ctrl+Shift+Up"}) {
    EXPECT_FALSE(EditKeepsShortCut(Key(text), false)) << text;
    EXPECT_TRUE(EditKeepsShortCut(Key(text), true)) << text;
  }
}

}  // namespace
}  // namespace kv::ui
