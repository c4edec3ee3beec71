#include "ui/list_view.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cassert>
#include <cwchar>
#include <vector>

#include "base/win/wide.h"
#include "ui/graphics.h"

namespace kv::ui {

namespace {

// An edit closed without a new caption: true when it was left blank (not by Escape).
bool EditEmptied(HWND edit) {
  std::wstring typed(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  typed.resize(static_cast<size_t>(
      std::max(0, ::GetWindowTextW(edit, typed.data(), static_cast<int>(typed.size())))));
  return typed.find_first_not_of(L" \t") == std::wstring::npos && ::GetKeyState(VK_ESCAPE) >= 0;
}

// A change of the marks of a long list: each row that changes repaints itself, and some window
// systems answer each such repaint with a round trip of its own (Wine's server), so the list
// changes with its drawing paused and is repainted once.
class TManyRowsChange {
 public:
  explicit TManyRowsChange(TListView& list) : list_(list.Count() > kManyRows ? &list : nullptr) {
    if (list_) list_->BeginUpdate();
  }
  ~TManyRowsChange() {
    if (list_) list_->EndUpdate();
  }
  TManyRowsChange(const TManyRowsChange&) = delete;
  TManyRowsChange& operator=(const TManyRowsChange&) = delete;

 private:
  static constexpr int kManyRows = 64;
  TListView* list_;
};

}  // namespace

TListView::TListView(TWindow& parent, const TRect& bounds, const TListViewOptions& options,
                     int id) {
  Create(parent, bounds, options, id);
}

void TListView::Create(TWindow& parent, const TRect& bounds, const TListViewOptions& o, int id) {
  TCreateParams p;
  p.className = WC_LISTVIEWW;
  // The rename edit is a child of the list: clipped out of the list's own drawing (and of the
  // picture its double buffer copies back), nothing the list paints can cover the box the
  // user types in.
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | LVS_REPORT |
            LVS_SHOWSELALWAYS;
  if (!o.multiSelect) p.style |= LVS_SINGLESEL;
  if (o.editLabels) p.style |= LVS_EDITLABELS;
  if (!o.showHeader) p.style |= LVS_NOCOLUMNHEADER;
  if (OwnerData()) p.style |= LVS_OWNERDATA;
  checkBoxes_ = o.checkBoxes;
  p.exStyle = WS_EX_CLIENTEDGE;
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
  DWORD ex = LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP;
  if (o.checkBoxes) ex |= LVS_EX_CHECKBOXES;
  if (o.rowSelect) ex |= LVS_EX_FULLROWSELECT;
  if (o.gridLines) ex |= LVS_EX_GRIDLINES;
  Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
  if (OwnerData()) Perform(LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK);
}

void TListView::SetOwnerData(std::function<std::string(int, int)> text,
                             std::function<bool(int)> checked) {
  const bool wasOwnerData = OwnerData();
  text_ = std::move(text);
  if (!text_) text_ = [](int, int) { return std::string(); };
  checked_ = std::move(checked);
  if (!checked_) checked_ = [](int) { return false; };
  if (!HandleAllocated()) return;
  if (wasOwnerData) {
    RefreshRows(0, Count() - 1);
    return;
  }
  assert(Count() == 0);
  RecreateForOwnerData();
}

void TListView::RecreateForOwnerData() {
  // The style cannot be switched on a live list view: a new window takes the old one's place
  // (its position among its siblings, columns, font and extended styles).
  HWND old = Handle();
  TCreateParams p;
  p.className = WC_LISTVIEWW;
  p.style = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE)) | LVS_OWNERDATA;
  p.exStyle = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_EXSTYLE));
  p.bounds = BoundsRect();
  p.parent = GetParent(old);
  p.id = GetDlgCtrlID(old);
  HWND previous = GetWindow(old, GW_HWNDPREV);
  const auto ex = static_cast<DWORD>(Perform(LVM_GETEXTENDEDLISTVIEWSTYLE));
  const auto font = reinterpret_cast<HFONT>(Perform(WM_GETFONT));
  const auto images = Perform(LVM_GETIMAGELIST, LVSIL_SMALL);
  struct Column {
    std::wstring text;
    int width;
    int format;
  };
  std::vector<Column> columns;
  for (int c = 0, n = ColumnCount(); c < n; ++c) {
    std::wstring text(260, L'\0');
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = text.data();
    col.cchTextMax = static_cast<int>(text.size());
    Perform(LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
    text.resize(std::wcslen(text.c_str()));
    columns.push_back({std::move(text), col.cx, col.fmt});
  }
  DestroyHandle();
  CreateHandle(p);
  SetWindowPos(Handle(), previous ? previous : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (font) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
  if (images) Perform(LVM_SETIMAGELIST, LVSIL_SMALL, images);
  for (size_t c = 0; c < columns.size(); ++c) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.pszText = columns[c].text.data();
    col.cx = columns[c].width;
    col.fmt = columns[c].format;
    col.iSubItem = static_cast<int>(c);
    Perform(LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
  }
  Perform(LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK);
}

void TListView::SetRowCount(int count) {
  assert(OwnerData());
  if (!OwnerData()) return;
  Perform(LVM_SETITEMCOUNT, static_cast<WPARAM>(std::max(count, 0)), LVSICF_NOSCROLL);
  if (updating_ == 0) Invalidate();
}

void TListView::RefreshRows(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  if (first > last) return;
  Perform(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
}

int TListView::FindOwnedRow(const wchar_t* keyText, bool partial, bool wrap, int start) const {
  if (!keyText) return -1;
  const std::wstring key = keyText;
  auto matches = [&](int row) {
    const std::wstring text = win::Widen(text_(row, 0));
    if (partial ? text.size() < key.size() : text.size() != key.size()) return false;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.data(),
                          static_cast<int>(key.size()), key.data(),
                          static_cast<int>(key.size())) == CSTR_EQUAL;
  };
  const int count = Count();
  start = std::clamp(start, 0, count);
  for (int row = start; row < count; ++row)
    if (matches(row)) return row;
  if (wrap) {
    for (int row = 0; row < start; ++row)
      if (matches(row)) return row;
  }
  return -1;
}

bool TListView::OwnerCheckToggle(int row) {
  if (!OwnerData() || !checkBoxes_ || row < 0 || row >= Count()) return false;
  OnItemChecked(row, !checked_(row));
  return true;
}

int TListView::AddColumn(const std::string& caption, int width) {
  std::wstring text = win::Widen(caption);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  col.pszText = text.data();
  col.cx = width;
  int index = ColumnCount();
  col.iSubItem = index;
  return static_cast<int>(
      Perform(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col)));
}

int TListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Perform(LVM_GETHEADER));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int TListView::ColumnWidth(int column) const {
  return static_cast<int>(Perform(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

void TListView::SetColumnWidth(int column, int width) {
  Perform(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
}

int TListView::Count() const {
  return static_cast<int>(Perform(LVM_GETITEMCOUNT));
}

int TListView::AddItem(const std::string& caption, intptr_t data) {
  return InsertItem(Count(), caption, data);
}

int TListView::InsertItem(int index, const std::string& caption, intptr_t data) {
  assert(!OwnerData());
  if (OwnerData()) return -1;
  std::wstring text = win::Widen(caption);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = text.data();
  item.lParam = data;
  settingCheck_ = true;  // a new row's check state is the program's, not a user's click
  auto at = static_cast<int>(Perform(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  settingCheck_ = false;
  return at;
}

void TListView::DeleteItem(int index) {
  assert(!OwnerData());
  if (OwnerData()) return;
  Perform(LVM_DELETEITEM, static_cast<WPARAM>(index));
}

void TListView::Clear() {
  if (OwnerData()) {
    SetRowCount(0);
    return;
  }
  Perform(LVM_DELETEALLITEMS);
}

std::string TListView::ItemText(int index, int column) const {
  if (OwnerData()) return index >= 0 && index < Count() ? text_(index, column) : std::string();
  std::wstring buffer(1024, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  auto length = static_cast<int>(
      Perform(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  buffer.resize(static_cast<size_t>(length > 0 ? length : 0));
  return win::Narrow(buffer);
}

void TListView::SetItemText(int index, int column, const std::string& text) {
  assert(!OwnerData());
  if (OwnerData()) return;
  std::wstring w = win::Widen(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = w.data();
  Perform(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

intptr_t TListView::ItemData(int index) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!Perform(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return item.lParam;
}

void TListView::SetItemData(int index, intptr_t data) {
  assert(!OwnerData());
  if (OwnerData()) return;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = data;
  Perform(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

bool TListView::Checked(int index) const {
  if (OwnerData()) return index >= 0 && index < Count() && checked_(index);
  auto state =
      static_cast<UINT>(Perform(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
  return (state >> 12) == 2;
}

void TListView::SetChecked(int index, bool checked) {
  if (OwnerData()) {
    RefreshRows(index, index);
    return;
  }
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  settingCheck_ = true;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  settingCheck_ = false;
}

void TListView::SetImages(const TImageList* images) {
  Perform(LVM_SETIMAGELIST, LVSIL_SMALL,
          reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TListView::SetItemImage(int index, int image) {
  assert(!OwnerData());
  if (OwnerData()) return;
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  item.iImage = image;
  Perform(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int TListView::ItemIndex() const {
  auto index = static_cast<int>(
      Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
  if (index < 0) {
    index = static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  return index;
}

void TListView::SetItemIndex(int index) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (index < 0 || index >= Count()) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  Perform(LVM_SETSELECTIONMARK, 0, index);
}

bool TListView::Selected(int index) const {
  return Perform(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) != 0;
}

void TListView::SetSelected(int index, bool selected) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

int TListView::SelectedCount() const {
  return static_cast<int>(Perform(LVM_GETSELECTEDCOUNT));
}

void TListView::EnsureVisible(int index) {
  Perform(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

int TListView::TopIndex() const {
  return static_cast<int>(Perform(LVM_GETTOPINDEX));
}

int TListView::VisibleRowCount() const {
  return static_cast<int>(Perform(LVM_GETCOUNTPERPAGE));
}

void TListView::EditLabel(int index) {
  SetFocus();
  Perform(LVM_EDITLABELW, static_cast<WPARAM>(index));
}

bool TListView::Editing() const {
  return Perform(LVM_GETEDITCONTROL) != 0;
}

void TListView::EndEdit(bool commit) {
  const auto edit = reinterpret_cast<HWND>(Perform(LVM_GETEDITCONTROL));
  if (!edit) return;
  if (!commit) {
    // The list may hand the typed text over even when told to cancel: it is not taken.
    cancelling_ = true;
    Perform(LVM_CANCELEDITLABEL);
    cancelling_ = false;
    return;
  }
  // The list takes a rename when its edit loses the keys. Giving them to the list itself does
  // that where the edit has them; an edit without them is told directly.
  if (::GetFocus() == edit) SetFocus();
  if (Perform(LVM_GETEDITCONTROL) == reinterpret_cast<LRESULT>(edit))
    ::SendMessageW(edit, WM_KILLFOCUS, reinterpret_cast<WPARAM>(Handle()), 0);
  if (Editing()) Perform(LVM_CANCELEDITLABEL);
}

int TListView::ItemAt(int x, int y) const {
  LVHITTESTINFO hit{};
  hit.pt = {x, y};
  auto index = static_cast<int>(Perform(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & LVHT_ONITEM) ? index : -1;
}

void TListView::SelectAll() {
  TManyRowsChange change(*this);
  if (OwnerData()) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    return;
  }
  for (int i = 0, n = Count(); i < n; ++i) SetSelected(i, true);
}

void TListView::SelectRange(int first, int last) {
  TManyRowsChange change(*this);
  const int count = Count();
  first = std::max(first, 0);
  last = std::min(last, count - 1);
  // Every row at once (-1) is one step: the minority of rows is then set one by one.
  const bool most = first <= last && 2 * (last - first + 1) > count;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = most ? LVIS_SELECTED : 0;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  for (int row = 0; row < count; ++row) {
    const bool inside = row >= first && row <= last;
    if (inside != most) SetSelected(row, inside);
    if (most && row == first - 1) row = last;  // nothing to change inside the range
  }
}

void TListView::SetFocusedRow(int row) {
  if (row < 0 || row >= Count()) return;
  LVITEMW item{};
  item.stateMask = LVIS_FOCUSED;
  item.state = LVIS_FOCUSED;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  Perform(LVM_SETSELECTIONMARK, 0, row);
}

void TListView::BeginUpdate() {
  if (updating_++ == 0) Perform(WM_SETREDRAW, FALSE);
}

void TListView::EndUpdate() {
  if (updating_ == 0) return;
  if (--updating_ == 0) {
    Perform(WM_SETREDRAW, TRUE);
    Invalidate();
  }
}

LRESULT TListView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (drag_.Active() && DragMessage(msg, wp, lp, result)) return result;
  if (OwnerData() && checkBoxes_) {
    // The list keeps no check marks of its own here: a click on a check box or Space asks the
    // owner, and the list's own handling goes on (selection, focus).
    if (msg == WM_LBUTTONDOWN) {
      LVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      const auto row = static_cast<int>(Perform(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      // With whole-row selection a click anywhere on a row may report all three parts: only
      // the check box alone is a click on the check box.
      if ((hit.flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON) OwnerCheckToggle(row);
    } else if (msg == WM_KEYDOWN && wp == VK_SPACE) {
      OwnerCheckToggle(
          static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
    } else if (msg == LVM_SETITEMSTATE && lp != 0) {
      // Another program (an accessibility tool) checking a row the way it does in any list:
      // the owner is asked as for a click, and the rest of the state goes on as usual.
      const auto* item = reinterpret_cast<const LVITEMW*>(lp);
      const int row = static_cast<int>(wp);
      if ((item->stateMask & LVIS_STATEIMAGEMASK) && row >= 0 && row < Count()) {
        const UINT image = (item->state & LVIS_STATEIMAGEMASK) >> 12;
        if ((image == 1 || image == 2) && (image == 2) != checked_(row))
          OnItemChecked(row, image == 2);
      }
    }
  }
  return TWindow::WndProc(msg, wp, lp);
}

bool TListView::Notify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case LVN_GETDISPINFOW:
      return OwnerDisplayInfo(header);
    case LVN_ODFINDITEMW:
      return OwnerFindItem(header, result);
    case LVN_ODSTATECHANGED: {
      auto* nm = reinterpret_cast<NMLVODSTATECHANGE*>(header);
      if ((nm->uNewState ^ nm->uOldState) & LVIS_SELECTED) {
        OnSelectItem(nm->iFrom == nm->iTo ? nm->iFrom : -1, (nm->uNewState & LVIS_SELECTED) != 0);
      }
      return true;
    }
    case LVN_ITEMCHANGED:
      return ItemChanged(header);
    case LVN_COLUMNCLICK:
      OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
      return true;
    case NM_DBLCLK:
      OnDblClick();
      return true;
    case NM_CLICK:
      OnClick();
      return true;
    case LVN_BEGINLABELEDITW: {
      bool allow = true;
      OnEditing(reinterpret_cast<NMLVDISPINFOW*>(header)->item.iItem, allow);
      result = allow ? FALSE : TRUE;
      return true;
    }
    case LVN_BEGINDRAG:
      BeginDrag(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
      return true;
    case LVN_ENDLABELEDITW:
      LabelEdited(header, result);
      return true;
    default:
      return false;
  }
}

bool TListView::OwnerDisplayInfo(NMHDR* header) {
  if (!OwnerData()) return false;
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  if (item.iItem < 0 || item.iItem >= Count()) return true;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    // Straight into the caller's buffer, which may be one another program lent the list.
    const std::wstring text = win::Widen(text_(item.iItem, item.iSubItem));
    const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::wmemcpy(item.pszText, text.data(), n);
    item.pszText[n] = L'\0';
  }
  if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_STATEIMAGEMASK) && item.iSubItem == 0) {
    const int image = checkBoxes_ ? (checked_(item.iItem) ? 2 : 1) : 0;
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(image);
  }
  return true;
}

// Typing a row's first letters finds it, as in a list holding its own texts.
bool TListView::OwnerFindItem(NMHDR* header, LRESULT& result) const {
  if (!OwnerData()) return false;
  const auto& nm = *reinterpret_cast<NMLVFINDITEMW*>(header);
  const UINT flags = nm.lvfi.flags;
  result = (flags & (LVFI_STRING | LVFI_PARTIAL))
               ? FindOwnedRow(nm.lvfi.psz, (flags & LVFI_PARTIAL) != 0, (flags & LVFI_WRAP) != 0,
                              nm.iStart)
               : -1;
  return true;
}

bool TListView::ItemChanged(NMHDR* header) {
  const auto& nm = *reinterpret_cast<NMLISTVIEW*>(header);
  if (OwnerData()) {
    // Check marks are the owner's (see WndProc); only the selection is reported. A change
    // of every row at once comes as row -1, whose changed-fields are not filled in.
    if (nm.iItem >= 0 && !(nm.uChanged & LVIF_STATE)) return false;
    if ((nm.uNewState ^ nm.uOldState) & LVIS_SELECTED) {
      OnSelectItem(nm.iItem, (nm.uNewState & LVIS_SELECTED) != 0);
    }
    return true;
  }
  if (nm.iItem < 0 || !(nm.uChanged & LVIF_STATE)) return false;
  UINT changed = nm.uNewState ^ nm.uOldState;
  if (changed & LVIS_SELECTED) OnSelectItem(nm.iItem, (nm.uNewState & LVIS_SELECTED) != 0);
  // The first state image is set when a row is made: only a change between the two
  // check images is a check.
  if ((changed & LVIS_STATEIMAGEMASK) && !settingCheck_ && (nm.uOldState >> 12) != 0) {
    OnItemChecked(nm.iItem, (nm.uNewState >> 12) == 2);
  }
  return true;
}

void TListView::LabelEdited(NMHDR* header, LRESULT& result) {
  const auto& nm = *reinterpret_cast<NMLVDISPINFOW*>(header);
  result = FALSE;  // the caption is set here when accepted
  if (cancelling_) {
    OnEditEnded(nm.item.iItem, false);
    return;
  }
  if (!nm.item.pszText) {
    const auto edit = reinterpret_cast<HWND>(Perform(LVM_GETEDITCONTROL));
    OnEditEnded(nm.item.iItem, edit && EditEmptied(edit));
    return;
  }
  std::string text;
  std::string error;
  if (!win::NarrowChecked(nm.item.pszText, text, error, "The name") && OnEditRefused) {
    OnEditRefused(nm.item.iItem, error);
    return;
  }
  if (!error.empty()) text = win::Narrow(nm.item.pszText);
  bool accept = true;
  OnEdited(nm.item.iItem, text, accept);
  if (accept && OwnerData()) {
    RefreshRows(nm.item.iItem, nm.item.iItem);
  } else if (accept) {
    SetItemText(nm.item.iItem, 0, text);
  }
}

}  // namespace kv::ui
