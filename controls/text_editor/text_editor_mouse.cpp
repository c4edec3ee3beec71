// The text editor control's mouse: selecting, dragging text, double clicks and the wheel.
#include "controls/text_editor/text_editor_model.h"

#include <algorithm>

#include "controls/text_editor/text_editor_model_parts.h"
#include "controls/text_editor/text_grid.h"

namespace kv {

// ---------------------------------------------------------------- mouse

TZNPos TZNCustomMemo::PointToPos(int x, int y, bool inGutter) const {
  if (lines_.Count() == 0 || lineHeight_ <= 0 || charWidth_ <= 0) return {0, 0};
  int line = topLine_ + (y >= 0 ? y / lineHeight_ : -1 - (-y - 1) / lineHeight_);
  line = std::clamp(line, 0, lines_.Count() - 1);
  if (inGutter) return {0, line};
  const int dx = x - GutterWidth() + charWidth_ / 2;
  const int screen = std::max(0, leftCol_ + (dx >= 0 ? dx / charWidth_ : -1));
  int col = ZNTextColumn(LineAt(line), screen, tabWidth_);
  if (!allowWS_) col = std::min(col, LineLength(line));
  return {col, line};
}

void TZNCustomMemo::MouseDown(TZNShift shift, int x, int y, bool inGutter) {
  FocusMemo();
  CloseDropList();
  DropListClosed();
  pressSuppressed_ = false;
  buttonDown_ = true;
  mouseX_ = x;
  mouseY_ = y;
  const TZNPos p = PointToPos(x, y, inGutter);
  textDrag_ = false;
  gutterSelect_ = false;
  if (!inGutter && allowDrag_ && !readOnly_ && InsideSelection(p)) {
    textDrag_ = true;
    dragCopy_ = shift.ctrl;
  } else if (inGutter) {
    gutterSelect_ = true;
    gutterLine_ = p.line;
    ClearSelection();
    PlaceCaret(p);
    anchor_ = p;
  } else if (shift.shift) {
    ExtendSelectionTo(p);
  } else {
    ClearSelection();
    PlaceCaret(p);
    anchor_ = p;
  }
  SetCaptureMouse(true);
}

void TZNCustomMemo::ExtendToMouse(int x, int y) {
  TZNPos p = PointToPos(x, y, gutterSelect_);
  if (gutterSelect_) p.col = 0;
  ExtendSelectionTo(p);
  ScrollCaretIntoView();
}

void TZNCustomMemo::MouseMove(TZNShift shift, int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  if (!buttonDown_ || pressSuppressed_) return;
  if (textDrag_) {
    dragCopy_ = shift.ctrl;
    return;
  }
  const int textLeft = GutterWidth();
  dragStepLines_ = y < 0                ? std::max(-5, y / 30) - 1
                   : y >= clientHeight_ ? std::min(5, (y - clientHeight_) / 30) + 1
                                        : 0;
  dragStepCols_ = x < textLeft        ? std::max(-5, (x - textLeft) / 30) - 1
                  : x >= clientWidth_ ? std::min(5, (x - clientWidth_) / 30) + 1
                                      : 0;
  if (gutterSelect_) dragStepCols_ = 0;
  SetDragTimer(dragStepLines_ != 0 || dragStepCols_ != 0);
  ExtendToMouse(x, y);
}

void TZNCustomMemo::DragTimerTick() {
  if (!buttonDown_ || (dragStepLines_ == 0 && dragStepCols_ == 0)) {
    SetDragTimer(false);
    return;
  }
  SetTopLine(topLine_ + dragStepLines_);
  SetLeftColumn(leftCol_ + dragStepCols_);
  ExtendToMouse(mouseX_, mouseY_);
}

void TZNCustomMemo::MouseUp(TZNShift shift, int x, int y) {
  SetDragTimer(false);
  SetCaptureMouse(false);
  const bool wasDown = buttonDown_;
  buttonDown_ = false;
  if (!wasDown || pressSuppressed_) {
    textDrag_ = false;
    gutterSelect_ = false;
    return;
  }
  if (gutterSelect_) {
    gutterSelect_ = false;
    const TZNPos p = PointToPos(x, y, true);
    if (p.line == gutterLine_) SelectRange(0, p.line, p.line + 1, 0);
    return;
  }
  if (textDrag_) {
    textDrag_ = false;
    const TZNPos p = PointToPos(x, y, false);
    if (InsideSelection(p)) {
      ClearSelection();
      PlaceCaret(p);
    } else {
      Drop(p, shift.ctrl);
    }
  }
}

void TZNCustomMemo::Drop(TZNPos at, bool copy) {
  const std::string text = SelText();
  if (text.empty()) return;
  if (!copy) {
    const TZNPos s = selStart_, e = ClampToText(selEnd_);
    DeleteSelection();
    if (at.line == e.line && at.col > e.col) {
      at = {s.col + (at.col - e.col), s.line};
    } else if (at.line > e.line) {
      // Lines below the selection moved up by the lines it took with it.
      at.line -= e.line - s.line;
    }
  }
  InsertRecorded(at, text, true);
}

void TZNCustomMemo::DoubleClick() {
  int start = 0, end = 0;
  if (caret_.line < lines_.Count() && ZNWordAt(LineAt(caret_.line), caret_.col, start, end)) {
    SelectRange(start, caret_.line, caret_.line, end);
  }
  pressSuppressed_ = true;
}

void TZNCustomMemo::MouseWheel(int delta, TZNShift shift) {
  if (lines_.Count() == 0) return;
  const int steps = delta / 40;
  if (shift.ctrl) {
    SetLeftColumn(leftCol_ - steps);
  } else if (shift.shift) {
    const int notches = delta / 120;
    if (notches != 0) MoveCaretBy(KeepScreenColumn(caret_, caret_.line - notches), false);
    ScrollCaretIntoView();
  } else {
    SetTopLine(topLine_ - steps);
  }
}

}  // namespace kv
