#include "editor/props/win/page_view.h"

#include <algorithm>
#include <memory>

#include "ui/form.h"

namespace kv {

namespace {

std::unique_ptr<ui::TForm>& Parking() {
  static std::unique_ptr<ui::TForm> parking;
  return parking;
}

}  // namespace

ui::TWindow& PageParking() {
  std::unique_ptr<ui::TForm>& parking = Parking();
  if (!parking) {
    ui::TFormParams params;
    params.caption = "Pages";
    params.bounds = ui::TRect::FromBounds(0, 0, 600, 400);
    params.border = ui::TBorderStyle::None;
    parking = std::make_unique<ui::TForm>(params);
  }
  return *parking;
}

void FreePageParking() { Parking().reset(); }

TPageView::TPageView(TPropertyPanel& model) : model_(model) {
  TCustomControl::Create(PageParking(), ui::TRect::FromBounds(0, 0, 400, 300), 0,
                         WS_EX_CONTROLPARENT);
  Hide();
}

TPageView::~TPageView() {
  // The parking window may already be gone at program end; the handle goes with this object.
  OnEdited = nullptr;
}

void TPageView::AddTitle(const std::string& title, const std::string& help, int helpHeight) {
  ui::TFontSpec fontSpec;
  fontSpec.height = -13;
  fontSpec.bold = true;
  bold_.Create(fontSpec);
  title_ = &Add<ui::TLabel>(*this, title, ui::TRect::FromBounds(kMargin, kMargin, 300, 18));
  title_->SetFont(bold_.Handle());
  help_ = &Add<ui::TLabel>(*this, help, ui::TRect::FromBounds(kMargin, 30, 300, helpHeight));
  helpHeight_ = helpHeight;
}

int TPageView::ContentWidth() const { return std::max(100, ClientRect().Width() - 2 * kMargin); }

void TPageView::Resized() {
  ui::TPanel::Resized();
  if (title_) {
    title_->SetBounds(kMargin, kMargin, ContentWidth(), 18);
    help_->SetBounds(kMargin, 30, ContentWidth(), helpHeight_);
  }
  Layout();
}

void TPageView::HostIn(ui::TWindow& area) {
  ::SetParent(Handle(), area.Handle());
  hosted_ = true;
}

void TPageView::Park() {
  Hide();
  OnEdited = nullptr;
  if (HandleAllocated()) ::SetParent(Handle(), PageParking().Handle());
  hosted_ = false;
}

}  // namespace kv
