#pragma once
// The text editor control's colour set and gutter options. Both tell their owner of a change
// through one callback so the owner can relay out or repaint.
#include <functional>

#include "ui/color.h"

namespace kv {

enum class TZNAlignment { taLeftJustify, taRightJustify, taCenter };

class TZNEnvironment {
 public:
  using TColor = ui::TColor;
  std::function<void()> OnChange;  // the owner repaints

  TColor TextColor() const { return text_; }
  TColor TextBackground() const { return textBack_; }
  TColor SelectionColor() const { return sel_; }
  TColor SelectionBackground() const { return selBack_; }
  TColor RightEdgeColor() const { return edge_; }
  TColor Hyperlink() const { return link_; }
  TColor HyperlinkBackground() const { return linkBack_; }
  void SetTextColor(TColor c) { Set(text_, c); }
  void SetTextBackground(TColor c) { Set(textBack_, c); }
  void SetSelectionColor(TColor c) { Set(sel_, c); }
  void SetSelectionBackground(TColor c) { Set(selBack_, c); }
  void SetRightEdgeColor(TColor c) { Set(edge_, c); }
  void SetHyperlink(TColor c) { Set(link_, c); }
  void SetHyperlinkBackground(TColor c) { Set(linkBack_, c); }
  // Copies all seven colours (not the owner's callback).
  void Assign(const TZNEnvironment& other);

 private:
  void Set(TColor& field, TColor value);

  TColor text_ = ui::clWindowText;
  TColor textBack_ = ui::clWindow;
  TColor sel_ = 0x00FFFF;      // yellow
  TColor selBack_ = 0xFF0000;  // blue
  TColor edge_ = 0x808080;
  TColor link_ = 0xFF0000;
  TColor linkBack_ = ui::clWindow;
};

class TZNGutterOptions {
 public:
  using TColor = ui::TColor;
  enum class Change { Layout, Repaint };
  std::function<void(Change)> OnChange;

  bool Visible() const { return visible_; }
  bool ShowLineNum() const { return showLineNum_; }
  int Width() const { return width_; }
  int Space() const { return space_; }
  int LedingDigits() const { return leadingDigits_; }
  bool ZeroStart() const { return zeroStart_; }
  TZNAlignment Alignment() const { return alignment_; }
  TColor Color() const { return color_; }
  TColor FontColor() const { return fontColor_; }
  bool Bevel() const { return bevel_; }

  void SetVisible(bool v);
  void SetShowLineNum(bool v);
  void SetWidth(int v);         // clamped to 12..48
  void SetSpace(int v);         // clamped to 1..Width div 3
  void SetLedingDigits(int v);  // clamped to 0..8
  void SetZeroStart(bool v);
  void SetAlignment(TZNAlignment v);
  void SetColor(TColor v);
  void SetFontColor(TColor v);
  void SetBevel(bool v);

  // The space as painting uses it: at most width div 3.
  int PaintSpace() const;
  // The number shown in gutter row r when firstLine (top line + 1) is shown first; false when
  // that row belongs to no line (lineCount -1: not yet known, every row numbered).
  bool RowNumber(int firstLine, int row, int lineCount, int& number) const;

 private:
  void Changed(Change c) {
    if (OnChange) OnChange(c);
  }

  bool visible_ = true;
  bool showLineNum_ = false;
  int width_ = 26;
  int space_ = 2;
  int leadingDigits_ = 0;
  bool zeroStart_ = false;
  TZNAlignment alignment_ = TZNAlignment::taLeftJustify;
  TColor color_ = ui::clBtnFace;
  TColor fontColor_ = ui::clBtnText;
  bool bevel_ = true;
};

}  // namespace kv
