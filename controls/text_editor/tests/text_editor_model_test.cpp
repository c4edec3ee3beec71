#include "controls/text_editor/text_editor_model.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

class TestMemo : public TZNCustomMemo {
 public:
  TestMemo() {
    SetMetrics(800, 320, 8, 16);  // 20 rows
    WindowCreated();
  }
  std::string clipboard;
  int invalidateAll = 0;
  int scrolledLines = 0;
  int appendTimerStarts = 0;
  bool appendTimerOn = false;

  void Keys(const std::string& text) {
    for (char c : text) KeyPress(c);
  }
  void Key(int key, bool shift = false, bool ctrl = false) {
    KeyDown(key, TZNShift{shift, ctrl, false});
  }

 protected:
  void InvalidateAll() override { ++invalidateAll; }
  void ScrollPixels(int lines) override { scrolledLines += lines; }
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& t) override { clipboard = t; }
  void StartAppendTimer() override {
    ++appendTimerStarts;
    appendTimerOn = true;
  }
  void StopAppendTimer() override { appendTimerOn = false; }
};

TEST(ZNMemoUndo, TwoWordsAreTwoBlocksAndRedoRestoresThem) {
  TestMemo m;
  m.Keys("ab cd");
  EXPECT_EQ(m.Lines().Text(), "ab cd");
  m.Key(znkey::Z, false, true);
  EXPECT_EQ(m.Lines().Text(), "ab");
  EXPECT_EQ(m.Caret(), (TZNPos{2, 0}));
  m.Key(znkey::Z, false, true);
  EXPECT_EQ(m.Lines().Text(), "");
  m.Key(znkey::Y, false, true);
  m.Key(znkey::Y, false, true);
  EXPECT_EQ(m.Lines().Text(), "ab cd");
  EXPECT_EQ(m.Caret(), (TZNPos{5, 0}));
}

TEST(ZNMemoUndo, ArrowBetweenTypingGivesTwoBlocks) {
  TestMemo m;
  m.Keys("abc");
  m.Key(znkey::Left);
  m.Keys("x");
  EXPECT_EQ(m.Lines().Text(), "abxc");
  EXPECT_EQ(m.UndoCount(), 2);
  m.Key(znkey::Z, false, true);
  EXPECT_EQ(m.Lines().Text(), "abc");
}

TEST(ZNMemoUndo, SmallRingKeepsTheLastEditsAndSizeZeroRecordsNothing) {
  TestMemo m;
  m.SetUndoSize(3);
  for (int i = 0; i < 5; ++i) m.Key(znkey::Return);
  EXPECT_EQ(m.Lines().Count(), 6);
  for (int i = 0; i < 5; ++i) m.Key(znkey::Z, false, true);
  EXPECT_EQ(m.Lines().Count(), 3);
  m.SetUndoSize(0);
  m.Keys("abc");
  m.Key(znkey::Z, false, true);
  m.Key(znkey::Y, false, true);
  EXPECT_EQ(m.Lines()[m.GetCaretY()], "abc");
}

TEST(ZNMemoUndo, BackspaceDeleteAndJoinsUndoAndRedoExactly) {
  TestMemo m;
  m.Lines().SetText("abc\r\ndef");
  m.SetCaretXY(0, 1);
  m.Key(znkey::Back);  // join
  EXPECT_EQ(m.Lines().Text(), "abcdef");
  m.Key(znkey::Back);  // removes "c"
  EXPECT_EQ(m.Lines().Text(), "abdef");
  m.Key(znkey::Delete);  // removes "d"
  EXPECT_EQ(m.Lines().Text(), "abef");
  m.Key(znkey::Z, false, true);
  m.Key(znkey::Z, false, true);
  m.Key(znkey::Z, false, true);
  EXPECT_EQ(m.Lines().Text(), "abc\r\ndef");
  EXPECT_EQ(m.Caret(), (TZNPos{0, 1}));
  // Redo of a Backspace cuts the character left of where the caret was, not right of it.
  m.Key(znkey::Y, false, true);
  m.Key(znkey::Y, false, true);
  EXPECT_EQ(m.Lines().Text(), "abdef");
  m.Key(znkey::Y, false, true);
  EXPECT_EQ(m.Lines().Text(), "abef");
}

