#include "ui/combo_box.h"

#include "base/text.h"
#include "base/win/wide.h"
#include "ui/win/internal.h"

namespace kv::ui {

TComboBox::TComboBox(TWindow& parent, const TRect& bounds, TComboStyle style, int id,
                     int dropDownHeight) {
  Create(parent, bounds, style, id, dropDownHeight);
}

void TComboBox::Create(TWindow& parent, const TRect& bounds, TComboStyle style, int id,
                       int dropDownHeight) {
  TCreateParams p;
  p.className = L"COMBOBOX";
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL |
            (style == TComboStyle::DropDown ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
  p.bounds =
      TRect::FromBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height() + dropDownHeight);
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
}

int TComboBox::Add(const std::string& item, intptr_t data) {
  std::wstring w = win::Widen(item);
  auto index = static_cast<int>(Perform(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
  if (index >= 0) Perform(CB_SETITEMDATA, static_cast<WPARAM>(index), data);
  return index;
}

void TComboBox::Insert(int index, const std::string& item, intptr_t data) {
  std::wstring w = win::Widen(item);
  auto at = static_cast<int>(
      Perform(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str())));
  if (at >= 0) Perform(CB_SETITEMDATA, static_cast<WPARAM>(at), data);
}

void TComboBox::Delete(int index) {
  Perform(CB_DELETESTRING, static_cast<WPARAM>(index));
}

void TComboBox::Clear() {
  Perform(CB_RESETCONTENT);
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  detail::ReplaceBoxItems(*this, items);
}

int TComboBox::Count() const {
  return static_cast<int>(Perform(CB_GETCOUNT));
}

std::string TComboBox::Item(int index) const {
  return detail::BoxItemText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

intptr_t TComboBox::ItemData(int index) const {
  LRESULT data = Perform(CB_GETITEMDATA, static_cast<WPARAM>(index));
  return data == CB_ERR ? 0 : static_cast<intptr_t>(data);
}

int TComboBox::IndexOf(const std::string& item) const {
  for (int i = 0, n = Count(); i < n; ++i) {
    if (AnsiSameText(Item(i), item)) return i;
  }
  return -1;
}

int TComboBox::ItemIndex() const {
  LRESULT index = Perform(CB_GETCURSEL);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TComboBox::SetItemIndex(int index) {
  Perform(CB_SETCURSEL, static_cast<WPARAM>(index));
}

bool TComboBox::DroppedDown() const {
  return Perform(CB_GETDROPPEDSTATE) != 0;
}

void TComboBox::SetDroppedDown(bool down) {
  Perform(CB_SHOWDROPDOWN, down);
}

bool TComboBox::CommandNotify(WORD code, WORD) {
  switch (code) {
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE:
      OnChange();
      return true;
    case CBN_DROPDOWN:
      OnDropDown();
      return true;
    case CBN_CLOSEUP:
      OnCloseUp();
      return true;
    default:
      return false;
  }
}

}  // namespace kv::ui
