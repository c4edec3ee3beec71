#include "editor/win/rule_chooser_dialog.h"

#include "editor/rule_chooser.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/radio_group.h"

namespace kv {

using ui::TRect;

bool ChooseRuleType(ui::TWindow* owner, uint8_t& stepCode, bool& condition, bool preselect) {
  TRuleChooserModel model(stepCode, preselect);
  ui::TFormParams p;
  p.caption = "Add a Rule";
  p.bounds = TRect::FromBounds(0, 0, 340, 290);
  p.border = ui::TBorderStyle::Dialog;
  p.owner = owner;
  p.position = owner ? ui::TFormPosition::OwnerFormCenter : ui::TFormPosition::ScreenCenter;
  ui::TForm form(p);
  form.SetClientSize(320, 250);
  auto& group = form.Add<ui::TRadioGroup>(form, "Choose the rule type to add:",
                                          TRect::FromBounds(8, 8, 304, 200));
  group.SetItems(RuleChooserCaptions());
  group.SetItemIndex(model.ItemIndex());
  // The dialog navigation finds the default and cancel buttons by these ids (Enter, Escape).
  auto& ok = form.Add<ui::TButton>(form, "OK", TRect::FromBounds(150, 216, 76, 25), IDOK);
  ok.SetModalResult(ui::mrOk);
  auto& cancel =
      form.Add<ui::TButton>(form, "Cancel", TRect::FromBounds(234, 216, 76, 25), IDCANCEL);
  cancel.SetModalResult(ui::mrCancel);
  form.SetDefaultButton(&ok);
  form.SetCancelButton(&cancel);
  auto update = [&] {
    model.SelectItem(group.ItemIndex());
    ok.SetEnabled(model.OkEnabled());
  };
  group.OnChange = update;
  group.OnItemDblClick = [&](int index) {
    group.SetItemIndex(index);
    update();
    if (model.OkEnabled()) form.SetModalResult(ui::mrOk);
  };
  update();
  if (form.ShowModal() != ui::mrOk || !model.Confirm()) return false;
  if (model.Condition()) {
    condition = true;
  } else {
    condition = false;
    stepCode = model.StepCode();
  }
  return true;
}

}  // namespace kv
