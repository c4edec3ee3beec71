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

int TComboBox::ListIndex() const {
  LRESULT index = Perform(CB_GETCURSEL);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

int TComboBox::ItemIndex() const {
  return dropped_ ? committed_ : ListIndex();
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
  committed_ = ListIndex();
  committedText_ = editable_ ? Text() : std::string();
  // An editable box stands on an item only while its text is that item's.
  if (editable_ && committed_ >= 0 && Item(committed_) != committedText_) committed_ = -1;
}

void TComboBox::Take(bool byKeys) {
  undecided_ = false;
  const bool typedText = editable_ && typed_ && byKeys;
  typed_ = false;
  if (typedText) {
    TakeText();
    return;
  }
  if (ListIndex() == committed_) return;
  committed_ = ListIndex();
  OnChange();
  // The edit part of an editable box shows the item only after the notification.
  if (editable_) committedText_ = committed_ >= 0 ? Item(committed_) : Text();
}

void TComboBox::TakeText() {
  const std::string text = Text();
  int index = -1;
  for (int i = 0, n = Count(); i < n && index < 0; ++i) {
    if (Item(i) == text) index = i;
  }
  // The list stands on the item the text is, or on none; the box stays on the text.
  restoring_ = true;
  if (ListIndex() != index) Perform(CB_SETCURSEL, static_cast<WPARAM>(index));
  if (Text() != text) RestoreText(text);
  restoring_ = false;
  if (index == committed_ && text == committedText_) return;
  committed_ = index;
  committedText_ = text;
  OnChange();
}

void TComboBox::BackOut() {
  undecided_ = false;
  typed_ = false;
  restoring_ = true;
  if (ListIndex() != committed_) Perform(CB_SETCURSEL, static_cast<WPARAM>(committed_));
  if (editable_ && Text() != committedText_) RestoreText(committedText_);
  restoring_ = false;
}

void TComboBox::RestoreText(const std::string& text) {
  SetText(text);
  // Typing goes on where it stopped, not before the text.
  const auto end = static_cast<WORD>(GetWindowTextLengthW(Handle()));
  Perform(CB_SETEDITSEL, 0, MAKELPARAM(end, end));
}

LRESULT TComboBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT result = TWindow::WndProc(msg, wp, lp);
  // The program's own text is what the box shows from now on, also while its list is open.
  if (msg == WM_SETTEXT && editable_ && !restoring_) Committed();
  return result;
}

namespace {

bool KeyDown(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

bool HoldsFocus(HWND box) {
  HWND focus = GetFocus();
  return focus && (focus == box || IsChild(box, focus));
}

// Whether the key being handled closed the open list as a choice: Enter, F4, Alt+Up or
// Alt+Down (Windows reports these as a selection's end OK, Wine all but Enter as a cancel),
// and Tab or Shift+Tab that moved the focus on (a cancel on both, the highlight kept on
// Windows). Escape, a click and anything else that takes the focus away back out.
bool ClosedByChoosingKey(HWND box) {
  if (KeyDown(VK_ESCAPE) || KeyDown(VK_LBUTTON) || KeyDown(VK_RBUTTON) || KeyDown(VK_MBUTTON))
    return false;
  const bool alt = KeyDown(VK_MENU);
  if (KeyDown(VK_RETURN)) return true;
  if (KeyDown(VK_F4)) return !alt;  // Alt+F4 closes the window
  if (KeyDown(VK_UP) || KeyDown(VK_DOWN)) return alt;
  if (KeyDown(VK_TAB)) return !alt && !KeyDown(VK_CONTROL) && !HoldsFocus(box);
  return false;
}

}  // namespace

// The system reports a pick from the open list in an order of its own: under Wine Enter gives
// selection ends OK then close-up, a click on an item OK, close-up, then the selection change,
// the arrow keys on the closed box OK then the change; F4, Alt+Up, Alt+Down, Tab out, Escape
// and a click elsewhere all give a selection end cancel (the selection left on the highlighted
// item, but for a click) before the close-up. Windows may send the change before or after the
// close-up. So a change while the list is down is only the highlight moving, and a choice is
// taken or backed out of at the selection's end, by the key that ended it.
bool TComboBox::CommandNotify(WORD code, WORD) {
  if (restoring_) return true;
  switch (code) {
    case CBN_SELCHANGE:
      if (!dropped_)
        Take(false);
      else
        typed_ = false;  // moved to an item after typing: the item is what the box shows
      return true;
    case CBN_SELENDOK:
      Take(ClosedByChoosingKey(Handle()));
      return true;
    case CBN_SELENDCANCEL:
      if (!undecided_) return true;
      if (ClosedByChoosingKey(Handle()))
        Take(true);
      else
        BackOut();
      return true;
    case CBN_EDITCHANGE:
      typed_ = true;
      Committed();
      OnChange();
      return true;
    case CBN_DROPDOWN:
      Committed();
      dropped_ = true;
      undecided_ = true;
      typed_ = false;
      OnDropDown();
      return true;
    case CBN_CLOSEUP:
      dropped_ = false;
      typed_ = false;
      OnCloseUp();
      return true;
    default:
      return false;
  }
}

}  // namespace kv::ui
