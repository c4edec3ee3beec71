#include "editor/props/win/page_view.h"

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
