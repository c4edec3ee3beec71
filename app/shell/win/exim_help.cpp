#include "app/shell/win/exim_help.h"

#include "ui/button.h"
#include "ui/canvas.h"
#include "ui/dialog_types.h"
#include "ui/label.h"
#include "ui/window.h"

namespace kv {

using namespace ui;

namespace {

constexpr int kClientWidth = 460;
constexpr int kMargin = 12;
constexpr int kTitleHeight = 44;
constexpr int kBottomHeight = 80;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;

TFormParams HelpParams(const std::string& caption, TWindow* owner) {
  TFormParams p;
  p.caption = caption;
  p.bounds = TRect::FromBounds(0, 0, kClientWidth, 300);
  p.border = TBorderStyle::Dialog;
  p.owner = owner;
  p.position = owner ? TFormPosition::OwnerFormCenter : TFormPosition::ScreenCenter;
  p.minimizeBox = false;
  p.maximizeBox = false;
  return p;
}

// The height a text takes in the window's font when wrapped to width.
int WrappedHeight(HWND window, HFONT font, const std::string& text, int width) {
  TWindowCanvas canvas(window);
  canvas.SetFont(font);
  TRect r = TRect::FromBounds(0, 0, width, 0);
  canvas.DrawText(r, text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return r.Height();
}

}  // namespace

TExImHelp::TExImHelp(int page, bool dontShowAgain, TWindow* owner)
    : TForm(HelpParams(TExImHelpModel(page, dontShowAgain).Caption(), owner)),
      model_(page, dontShowAgain) {
  font_.CreateMessageFont();
  TFontSpec titleSpec = font_.Params();
  titleSpec.bold = true;
  titleSpec.height = titleSpec.height * 4 / 3;
  titleFont_.Create(titleSpec);
  SetFont(font_.Handle(), false);

  const int textWidth = kClientWidth - 3 * kMargin;
  const int lineHeight = WrappedHeight(Handle(), font_.Handle(), "Ag", textWidth);

  // Title band.
  TPanel& band = Add<TPanel>(*this, TRect::FromBounds(0, 0, kClientWidth, kTitleHeight));
  band.SetColor(clWindow);
  title_ = &band.Add<TLabel>(band, model_.Caption(),
                             TRect::FromBounds(kMargin, kMargin, textWidth, kTitleHeight - kMargin));
  title_->SetFont(titleFont_.Handle(), false);
  title_->SetColor(clWindow);

  // The page's text.
  int y = kTitleHeight + kMargin;
  for (const std::string& line : model_.PageLines()) {
    const int height = line.empty() ? lineHeight / 2
                                    : WrappedHeight(Handle(), font_.Handle(), line, textWidth);
    if (!line.empty()) {
      TLabel& label = Add<TLabel>(*this, line,
                                  TRect::FromBounds(kMargin + kMargin / 2, y, textWidth, height));
      label.SetFont(font_.Handle(), false);
    }
    y += height;
  }
  const int textHeight = y - kTitleHeight;

  // Hint panel.
  const int hintTextHeight =
      WrappedHeight(Handle(), font_.Handle(), TExImHelpModel::HintText(), textWidth - kMargin);
  const int hintHeight = hintTextHeight + 2 * kMargin;
  TPanel& hint = Add<TPanel>(
      *this, TRect::FromBounds(kMargin, y + kMargin / 2, kClientWidth - 2 * kMargin,
                               hintHeight - kMargin),
      TPanel::TBevel::Lowered);
  hint.SetColor(clInfoBk);
  TLabel& hintLabel =
      hint.Add<TLabel>(hint, TExImHelpModel::HintText(),
                       TRect::FromBounds(kMargin / 2, kMargin / 2 - 2, textWidth - kMargin,
                                         hintTextHeight));
  hintLabel.SetFont(font_.Handle(), false);
  hintLabel.SetColor(clInfoBk);
  y += hintHeight;

  TPanel& bottom = AddBottomPanel(y, textWidth, lineHeight);

  SetClientSize(kClientWidth,
                  TExImHelpModel::ClientHeight(kTitleHeight, hintHeight, kBottomHeight, textHeight));
  bottom.SetBounds(0, y, kClientWidth, kBottomHeight);
}

// The bottom panel: the line that asks to go on, "Don't show this again", OK and Cancel.
TPanel& TExImHelp::AddBottomPanel(int top, int textWidth, int lineHeight) {
  TPanel& bottom = Add<TPanel>(*this, TRect::FromBounds(0, top, kClientWidth, kBottomHeight),
                               TPanel::TBevel::Raised);
  TLabel& cont = bottom.Add<TLabel>(bottom, TExImHelpModel::ContinueText(),
                                    TRect::FromBounds(kMargin, kMargin, textWidth, lineHeight));
  cont.SetFont(font_.Handle(), false);
  const int rowTop = kBottomHeight - kMargin - kButtonHeight;
  check_ = &bottom.Add<TCheckBox>(bottom, TExImHelpModel::CheckBoxText(),
                                  TRect::FromBounds(kMargin, rowTop + 4, 200, lineHeight + 4));
  check_->SetFont(font_.Handle(), false);
  check_->SetChecked(model_.dontShowAgain);
  check_->OnClick = [this] { model_.dontShowAgain = check_->Checked(); };
  const int cancelLeft = kClientWidth - kMargin - kButtonWidth;
  const int okLeft = cancelLeft - kMargin / 2 - kButtonWidth;
  ok_ = &bottom.Add<TButton>(bottom, "OK",
                             TRect::FromBounds(okLeft, rowTop, kButtonWidth, kButtonHeight), mrOk);
  ok_->SetModalResult(mrOk);
  ok_->SetFont(font_.Handle(), false);
  cancel_ = &bottom.Add<TButton>(
      bottom, "Cancel", TRect::FromBounds(cancelLeft, rowTop, kButtonWidth, kButtonHeight),
      mrCancel);
  cancel_->SetModalResult(mrCancel);
  cancel_->SetFont(font_.Handle(), false);
  SetDefaultButton(ok_);
  SetCancelButton(cancel_);
  return bottom;
}

std::optional<bool> TExImHelp::Run() {
  if (ShowModal() != mrOk) return std::nullopt;
  return check_->Checked();
}

}  // namespace kv
