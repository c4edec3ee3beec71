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
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY | SS_NOPREFIX | align;
  p.bounds = bounds;
  p.parent = parent.Handle();
  CreateHandle(p);
  SetColor(parent.Color());
}

void TLabel::SetTextColor(TColor color) {
  textColor_ = color;
  Invalidate();
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
  ::SetTextColor(dc, ColorToRGB(textColor_));
  ::SetBkColor(dc, ColorToRGB(Color()));
  if (!brush_) brush_ = CreateSolidBrush(ColorToRGB(Color()));
  brush = brush_;
  return true;
}

}  // namespace kv::ui