TEST(ZNMemoUndo, TypingPastTheLineEndUndoesCleanly) {
  TestMemo m;
  m.SetAllowCaretInWhiteSpace(true);
  m.Lines().SetText("abc\r\nxyz");
  m.SetCaretXY(10, 0);
  m.Keys("Q");
  EXPECT_EQ(m.Lines()[0], "abc       Q");
  m.Key(znkey::Z, false, true);
  EXPECT_EQ(m.Lines().Text(), "abc\r\nxyz");
  // Without white-space caret the character goes to the line's end; undo still fits.
  TestMemo n;
  n.Lines().SetText("abc\r\nxyz");
  n.SetAllowCaretInWhiteSpace(true);
  n.SetCaretXY(10, 0);
  n.SetAllowCaretInWhiteSpace(false);
  n.Keys("Q");
  EXPECT_EQ(n.Lines()[0], "abcQ");
  n.Key(znkey::Z, false, true);
  EXPECT_EQ(n.Lines().Text(), "abc\r\nxyz");
}

TEST(ZNMemoUndo, ProgramChangesEmptyTheRingSoUndoCannotCorrupt) {
  TestMemo m;
  m.Keys("hello");
  m.Lines().Put(0, "x");  // the rules editor replacing a line
  EXPECT_EQ(m.UndoCount(), 0);
  m.Key(znkey::Z, false, true);
  EXPECT_EQ(m.Lines().Text(), "x");
  // Assigning the text resets caret, view and ring.
  m.Keys("abc");
  m.Lines().SetText("one\r\ntwo");
  EXPECT_EQ(m.UndoCount(), 0);
  EXPECT_EQ(m.Caret(), (TZNPos{0, 0}));
  EXPECT_EQ(m.TopLine(), 0);
}

TEST(ZNMemoUndo, ReadOnlyRecordsAndEditsNothingButCopies) {
  TestMemo m;
  m.Lines().SetText("abc");
  m.SetReadOnly(true);
  m.Keys("x");
  m.Key(znkey::Back);
  m.Key(znkey::Delete);
  m.Key(znkey::Return);
  m.clipboard = 'P';
  m.Key(znkey::V, false, true);
  m.Key(znkey::A, false, true);
  m.Key(znkey::X, false, true);
  m.Key(znkey::C, false, true);
  EXPECT_EQ(m.Lines().Text(), "abc");
  EXPECT_EQ(m.clipboard, "abc");
  EXPECT_EQ(m.UndoCount(), 0);
}

TEST(ZNMemoEdit, ReturnBackspaceAndDeleteAtTheEdges) {
  TestMemo m;
  m.Key(znkey::Return);
  EXPECT_EQ(m.Lines().Count(), 2);
  EXPECT_EQ(m.Caret(), (TZNPos{0, 1}));
  TestMemo n;
  n.Lines().SetText("ab\r\ncd");
  n.SetCaretXY(0, 0);
  n.Key(znkey::Back);
  n.SetCaretXY(2, 1);
  n.Key(znkey::Delete);
  EXPECT_EQ(n.Lines().Text(), "ab\r\ncd");
  EXPECT_EQ(n.UndoCount(), 0);
  n.SetCaretXY(1, 0);
  n.Key(znkey::Return);
  EXPECT_EQ(n.Lines().Text(), "a\r\nb\r\ncd");
  EXPECT_EQ(n.Caret(), (TZNPos{0, 1}));
}

TEST(ZNMemoEdit, TabsAndOnlyPrintableCharactersAreTyped) {
  TestMemo m;
  m.Keys(std::string("a\tb\x01\x1b\xe9"));
  EXPECT_EQ(m.Lines()[0], "a\tb\xe9");
}

