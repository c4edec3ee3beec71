#pragma once
// A static text. OnClick fires when it is clicked; the text colour and a transparent
// background can be set (for link labels). With ShowAccelChar a caption such as "&Name:"
// underlines its mnemonic and Alt+N moves the focus to the next control in tab order after
// the label (place the label just before its control); without it "&" is plain text.
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
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool show);

 protected:
  bool CommandNotify(WORD code, WORD id) override;
  // The label reports its double clicks itself (STN_DBLCLK); the mouse message fires nothing.
  void DblClick(TMouseButton, TShiftState, int, int) override {}
  bool ControlColor(HDC dc, HBRUSH& brush) override;
  LRESULT DialogCode(const MSG* msg) override;
  // The colour the text is drawn in (TextColor resolved); derived labels may adjust it.
  virtual COLORREF PaintTextColor() const;

 private:
  TColor textColor_ = clNone;  // clNone: the system's
  bool showAccelChar_ = false;
  HBRUSH brush_ = nullptr;     // owned
};

}  // namespace kv::ui
