#include "app/shell/win/err_form.h"

#include "base/ini_file.h"
#include "controls/text_editor/win/text_editor_window.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/placement.h"

namespace kv {

using namespace ui;

namespace {

constexpr const char* kSection = "ErrorWindow";

TFormParams ErrParams() {
  TFormParams p;
  p.caption = "Errors";
  p.bounds = TRect::FromBounds(0, 0, 520, 300);
  p.position = TFormPosition::ScreenCenter;
  p.minimizeBox = false;
  p.maximizeBox = false;
  return p;
}

}  // namespace

TErrForm::TErrForm(TSettingsSource settings)
    : TForm(ErrParams()), settings_(std::move(settings)) {
  font_.CreateMessageFont();
  TPanel& top = Add<TPanel>(*this, TRect::FromBounds(0, 0, 520, 26));
  top.SetAlign(TAlign::Top);
  heading_ = &top.Add<TLabel>(top, " The following errors occured:", TRect::FromBounds(4, 6, 400, 16));
  heading_->SetFont(font_.Handle(), false);
  TPanel& bottom = Add<TPanel>(*this, TRect::FromBounds(0, 0, 520, 41));
  bottom.SetAlign(TAlign::Bottom);
  close_ = &bottom.Add<TButton>(bottom, "Close", TRect::FromBounds(220, 8, 75, 25));
  close_->SetFont(font_.Handle(), false);
  close_->OnClick = [this] { Close(); };
  bottom.OnResize = [this, &bottom] {
    close_->SetBounds((bottom.ClientRect().Width() - 75) / 2, 8, 75, 25);
  };
  memo_ = &Add<TZarnMemo>(*this, TRect::FromBounds(0, 0, 520, 200));
  memo_->SetAlign(TAlign::Client);
  memo_->SetReadOnly(true);
  memo_->GutterOptions().SetVisible(false);
  SetFormStyle(TFormStyle::StayOnTop);
  SetDefaultButton(close_);
  SetCancelButton(close_);
  OnShow = [this] { Shown(); };
  OnClose = [this](TCloseAction&) { Closing(); };
}

TErrForm::~TErrForm() = default;

void TErrForm::AddLine(const std::string& text) {
  const size_t before = lines_.Lines().size();
  lines_.Add(text);
  ShowLinesFrom(before);
}

void TErrForm::StartGroup() {
  const size_t before = lines_.Lines().size();
  lines_.StartGroup();
  ShowLinesFrom(before);
}

void TErrForm::ShowLinesFrom(size_t first) {
  for (size_t i = first; i < lines_.Lines().size(); ++i) memo_->AppendLine(lines_.Lines()[i]);
}

void TErrForm::Shown() {
  if (TCustomIniFile* settings = settings_ ? settings_() : nullptr)
    LoadFormPlacement(*this, *settings, kSection, kPlaceSize | kPlacePosition);
  SetFormStyle(TFormStyle::StayOnTop);
  close_->SetFocus();
}

void TErrForm::SavePlacement() {
  if (TCustomIniFile* settings = settings_ ? settings_() : nullptr)
    SaveFormPlacement(*this, *settings, kSection, kPlaceSize | kPlacePosition);
}

void TErrForm::Closing() {
  SavePlacement();
  OnClosed();
}

}  // namespace kv
