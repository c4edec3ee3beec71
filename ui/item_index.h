#pragma once
// Where a selected item index goes when the list under it changes (-1: nothing selected).
// The list box and the radio group keep their selection with these rules.
namespace kv::ui {

// index when it names an item of a list of count items, else -1.
constexpr int ValidIndex(int index, int count) {
  return index >= 0 && index < count ? index : -1;
}
// After the item at removed went away: the selection moves up when it was below, and is lost
// when it was the removed item.
constexpr int IndexAfterDelete(int index, int removed) {
  if (index < 0 || removed < 0) return index;
  if (index == removed) return -1;
  return index > removed ? index - 1 : index;
}
// After an item was put in at inserted: a selection at or below it moves down.
constexpr int IndexAfterInsert(int index, int inserted) {
  if (index < 0 || inserted < 0) return index;
  return index >= inserted ? index + 1 : index;
}

}  // namespace kv::ui
