#include "ui/list_box.h"

#include <windowsx.h>

#include "base/text.h"
#include "base/win/wide.h"
#include "ui/item_index.h"
#include "ui/win/internal.h"

namespace kv::ui {

TListBox::TListBox(TWindow& parent, const TRect& bounds, int id) {
  Create(parent, bounds, id);
}

void TListBox::Create(TWindow& parent, const TRect& bounds, int id) {
  TCreateParams p;
  p.className = L"LISTBOX";
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
            LBS_NOINTEGRALHEIGHT;
  p.exStyle = WS_EX_CLIENTEDGE;
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
}

int TListBox::Add(const std::string& item, intptr_t data) {
  std::wstring w = win::Widen(item);
  auto index = static_cast<int>(Perform(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
  if (index >= 0) Perform(LB_SETITEMDATA, static_cast<WPARAM>(index), data);
  return index;
}

void TListBox::Insert(int index, const std::string& item, intptr_t data) {
  const int selected = ItemIndex();
  std::wstring w = win::Widen(item);
  auto at = static_cast<int>(
      Perform(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str())));
  if (at < 0) return;
  Perform(LB_SETITEMDATA, static_cast<WPARAM>(at), data);
  SetItemIndex(IndexAfterInsert(selected, at));
}

void TListBox::Delete(int index) {
  if (ValidIndex(index, Count()) < 0) return;
  const int selected = ItemIndex();
  Perform(LB_DELETESTRING, static_cast<WPARAM>(index));
  SetItemIndex(IndexAfterDelete(selected, index));
}

void TListBox::Clear() {
  Perform(LB_RESETCONTENT);
  SelectionSettled();
}

void TListBox::SetItems(const std::vector<std::string>& items) {
  detail::ReplaceBoxItems(*this, items);
}

int TListBox::Count() const {
  return static_cast<int>(Perform(LB_GETCOUNT));
}

std::string TListBox::Item(int index) const {
  return detail::BoxItemText(*this, LB_GETTEXTLEN, LB_GETTEXT, index);
}

namespace detail {

static_assert(CB_ERR == LB_ERR, "both boxes answer a missing item alike");

std::string BoxItemText(const TWindow& box, UINT lengthMessage, UINT textMessage, int index) {
  LRESULT length = box.Perform(lengthMessage, static_cast<WPARAM>(index));
  if (length == LB_ERR) return "";
  std::wstring w(static_cast<size_t>(length) + 1, L'\0');
  box.Perform(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.data()));
  w.resize(static_cast<size_t>(length));
  return win::Narrow(w);
}

}  // namespace detail

void TListBox::SetItem(int index, const std::string& item) {
  if (ValidIndex(index, Count()) < 0) return;
  const int selected = ItemIndex();
  const int top = TopIndex();
  const intptr_t data = ItemData(index);
  Perform(WM_SETREDRAW, FALSE);
  Perform(LB_DELETESTRING, static_cast<WPARAM>(index));
  std::wstring w = win::Widen(item);
  Perform(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str()));
  Perform(LB_SETITEMDATA, static_cast<WPARAM>(index), data);
  Perform(LB_SETCURSEL, static_cast<WPARAM>(selected));
  Perform(LB_SETTOPINDEX, static_cast<WPARAM>(top));
  Perform(WM_SETREDRAW, TRUE);
  SelectionSettled();
  Invalidate();
}

intptr_t TListBox::ItemData(int index) const {
  LRESULT data = Perform(LB_GETITEMDATA, static_cast<WPARAM>(index));
  return data == LB_ERR ? 0 : static_cast<intptr_t>(data);
}

int TListBox::IndexOf(const std::string& item) const {
  for (int i = 0, n = Count(); i < n; ++i) {
    if (AnsiSameText(Item(i), item)) return i;
  }
  return -1;
}

int TListBox::ItemIndex() const {
  LRESULT index = Perform(LB_GETCURSEL);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void TListBox::SetItemIndex(int index) {
  Perform(LB_SETCURSEL, static_cast<WPARAM>(ValidIndex(index, Count())));
  SelectionSettled();
}

int TListBox::TopIndex() const {
  return static_cast<int>(Perform(LB_GETTOPINDEX));
}

void TListBox::SetTopIndex(int index) {
  Perform(LB_SETTOPINDEX, static_cast<WPARAM>(index));
}

int TListBox::ItemAt(int x, int y) const {
  LRESULT hit = Perform(LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
  // The high word says the point lies outside every item (below the last one).
  if (HIWORD(hit) != 0) return -1;
  return ValidIndex(LOWORD(hit), Count());
}

bool TListBox::CommandNotify(WORD code, WORD) {
  switch (code) {
    case LBN_SELCHANGE:
      if (ItemIndex() == settled_) return true;
      SelectionSettled();
      OnChange();
      return true;
    case LBN_DBLCLK: {
      // A double-click on the empty part below the items must not act on the selected one.
      DWORD pos = GetMessagePos();
      TPoint at = ScreenToClient({GET_X_LPARAM(pos), GET_Y_LPARAM(pos)});
      const int index = ItemAt(at.x, at.y);
      if (index >= 0) OnItemDblClick(index);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kv::ui