TEST(ZNMemoEdit, CutCopyPasteAndMultiLineSelections) {
  TestMemo m;
  m.Lines().SetText("one\r\ntwo\r\nthree");
  m.SelectRange(1, 0, 2, 2);
  EXPECT_EQ(m.SelText(), "ne\r\ntwo\r\nth");
  m.Key(znkey::X, false, true);
  EXPECT_EQ(m.clipboard, "ne\r\ntwo\r\nth");
  EXPECT_EQ(m.Lines().Text(), "oree");
  EXPECT_FALSE(m.SelActive());
  m.Key(znkey::V, false, true);
  EXPECT_EQ(m.Lines().Text(), "one\r\ntwo\r\nthree");
  EXPECT_EQ(m.Caret(), (TZNPos{2, 2}));
  m.Key(znkey::Z, false, true);  // the paste
  EXPECT_EQ(m.Lines().Text(), "oree");
  m.Key(znkey::Z, false, true);  // the cut
  EXPECT_EQ(m.Lines().Text(), "one\r\ntwo\r\nthree");
  EXPECT_TRUE(m.SelActive());
  m.SetSelectMode(false);
  m.SetCaretXY(5, 2);
  m.Key(znkey::Insert, true);  // Shift+Insert pastes
  EXPECT_EQ(m.Lines()[2], "threene");
}

TEST(ZNMemoSelection, SelectRangeClampsOrdersAndClears) {
  TestMemo m;
  m.Lines().SetText("abc\r\nde");
  m.SelectRange(10000, 1, 0, -5);  // reversed
  EXPECT_EQ(m.SelStart(), (TZNPos{0, 0}));
  EXPECT_EQ(m.SelEnd(), (TZNPos{2, 1}));
  EXPECT_EQ(m.Caret(), (TZNPos{2, 1}));
  EXPECT_EQ(m.Anchor(), (TZNPos{0, 0}));
  m.SelectRange(0, -3, -1, 0);
  EXPECT_FALSE(m.SelActive());
  // The rules editor's pattern: select a line, replace it, leave select mode.
  m.SelectRange(0, 1, 1, 10000);
  EXPECT_EQ(m.SelStartLine(), m.SelEndLine());
  m.Lines().Put(1, "rule");
  m.SetSelectMode(false);
  m.SetCaretXY(0, 1);
  EXPECT_EQ(m.Anchor(), (TZNPos{-1, -1}));
  EXPECT_EQ(m.SelStart(), (TZNPos{0, 1}));
}

TEST(ZNMemoKeys, WordMovesStayOnTheLineFirst) {
  TestMemo m;
  m.Lines().SetText("alpha\r\nfoo bar  baz");
  m.SetCaretXY(9, 1);  // start of "baz"
  m.Key(znkey::Left, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{4, 1}));
  m.Key(znkey::Left, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{0, 1}));
  m.Key(znkey::Left, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{5, 0}));
  m.Key(znkey::Right, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{0, 1}));
  m.Key(znkey::Right, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{4, 1}));
  m.Key(znkey::Right, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{9, 1}));
  m.Key(znkey::Right, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{12, 1}));
}

TEST(ZNMemoKeys, ArrowsHomeEndAndShiftSelection) {
  TestMemo m;
  m.Lines().SetText("ab\r\ncdef");
  m.SetCaretXY(2, 0);
  m.Key(znkey::Right);
  EXPECT_EQ(m.Caret(), (TZNPos{0, 1}));
  m.Key(znkey::End, true);
  EXPECT_TRUE(m.SelActive());
  EXPECT_EQ(m.SelText(), "cdef");
  m.Key(znkey::Left, true);
  EXPECT_EQ(m.SelText(), "cde");
  m.Key(znkey::Home);
  EXPECT_FALSE(m.SelActive());
  m.Key(znkey::Left);
  EXPECT_EQ(m.Caret(), (TZNPos{2, 0}));
  m.Key(znkey::End, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{4, 1}));
  m.Key(znkey::Right);  // last line: stays at its end
  EXPECT_EQ(m.Caret(), (TZNPos{4, 1}));
  m.Key(znkey::Home, false, true);
  EXPECT_EQ(m.Caret(), (TZNPos{0, 0}));
  m.Key(znkey::Left);
  EXPECT_EQ(m.Caret(), (TZNPos{0, 0}));
}

