#pragma once
// A combo box: a drop-down list, or an edit box with a drop-down list. Items may carry a
// number.
//
// Only a choice the user takes is reported: Enter or a click on an item of the open list,
// the arrow keys or the wheel on the closed box. Moving through the open list changes
// nothing yet, and a list the user backs out of (Escape, a click elsewhere, the focus taken
// away) puts back what it showed before it dropped down, reporting nothing.
#include <string>
#include <vector>

#include "ui/window.h"

namespace kv::ui {

enum class TComboStyle { DropDown, DropDownList };

class TComboBox : public TWindow {
 public:
  TComboBox() = default;
  // bounds give the closed height; the list drops down dropDownHeight pixels more.
  TComboBox(TWindow& parent, const TRect& bounds, TComboStyle style = TComboStyle::DropDownList,
            int id = 0, int dropDownHeight = 200);
  void Create(TWindow& parent, const TRect& bounds, TComboStyle style = TComboStyle::DropDownList,
              int id = 0, int dropDownHeight = 200);

  int Add(const std::string& item, intptr_t data = 0);
  void Insert(int index, const std::string& item, intptr_t data = 0);
  void Delete(int index);
  void Clear();
  void SetItems(const std::vector<std::string>& items);
  int Count() const;
  std::string Item(int index) const;
  intptr_t ItemData(int index) const;
  int IndexOf(const std::string& item) const;  // exact text, ignoring case; -1 if none
  // -1: nothing selected. Setting it does not fire OnChange, and a list backed out of goes
  // back to it.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool DroppedDown() const;
  void SetDroppedDown(bool down);

  TNotifyEvent OnChange;  // the user took an item or edited the text
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  bool CommandNotify(WORD code, WORD id) override;

 private:
  // The item the box stood on while its list was closed, and the text it showed (the edit
  // part of an editable box).
  void Committed();
  // Reports the item the list stands on when it differs from the committed one.
  void Take();
  void BackOut();

  bool editable_ = false;
  int committed_ = -1;
  std::string committedText_;
  bool dropped_ = false;    // between the list's drop-down and close-up
  bool undecided_ = false;  // dropped down, neither taken nor backed out of yet
  bool restoring_ = false;  // the box's own writes while it backs out
};

}  // namespace kv::ui
