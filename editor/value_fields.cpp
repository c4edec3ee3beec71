#include "editor/value_fields.h"

#include "base/text.h"

namespace kv {

const std::vector<std::string>& VariableNameList() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (int i = 0; i < kOfferedVariableCount; ++i) list.push_back(VariableNameOf(i));
    return list;
  }();
  return names;
}

void TComboModel::Clear() {
  items.clear();
  objects.clear();
  itemIndex = -1;
}

void TComboModel::AddItem(std::string item, int object) {
  items.push_back(std::move(item));
  objects.push_back(object);
}

void TComboModel::Select(int index) {
  if (index < 0 || index >= static_cast<int>(items.size())) {
    itemIndex = -1;
    return;
  }
  itemIndex = index;
  text = items[static_cast<size_t>(index)];
}

int TComboModel::SelectedObject(int fallback) const {
  if (itemIndex < 0 || itemIndex >= static_cast<int>(objects.size())) return fallback;
  return objects[static_cast<size_t>(itemIndex)];
}

void TComboModel::FillVariableNames() {
  Clear();
  const auto& names = VariableNameList();
  for (size_t i = 0; i < names.size(); ++i) AddItem(names[i], static_cast<int>(i));
}

void OfferVariableNames(std::initializer_list<TComboModel*> combos) {
  for (TComboModel* combo : combos) {
    if (combo->items.empty()) combo->FillVariableNames();
  }
}

bool ParseNumberOrVariable(std::string_view text, TNumberOrVariable& value) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return false;
  TNumberOrVariable parsed;
  if (ParseNumberOrVariableAt(trimmed, 1, parsed) != trimmed.size()) return false;
  value = parsed;
  return true;
}

void ShowNumberOrVariable(TComboModel& combo, const TNumberOrVariable& value) {
  if (!value.IsVariable()) {
    combo.itemIndex = -1;
    combo.text = std::to_string(value.value);
    return;
  }
  if (value.value >= 0 && value.value < static_cast<int>(combo.items.size())) {
    combo.Select(value.value);
    return;
  }
  combo.itemIndex = -1;
  combo.text = IsValidVariable(value.value) ? VariableNameOf(value.value) : "#Err";
}

void SelectComboByObject(TComboModel& combo, int value) {
  for (size_t i = 0; i < combo.objects.size(); ++i) {
    if (combo.objects[i] == value) {
      combo.Select(static_cast<int>(i));
      return;
    }
  }
  combo.itemIndex = -1;
}

}  // namespace kv