TEST(ZNMemoKeys, VerticalMovesKeepTheScreenColumnAcrossTabs) {
  TestMemo m;
  m.Lines().SetText("\tx\r\n0123456789");
  m.SetCaretXY(1, 0);  // screen column 8
  m.Key(znkey::Down);
  EXPECT_EQ(m.Caret(), (TZNPos{8, 1}));
  m.SetCaretXY(3, 1);
  m.Key(znkey::Up);  // inside the tab: on the tab
  EXPECT_EQ(m.Caret(), (TZNPos{0, 0}));
}

TEST(ZNMemoKeys, PagingAndCaretStaysInView) {
  TestMemo m;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
  m.Lines().SetText(text);
  m.Key(znkey::Next);
  EXPECT_EQ(m.GetCaretY(), 20);
  EXPECT_EQ(m.TopLine(), 20);
  m.SetCaretXY(0, 99);
  for (int i = 0; i < 3; ++i) m.Key(znkey::Next);
  EXPECT_EQ(m.GetCaretY(), 99);
  m.SetCaretXY(0, 10);
  m.Key(znkey::Up);           // caret above the view: re-centred
  EXPECT_EQ(m.TopLine(), 0);  // 9 - 10, clamped
}

TEST(ZNMemoKeys, CaretBelowTheViewIsCentred) {
  TestMemo m;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "x\r\n";
  m.Lines().SetText(text);
  m.SetCaretXY(0, 19);
  m.Key(znkey::Down);
  EXPECT_EQ(m.TopLine(), 20 + 10 - 20 + 1);
  m.Key(znkey::Down, false, true);  // Ctrl+Down scrolls, the caret stays
  EXPECT_EQ(m.TopLine(), 12);
  EXPECT_EQ(m.GetCaretY(), 20);
}

TEST(ZNMemoScroll, SmallScrollsShiftPixelsLargeOnesRepaint) {
  TestMemo m;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "x\r\n";
  m.Lines().SetText(text);
  m.invalidateAll = 0;
  m.Scroll(true, TZNScrollCode::LineDown, 0);
  m.Scroll(true, TZNScrollCode::LineDown, 0);
  EXPECT_EQ(m.scrolledLines, 2);
  EXPECT_EQ(m.invalidateAll, 0);
  m.Scroll(true, TZNScrollCode::ThumbPosition, 52);
  EXPECT_EQ(m.TopLine(), 52);
  EXPECT_EQ(m.invalidateAll, 1);
  m.Scroll(true, TZNScrollCode::Bottom, 0);
  EXPECT_EQ(m.TopLine(), 80);
  m.Scroll(true, TZNScrollCode::LineDown, 0);
  EXPECT_EQ(m.TopLine(), 80);
  m.SetTracking(false);
  m.Scroll(true, TZNScrollCode::ThumbTrack, 3);
  EXPECT_EQ(m.TopLine(), 80);
  m.Scroll(true, TZNScrollCode::Top, 0);
  EXPECT_EQ(m.TopLine(), 0);
}

TEST(ZNMemoScroll, WheelStepsAreDeltaOverForty) {
  TestMemo m;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "x\r\n";
  m.Lines().SetText(text);
  m.SetTopLine(10);
  m.MouseWheel(-120, {});
  EXPECT_EQ(m.TopLine(), 13);
  m.MouseWheel(30, {});
  EXPECT_EQ(m.TopLine(), 13);
  m.MouseWheel(-240, TZNShift{true, false, false});
  EXPECT_EQ(m.GetCaretY(), 2);
}

