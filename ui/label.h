#pragma once
// A static text. OnClick fires when it is clicked; the text colour and a transparent
// background can be set (for link labels).
#include "ui/window.h"

namespace kv::ui {

enum class TAlignment { Left, Right, Center };

class TLabel : public TWindow {
 public:
  TLabel() = default;
  TLabel(TWindow& parent, const std::string& caption, const TRect& bounds,
         TAlignment alignment = TAlignment::Left);
  void Create(TWindow& parent, const std::string& caption, const TRect& bounds,
              TAlignment alignment = TAlignment::Left);
  ~TLabel() override;

  void SetTextColor(TColor color);
  TColor TextColor() const { return textColor_; }

 protected:
  bool CommandNotify(WORD code, WORD id) override;
  // The label reports its double clicks itself (STN_DBLCLK); the mouse message fires nothing.
  void DblClick(TMouseButton, TShiftState, int, int) override {}
  bool ControlColor(HDC dc, HBRUSH& brush) override;

 private:
  TColor textColor_ = clNone;  // clNone: the system's
  HBRUSH brush_ = nullptr;     // owned
};

}  // namespace kv::ui
