#include "app/row_moves.h"

#include <algorithm>

namespace kv {

int MoveOffset(TMoveKind kind, int count, const std::vector<int>& selected) {
  if (selected.empty()) return 0;
  switch (kind) {
    case TMoveKind::Up: return -1;
    case TMoveKind::Down: return 1;
    case TMoveKind::Top: return -selected.front();
    case TMoveKind::Bottom: return count - 1 - selected.back();
  }
  return 0;
}

std::vector<TRowMove> PlanRowMoves(int count, std::vector<int> selected, int offset) {
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  if (offset > 0) std::reverse(selected.begin(), selected.end());
  std::vector<TRowMove> moves;
  for (int row : selected) {
    if (row < 0 || row >= count) break;
    const int target = row + offset;
    if (target < 0 || target >= count) break;
    moves.push_back({row, target});
  }
  return moves;
}

int DropOffset(int count, const std::vector<int>& selected, int dragRow, int dropRow) {
  if (selected.empty()) return 0;
  std::vector<int> sorted = selected;
  std::sort(sorted.begin(), sorted.end());
  const int top = MoveOffset(TMoveKind::Top, count, sorted);
  const int bottom = MoveOffset(TMoveKind::Bottom, count, sorted);
  return std::clamp(dropRow - dragRow, top, std::max(top, bottom));
}

std::vector<int> DeletionOrder(std::vector<int> selected) {
  std::sort(selected.begin(), selected.end(), std::greater<int>());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  return selected;
}

int PresetRowAfterDelete(int countAfter, int topmostDeleted) {
  if (countAfter <= 0) return -1;
  return std::clamp(topmostDeleted, 0, countAfter - 1);
}

int TranslatorRowAfterDelete(int countAfter, int firstDeleted) {
  const int row = std::min(firstDeleted, countAfter - 1);
  return row > 0 ? row : -1;
}

int StepTranslatorRow(int count, const std::vector<int>& selected, bool forward) {
  if (count <= 0) return -1;
  if (selected.empty()) return forward ? 0 : count - 1;
  if (selected.size() != 1) return -1;
  const int target = selected.front() + (forward ? 1 : -1);
  return target >= 0 && target < count ? target : -1;
}

}  // namespace kv
