#pragma once
// The small hint beside a control that shows its value while the user drags it: placed at
// the control's top-right corner, 2 pixels to the right, at most 100 pixels wide.
#include <memory>
#include <string>

#include "ui/hint_window.h"

namespace kv {

class TMovingHint {
 public:
  static constexpr int kMaxWidth = 100;

  // Shows text beside control (and follows it on every call while shown).
  void MoveTo(const ui::TWindow& control, const std::string& text);
  // Shows the text at the place when forced or already showing.
  void Activate(bool forced);
  // Hiding destroys the hint's window.
  void Hide() { window_.reset(); }
  bool Showing() const { return window_ && window_->Showing(); }
  const std::string& Text() const { return text_; }

 private:
  std::unique_ptr<ui::THintWindow> window_;
  std::string text_;
  ui::TPoint place_;
};

}  // namespace kv
