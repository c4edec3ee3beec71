#include "controls/text_editor/text_options.h"

#include <algorithm>

namespace kv {

void TZNEnvironment::Set(TColor& field, TColor value) {
  field = value;
  if (OnChange) OnChange();
}

void TZNEnvironment::Assign(const TZNEnvironment& other) {
  text_ = other.text_;
  textBack_ = other.textBack_;
  sel_ = other.sel_;
  selBack_ = other.selBack_;
  edge_ = other.edge_;
  link_ = other.link_;
  linkBack_ = other.linkBack_;
  if (OnChange) OnChange();
}

void TZNGutterOptions::SetVisible(bool v) {
  visible_ = v;
  Changed(Change::Layout);
}

void TZNGutterOptions::SetShowLineNum(bool v) {
  showLineNum_ = v;
  Changed(Change::Repaint);
}

void TZNGutterOptions::SetWidth(int v) {
  width_ = std::clamp(v, 12, 48);
  Changed(Change::Layout);
}

void TZNGutterOptions::SetSpace(int v) {
  space_ = std::clamp(v, 1, std::max(1, width_ / 3));
  Changed(Change::Repaint);
}

void TZNGutterOptions::SetLedingDigits(int v) {
  leadingDigits_ = std::clamp(v, 0, 8);
  Changed(Change::Repaint);
}

void TZNGutterOptions::SetZeroStart(bool v) {
  zeroStart_ = v;
  Changed(Change::Repaint);
}

void TZNGutterOptions::SetAlignment(TZNAlignment v) {
  alignment_ = v;
  Changed(Change::Repaint);
}

void TZNGutterOptions::SetColor(TColor v) {
  color_ = v;
  Changed(Change::Repaint);
}

void TZNGutterOptions::SetFontColor(TColor v) {
  fontColor_ = v;
  Changed(Change::Repaint);
}

void TZNGutterOptions::SetBevel(bool v) {
  bevel_ = v;
  Changed(Change::Repaint);
}

int TZNGutterOptions::PaintSpace() const {
  return std::min(space_, std::max(14, width_) / 3);
}

bool TZNGutterOptions::RowNumber(int firstLine, int row, int lineCount, int& number) const {
  const int n = firstLine + row;  // the 1-based line this row shows
  if (lineCount >= 0 && n > lineCount) return false;
  number = zeroStart_ ? n - 1 : n;
  return true;
}

}  // namespace kv
