#pragma once
// The text editor control's completion list: a sorted, owner-drawn list box that opens below
// the caret, types the chosen entry's insertion text into the memo on Return, and closes on
// Escape, on scrolling or when it loses the focus.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/graphics.h"
#include "ui/window.h"

namespace kv {

class TZNDropList : public ui::TWindow {
 public:
  void Create(ui::TWindow& memo);
  // Shows the entries at the client rectangle of the memo and takes the focus.
  void Open(const std::vector<std::string>& entries, const ui::TRect& bounds, int columnX);
  void Close();
  bool Showing() const { return HandleAllocated() && Visible(); }

  // A character typed while the list is open goes to the memo at once.
  std::function<void(char)> TypeChar;
  // The list closed (focus back to the memo when refocus is set).
  std::function<void(bool refocus)> Closed;

 protected:
  void KeyDown(WORD& key, ui::TShiftState shift) override;
  void KeyPress(wchar_t& ch) override;
  void FocusChanged(bool gotFocus) override;
  bool DrawItem(DRAWITEMSTRUCT& item) override;

 private:
  std::string Entry(int index) const;
  void Choose();

  ui::TFont font_, bold_;
  int columnX_ = 0;
  std::string typed_;  // what was typed while open
  bool closing_ = false;
};

}  // namespace kv
