#pragma once
// Moving and deleting selected rows of the preset and translator lists: which row goes where,
// in which order, and which row is selected afterwards. The same walk serves both lists.
#include <cstddef>
#include <vector>

namespace kv {

enum class TMoveKind { Up, Down, Top, Bottom };

// One step of a move: the row at from goes to to (the rows between shift by one).
struct TRowMove {
  int from = 0;
  int to = 0;
};

// The offset of a move of the selected rows (sorted, inside 0..count-1); 0 with no selection.
int MoveOffset(TMoveKind kind, int count, const std::vector<int>& selected);
// The steps that move each selected row by offset, applied one after the other: from the top
// row for offset <= 0, from the bottom row for offset > 0, stopping at the first target
// outside the list. The first step's target is the row to scroll into view.
std::vector<TRowMove> PlanRowMoves(int count, std::vector<int> selected, int offset);
// Drag and drop moves the selection by (drop row - drag row), kept within the Top and Bottom
// offsets.
int DropOffset(int count, const std::vector<int>& selected, int dragRow, int dropRow);
// Applies the steps to a list of row identities (tests and the views' own row state).
template <class T>
void ApplyRowMoves(std::vector<T>& rows, const std::vector<TRowMove>& moves) {
  for (const TRowMove& m : moves) {
    T item = rows[static_cast<size_t>(m.from)];
    rows.erase(rows.begin() + m.from);
    rows.insert(rows.begin() + m.to, item);
  }
}

// The selected rows in the order they are deleted (bottom up).
std::vector<int> DeletionOrder(std::vector<int> selected);
// The preset row selected after deleting: the last deleted (topmost) index, clamped to the
// rows left; -1 when none is left.
int PresetRowAfterDelete(int countAfter, int topmostDeleted);
// The translator row that becomes the item index after deleting: the first deleted index
// clamped to the last row, when that is above 0; -1 (no row) otherwise.
int TranslatorRowAfterDelete(int countAfter, int firstDeleted);

// The row the editor's next (or previous) command selects: one row on from the single selected
// row, the first (or last) row when none is selected; -1 when the selection stays.
int StepTranslatorRow(int count, const std::vector<int>& selected, bool forward);

}  // namespace kv