TEST(ZNMemoAppend, BurstOfLinesRelaysOutOnceAndEndsAtTheBottom) {
  TestMemo m;
  m.SetReadOnly(true);
  for (int i = 0; i < 1000; ++i) m.AppendLine("log " + std::to_string(i));
  EXPECT_EQ(m.appendTimerStarts, 1);
  EXPECT_EQ(m.TopLine(), 0);  // nothing scrolls before the tick
  m.AppendTimerTick();
  EXPECT_EQ(m.TopLine(), 1000 - 20);
  EXPECT_EQ(m.GetCaretY(), 999);
  EXPECT_TRUE(m.appendTimerOn);
  m.AppendTimerTick();  // nothing appended since: the timer stops
  EXPECT_FALSE(m.appendTimerOn);
}

TEST(ZNMemoPaint, RowsShowTheVisibleTextAndSelection) {
  TestMemo m;
  m.Lines().SetText("ab\tc\r\nxyz");
  m.SelectRange(1, 0, 1, 2);
  TZNRowPaint r0 = m.PaintRow(0);
  EXPECT_EQ(r0.text, "ab      c");
  EXPECT_EQ(r0.selFrom, 1);
  EXPECT_EQ(r0.selTo, 9);
  EXPECT_TRUE(r0.selFillToEnd);
  TZNRowPaint r1 = m.PaintRow(1);
  EXPECT_EQ(r1.selFrom, 0);
  EXPECT_EQ(r1.selTo, 2);
  EXPECT_FALSE(r1.selFillToEnd);
  EXPECT_FALSE(m.PaintRow(2).exists);
  int x = 0, y = 0;
  ASSERT_TRUE(m.CaretPixel(x, y));
  EXPECT_EQ(x, 26 + 2 * 8);
  EXPECT_EQ(y, 16);
  int first = 0, last = 0;
  ASSERT_TRUE(m.LinesForClip(18, 20, first, last));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 1);
}

TEST(ZNMemoProps, Clamps) {
  TestMemo m;
  m.SetRightEdgeCol(0);
  EXPECT_EQ(m.RightEdgeCol(), 1);
  m.SetRightEdgeCol(5000);
  EXPECT_EQ(m.RightEdgeCol(), 1600);
  m.SetTabWidth(0);
  EXPECT_EQ(m.TabWidth(), 1);
  m.SetDropListTimeDelay(12);
  EXPECT_EQ(m.DropListTimeDelay(), 10);
  EXPECT_TRUE(m.ShowsVertScrollBar() && m.ShowsHorzScrollBar());
  m.SetScrollbars(TZNScrolls::sbVertical);
  EXPECT_FALSE(m.ShowsHorzScrollBar());
  m.SetScrollbars(TZNScrolls::sbNone);
  EXPECT_FALSE(m.ShowsVertScrollBar());
}

TEST(ZNMemoEvents, ChangeAndCaretEventsFire) {
  TestMemo m;
  int changes = 0, moves = 0;
  m.OnChange = [&] { ++changes; };
  m.OnCaretMove = [&] { ++moves; };
  m.Lines().Add("x");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(m.Modified());
  m.SetCaretXY(0, 0);
  m.SetCaretXY(0, 0);
  EXPECT_EQ(moves, 2);  // also when the position did not change
}

// Mouse: rows of 16 pixels, columns of 8 from x = 26 (the gutter).
int X(int col) {
  return 26 + col * 8 + 1;
}
int Y(int line) {
  return line * 16 + 4;
}

TEST(ZNMemoMouse, ClickShiftClickAndDragSelect) {
  TestMemo m;
  m.Lines().SetText("hello world\r\nsecond");
  m.MouseDown({}, X(2), Y(0), false);
  m.MouseUp({}, X(2), Y(0));
  EXPECT_EQ(m.Caret(), (TZNPos{2, 0}));
  m.MouseDown(TZNShift{true, false, false}, X(4), Y(1), false);
  m.MouseUp({}, X(4), Y(1));
  EXPECT_EQ(m.SelText(), "llo world\r\nseco");
  m.SetSelectMode(false);  // a press inside the selection would start a text drag
  m.MouseDown({}, X(0), Y(1), false);
  m.MouseMove({}, X(3), Y(1));
  m.MouseUp({}, X(3), Y(1));
  EXPECT_EQ(m.SelText(), "sec");
}

