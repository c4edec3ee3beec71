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
  editable_ = style == TComboStyle::DropDown;
  Committed();
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
  Committed();
}

void TComboBox::Delete(int index) {
  Perform(CB_DELETESTRING, static_cast<WPARAM>(index));
  Committed();
}

void TComboBox::Clear() {
  Perform(CB_RESETCONTENT);
  Committed();
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  detail::ReplaceBoxItems(*this, items);
  Committed();
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
  Committed();
}

bool TComboBox::DroppedDown() const {
  return Perform(CB_GETDROPPEDSTATE) != 0;
}

void TComboBox::SetDroppedDown(bool down) {
  Perform(CB_SHOWDROPDOWN, down);
}

void TComboBox::Committed() {
  committed_ = ItemIndex();
  committedText_ = editable_ ? Text() : std::string();
  // An editable box stands on an item only while its text is that item's.
  if (editable_ && committed_ >= 0 && Item(committed_) != committedText_) committed_ = -1;
}

void TComboBox::Take() {
  undecided_ = false;
  if (ItemIndex() == committed_) return;
  committed_ = ItemIndex();
  OnChange();
  // The edit part of an editable box shows the item only after the notification.
  if (editable_) committedText_ = committed_ >= 0 ? Item(committed_) : Text();
}

void TComboBox::BackOut() {
  undecided_ = false;
  restoring_ = true;
  if (ItemIndex() != committed_) Perform(CB_SETCURSEL, static_cast<WPARAM>(committed_));
  if (editable_ && Text() != committedText_) SetText(committedText_);
  restoring_ = false;
}

// The system reports a pick from the open list in an order of its own: under Wine Enter gives
// selection ends OK then close-up, a click on an item OK, close-up, then the selection change,
// the arrow keys on the closed box OK then the change, and backing out a selection end cancel
// (the selection left on the highlighted item after Escape) before the close-up; Windows may
// send the change before or after the close-up. So a change while the list is down is only
// the highlight moving, and a choice is taken or backed out of at the selection's end.
bool TComboBox::CommandNotify(WORD code, WORD) {
  if (restoring_) return true;
  switch (code) {
    case CBN_SELCHANGE:
      if (!dropped_) Take();
      return true;
    case CBN_SELENDOK:
      Take();
      return true;
    case CBN_SELENDCANCEL:
      if (undecided_) BackOut();
      return true;
    case CBN_EDITCHANGE:
      committed_ = -1;
      committedText_ = Text();
      OnChange();
      return true;
    case CBN_DROPDOWN:
      Committed();
      dropped_ = true;
      undecided_ = true;
      OnDropDown();
      return true;
    case CBN_CLOSEUP:
      dropped_ = false;
      OnCloseUp();
      return true;
    default:
      return false;
  }
}

}  // namespace kv::ui
