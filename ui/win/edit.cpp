#include "ui/edit.h"

#include "base/win/wide.h"

namespace kv::ui {

TEdit::TEdit(TWindow& parent, const TRect& bounds, const TEditOptions& options, int id) {
  Create(parent, bounds, options, id);
}

void TEdit::Create(TWindow& parent, const TRect& bounds, const TEditOptions& o, int id) {
  TCreateParams p;
  p.className = L"EDIT";
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
  if (o.multiLine) {
    p.style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (o.wantReturns) p.style |= ES_WANTRETURN;
    if (o.scrollBars) p.style |= WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL;
  } else {
    p.style |= ES_AUTOHSCROLL;
  }
  if (o.readOnly) p.style |= ES_READONLY;
  if (o.password) p.style |= ES_PASSWORD;
  if (o.numbersOnly) p.style |= ES_NUMBER;
  if (o.border) p.exStyle |= WS_EX_CLIENTEDGE;
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
}

bool TEdit::ReadOnly() const {
  return (GetWindowLongW(Handle(), GWL_STYLE) & ES_READONLY) != 0;
}

void TEdit::SetReadOnly(bool readOnly) {
  Perform(EM_SETREADONLY, readOnly);
}

void TEdit::SetMaxLength(int length) {
  Perform(EM_SETLIMITTEXT, static_cast<WPARAM>(length));
}

int TEdit::SelStart() const {
  DWORD start = 0, end = 0;
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TEdit::SelLength() const {
  DWORD start = 0, end = 0;
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TEdit::SetSelection(int start, int length) {
  Perform(EM_SETSEL, static_cast<WPARAM>(start), length < 0 ? -1 : start + length);
}

void TEdit::ReplaceSelection(const std::string& text) {
  std::wstring w = win::Widen(text);
  Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(w.c_str()));
}

bool TEdit::Modified() const {
  return Perform(EM_GETMODIFY) != 0;
}

void TEdit::SetModified(bool modified) {
  Perform(EM_SETMODIFY, modified);
}

bool TEdit::TextChecked(std::string& out, std::string& error, const std::string& what) const {
  std::wstring text;
  if (HandleAllocated()) {
    const int length = GetWindowTextLengthW(Handle());
    text.assign(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(Handle(), text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
  }
  return win::NarrowChecked(text, out, error, what);
}

LRESULT TEdit::DialogCode(const MSG* msg) {
  // A multi-line edit asks for every key. Tab, Escape and (unless it makes new lines) Enter it
  // then passes to its parent window as if that were the dialog (Wine's edit does), and a page
  // or panel is not: Tab and Enter went nowhere and Escape closed the page. Left to the dialog
  // navigation they do what they do elsewhere.
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  const bool leaves = msg && msg->message == WM_KEYDOWN &&
                      (msg->wParam == VK_TAB || msg->wParam == VK_ESCAPE ||
                       (msg->wParam == VK_RETURN && !(style & ES_WANTRETURN)));
  if (!leaves || !(style & ES_MULTILINE)) return -1;
  const LRESULT code = DefaultProc(WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
  return code & ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

bool TEdit::CommandNotify(WORD code, WORD) {
  if (code != EN_CHANGE) return false;
  OnChange();
  return true;
}

}  // namespace kv::ui
