#include "controls/text_editor/win/completion_list.h"

#include "base/text.h"
#include "base/win/wide.h"
#include "controls/text_editor/text_grid.h"

namespace kv {

void TZNDropList::Create(ui::TWindow& memo) {
  ui::TCreateParams p;
  p.className = L"LISTBOX";
  p.style = WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
            LBS_NOTIFY;
  p.parent = memo.Handle();
  p.bounds = ui::TRect::FromBounds(0, 0, 10, 10);
  CreateHandle(p);
  ui::TFontSpec s;
  s.name = "MS Sans Serif";
  s.height = -11;
  font_.Create(s);
  s.bold = true;
  bold_.Create(s);
  SetFont(font_.Handle(), false);
}

std::string TZNDropList::Entry(int index) const {
  const LRESULT len = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len == LB_ERR) return {};
  std::wstring w(static_cast<size_t>(len) + 1, L'\0');
  SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(w.data()));
  w.resize(static_cast<size_t>(len));
  return win::Narrow(w);
}

void TZNDropList::Open(const std::vector<std::string>& entries, const ui::TRect& bounds,
                       int columnX) {
  columnX_ = columnX;
  typed_.clear();
  SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
  for (const auto& e : entries) {
    const std::wstring w = win::Widen(e);
    SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, 14);
  SendMessageW(Handle(), LB_SETCURSEL, 0, 0);
  SetBoundsRect(bounds);
  Show();
  SetFocus();
}

void TZNDropList::Close() {
  if (!Showing() || closing_) return;
  closing_ = true;
  const bool hadFocus = Focused();
  Hide();
  closing_ = false;
  if (Closed) Closed(hadFocus);
}

void TZNDropList::Choose() {
  const int sel = static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
  const std::string insertion =
      sel >= 0 ? ZNParseDropEntry(Entry(sel)).InsertionText() : std::string();
  const std::string typed = Trim(typed_);
  Close();
  if (!TypeChar) return;
  for (char c : ZNCompletionToType(insertion, typed)) TypeChar(c);
}

void TZNDropList::KeyDown(WORD& key, ui::TShiftState shift) {
  if (key == VK_RETURN) {
    key = 0;
    Choose();
    return;
  }
  if (key == VK_ESCAPE) {
    key = 0;
    Close();
    return;
  }
  TWindow::KeyDown(key, shift);
}

void TZNDropList::KeyPress(wchar_t& ch) {
  if (ch == L'\r' || ch == 27) {
    ch = 0;
    return;
  }
  const std::string bytes = win::Narrow(std::wstring_view(&ch, 1));
  for (char b : bytes) {
    typed_ += b;
    if (TypeChar) TypeChar(b);
  }
  ch = 0;
}

void TZNDropList::FocusChanged(bool gotFocus) {
  TWindow::FocusChanged(gotFocus);
  if (!gotFocus) Close();
}

bool TZNDropList::DrawItem(DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return true;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const TZNDropEntry e = ZNParseDropEntry(Entry(static_cast<int>(item.itemID)));
  RECT r = item.rcItem;
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  if (!e.hasFields) {
    const std::wstring w = win::Widen(" " + e.whole);
    DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  } else {
    const std::wstring second = win::Widen(" " + e.second);
    DrawTextW(dc, second.c_str(), static_cast<int>(second.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, bold_.Handle());
    r.left += columnX_;
    const std::wstring first = win::Widen("  " + e.first);
    DrawTextW(dc, first.c_str(), static_cast<int>(first.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  SelectObject(dc, old);
  return true;
}

}  // namespace kv
