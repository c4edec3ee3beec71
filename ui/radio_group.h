#pragma once
// A radio group: a captioned frame holding one radio button per item, of which at most one
// is chosen. Arrow keys move between the items and Tab reaches the chosen one (the dialog
// manager's rules); the items are laid out by ui/radio_group_layout.h.
#include <string>
#include <vector>

#include "ui/window.h"

namespace kv::ui {

class TRadioButton;

class TRadioGroup : public TCustomControl {
 public:
  TRadioGroup() = default;
  TRadioGroup(TWindow& parent, const std::string& caption, const TRect& bounds, int columns = 1);
  void Create(TWindow& parent, const std::string& caption, const TRect& bounds, int columns = 1);
  ~TRadioGroup() override;

  // Item captions may carry a mnemonic ("&1 - MIDI IN port"). Returns the new item's index.
  int Add(const std::string& caption);
  void Delete(int index);  // the choice follows its item, or is lost with it
  void Clear();
  void SetItems(const std::vector<std::string>& captions);
  int Count() const { return static_cast<int>(buttons_.size()); }
  std::string Item(int index) const;
  // An item can be used while both it and the group are enabled.
  void SetItemEnabled(int index, bool enabled);

  // -1: no item chosen. Setting it does not fire OnChange.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);

  int Columns() const { return columns_; }
  void SetColumns(int columns);

  TNotifyEvent OnChange;                   // the user chose another item
  TEvent<void(int index)> OnItemDblClick;  // the user double-clicked an item

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(TCanvas& canvas) override;
  void Resized() override;

 private:
  class TItemButton;
  void Chosen(int index);
  void Arrange();
  void UpdateTabStop();
  void UpdateEnabled();
  int IndexOf(const TItemButton* button) const;

  std::vector<TItemButton*> buttons_;  // owned as children
  int itemIndex_ = -1;
  int columns_ = 1;
};

}  // namespace kv::ui
