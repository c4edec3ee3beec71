#pragma once
// The editor's value-or-variable fields: editable combo boxes whose drop-down lists offer the
// 46 variable names, their reading and showing, and the small selection helpers the panels
// share. A TComboModel is the portable state of one combo; the window copies it to and from
// the control.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "engine/variables.h"

namespace kv {

// The names the editor offers: oo..xx (0-9), ga..gz (10-35), g0..g9 (36-45); each item's
// object is its variable index.
inline constexpr int kOfferedVariableCount = 46;
const std::vector<std::string>& VariableNameList();

struct TComboModel {
  std::vector<std::string> items;
  std::vector<int> objects;  // one per item
  int itemIndex = -1;        // -1: no item chosen
  std::string text;

  void Clear();
  void AddItem(std::string item, int object = 0);
  // Chooses the item and shows its text; an index outside the items chooses none and keeps
  // the text.
  void Select(int index);
  // The chosen item's object, or fallback when none is chosen.
  int SelectedObject(int fallback = -1) const;
  // The 46 variable names as items (object = index), none chosen; the text stays.
  void FillVariableNames();
};

// Gives each combo without items the 46 variable names, once; their texts stay.
void OfferVariableNames(std::initializer_list<TComboModel*> combos);

// The whole trimmed text as a number or a variable; an empty text, or one with anything left
// over ("12x"), gives false and leaves value alone.
bool ParseNumberOrVariable(std::string_view text, TNumberOrVariable& value);
inline bool ParseNumberOrVariable(const TComboModel& combo, TNumberOrVariable& value) {
  return ParseNumberOrVariable(combo.text, value);
}

// A number as decimal text with no item; a variable whose index is one of the items chooses
// that item; an index outside 0..297 chooses none and shows "#Err"; any other variable shows
// its name.
void ShowNumberOrVariable(TComboModel& combo, const TNumberOrVariable& value);

// Chooses the first item whose object equals value, else none.
void SelectComboByObject(TComboModel& combo, int value);

}  // namespace kv
