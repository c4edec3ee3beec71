#include "ui/win/internal.h"

#include <commctrl.h>

#include "base/win/wide.h"

namespace kv::ui::detail {
namespace {
// Main thread only.
HWND g_tooltip = nullptr;
bool g_enabled = true;

HWND Tooltip() {
  if (!g_tooltip || !IsWindow(g_tooltip)) {
    g_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (g_tooltip) {
      SendMessageW(g_tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
      SendMessageW(g_tooltip, TTM_ACTIVATE, g_enabled, 0);
    }
  }
  return g_tooltip;
}

TTTOOLINFOW ToolInfo(HWND hwnd) {
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(hwnd) ? GetParent(hwnd) : hwnd;
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd);
  return ti;
}
}  // namespace

void SetToolHint(HWND hwnd, const std::string& shortHint) {
  if (!hwnd) return;
  RemoveToolHint(hwnd);
  if (shortHint.empty()) return;
  HWND tip = Tooltip();
  if (!tip) return;
  std::wstring text = win::Widen(shortHint);
  TTTOOLINFOW ti = ToolInfo(hwnd);
  ti.lpszText = text.data();
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void RemoveToolHint(HWND hwnd) {
  if (!g_tooltip || !hwnd) return;
  TTTOOLINFOW ti = ToolInfo(hwnd);
  SendMessageW(g_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void EnableToolHints(bool enabled) {
  g_enabled = enabled;
  if (g_tooltip) SendMessageW(g_tooltip, TTM_ACTIVATE, enabled, 0);
}

}  // namespace kv::ui::detail
