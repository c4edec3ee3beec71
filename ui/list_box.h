#pragma once
// A list box of single-line items, each with a number beside its text, one selected at most.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/window.h"

namespace kv::ui {

class TListBox : public TWindow {
 public:
  TListBox() = default;
  TListBox(TWindow& parent, const TRect& bounds, int id = 0);
  void Create(TWindow& parent, const TRect& bounds, int id = 0);

  int Add(const std::string& item, intptr_t data = 0);
  void Insert(int index, const std::string& item, intptr_t data = 0);
  void Delete(int index);  // the selection follows its item, or is lost with it
  void Clear();
  void SetItems(const std::vector<std::string>& items);
  int Count() const;
  std::string Item(int index) const;
  // Replaces an item's text and keeps its number and whether it is selected.
  void SetItem(int index, const std::string& item);
  intptr_t ItemData(int index) const;
  int IndexOf(const std::string& item) const;  // exact text, ignoring case; -1 if none

  // -1: nothing selected. Setting it scrolls the item into view and does not fire OnChange.
  int ItemIndex() const;
  void SetItemIndex(int index);
  int TopIndex() const;
  void SetTopIndex(int index);
  int ItemAt(int x, int y) const;  // client coordinates; -1 below the last item

  TNotifyEvent OnChange;                   // the user selected another item
  TEvent<void(int index)> OnItemDblClick;  // the user double-clicked an item

 protected:
  bool CommandNotify(WORD code, WORD id) override;

 private:
  // The selection OnChange last reported or code last set: a click on the selected item
  // reports nothing.
  void SelectionSettled() { settled_ = ItemIndex(); }
  int settled_ = -1;
};

}  // namespace kv::ui
