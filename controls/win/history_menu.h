#pragma once
// The recent-files list on a real menu: list items are ui::TMenuItem entries of the base
// menu, and the items live in the current user's registry under "\Software\" + RegPath.
#include <memory>

#include "controls/history_list.h"
#include "ui/menu.h"

namespace kv {

class THistoryMenu : public THistoryList {
 public:
  THistoryMenu();
  ~THistoryMenu() override;
  // The File menu (or any item whose sub-items end with the list); it must outlive the list.
  void SetMenu(ui::TMenuItem& menu);
  // Every list item copied into target (which is cleared first), clicks included.
  void CopyTo(ui::TMenuItem& target);
  int HelpContext = 0;

 private:
  class Host;
  std::unique_ptr<Host> host_;
};

}  // namespace kv
