#include "controls/zn_memo.h"

#include <algorithm>
#include <cstdlib>

#include "controls/zn_text.h"

namespace kv {

namespace {

bool Before(TZNPos a, TZNPos b) {
  return a.line < b.line || (a.line == b.line && a.col < b.col);
}

}  // namespace

// Marks the control's own changes of its line list, so the range hook can tell them from
// changes the program makes through Lines().
class TZNCustomMemo::InternalEdit {
 public:
  explicit InternalEdit(TZNCustomMemo& m) : m_(m) {
    ++m_.internalEdits_;
    m_.lines_.BeginUpdate();
  }
  ~InternalEdit() {
    // The update ends while still marked internal: the hooks run inside EndUpdate.
    m_.lines_.EndUpdate();
    --m_.internalEdits_;
  }
  InternalEdit(const InternalEdit&) = delete;
  InternalEdit& operator=(const InternalEdit&) = delete;

 private:
  TZNCustomMemo& m_;
};

TZNCustomMemo::TZNCustomMemo() {
  lines_.SetHooks([this] { linesChanging_ = true; }, [this] { EndChangeHook(); },
                  [this](int first, int last) { RangeHook(first, last); },
                  [this] { longestCols_ = std::max(longestCols_, lines_.LongestLine()); });
  env_.OnChange = [this] { InvalidateAll(); };
  gutter_.OnChange = [this](TZNGutterOptions::Change c) {
    if (c == TZNGutterOptions::Change::Layout) Relayout();
    GutterChanged();
    InvalidateAll();
  };
}

// ---------------------------------------------------------------- line list hooks

void TZNCustomMemo::RangeHook(int first, int last) {
  SetModified(true);
  if (first == -1) {
    caret_ = {0, 0};
    topLine_ = 0;
    leftCol_ = 0;
    selActive_ = false;
    selStart_ = selEnd_ = {0, 0};
    anchor_ = {-1, -1};
    longestCols_ = 0;
    undo_.Clear();
    InvalidateAll();
    return;
  }
  if (internalEdits_ == 0) {
    // The program changed lines behind the ring's back: the recorded positions no longer
    // describe this text, and replaying them would cut the wrong characters.
    undo_.Clear();
    const int count = lines_.Count();
    if (caret_.line >= count) caret_ = ClampToText({caret_.col, count});
    if (selActive_ && selEnd_.line >= count) ClearSelection();
  }
  const int lastLine = last == -1 ? lines_.Count() : last;
  const int visEnd = topLine_ + visibleLines_;
  if (lastLine < topLine_ || first > visEnd) return;
  if (lastLine - first + 1 > 2) {
    InvalidateAll();
  } else {
    InvalidateLines(first, lastLine);
  }
}

void TZNCustomMemo::EndChangeHook() {
  linesChanging_ = false;
  if (!appendPending_) Relayout();
}

void TZNCustomMemo::Relayout() {
  if (charWidth_ > 0 && lineHeight_ > 0) {
    visibleLines_ = std::max(0, clientHeight_ / lineHeight_);
    visibleCols_ = std::max(0, (clientWidth_ - GutterWidth()) / charWidth_);
  }
  longestCols_ = std::max(longestCols_, lines_.LongestLine());
  topLine_ = std::clamp(topLine_, 0, MaxTopLine());
  leftCol_ = std::clamp(leftCol_, 0, MaxLeftColumn());
  ScrollBarsChanged();
  GutterChanged();
}

void TZNCustomMemo::WindowCreated() {
  RangeHook(-1, -1);
  Relayout();
  SetModified(false);
}

void TZNCustomMemo::SetModified(bool v) {
  modified_ = v;
  OnChange();
}

void TZNCustomMemo::AppendLine(const std::string& text) {
  const bool wasPending = appendPending_;
  appendPending_ = true;
  appendedSinceTick_ = true;
  {
    InternalEdit edit(*this);
    lines_.Add(text);
  }
  if (!wasPending) StartAppendTimer();
}

void TZNCustomMemo::AppendTimerTick() {
  appendPending_ = false;
  Relayout();
  const int count = lines_.Count();
  SetTopLine(count - visibleLines_);
  if (count > 0) SetCaretXY(caret_.col, count - 1);
  if (!appendedSinceTick_) StopAppendTimer();
  appendedSinceTick_ = false;
}

// ---------------------------------------------------------------- properties

void TZNCustomMemo::SetReadOnly(bool v) {
  readOnly_ = v;
  InvalidateLines(caret_.line, caret_.line);  // the caret appears or goes
}

void TZNCustomMemo::SetTabWidth(int v) {
  tabWidth_ = std::max(1, v);
  InvalidateAll();
}

void TZNCustomMemo::SetScrollbars(TZNScrolls v) {
  if (v == scrollbars_) return;
  scrollbars_ = v;
  showVert_ = v == TZNScrolls::sbBoth || v == TZNScrolls::sbVertical;
  showHorz_ = v == TZNScrolls::sbBoth || v == TZNScrolls::sbHorizontal;
  ScrollBarsChanged();
}

void TZNCustomMemo::SetRightEdge(bool v) {
  rightEdge_ = v;
  InvalidateAll();
}

void TZNCustomMemo::SetRightEdgeCol(int v) {
  rightEdgeCol_ = std::clamp(v, 1, 1600);
  InvalidateAll();
}

void TZNCustomMemo::SetDropListTimeDelay(int v) {
  dropListTimeDelay_ = std::clamp(v, 0, 10);
}

// ---------------------------------------------------------------- text primitives

const std::string& TZNCustomMemo::LineAt(int line) const {
  static const std::string kEmpty;
  if (line < 0 || line >= lines_.Count()) return kEmpty;
  return lines_.Get(line);
}

int TZNCustomMemo::LineLength(int line) const {
  return static_cast<int>(LineAt(line).size());
}

TZNPos TZNCustomMemo::ClampToText(TZNPos p) const {
  const int count = lines_.Count();
  if (count == 0 || p.line < 0) return {0, 0};
  if (p.line >= count) return {LineLength(count - 1), count - 1};
  return {std::clamp(p.col, 0, LineLength(p.line)), p.line};
}

TZNPos TZNCustomMemo::EndOfInserted(TZNPos start, const std::string& text) const {
  const auto pieces = ZNSplitLines(text);
  const int breaks = static_cast<int>(pieces.size()) - 1;
  if (breaks == 0) return {start.col + static_cast<int>(text.size()), start.line};
  return {static_cast<int>(pieces.back().size()), start.line + breaks};
}

TZNPos TZNCustomMemo::InsertText(TZNPos at, const std::string& text) {
  InternalEdit edit(*this);
  if (lines_.Count() == 0) lines_.Add("");
  if (at.line >= lines_.Count()) at = {LineLength(lines_.Count() - 1), lines_.Count() - 1};
  at.line = std::max(0, at.line);
  std::string line = LineAt(at.line);
  at.col = std::max(0, at.col);
  if (at.col > static_cast<int>(line.size())) {
    if (allowWS_) {
      line.append(static_cast<size_t>(at.col) - line.size(), ' ');
    } else {
      at.col = static_cast<int>(line.size());
    }
  }
  const std::string head = line.substr(0, static_cast<size_t>(at.col));
  const std::string tail = line.substr(static_cast<size_t>(at.col));
  const auto pieces = ZNSplitLines(text);
  if (pieces.size() == 1) {
    lines_.Put(at.line, head + pieces[0] + tail);
    return {at.col + static_cast<int>(pieces[0].size()), at.line};
  }
  lines_.Put(at.line, head + pieces[0]);
  for (size_t i = 1; i < pieces.size(); ++i) {
    const int index = at.line + static_cast<int>(i);
    lines_.Insert(index, i + 1 == pieces.size() ? pieces[i] + tail : pieces[i]);
  }
  return {static_cast<int>(pieces.back().size()), at.line + static_cast<int>(pieces.size()) - 1};
}

std::string TZNCustomMemo::TextBetween(TZNPos from, TZNPos to) const {
  from = ClampToText(from);
  to = ClampToText(to);
  if (lines_.Count() == 0 || !Before(from, to)) return {};
  if (from.line == to.line) {
    return LineAt(from.line).substr(static_cast<size_t>(from.col),
                                    static_cast<size_t>(to.col - from.col));
  }
  std::string out = LineAt(from.line).substr(static_cast<size_t>(from.col));
  for (int l = from.line + 1; l < to.line; ++l) out += "\r\n" + LineAt(l);
  out += "\r\n" + LineAt(to.line).substr(0, static_cast<size_t>(to.col));
  return out;
}

std::string TZNCustomMemo::RemoveRange(TZNPos from, TZNPos to) {
  if (from.line >= lines_.Count()) return {};
  from = ClampToText(from);
  to = ClampToText(to);
  if (!Before(from, to)) return {};
  std::string removed = TextBetween(from, to);
  InternalEdit edit(*this);
  const std::string joined = LineAt(from.line).substr(0, static_cast<size_t>(from.col)) +
                             LineAt(to.line).substr(static_cast<size_t>(to.col));
  for (int l = to.line; l > from.line; --l) lines_.Delete(l);
  lines_.Put(from.line, joined);
  return removed;
}

std::string TZNCustomMemo::SelText() const {
  if (!selActive_) return {};
  return TextBetween(selStart_, selEnd_);
}

TZNViewState TZNCustomMemo::ViewState() const {
  TZNViewState s;
  s.selActive = selActive_ ? 1 : 0;
  s.anchorCol = anchor_.col;
  s.anchorLine = anchor_.line;
  s.selStartCol = selStart_.col;
  s.selStartLine = selStart_.line;
  s.selEndCol = selEnd_.col;
  s.selEndLine = selEnd_.line;
  s.caretCol = caret_.col;
  s.caretLine = caret_.line;
  return s;
}

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

// ---------------------------------------------------------------- scrolling

int TZNCustomMemo::MaxTopLine() const {
  return std::max(0, lines_.Count() - std::max(1, visibleLines_));
}

int TZNCustomMemo::MaxLeftColumn() const {
  return std::max(0, longestCols_ - std::max(1, visibleCols_) + 1);
}

void TZNCustomMemo::SetTopLine(int v) {
  CloseDropList();
  DropListClosed();
  ResetIdle();
  v = std::clamp(v, 0, MaxTopLine());
  const int d = v - topLine_;
  if (d == 0) return;
  topLine_ = v;
  ScrollBarsChanged();
  GutterChanged();
  if (fullRedraw_ || std::abs(d) > visibleLines_) {
    InvalidateAll();
  } else {
    ScrollPixels(d);
  }
}

void TZNCustomMemo::SetLeftColumn(int v) {
  CloseDropList();
  DropListClosed();
  ResetIdle();
  v = std::clamp(v, 0, MaxLeftColumn());
  if (v == leftCol_) return;
  leftCol_ = v;
  ScrollBarsChanged();
  InvalidateAll();
}

void TZNCustomMemo::Scroll(bool vertical, TZNScrollCode code, int thumbPos) {
  const int pos = vertical ? topLine_ : leftCol_;
  const int page = vertical ? visibleLines_ : visibleCols_;
  int target = pos;
  switch (code) {
    case TZNScrollCode::LineUp:
      target = pos - 1;
      break;
    case TZNScrollCode::LineDown:
      target = pos + 1;
      break;
    case TZNScrollCode::PageUp:
      target = pos - page;
      break;
    case TZNScrollCode::PageDown:
      target = pos + page;
      break;
    case TZNScrollCode::ThumbPosition:
      target = thumbPos;
      break;
    case TZNScrollCode::ThumbTrack:
      if (!tracking_) return;
      target = thumbPos;
      break;
    case TZNScrollCode::Top:
      target = 0;
      break;
    case TZNScrollCode::Bottom:
      target = vertical ? lines_.Count() - visibleLines_ : longestCols_;
      break;
    case TZNScrollCode::EndScroll:
      return;
  }
  if (vertical) {
    SetTopLine(target);
  } else {
    SetLeftColumn(target);
  }
}

void TZNCustomMemo::ScrollCaretIntoView() {
  const int c = ZNScreenColumn(LineAt(caret_.line), caret_.col, tabWidth_);
  if (visibleCols_ > 0) {
    if (c >= leftCol_ + visibleCols_) {
      longestCols_ = std::max(longestCols_, c);
      SetLeftColumn(c - visibleCols_ + 1);
    } else if (c < leftCol_) {
      SetLeftColumn(c);
    }
  }
  if (visibleLines_ > 0) {
    if (caret_.line < topLine_) {
      SetTopLine(caret_.line - visibleLines_ / 2);
    } else if (caret_.line >= topLine_ + visibleLines_) {
      SetTopLine(caret_.line + visibleLines_ / 2 - visibleLines_ + 1);
    }
  }
}

void TZNCustomMemo::SetMetrics(int clientWidth, int clientHeight, int charWidth, int lineHeight) {
  clientWidth_ = std::max(0, clientWidth);
  clientHeight_ = std::max(0, clientHeight);
  charWidth_ = std::max(1, charWidth);
  lineHeight_ = std::max(1, lineHeight);
  Relayout();
}

// ---------------------------------------------------------------- painting

TZNRowPaint TZNCustomMemo::PaintRow(int line) const {
  TZNRowPaint row;
  if (line < 0 || line >= lines_.Count()) return row;
  row.exists = true;
  const std::string& text = LineAt(line);
  const std::string expanded = ZNExpandLine(text, tabWidth_);
  const int width = visibleCols_ + 1;
  if (leftCol_ < static_cast<int>(expanded.size())) {
    row.text = expanded.substr(static_cast<size_t>(leftCol_), static_cast<size_t>(width));
  }
  if (selActive_ && line >= selStart_.line && line <= selEnd_.line) {
    const int from = line == selStart_.line ? ZNScreenColumn(text, selStart_.col, tabWidth_) : 0;
    const int to = line == selEnd_.line ? ZNScreenColumn(text, selEnd_.col, tabWidth_)
                                        : static_cast<int>(expanded.size());
    row.selFrom = std::clamp(from - leftCol_, 0, width);
    row.selTo = std::clamp(to - leftCol_, 0, width);
    row.selFillToEnd = line != selEnd_.line;
  }
  return row;
}

bool TZNCustomMemo::CaretPixel(int& x, int& y) const {
  if (readOnly_ || lineHeight_ <= 0) return false;
  if (caret_.line < topLine_ || caret_.line > topLine_ + visibleLines_) return false;
  const int c = ZNScreenColumn(LineAt(caret_.line), caret_.col, tabWidth_);
  x = GutterWidth() + (c - leftCol_) * charWidth_;
  y = (caret_.line - topLine_) * lineHeight_;
  return x >= GutterWidth() && x < clientWidth_;
}

bool TZNCustomMemo::LinesForClip(int clipTop, int clipBottom, int& firstLine, int& lastLine) const {
  int first = 0, last = 0;
  if (!ZNRowsForClip(clipTop, clipBottom, lineHeight_, visibleLines_ + 1, first, last)) {
    return false;
  }
  firstLine = topLine_ + first;
  lastLine = topLine_ + last;
  return true;
}

// ---------------------------------------------------------------- completion

bool TZNCustomMemo::CaretBlinkTick() {
  if (dropListOpen_ || dropListTimeDelay_ == 0 || readOnly_) return false;
  idleMs_ += 500;
  if (idleMs_ < dropListTimeDelay_ * 1000) return false;
  idleMs_ = 0;
  return RequestDropList();
}

bool TZNCustomMemo::RequestDropList() {
  OnDropListDown();
  if (dropListOpen_ || selActive_ || dropListItems_.empty()) return false;
  return caret_.col <= LineLength(caret_.line);
}

}  // namespace kv