TEST(ZNMemoMouse, GutterSelectsTheWholeLine) {
  TestMemo m;
  m.Lines().SetText("a\r\nbb\r\nc");
  m.MouseDown({}, 5, Y(1), true);
  m.MouseUp({}, 5, Y(1));
  EXPECT_EQ(m.SelStart(), (TZNPos{0, 1}));
  EXPECT_EQ(m.SelEnd(), (TZNPos{0, 2}));
}

TEST(ZNMemoMouse, DoubleClickSelectsTheWordAndTheReleaseKeepsIt) {
  TestMemo m;
  m.Lines().SetText("foo bar");
  m.MouseDown({}, X(5), Y(0), false);
  m.MouseUp({}, X(5), Y(0));
  m.DoubleClick();
  m.MouseMove({}, X(0), Y(0));
  m.MouseUp({}, X(0), Y(0));
  EXPECT_EQ(m.SelText(), "bar");
}

TEST(ZNMemoMouse, MovedSelectionLandsWhereDropped) {
  TestMemo m;
  m.Lines().SetText("AB\r\nCD\r\nEF\r\nGH");
  m.SelectRange(1, 0, 1, 1);  // "B\r\nC"
  m.MouseDown({}, X(1), Y(0), false);
  EXPECT_TRUE(m.TextDragging());
  m.MouseMove({}, X(1), Y(3));
  m.MouseUp({}, X(1), Y(3));  // between G and H
  EXPECT_EQ(m.Lines().Text(), "AD\r\nEF\r\nGB\r\nCH");
  EXPECT_EQ(m.SelText(), "B\r\nC");
  // On the selection's own end line, after its end.
  TestMemo n;
  n.Lines().SetText("abcdef");
  n.SelectRange(1, 0, 0, 3);  // "bc"
  n.MouseDown({}, X(1), Y(0), false);
  n.MouseUp({}, X(5), Y(0));  // between e and f
  EXPECT_EQ(n.Lines().Text(), "adebcf");
  EXPECT_EQ(n.SelText(), "bc");
  n.Key(znkey::Z, false, true);
  n.Key(znkey::Z, false, true);
  EXPECT_EQ(n.Lines().Text(), "abcdef");
}

TEST(ZNMemoMouse, CopyDropDuplicatesAndEscapeCancels) {
  TestMemo m;
  m.Lines().SetText("abc\r\nxyz");
  m.SelectRange(0, 0, 0, 2);  // "ab"
  m.MouseDown(TZNShift{false, true, false}, X(1), Y(0), false);
  m.MouseUp(TZNShift{false, true, false}, X(1), Y(1));
  EXPECT_EQ(m.Lines().Text(), "abc\r\nxabyz");
  EXPECT_EQ(m.SelText(), "ab");
  EXPECT_EQ(m.SelStart(), (TZNPos{1, 1}));
  m.MouseDown({}, X(2), Y(1), false);
  ASSERT_TRUE(m.TextDragging());
  m.Key(znkey::Escape);
  EXPECT_FALSE(m.TextDragging());
  m.MouseUp({}, X(0), Y(0));
  EXPECT_EQ(m.Lines().Text(), "abc\r\nxabyz");
}

TEST(ZNMemoCompletion, IdleBlinksAskForTheListOnlyWhenItCanOpen) {
  TestMemo m;
  int asked = 0;
  m.OnDropListDown = [&] { ++asked; };
  m.Lines().SetText("x");
  EXPECT_FALSE(m.CaretBlinkTick());
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(m.CaretBlinkTick());
  EXPECT_EQ(asked, 1);  // asked at 3000 ms, yet there are no entries
  m.DropListItems().push_back("fn|func");
  for (int i = 0; i < 5; ++i) m.CaretBlinkTick();
  EXPECT_TRUE(m.CaretBlinkTick());
  m.KeyDown(znkey::Home, {});
  EXPECT_EQ(m.IdleCounter(), 0);
  m.SetDropListTimeDelay(0);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(m.CaretBlinkTick());
}

}  // namespace
}  // namespace kv
