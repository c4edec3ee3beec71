// The text editor control's recorded edits: typing, deleting, the clipboard, undo and redo.
#include "controls/text_editor/text_editor_model.h"

#include <algorithm>

#include "controls/text_editor/text_editor_model_parts.h"

namespace kv {

// ---------------------------------------------------------------- recorded edits

void TZNCustomMemo::DeleteSelection() {
  if (!selActive_ || readOnly_) return;
  if (selStart_.line >= lines_.Count()) return;
  undo_.CaptureBefore(ViewState());
  const TZNPos start = ClampToText(selStart_);
  const std::string removed = RemoveRange(start, selEnd_);
  ClearSelection();
  PlaceCaret(start);
  undo_.Record(TZNUndoKind::Deletion, removed, ViewState());
}

void TZNCustomMemo::TypeChar(char ch) {
  if (selActive_) DeleteSelection();
  if (lines_.Count() == 0) {
    InternalEdit edit(*this);
    lines_.Add("");
  }
  if (caret_.line >= lines_.Count()) caret_ = ClampToText({caret_.col, caret_.line});
  std::string typed(1, ch);
  const int len = LineLength(caret_.line);
  TZNPos at = caret_;
  if (at.col > len) {
    // The recorded state starts where the text goes in (the line's end), so that undo cuts
    // exactly the padding and the character typed.
    if (allowWS_) typed.insert(0, static_cast<size_t>(at.col - len), ' ');
    at.col = len;
    caret_.col = len;
  }
  undo_.CaptureBefore(ViewState());
  const TZNPos end = InsertText(at, typed);
  PlaceCaret(end);
  undo_.Record(TZNUndoKind::Typing, typed, ViewState());
  ScrollCaretIntoView();
}

void TZNCustomMemo::Backspace() {
  if (readOnly_ || lines_.Count() == 0) return;
  if (caret_.line == 0 && caret_.col == 0) return;
  if (selActive_) {
    DeleteSelection();
    return;
  }
  if (caret_.line >= lines_.Count()) return;
  if (caret_.col > LineLength(caret_.line)) caret_.col = LineLength(caret_.line);
  if (caret_.col > 0) {
    undo_.CaptureBefore(ViewState());
    const TZNPos from{caret_.col - 1, caret_.line};
    const std::string removed = RemoveRange(from, caret_);
    PlaceCaret(from);
    undo_.Record(TZNUndoKind::Deletion, removed, ViewState());
  } else if (caret_.line > 0) {
    undo_.CaptureBefore(ViewState());
    const TZNPos join{LineLength(caret_.line - 1), caret_.line - 1};
    const std::string removed = RemoveRange(join, caret_);
    PlaceCaret(join);
    undo_.Record(TZNUndoKind::Deletion, removed, ViewState());
  }
  ScrollCaretIntoView();
}

void TZNCustomMemo::DeleteKey(bool shift) {
  if (readOnly_) return;
  if (selActive_) {
    if (shift) {
      CutToClipboard();
    } else {
      DeleteSelection();
    }
    return;
  }
  if (caret_.line < 0 || caret_.line >= lines_.Count()) return;
  const int len = LineLength(caret_.line);
  if (caret_.col >= len) {
    if (caret_.line + 1 >= lines_.Count()) return;
    // Joined at the line's end: the recorded position must be where the break was.
    caret_.col = len;
    undo_.CaptureBefore(ViewState());
    const std::string removed = RemoveRange(caret_, {0, caret_.line + 1});
    PlaceCaret(caret_);
    undo_.Record(TZNUndoKind::Deletion, removed, ViewState());
  } else {
    undo_.CaptureBefore(ViewState());
    const std::string removed = RemoveRange(caret_, {caret_.col + 1, caret_.line});
    PlaceCaret(caret_);
    undo_.Record(TZNUndoKind::Deletion, removed, ViewState());
  }
  ScrollCaretIntoView();
}

void TZNCustomMemo::NewLine() {
  if (readOnly_) return;
  if (selActive_) DeleteSelection();
  if (lines_.Count() > 0 && caret_.line >= lines_.Count()) return;
  if (lines_.Count() == 0) {
    InternalEdit edit(*this);
    lines_.Add("");
  }
  caret_.col = std::min(caret_.col, LineLength(caret_.line));
  undo_.CaptureBefore(ViewState());
  const TZNPos end = InsertText(caret_, "\r\n");
  PlaceCaret(end);
  undo_.Record(TZNUndoKind::Typing, "\r\n", ViewState());
  ScrollCaretIntoView();
}

void TZNCustomMemo::InsertRecorded(TZNPos at, const std::string& text, bool selectIt) {
  if (text.empty()) return;
  if (lines_.Count() == 0) {
    InternalEdit edit(*this);
    lines_.Add("");
  }
  at = allowWS_ ? TZNPos{std::max(0, at.col), std::clamp(at.line, 0, lines_.Count())}
                : ClampToText(at);
  if (at.line >= lines_.Count()) at = ClampToText(at);
  ClearSelection();
  caret_ = at;
  undo_.CaptureBefore(ViewState());
  const TZNPos end = InsertText(at, text);
  if (selectIt) {
    SelectRange(at.col, at.line, end.line, end.col);
  } else {
    PlaceCaret(end);
  }
  undo_.Record(TZNUndoKind::Insertion, text, ViewState());
  ScrollCaretIntoView();
}

void TZNCustomMemo::CopyToClipboard() {
  if (!selActive_) return;
  SetClipboardText(SelText());
}

void TZNCustomMemo::CutToClipboard() {
  if (readOnly_ || !selActive_) return;
  SetClipboardText(SelText());
  DeleteSelection();
}

void TZNCustomMemo::PasteFromClipboard() {
  if (readOnly_) return;
  const std::string text = ClipboardText();
  if (selActive_) DeleteSelection();
  InsertRecorded(caret_, text, false);
}

void TZNCustomMemo::Undo() {
  if (readOnly_) return;
  const TZNUndoBlock* block = undo_.StepBack();
  if (block == nullptr) return;
  if (block->kind == TZNUndoKind::Deletion) {
    InsertText({block->after.caretCol, block->after.caretLine}, block->text);
  } else {
    const TZNPos start = block->before.selActive
                             ? TZNPos{block->before.selStartCol, block->before.selStartLine}
                             : TZNPos{block->before.caretCol, block->before.caretLine};
    const TZNPos end = EndOfInserted(start, block->text);
    if (TextBetween(start, end) != block->text) {
      // The text no longer holds what the block inserted: cutting anyway would destroy
      // other text. Forget the history instead.
      undo_.Clear();
      return;
    }
    RemoveRange(start, end);
  }
  RestoreState(block->before);
}

void TZNCustomMemo::Redo() {
  if (readOnly_) return;
  const TZNUndoBlock* block = undo_.PeekRedo();
  if (block == nullptr) return;
  if (block->kind == TZNUndoKind::Deletion) {
    // The deleted text began where the caret stood after the deletion (after Backspace the
    // caret before it stood one character further right).
    const TZNPos start{block->after.caretCol, block->after.caretLine};
    const TZNPos end = EndOfInserted(start, block->text);
    if (TextBetween(start, end) != block->text) {
      undo_.Clear();
      return;
    }
    RemoveRange(start, end);
  } else {
    InsertText({block->before.caretCol, block->before.caretLine}, block->text);
  }
  const TZNViewState after = block->after;
  undo_.FinishRedo();
  RestoreState(after);
}

void TZNCustomMemo::RestoreState(const TZNViewState& s) {
  if (s.selActive) {
    SelectRange(s.selStartCol, s.selStartLine, s.selEndLine, s.selEndCol);
    anchor_ = {s.anchorCol, s.anchorLine};
  } else {
    SetSelectMode(false);
  }
  SetCaretXY(s.caretCol, s.caretLine);
  ScrollCaretIntoView();
  InvalidateAll();
}

}  // namespace kv
