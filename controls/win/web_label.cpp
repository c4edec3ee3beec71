#include "controls/win/web_label.h"

#include "controls/go_to_web.h"
#include "ui/color_contrast.h"

namespace kv {

bool TZarnWebLabelBase::BrowserAvailable() {
  return TGoToWeb::BrowserAvailable();
}

bool TZarnWebLabelBase::OpenLink() {
  return BrowserAvailable() && OpenLinkTarget();
}

void TZarnWebLabelBase::UpdateLinkStyle() {
  if (!HandleAllocated()) return;
  const bool link = BrowserAvailable();
  ui::TFontSpec fontSpec;
  fontSpec.underline = link;
  font_.Create(fontSpec);
  SetFont(font_.Handle());
  SetCursor(link ? LoadCursorW(nullptr, IDC_HAND) : nullptr);
  SetTextColor(link ? ui::clHotLight : ui::clNone);
  UpdateCaption();
}

COLORREF TZarnWebLabelBase::PaintTextColor() const {
  if (TextColor() != ui::clHotLight) return TLabel::PaintTextColor();
  return ui::ReadableLinkColor(ui::ColorToRGB(ui::clHotLight), ui::ColorToRGB(Color()));
}

bool TZarnWebLabelBase::CommandNotify(WORD code, WORD id) {
  const bool handled = TLabel::CommandNotify(code, id);
  if (code == STN_CLICKED) OpenLink();
  return handled;
}

TZarnWebLabel::TZarnWebLabel(ui::TWindow& parent, const std::string& url, const ui::TRect& bounds) {
  Create(parent, url, bounds);
}

void TZarnWebLabel::Create(ui::TWindow& parent, const std::string& url, const ui::TRect& bounds) {
  TLabel::Create(parent, url, bounds);
  SetUrl(url);
}

void TZarnWebLabel::SetUrl(std::string url) {
  url_ = std::move(url);
  UpdateLinkStyle();
}

void TZarnWebLabel::UpdateCaption() {
  if (!CaptionEqualsLink) return;
  SetText(url_);
  SetHint(url_);
}

bool TZarnWebLabel::OpenLinkTarget() {
  return TGoToWeb::OpenAddress(url_);
}

}  // namespace kv
