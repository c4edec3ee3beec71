#pragma once
// A small top-most window that shows a text in the hint colours without taking the focus,
// placed by the caller (a value beside a control being dragged, a link's target).
#include <string>

#include "ui/window.h"

namespace kv::ui {

class THintWindow : public TWindow {
 public:
  THintWindow();
  // The screen rectangle the text needs, at most maxWidth wide, with its top-left at 0,0.
  TRect CalcHintRect(int maxWidth, const std::string& text) const;
  // Shows the text in the screen rectangle, without activating.
  void ActivateHint(const TRect& screenRect, const std::string& text);
  void ReleaseHint() { Hide(); }
  bool Showing() const { return Visible(); }
  const std::string& Caption() const { return text_; }

 protected:
  bool HandlePaint() override;
  bool EraseBackground(HDC dc) override;

 private:
  std::string text_;
};

}  // namespace kv::ui
