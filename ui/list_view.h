#pragma once
// A list view in report style: columns, rows of texts with a number each, selection, check
// boxes, in-place renaming and moving rows by dragging them inside the list.
//
// Owner-data mode (SetOwnerData) is for long lists whose owner already holds the rows: the
// list stores no texts and no check marks, only the row count, the selection and the focus.
// It asks the owner for a cell's text and a row's check mark whenever it draws the row or
// another program reads it, so filling any number of rows is one SetRowCount.
#include <functional>
#include <string>

#include "ui/list_drag_logic.h"
#include "ui/window.h"

namespace kv::ui {

class TImageList;

struct TListViewOptions {
  bool checkBoxes = false;
  bool multiSelect = false;
  bool editLabels = false;
  bool rowSelect = true;
  bool gridLines = false;
  bool showHeader = true;
};

class TListView : public TWindow {
 public:
  TListView() = default;
  TListView(TWindow& parent, const TRect& bounds, const TListViewOptions& options = {}, int id = 0);
  void Create(TWindow& parent, const TRect& bounds, const TListViewOptions& options = {},
              int id = 0);

  int AddColumn(const std::string& caption, int width);
  int ColumnCount() const;
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);

  // Owner-data mode: texts and check marks come from the providers, asked for each row as it
  // is drawn or read (the providers must answer for every row below the row count). Call it
  // before Create, or after Create while the list has no rows (the window is then made again
  // with its columns). AddItem, InsertItem, DeleteItem, SetItemText, SetItemData and
  // SetItemImage are not for this mode: they do nothing (and assert in debug builds).
  // Clear sets the row count to 0.
  // The owner holds the check marks: the user clicking a row's check box or pressing Space
  // fires OnItemChecked(row, the mark asked for) and nothing else; the owner stores it (or
  // not) and calls RefreshRows. SetChecked only redraws the row, Checked asks the provider.
  // Renaming in place: the owner stores the accepted name in OnEdited; the row is then
  // redrawn.
  void SetOwnerData(std::function<std::string(int row, int column)> text,
                    std::function<bool(int row)> checked);
  bool OwnerData() const { return static_cast<bool>(text_); }
  // Owner-data mode: the number of rows, in one step (no notification per row). Selection
  // and focus of rows below count stay; every row is drawn again from the providers.
  void SetRowCount(int count);
  // Owner-data mode: draws rows first..last (clamped to the list) again from the providers.
  void RefreshRows(int first, int last);

  int Count() const;
  // Returns the new row's index.
  int AddItem(const std::string& caption, intptr_t data = 0);
  int InsertItem(int index, const std::string& caption, intptr_t data = 0);
  void DeleteItem(int index);
  void Clear();
  std::string ItemText(int index, int column = 0) const;
  void SetItemText(int index, int column, const std::string& text);
  intptr_t ItemData(int index) const;
  void SetItemData(int index, intptr_t data);
  bool Checked(int index) const;
  void SetChecked(int index, bool checked);
  void SetImages(const TImageList* images);  // small images; not owned
  void SetItemImage(int index, int image);

  // The focused-and-selected row, -1 for none; setting it selects only that row.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelectedCount() const;
  void EnsureVisible(int index);
  int TopIndex() const;
  int VisibleRowCount() const;
  void EditLabel(int index);
  // A row is being renamed in place (its edit has the keys).
  bool Editing() const;
  // Ends an open rename at once, as Enter (commit) or Escape would: OnEdited, OnEditEnded or
  // OnEditRefused have fired when it returns, and the keys are the list's again. Whoever is
  // about to change the rows calls it first, so the name typed reaches the row it was typed
  // for. Nothing happens while no row is being renamed.
  void EndEdit(bool commit);
  // The row at a client point, -1 for none.
  int ItemAt(int x, int y) const;
  void SelectAll();
  // Rows first..last selected and every other row not; the focus stays where it is. In
  // owner-data mode a range of most rows costs a step per row outside it, not inside it.
  void SelectRange(int first, int last);
  // The focus and the selection mark (where a Shift range starts) on row, selection unchanged.
  void SetFocusedRow(int row);

  // Stops redrawing while many rows change.
  void BeginUpdate();
  void EndUpdate();

  // A row's selection changed (index, now selected). In owner-data mode a change of several
  // rows at once (select all, clear, a range with Shift) fires once with index -1: read the
  // selection then.
  TEvent<void(int index, bool selected)> OnSelectItem;
  TEvent<void(int index, bool checked)> OnItemChecked;
  TEvent<void(int column)> OnColumnClick;
  // In-place renaming of the row is about to start; clear allow to refuse it.
  TEvent<void(int index, bool& allow)> OnEditing;
  // Renaming ended with text; clear accept to keep the old caption.
  TEvent<void(int index, std::string& text, bool& accept)> OnEdited;
  // Renaming ended without a new text: Escape, an unchanged text, or a text confirmed empty
  // (the list reports that one without text under Wine); emptied is set for the last.
  TEvent<void(int index, bool emptied)> OnEditEnded;
  // Renaming ended with characters the ANSI code page cannot hold: the old caption stays and
  // the event gets the message that names them. Without a handler such text is narrowed as
  // before ("?" for each).
  TEvent<void(int index, const std::string& error)> OnEditRefused;

  // Dragging rows inside the list. A drag starts when the list view reports one (the left
  // button pressed on a row and moved) or BeginDrag is called, and only while OnDragDrop is
  // set and OnStartDrag does not refuse. While it lasts the list holds the mouse, marks
  // where the row would land and scrolls while the pointer is near its top or bottom edge.
  // Releasing the button on another row ends it with OnDragDrop (after the list is tidied
  // up, so the handler may move rows); Escape, another button or losing the mouse cancel.
  TEvent<void(int source, bool& allow)> OnStartDrag;
  TEvent<void(int source, int target)> OnDragDrop;
  void BeginDrag(int source);
  void CancelDrag();
  bool Dragging() const { return drag_.Active(); }
  int DropTarget() const { return drag_.Target(); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool Notify(NMHDR* header, LRESULT& result) override;
  // The list reports its double clicks itself (NM_DBLCLK); the mouse message fires nothing.
  void DblClick(TMouseButton, TShiftState, int, int) override {}

 private:
  // ui/win/list_drag.cpp
  bool DragMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  void TrackDrag(TPoint client);
  void ScrollDuringDrag();
  void EndDrag(bool drop);
  TListDragGeometry DragGeometry() const;
  int RowAtY(int y, const TListDragGeometry& geometry) const;
  void ShowDropMark(const TListDropMark& mark);

  bool OwnerCheckToggle(int row);
  // The first row from start whose caption is (or with partial, begins with) key, ignoring
  // case; wrap goes on from the top. -1 for none.
  int FindOwnedRow(const wchar_t* key, bool partial, bool wrap, int start) const;
  void RecreateForOwnerData();
  // Notifications, from Notify.
  bool OwnerDisplayInfo(NMHDR* header);
  bool OwnerFindItem(NMHDR* header, LRESULT& result) const;
  bool ItemChanged(NMHDR* header);
  void LabelEdited(NMHDR* header, LRESULT& result);

  int updating_ = 0;
  bool checkBoxes_ = false;
  // Owner-data mode when text_ is set.
  std::function<std::string(int, int)> text_;
  std::function<bool(int)> checked_;
  bool settingCheck_ = false;
  bool cancelling_ = false;  // EndEdit(false) runs: the edit ends without its text
  TListDragLogic drag_;
};

}  // namespace kv::ui
