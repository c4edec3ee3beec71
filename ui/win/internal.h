#pragma once
// Seams between the parts of the window layer; not for use outside ui/.
#include <windows.h>

#include <string>

namespace kv::ui::detail {

// The one tooltip window that shows the short hints of the layer's windows.
void SetToolHint(HWND hwnd, const std::string& shortHint);  // empty removes it
void RemoveToolHint(HWND hwnd);
void EnableToolHints(bool enabled);
// Menu commands (ui/menu.cpp): true when the command, popup or selection was one of ours.
bool DispatchMenuCommand(int command);
bool PrepareMenuPopup(HMENU menu);
bool SelectMenuHint(int command, HMENU menu, UINT flags);

}  // namespace kv::ui::detail
