#pragma once
// Tab pages: a tab control whose pages are panels; the panel of the selected tab shows,
// sized to the tab control's display area. A page shown in place of the one that held the
// focus takes the focus (ui/window.h FocusShownPage): no key reaches a hidden page.
#include <functional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace kv::ui {

class TTabSheet : public TPanel {
 public:
  using TPanel::TPanel;
};

class TPageControl : public TWindow {
 public:
  TPageControl() = default;
  TPageControl(TWindow& parent, const TRect& bounds, int id = 0);
  void Create(TWindow& parent, const TRect& bounds, int id = 0);

  // The page is owned by the control.
  TTabSheet& AddPage(const std::string& caption);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet& Page(int index) const { return *pages_.at(static_cast<size_t>(index)); }
  int ActivePageIndex() const;
  // Shows the page; OnChange does not fire.
  void SetActivePageIndex(int index);
  // The control of a shown page that takes the focus from the page just hidden; unset, or
  // null, the page's first tab stop does.
  std::function<HWND(int index)> FocusTarget;
  // The display area of the pages in the control's client coordinates.
  TRect DisplayRect() const;

  TEvent<void(bool& allow)> OnChanging;
  TNotifyEvent OnChange;

 protected:
  bool Notify(NMHDR* header, LRESULT& result) override;
  void Resized() override;

 private:
  void ShowActive();
  // Shows the selected page; the focus follows it when it was on the page hidden.
  void SwitchPage();
  std::vector<TTabSheet*> pages_;
};

}  // namespace kv::ui
