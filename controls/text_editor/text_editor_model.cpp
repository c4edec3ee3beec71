// The text editor control's model: its line list hooks, properties, text primitives and
// the completion list's timing.
#include "controls/text_editor/text_editor_model.h"

#include <algorithm>

#include "controls/text_editor/text_editor_model_parts.h"
#include "controls/text_editor/text_grid.h"

namespace kv {

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
