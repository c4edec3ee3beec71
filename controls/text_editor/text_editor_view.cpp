// The text editor control's scrolling, layout and the rows it paints.
#include "controls/text_editor/text_editor_model.h"

#include <algorithm>
#include <cstdlib>

#include "controls/text_editor/text_grid.h"

namespace kv {

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

}  // namespace kv
