#include "ui/status_bar.h"

#include <commctrl.h>

#include "base/win/wide.h"

namespace kv::ui {

TStatusBar::TStatusBar(TWindow& parent, int id) {
  Create(parent, id);
}

void TStatusBar::Create(TWindow& parent, int id) {
  TCreateParams p;
  p.className = STATUSCLASSNAMEW;
  p.style = WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
  SetAlign(TAlign::Bottom);
}

void TStatusBar::SetPanels(const std::vector<int>& widths) {
  std::vector<int> edges;
  int x = 0;
  for (int w : widths) {
    if (w < 0) {
      edges.push_back(-1);
      break;
    }
    x += w;
    edges.push_back(x);
  }
  Perform(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBar::SetPanelText(int panel, const std::string& text) {
  std::wstring w = win::Widen(text);
  Perform(SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(w.c_str()));
}

std::string TStatusBar::PanelText(int panel) const {
  auto length = LOWORD(Perform(SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel)));
  std::wstring w(static_cast<size_t>(length) + 1, L'\0');
  Perform(SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(w.data()));
  w.resize(length);
  return win::Narrow(w);
}

void TStatusBar::SetSimplePanel(bool simple) {
  Perform(SB_SIMPLE, simple);
}

void TStatusBar::SetSimpleText(const std::string& text) {
  std::wstring w = win::Widen(text);
  Perform(SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(w.c_str()));
}

void TStatusBar::AutoSize() {
  Perform(WM_SIZE);
  if (TWindow* parent = ParentWindow()) parent->Realign();
}

}  // namespace kv::ui
