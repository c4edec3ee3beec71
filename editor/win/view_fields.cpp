#include "editor/win/view_fields.h"

namespace kv {

TModelCombo::TModelCombo(ui::TWindow& parent, const ui::TRect& bounds, ui::TComboStyle style) {
  Create(parent, bounds, style);
}

void TModelCombo::Show(const TComboModel& model) {
  if (model.items != shownItems_) {
    SetItems(model.items);
    shownItems_ = model.items;
  }
  if (ItemIndex() != model.itemIndex) SetItemIndex(model.itemIndex);
  SetTextIfChanged(*this, model.itemIndex >= 0 && model.itemIndex < Count()
                              ? model.items[static_cast<size_t>(model.itemIndex)]
                              : model.text);
}

void TModelCombo::Read(TComboModel& model) const {
  const int index = ItemIndex();
  if (index >= 0 && (picked_ || Item(index) == Text())) {
    model.Select(index);
    return;
  }
  model.text = Text();
  const bool stillItem = model.itemIndex >= 0 &&
                         model.itemIndex < static_cast<int>(model.items.size()) &&
                         model.items[static_cast<size_t>(model.itemIndex)] == model.text;
  if (!stillItem) model.itemIndex = -1;
}

bool TModelCombo::CommandNotify(WORD code, WORD id) {
  // A pick from the list, also one the keys took as the list closed (a selection end cancel
  // under Wine).
  picked_ = code == CBN_SELCHANGE || code == CBN_SELENDOK || code == CBN_SELENDCANCEL;
  const bool handled = TComboBox::CommandNotify(code, id);
  picked_ = false;
  return handled;
}

void SetTextIfChanged(ui::TWindow& control, const std::string& text) {
  if (control.Text() != text) control.SetText(text);
}

void SetCheckedIfChanged(ui::TCheckBox& box, bool checked) {
  if (box.Checked() != checked) box.SetChecked(checked);
}

void EnableControlTree(ui::TWindow& control, bool enabled) {
  EnumChildWindows(
      control.Handle(),
      [](HWND child, LPARAM on) -> BOOL {
        EnableWindow(child, on != 0);
        return TRUE;
      },
      enabled ? 1 : 0);
}

ui::TGroupBox& AddGroupBox(ui::TWindow& parent, const std::string& caption,
                          const ui::TRect& bounds) {
  return parent.Add<ui::TGroupBox>(parent, caption, bounds);
}

void SinkGroupBoxes(ui::TWindow& root) {
  EnumChildWindows(
      root.Handle(),
      [](HWND child, LPARAM) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (lstrcmpiW(name, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) {
          SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return TRUE;
      },
      0);
}

ui::TLabel& AddLabel(ui::TWindow& parent, const std::string& caption, int x, int y, int width) {
  auto& label = parent.Add<ui::TLabel>(parent, caption, ui::TRect::FromBounds(x, y, width, 16));
  label.SetShowAccelChar(caption.find('&') != std::string::npos);
  return label;
}

}  // namespace kv
