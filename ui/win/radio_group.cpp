#include "ui/radio_group.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "ui/button.h"
#include "ui/canvas.h"
#include "ui/item_index.h"
#include "ui/radio_group_layout.h"

namespace kv::ui {

// A radio button that tells its group about clicks and double-clicks (BS_NOTIFY).
class TRadioGroup::TItemButton : public TRadioButton {
 public:
  TItemButton(TRadioGroup& group, const std::string& caption, const TRect& bounds)
      : group_(group) {
    TRadioButton::Create(group, caption, bounds, false);
    SetWindowLongPtrW(Handle(), GWL_STYLE, GetWindowLongPtrW(Handle(), GWL_STYLE) | BS_NOTIFY);
  }
  bool itemEnabled = true;  // the item's own state; the group's comes on top

 protected:
  bool CommandNotify(WORD code, WORD) override {
    const int index = group_.IndexOf(this);
    if (code == BN_CLICKED) {
      if (Checked()) group_.Chosen(index);
      return true;
    }
    if (code == BN_DOUBLECLICKED) {
      group_.OnItemDblClick(index);
      return true;
    }
    return false;
  }

 private:
  TRadioGroup& group_;
};

namespace {

int ItemHeightOf(HWND hwnd, HFONT font) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return std::max(17, static_cast<int>(tm.tmHeight) + 4);
}

}  // namespace

TRadioGroup::TRadioGroup(TWindow& parent, const std::string& caption, const TRect& bounds,
                         int columns) {
  Create(parent, caption, bounds, columns);
}

TRadioGroup::~TRadioGroup() = default;

void TRadioGroup::Create(TWindow& parent, const std::string& caption, const TRect& bounds,
                         int columns) {
  columns_ = std::max(columns, 1);
  TCustomControl::Create(parent, bounds);
  SetColor(parent.Color());
  SetText(caption);
}

int TRadioGroup::Add(const std::string& caption) {
  auto& button = TWindow::Add<TItemButton>(*this, caption, TRect::FromBounds(0, 0, 10, 10));
  // One group of the dialog manager: the arrow keys go round these buttons only.
  if (buttons_.empty()) {
    SetWindowLongPtrW(button.Handle(), GWL_STYLE,
                      GetWindowLongPtrW(button.Handle(), GWL_STYLE) | WS_GROUP);
  }
  buttons_.push_back(&button);
  if (!Enabled()) button.SetEnabled(false);
  Arrange();
  UpdateTabStop();
  return Count() - 1;
}

void TRadioGroup::Delete(int index) {
  if (ValidIndex(index, Count()) < 0) return;
  TItemButton* doomed = buttons_[static_cast<size_t>(index)];
  buttons_.erase(buttons_.begin() + index);
  Free(*doomed);
  itemIndex_ = IndexAfterDelete(itemIndex_, index);
  if (!buttons_.empty()) {
    HWND first = buttons_.front()->Handle();
    SetWindowLongPtrW(first, GWL_STYLE, GetWindowLongPtrW(first, GWL_STYLE) | WS_GROUP);
  }
  Arrange();
  UpdateTabStop();
}

void TRadioGroup::Clear() {
  while (!buttons_.empty()) Delete(Count() - 1);
}

void TRadioGroup::SetItems(const std::vector<std::string>& captions) {
  Clear();
  for (const std::string& caption : captions) Add(caption);
}

std::string TRadioGroup::Item(int index) const {
  if (ValidIndex(index, Count()) < 0) return {};
  return buttons_[static_cast<size_t>(index)]->Text();
}

void TRadioGroup::SetItemEnabled(int index, bool enabled) {
  if (ValidIndex(index, Count()) < 0) return;
  buttons_[static_cast<size_t>(index)]->itemEnabled = enabled;
  UpdateEnabled();
}

void TRadioGroup::UpdateEnabled() {
  // A disabled window does not grey its children: the buttons follow the group themselves.
  const bool groupEnabled = Enabled();
  for (TItemButton* button : buttons_) button->SetEnabled(groupEnabled && button->itemEnabled);
  Invalidate();
}

LRESULT TRadioGroup::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = TCustomControl::WndProc(msg, wp, lp);
  if (msg == WM_ENABLE && HandleAllocated()) UpdateEnabled();
  return result;
}

void TRadioGroup::SetItemIndex(int index) {
  itemIndex_ = ValidIndex(index, Count());
  for (int i = 0; i < Count(); ++i) buttons_[static_cast<size_t>(i)]->SetChecked(i == itemIndex_);
  UpdateTabStop();
}

void TRadioGroup::SetColumns(int columns) {
  columns_ = std::max(columns, 1);
  Arrange();
}

void TRadioGroup::Chosen(int index) {
  if (index < 0 || index == itemIndex_) return;
  itemIndex_ = index;
  UpdateTabStop();
  OnChange();
}

int TRadioGroup::IndexOf(const TItemButton* button) const {
  auto it = std::find(buttons_.begin(), buttons_.end(), button);
  return it == buttons_.end() ? -1 : static_cast<int>(it - buttons_.begin());
}

void TRadioGroup::Arrange() {
  if (!HandleAllocated() || buttons_.empty()) return;
  TRadioGroupMetrics metrics;
  metrics.itemHeight = ItemHeightOf(Handle(), Font());
  metrics.captionHeight = metrics.itemHeight;
  std::vector<TRect> rects = RadioGroupItemRects(ClientRect(), Count(), columns_, metrics);
  for (size_t i = 0; i < rects.size(); ++i) buttons_[i]->SetBoundsRect(rects[i]);
}

void TRadioGroup::UpdateTabStop() {
  // Tab reaches the chosen button, or the first when none is chosen.
  const int stop = itemIndex_ >= 0 ? itemIndex_ : 0;
  for (int i = 0; i < Count(); ++i) {
    HWND h = buttons_[static_cast<size_t>(i)]->Handle();
    LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    SetWindowLongPtrW(h, GWL_STYLE, i == stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

void TRadioGroup::Resized() {
  Arrange();
  TCustomControl::Resized();
}

void TRadioGroup::Paint(TCanvas& canvas) {
  const TRect client = ClientRect();
  canvas.FillRect(client, Color());
  canvas.SetFont(Font());
  const std::string caption = Text();
  const TSize text = canvas.TextExtent(caption.empty() ? std::string("M") : caption);
  TRect frame{client.left, client.top + text.cy / 2, client.right, client.bottom};
  RECT rc{frame.left, frame.top, frame.right, frame.bottom};
  if (HTHEME theme = OpenThemeData(Handle(), L"BUTTON")) {
    DrawThemeBackground(theme, canvas.Handle(), BP_GROUPBOX, GBS_NORMAL, &rc, nullptr);
    CloseThemeData(theme);
  } else {
    canvas.DrawEdge(frame, EDGE_ETCHED, BF_RECT);
  }
  if (!caption.empty()) {
    TRect textRect = TRect::FromBounds(client.left + 8, client.top, text.cx + 4, text.cy);
    canvas.FillRect(textRect, Color());
    canvas.SetTextColor(Enabled() ? clBtnText : clGrayText);
    canvas.SetTextBackground(clNone);
    textRect.left += 2;
    canvas.DrawText(textRect, caption, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
  TCustomControl::Paint(canvas);
}

}  // namespace kv::ui
