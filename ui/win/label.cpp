#include "ui/label.h"

namespace kv::ui {

TLabel::TLabel(TWindow& parent, const std::string& caption, const TRect& bounds,
               TAlignment alignment) {
  Create(parent, caption, bounds, alignment);
}

TLabel::~TLabel() {
  if (brush_) DeleteObject(brush_);
}

void TLabel::Create(TWindow& parent, const std::string& caption, const TRect& bounds,
                    TAlignment alignment) {
  TCreateParams p;
  p.className = L"STATIC";
  p.caption = caption;
  DWORD align = alignment == TAlignment::Right    ? SS_RIGHT
                : alignment == TAlignment::Center ? SS_CENTER
                                                  : SS_LEFT;
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY | align |
            (showAccelChar_ ? 0 : SS_NOPREFIX);
  p.bounds = bounds;
  p.parent = parent.Handle();
  CreateHandle(p);
  SetColor(parent.Color());
}

void TLabel::SetTextColor(TColor color) {
  textColor_ = color;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
  showAccelChar_ = show;
  if (!HandleAllocated()) return;
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  style = show ? (style & ~SS_NOPREFIX) : (style | SS_NOPREFIX);
  SetWindowLongPtrW(Handle(), GWL_STYLE, style);
  Invalidate();
}

LRESULT TLabel::DialogCode(const MSG*) {
  // The dialog manager looks for mnemonics in the text of every static control, whatever its
  // style: a label that shows "&" as text (an address, a file name) must not answer Alt keys.
  return showAccelChar_ ? DLGC_STATIC : 0;
}

COLORREF TLabel::PaintTextColor() const {
  return ColorToRGB(textColor_);
}

bool TLabel::CommandNotify(WORD code, WORD) {
  if (code == STN_CLICKED) {
    OnClick();
    return true;
  }
  if (code == STN_DBLCLK) {
    OnDblClick();
    return true;
  }
  return false;
}

bool TLabel::ControlColor(HDC dc, HBRUSH& brush) {
  if (textColor_ == clNone) return false;
  ::SetTextColor(dc, PaintTextColor());
  ::SetBkColor(dc, ColorToRGB(Color()));
  if (!brush_) brush_ = CreateSolidBrush(ColorToRGB(Color()));
  brush = brush_;
  return true;
}

}  // namespace kv::ui
