#pragma once
// The export/import help window: a title, the page's explanation, a hint panel, and a bottom
// panel with "Don't show this again", OK and Cancel. Centred over its owner, sized to fit.
#include <memory>

#include "app/shell/exim_help_model.h"
#include "ui/form.h"
#include "ui/graphics.h"

namespace kv::ui {
class TButton;
class TCheckBox;
class TLabel;
class TPanel;
}  // namespace kv::ui

namespace kv {

class TExImHelp final : public ui::TForm {
 public:
  TExImHelp(int page, bool dontShowAgain, ui::TWindow* owner);

  const TExImHelpModel& Model() const { return model_; }
  ui::TLabel& Title() const { return *title_; }
  ui::TCheckBox& DontShowAgain() const { return *check_; }
  ui::TButton& OkButton() const { return *ok_; }
  ui::TButton& CancelButton() const { return *cancel_; }
  // Shows it modally; the box's state on OK, none on Cancel.
  std::optional<bool> Run();

 private:
  ui::TPanel& AddBottomPanel(int top, int textWidth, int lineHeight);

  TExImHelpModel model_;
  ui::TFont font_;
  ui::TFont titleFont_;
  ui::TLabel* title_ = nullptr;
  ui::TCheckBox* check_ = nullptr;
  ui::TButton* ok_ = nullptr;
  ui::TButton* cancel_ = nullptr;
};

}  // namespace kv
