#pragma once
// Labels that show a clickable web link: underlined with the hand cursor while a browser is
// available, plain text that does nothing otherwise. A link is drawn in the system's
// hot-light colour, or in a readable link colour where the colour scheme makes that one
// vanish into the background (ui/color_contrast.h).
#include <string>

#include "ui/graphics.h"
#include "ui/label.h"

namespace kv {

class TZarnWebLabelBase : public ui::TLabel {
 public:
  bool CaptionEqualsLink = true;
  // True when a browser is available and the target opened.
  bool OpenLink();
  static bool BrowserAvailable();

 protected:
  virtual void UpdateCaption() {}
  virtual bool OpenLinkTarget() { return false; }
  // Hand cursor and underline with a browser, else the default cursor and no underline.
  void UpdateLinkStyle();
  bool CommandNotify(WORD code, WORD id) override;
  // The system's link colour, unless it does not read on the label's background.
  COLORREF PaintTextColor() const override;

 private:
  ui::TFont font_;
};

class TZarnWebLabel : public TZarnWebLabelBase {
 public:
  TZarnWebLabel() = default;
  TZarnWebLabel(ui::TWindow& parent, const std::string& url, const ui::TRect& bounds);
  void Create(ui::TWindow& parent, const std::string& url, const ui::TRect& bounds);
  const std::string& Url() const { return url_; }
  void SetUrl(std::string url);

 protected:
  void UpdateCaption() override;
  bool OpenLinkTarget() override;

 private:
  std::string url_;
};

}  // namespace kv
