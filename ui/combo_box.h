#pragma once
// A combo box: a drop-down list, or an edit box with a drop-down list. Items may carry a
// number.
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
  // -1: nothing selected. Setting it does not fire OnChange.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool DroppedDown() const;
  void SetDroppedDown(bool down);

  TNotifyEvent OnChange;  // the user picked an item or edited the text
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  bool CommandNotify(WORD code, WORD id) override;
};

}  // namespace kv::ui
