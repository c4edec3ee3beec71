#include "app/main_window/win/input_query.h"

#include "ui/button.h"
#include "ui/dialog_types.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"

namespace kv {

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                ui::TForm& owner) {
  ui::TFormParams params;
  params.caption = caption;
  params.bounds = ui::TRect::FromBounds(0, 0, 340, 140);
  params.border = ui::TBorderStyle::Dialog;
  params.owner = &owner;
  params.position = ui::TFormPosition::OwnerFormCenter;
  params.minimizeBox = false;
  params.maximizeBox = false;
  ui::TForm box(params);
  box.Add<ui::TLabel>(box, prompt, ui::TRect::FromBounds(12, 12, 300, 18));
  auto& edit = box.Add<ui::TEdit>(box, ui::TRect::FromBounds(12, 34, 306, 22));
  edit.SetText(value);
  edit.SelectAll();
  auto& ok = box.Add<ui::TButton>(box, "OK", ui::TRect::FromBounds(150, 70, 80, 25));
  ok.SetModalResult(ui::mrOk);
  auto& cancel = box.Add<ui::TButton>(box, "Cancel", ui::TRect::FromBounds(238, 70, 80, 25));
  cancel.SetModalResult(ui::mrCancel);
  box.SetDefaultButton(&ok);
  box.SetCancelButton(&cancel);
  edit.SetFocus();
  if (box.ShowModal() != ui::mrOk) return false;
  value = edit.Text();
  return true;
}

}  // namespace kv
