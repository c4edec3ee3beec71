#include "ui/win/edit_focus.h"

#include "ui/edit_keys.h"

namespace kv::ui::detail {

bool FocusedFieldKeepsKey(const MSG& msg, TShortCut shortCut) {
  if (!msg.hwnd) return false;
  wchar_t cls[16] = L"";
  GetClassNameW(msg.hwnd, cls, 16);
  const bool editClass = lstrcmpiW(cls, L"Edit") == 0;
  // The label edit of a list view answers with neither DLGC_HASSETSEL nor DLGC_WANTCHARS,
  // hence the class test.
  const auto code = static_cast<UINT>(
      SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
  const bool editor = (code & DLGC_WANTCHARS) && (code & DLGC_WANTALLKEYS);
  if (!editClass && !(code & DLGC_HASSETSEL) && !editor) return false;
  const bool multiLine = editClass ? (GetWindowLongW(msg.hwnd, GWL_STYLE) & ES_MULTILINE) != 0
                                   : (code & DLGC_WANTALLKEYS) != 0;
  return EditKeepsShortCut(shortCut, multiLine);
}

}  // namespace kv::ui::detail
