#include "ui/page_control.h"

#include <commctrl.h>

#include "base/win/wide.h"

namespace kv::ui {

TPageControl::TPageControl(TWindow& parent, const TRect& bounds, int id) {
  Create(parent, bounds, id);
}

void TPageControl::Create(TWindow& parent, const TRect& bounds, int id) {
  TCreateParams p;
  p.className = WC_TABCONTROLW;
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP;
  p.exStyle = WS_EX_CONTROLPARENT;
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
}

TRect TPageControl::DisplayRect() const {
  RECT r{};
  GetClientRect(Handle(), &r);
  Perform(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return {r.left, r.top, r.right, r.bottom};
}

TTabSheet& TPageControl::AddPage(const std::string& caption) {
  std::wstring text = win::Widen(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  int index = PageCount();
  Perform(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  TTabSheet& page = Add<TTabSheet>(*this, DisplayRect());
  pages_.push_back(&page);
  ShowActive();
  return page;
}

int TPageControl::ActivePageIndex() const {
  return static_cast<int>(Perform(TCM_GETCURSEL));
}

void TPageControl::SetActivePageIndex(int index) {
  Perform(TCM_SETCURSEL, static_cast<WPARAM>(index));
  SwitchPage();
}

void TPageControl::SwitchPage() {
  const int active = ActivePageIndex();
  const HWND focus = GetFocus();
  bool hiddenHadFocus = false;
  for (int i = 0; i < PageCount(); ++i) {
    const HWND page = pages_[static_cast<size_t>(i)]->Handle();
    if (i != active && focus && (focus == page || IsChild(page, focus))) hiddenHadFocus = true;
  }
  ShowActive();
  if (active < 0 || active >= PageCount()) return;
  FocusShownPage(
      *pages_[static_cast<size_t>(active)], hiddenHadFocus,
      [this, active] { return FocusTarget ? FocusTarget(active) : HWND{}; }, Handle());
}

void TPageControl::ShowActive() {
  int active = ActivePageIndex();
  TRect r = DisplayRect();
  for (int i = 0; i < PageCount(); ++i) {
    pages_[static_cast<size_t>(i)]->SetBoundsRect(r);
    pages_[static_cast<size_t>(i)]->SetVisible(i == active);
  }
}

void TPageControl::Resized() {
  ShowActive();
  TWindow::Resized();
}

bool TPageControl::Notify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case TCN_SELCHANGING: {
      bool allow = true;
      OnChanging(allow);
      result = allow ? FALSE : TRUE;
      return true;
    }
    case TCN_SELCHANGE:
      SwitchPage();
      OnChange();
      return true;
    default:
      return false;
  }
}

}  // namespace kv::ui
