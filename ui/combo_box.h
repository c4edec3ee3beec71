#pragma once
// A combo box: a drop-down list, or an edit box with a drop-down list. Items may carry a
// number.
//
// Only a choice the user takes is reported: Enter or a click on an item of the open list,
// the keys that close it (F4, Alt+Up, Alt+Down) and Tab out of it, the arrow keys or the wheel
// on the closed box. Moving through the open list changes nothing yet, and a list the user
// backs out of (Escape, a click elsewhere, the focus taken away otherwise) puts back what it
// showed before it dropped down, reporting nothing.
//
// An editable box takes what its edit part shows: text typed while the list is open stays as
// typed (an item only when the text is that item's), and backing out keeps the text typed;
// an item is taken when the user moved to it in the list since typing.
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
  // -1: nothing selected. While the list is open it stays on the item chosen before (the
  // highlight is no choice yet). Setting it does not fire OnChange, and a list backed out of
  // goes back to it.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool DroppedDown() const;
  void SetDroppedDown(bool down);

  TNotifyEvent OnChange;  // the user took an item or edited the text
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool CommandNotify(WORD code, WORD id) override;

 private:
  // The item the list stands on (the highlight while it is open).
  int ListIndex() const;
  // The item the box stands on and the text it shows (the edit part of an editable box), as
  // the choice a list backed out of goes back to.
  void Committed();
  // Reports what the list closed on when it differs from the committed choice: the text an
  // editable box shows when it was typed after the last move in the list and the keys closed
  // the list, else the item the list stands on.
  void Take(bool byKeys);
  void TakeText();
  void BackOut();
  // The box's own write of the edit part's text, the caret after it.
  void RestoreText(const std::string& text);

  bool editable_ = false;
  int committed_ = -1;
  std::string committedText_;
  bool dropped_ = false;    // between the list's drop-down and close-up
  bool undecided_ = false;  // dropped down, neither taken nor backed out of yet
  bool typed_ = false;      // text typed since the list dropped down or its highlight moved
  bool restoring_ = false;  // the box's own writes while it takes or backs out
};

}  // namespace kv::ui
