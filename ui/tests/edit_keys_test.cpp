#include "ui/edit_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv::ui {
namespace {

// The shortcut texts of a list "Del, Ctrl+C, ...".
std::vector<std::string> Texts(const std::string& list) {
  std::vector<std::string> texts;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find(", ", start);
    if (end == std::string::npos) end = list.size();
    texts.push_back(list.substr(start, end - start));
    start = end + 2;
  }
  return texts;
}

void ExpectKept(const std::string& list, bool kept, bool multiLine) {
  for (const std::string& text : Texts(list)) {
    TShortCut sc = TextToShortCut(text);
    ASSERT_NE(sc, kScNone) << text;
    EXPECT_EQ(EditKeepsShortCut(sc, multiLine), kept) << text << (multiLine ? " (multi-line)" : "");
  }
}

TEST(EditKeysTest, EditingKeysStayWithTheFieldInBothKinds) {
  const std::string editing =
      "Del, Shift+Del, BkSp, Left, Shift+End, Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z, Ctrl+A, "
      "Ctrl+Shift+Left, Shift+Ins, Ctrl+Ins, Ctrl+Del, Alt+BkSp, Enter, Esc, Space, D, Shift+D, "
      "Num 5, Num -";
  ExpectKept(editing, true, false);
  ExpectKept(editing, true, true);
  EXPECT_TRUE(EditKeepsShortCut(0xBE, false));                                  // the full stop
  EXPECT_TRUE(EditKeepsShortCut(MakeShortCut('Q', false, true, true), false));  // AltGr+Q
}

TEST(EditKeysTest, CommandKeysStayShortcuts) {
  const std::string commands =
      "F2, F12, Ctrl+D, Ctrl+E, Ctrl+S, Ctrl+O, Alt+Enter, Shift+Esc, "
      "Alt+D, Ctrl+F4";
  ExpectKept(commands, false, false);
  ExpectKept(commands, false, true);
}

TEST(EditKeysTest, PageAndCtrlArrowKeysBelongToMultiLineFieldsOnly) {
  const std::string paging = "PgUp, Shift+PgDn, Ctrl+Up, Ctrl+Down, Ctrl+Shift+Up";
  ExpectKept(paging, false, false);
  ExpectKept(paging, true, true);
}

}  // namespace
}  // namespace kv::ui
