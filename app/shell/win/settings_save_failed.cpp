#include "app/shell/win/settings_save_failed.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/application.h"
#include "ui/button.h"
#include "ui/canvas.h"
#include "ui/message_dialog.h"

namespace kv {

namespace {

constexpr int kGap = 8;
constexpr int kMinButtonWidth = 75;
constexpr int kCaptionPadding = 24;

// Retry first and default, then "&Quit without saving", then Cancel: the order the question
// reads in, where the standard row would lead with Cancel and name the second "&Ignore".
void ArrangeButtons(ui::TMessageForm& form) {
  ui::TButton* retry = form.ButtonFor(ui::mrRetry);
  ui::TButton* quit = form.ButtonFor(ui::mrIgnore);
  ui::TButton* cancel = form.ButtonFor(ui::mrCancel);
  quit->SetText("&Quit without saving");
  ui::TWindowCanvas canvas(form.Handle());
  canvas.SetFont(form.Font());
  const std::vector<ui::TButton*> row{retry, quit, cancel};
  std::vector<int> widths;
  int total = 0;
  for (ui::TButton* button : row) {
    widths.push_back(std::max(kMinButtonWidth, canvas.TextWidth(button->Text()) + kCaptionPadding));
    total += widths.back();
  }
  total += kGap * static_cast<int>(row.size() - 1);
  const ui::TRect client = form.ClientRect();
  const int width = std::max(client.Width(), total + 4 * kGap);
  form.SetClientSize(width, client.Height());
  int x = (width - total) / 2;
  for (size_t i = 0; i < row.size(); ++i) {
    row[i]->SetBounds(x, retry->Top(), widths[i], retry->Height());
    x += widths[i] + kGap;
  }
  form.SetDefaultButton(retry);
  form.OnShow = [retry] {
    if (retry->Enabled()) retry->SetFocus();
  };
}

}  // namespace

TFailedSaveAnswer AskAfterFailedSettingsSave(const std::string& error,
                                             const std::string& programTitle) {
  const std::string text = "The settings could not be saved:\r\n" + error +
                           "\r\n\r\nRetry to save them again, quit " + programTitle +
                           " without saving them, or Cancel to go on working.";
  std::unique_ptr<ui::TMessageForm> form = ui::CreateMessageDialog(
      text, ui::TMsgDlgType::Error, ui::mbRetry | ui::mbIgnore | ui::mbCancel);
  ArrangeButtons(*form);
  // The error window, which stays on top, shows the same failure: the question must not go
  // under it.
  form->SetFormStyle(ui::TFormStyle::StayOnTop);
  int result = ui::mrCancel;
  {
    ui::TInitialDisabledForm delay(*form, ui::kErrorDelayMs);
    // Its answer may end the program: not hidden first (see FreeUnlessEnding).
    form->SetHideAfterModal(false);
    result = ui::RunMessageForm(*form);
  }
  ui::Application().FreeUnlessEnding(std::move(form));
  if (result == ui::mrRetry) return TFailedSaveAnswer::Retry;
  if (result == ui::mrIgnore) return TFailedSaveAnswer::QuitWithoutSaving;
  return TFailedSaveAnswer::Cancel;
}

}  // namespace kv
