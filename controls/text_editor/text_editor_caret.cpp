// The text editor control's caret and selection, and the keys that move or edit.
#include "controls/text_editor/text_editor_model.h"

#include <algorithm>

#include "controls/text_editor/text_editor_model_parts.h"
#include "controls/text_editor/text_grid.h"

namespace kv {

// ---------------------------------------------------------------- caret and selection

void TZNCustomMemo::SetCaretXY(int col, int line) {
  const int oldLine = caret_.line;
  line = std::clamp(line, 0, std::max(0, lines_.Count() - 1));
  if (!allowWS_) col = std::clamp(col, 0, LineLength(line));
  caret_ = {std::max(0, col), line};
  if (!selActive_) selStart_ = caret_;
  InvalidateLines(oldLine, oldLine);
  InvalidateLines(line, line);
  CaretShown();
  OnCaretMove();
}

void TZNCustomMemo::SetSelectMode(bool on) {
  if (on) {
    selActive_ = true;
    return;
  }
  if (selActive_) RepaintSpan(selStart_.line, selEnd_.line);
  selActive_ = false;
  selStart_ = caret_;
  selEnd_ = {0, 0};
  anchor_ = {-1, -1};
}

void TZNCustomMemo::ClearSelection() {
  SetSelectMode(false);
}

void TZNCustomMemo::SelectRange(int startCol, int startLine, int endLine, int endCol) {
  TZNPos a = ClampToText({startCol, startLine});
  TZNPos b = ClampToText({endCol, endLine});
  if (selActive_) RepaintSpan(selStart_.line, selEnd_.line);
  if (a == b) {
    SetSelectMode(false);
    SetCaretXY(a.col, a.line);
    return;
  }
  if (Before(b, a)) std::swap(a, b);
  selActive_ = true;
  selStart_ = a;
  selEnd_ = b;
  anchor_ = a;
  SetCaretXY(b.col, b.line);
  RepaintSpan(a.line, b.line);
}

void TZNCustomMemo::ExtendSelectionTo(TZNPos p) {
  if (!selActive_ || anchor_.line < 0) anchor_ = caret_;
  const TZNPos old0 = selStart_, old1 = selEnd_;
  TZNPos a = anchor_, b = p;
  if (Before(b, a)) std::swap(a, b);
  selActive_ = !(a == b);
  selStart_ = a;
  selEnd_ = b;
  RepaintSpan(std::min({old0.line, a.line, caret_.line}), std::max({old1.line, b.line, p.line}));
  const TZNPos keepAnchor = anchor_;
  SetCaretXY(p.col, p.line);
  anchor_ = keepAnchor;
}

bool TZNCustomMemo::InsideSelection(TZNPos p) const {
  return selActive_ && !Before(p, selStart_) && !Before(selEnd_, p);
}

void TZNCustomMemo::PlaceCaret(TZNPos p) {
  SetCaretXY(p.col, p.line);
}

void TZNCustomMemo::MoveCaretBy(TZNPos p, bool extend) {
  if (extend) {
    ExtendSelectionTo(p);
  } else {
    if (selActive_) ClearSelection();
    PlaceCaret(p);
  }
}

void TZNCustomMemo::RepaintSpan(int a, int b) {
  if (a > b) std::swap(a, b);
  InvalidateLines(a, b);
}

// ---------------------------------------------------------------- keys

void TZNCustomMemo::ResetIdle() {
  idleMs_ = 0;
}

void TZNCustomMemo::KeyDown(int key, TZNShift shift) {
  ResetIdle();
  dropListPos_ = {-1, -1};
  const bool ctrlOnly = shift.ctrl && !shift.shift && !shift.alt;
  if (ctrlOnly) {
    switch (key) {
      case znkey::A:
        SelectRange(0, 0, 0x7FFFFFFF, 0x7FFFFFFF);
        return;
      case znkey::C:
        CopyToClipboard();
        return;
      case znkey::V:
        PasteFromClipboard();
        return;
      case znkey::X:
        CutToClipboard();
        return;
      case znkey::Z:
        Undo();
        return;
      case znkey::Y:
        Redo();
        return;
      default:
        break;
    }
  }
  switch (key) {
    case znkey::Back:
      if (!shift.ctrl && !shift.shift) Backspace();
      return;
    case znkey::Return:
      NewLine();
      return;
    case znkey::Control:
      linkCursor_ = true;
      return;
    case znkey::Escape:
      if (textDrag_) {
        textDrag_ = false;
        buttonDown_ = false;
        pressSuppressed_ = true;
        SetDragTimer(false);
        SetCaptureMouse(false);
      }
      return;
    case znkey::Insert:
      if (shift.shift && !shift.ctrl) PasteFromClipboard();
      return;
    case znkey::Delete:
      DeleteKey(shift.shift);
      return;
    default:
      break;
  }
  if (key >= znkey::Prior && key <= znkey::Down && lines_.Count() > 0) Navigate(key, shift);
}

void TZNCustomMemo::KeyUp(int key, TZNShift /*shift*/) {
  if (key == znkey::Control) linkCursor_ = false;
}

TZNPos TZNCustomMemo::KeepScreenColumn(TZNPos from, int newLine) const {
  const int screen = ZNScreenColumn(LineAt(from.line), from.col, tabWidth_);
  newLine = std::clamp(newLine, 0, lines_.Count() - 1);
  return {ZNTextColumn(LineAt(newLine), screen, tabWidth_), newLine};
}

TZNPos TZNCustomMemo::CtrlLeft(TZNPos p) const {
  if (p.col == 0) {
    if (p.line == 0) return p;
    return {LineLength(p.line - 1), p.line - 1};
  }
  const int col = std::min(p.col, LineLength(p.line));
  // The previous word on this line first; only a line with none left of the caret hands
  // over to the previous line.
  const int start = ZNPrevWordStart(LineAt(p.line), col);
  if (start >= 0) return {start, p.line};
  if (p.line == 0) return {0, 0};
  return {LineLength(p.line - 1), p.line - 1};
}

void TZNCustomMemo::Navigate(int key, TZNShift shift) {
  const TZNPos old = caret_;
  const int last = lines_.Count() - 1;
  TZNPos p = caret_;
  switch (key) {
    case znkey::Prior:
      p = KeepScreenColumn(caret_, caret_.line - visibleLines_);
      SetTopLine(topLine_ - visibleLines_);
      break;
    case znkey::Next:
      p = KeepScreenColumn(caret_, caret_.line + visibleLines_);
      SetTopLine(topLine_ + visibleLines_);
      break;
    case znkey::End:
      p = shift.ctrl ? TZNPos{LineLength(last), last}
                     : TZNPos{LineLength(caret_.line), caret_.line};
      break;
    case znkey::Home:
      p = shift.ctrl ? TZNPos{0, 0} : TZNPos{0, caret_.line};
      break;
    case znkey::Left:
      p = shift.ctrl ? CtrlLeft(caret_)
          : caret_.col > 0
              ? TZNPos{caret_.col - 1, caret_.line}
              : (caret_.line > 0 ? TZNPos{LineLength(caret_.line - 1), caret_.line - 1} : caret_);
      break;
    case znkey::Right: {
      const int len = LineLength(caret_.line);
      if (caret_.col >= len && !(allowWS_ && !shift.ctrl)) {
        p = caret_.line < last ? TZNPos{0, caret_.line + 1} : TZNPos{len, caret_.line};
      } else if (shift.ctrl) {
        p = {ZNNextWordStart(LineAt(caret_.line), caret_.col), caret_.line};
      } else {
        p = {caret_.col + 1, caret_.line};
      }
      break;
    }
    case znkey::Up:
    case znkey::Down: {
      const int d = key == znkey::Up ? -1 : 1;
      if (shift.ctrl) {
        SetTopLine(topLine_ + d);
        return;
      }
      p = KeepScreenColumn(caret_, caret_.line + d);
      break;
    }
    default:
      return;
  }
  MoveCaretBy(p, shift.shift);
  RepaintSpan(old.line, caret_.line);
  ScrollCaretIntoView();
}

void TZNCustomMemo::KeyPress(char ch) {
  if (readOnly_) return;
  const auto c = static_cast<unsigned char>(ch);
  if (ch != '\t' && c < 32) return;
  TypeChar(ch);
}

}  // namespace kv
