// What every panel view shares.
#include "editor/win/panels/edit_panel_view.h"

namespace kv {

using ui::TRect;

TPanelView::TPanelView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host)
    : content_(&page.Add<ui::TPanel>(page, area)), host_(host) {
  content_->Hide();
}

std::function<void()> TPanelView::OnUser(std::function<void()> fn) {
  return sync_.Guard([this, fn = std::move(fn)] {
    fn();
    Refresh();
    Changed();
  });
}

TVKEdit& TPanelView::MakeKeyEdit(const TRect& bounds, TEPKeys& model) {
  auto& edit = Make<TVKEdit>(bounds);
  edit.OnChange = sync_.Guard([this, &edit, &model] {
    model.Keys().Assign(edit.Keys());
    model.KeysChanged();
    Changed();
  });
  return edit;
}

TModelCombo& LabeledCombo(ui::TPanel& parent, const std::string& caption, int x, int y,
                          int labelWidth, int comboWidth, const std::string& unit) {
  AddLabel(parent, caption, x, y + 3, labelWidth);
  auto& combo = parent.Add<TModelCombo>(parent, TRect::FromBounds(x + labelWidth, y, comboWidth, 22));
  if (!unit.empty()) AddLabel(parent, unit, x + labelWidth + comboWidth + 6, y + 3, 60);
  return combo;
}

}  // namespace kv
