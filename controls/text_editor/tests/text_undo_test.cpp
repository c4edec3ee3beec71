#include "controls/text_editor/text_undo.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TZNViewState At(int col, int line = 0) {
  TZNViewState s;
  s.caretCol = col;
  s.caretLine = line;
  s.selStartCol = col;
  s.selStartLine = line;
  return s;
}

void Type(TZNUndoRing& r, const std::string& text, int col) {
  r.CaptureBefore(At(col));
  r.Record(TZNUndoKind::Typing, text, At(col + static_cast<int>(text.size())));
}

TEST(ZNUndoRing, TypingMergesUntilABlankFollowsANonBlank) {
  TZNUndoRing r;
  Type(r, "a", 0);
  Type(r, "b", 1);
  Type(r, " ", 2);
  Type(r, "c", 3);
  Type(r, "d", 4);
  EXPECT_EQ(r.UndoCount(), 2);
  const TZNUndoBlock* b = r.StepBack();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->text, " cd");
  EXPECT_EQ(b->before, At(2));
  b = r.StepBack();
  EXPECT_EQ(b->text, "ab");
  EXPECT_EQ(r.StepBack(), nullptr);
  EXPECT_EQ(r.RedoCount(), 2);
}

TEST(ZNUndoRing, MovedCaretLineBreaksAndOtherKindsStartNewBlocks) {
  TZNUndoRing r;
  Type(r, "a", 0);
  Type(r, "b", 5);  // the caret moved in between
  EXPECT_EQ(r.UndoCount(), 2);
  Type(r, "\r\n", 6);
  Type(r, "c", 8);  // after a line break
  EXPECT_EQ(r.UndoCount(), 4);
  r.CaptureBefore(At(9));
  r.Record(TZNUndoKind::Insertion, "x", At(10));
  r.CaptureBefore(At(10));
  r.Record(TZNUndoKind::Typing, "y", At(11));
  EXPECT_EQ(r.UndoCount(), 6);
}

TEST(ZNUndoRing, FullRingOverwritesTheOldest) {
  TZNUndoRing r(3);
  for (int i = 0; i < 5; ++i) {
    r.CaptureBefore(At(i));
    r.Record(TZNUndoKind::Insertion, std::string(1, static_cast<char>('a' + i)), At(i + 1));
  }
  EXPECT_EQ(r.UndoCount(), 3);
  EXPECT_EQ(r.StepBack()->text, "e");
  EXPECT_EQ(r.StepBack()->text, "d");
  EXPECT_EQ(r.StepBack()->text, "c");
  EXPECT_EQ(r.StepBack(), nullptr);
}

TEST(ZNUndoRing, RedoReplaysAndANewEditForgetsIt) {
  TZNUndoRing r;
  Type(r, "a", 0);
  r.StepBack();
  ASSERT_NE(r.PeekRedo(), nullptr);
  EXPECT_EQ(r.PeekRedo()->text, "a");
  r.FinishRedo();
  EXPECT_EQ(r.UndoCount(), 1);
  EXPECT_EQ(r.PeekRedo(), nullptr);
  r.StepBack();
  Type(r, "z", 0);
  EXPECT_EQ(r.RedoCount(), 0);
}

TEST(ZNUndoRing, SizeZeroAndNegativeSizesAreSafe) {
  TZNUndoRing r(0);
  r.CaptureBefore(At(0));
  EXPECT_FALSE(r.Record(TZNUndoKind::Typing, "a", At(1)));
  EXPECT_EQ(r.StepBack(), nullptr);
  EXPECT_EQ(r.PeekRedo(), nullptr);
  r.FinishRedo();
  r.SetSize(-4);
  EXPECT_EQ(r.Size(), 0);
  r.SetSize(2);
  EXPECT_TRUE(r.Record(TZNUndoKind::Typing, "a", At(1)));
  EXPECT_FALSE(r.Record(TZNUndoKind::Typing, "", At(1)));
}

}  // namespace
}  // namespace kv
