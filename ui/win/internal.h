#pragma once
// Seams between the parts of the window layer; not for use outside ui/.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/window.h"

namespace kv::ui::detail {

// The one tooltip window that shows the short hints of the layer's windows.
void SetToolHint(HWND hwnd, const std::string& shortHint);  // empty removes it
void RemoveToolHint(HWND hwnd);
void EnableToolHints(bool enabled);
// Menu commands (ui/menu.cpp): true when the command, popup or selection was one of ours.
bool DispatchMenuCommand(int command);
bool PrepareMenuPopup(HMENU menu);
bool SelectMenuHint(int command, HMENU menu, UINT flags);

// List boxes and combo boxes (ui/list_box.cpp): the text of an item through the box's own
// length and text messages; empty for an index the box does not have.
std::string BoxItemText(const TWindow& box, UINT lengthMessage, UINT textMessage, int index);
// Replaces all items of the box in one repaint.
template <class TBox>
void ReplaceBoxItems(TBox& box, const std::vector<std::string>& items) {
  box.Perform(WM_SETREDRAW, FALSE);
  box.Clear();
  for (const std::string& item : items) box.Add(item);
  box.Perform(WM_SETREDRAW, TRUE);
  box.Invalidate();
}

}  // namespace kv::ui::detail
