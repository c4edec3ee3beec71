#pragma once
// The error window ("Errors"): every error the user must see, grouped per operation by
// separator lines, on top of the other windows. One at a time, owned by the application; it
// keeps its placement in the settings section "ErrorWindow".
#include <functional>
#include <memory>
#include <string>

#include "app/shell/error_lines.h"
#include "ui/form.h"
#include "ui/graphics.h"

namespace kv::ui {
class TButton;
class TLabel;
}  // namespace kv::ui

namespace kv {

class TCustomIniFile;
class TZarnMemo;

class TErrForm final : public ui::TForm {
 public:
  // Where the placement is kept, asked each time it is read or written (null: nowhere).
  using TSettingsSource = std::function<TCustomIniFile*()>;
  explicit TErrForm(TSettingsSource settings);
  ~TErrForm() override;

  void AddLine(const std::string& text);
  // With lines present, a separator; the lines after it count as new.
  void StartGroup();
  // Writes the window's placement, as closing does.
  void SavePlacement();
  const TErrorLines& Lines() const { return lines_; }
  TZarnMemo& MemoError() const { return *memo_; }
  ui::TButton& CloseButton() const { return *close_; }
  ui::TLabel& Heading() const { return *heading_; }
  // Called when the window closes (the owner releases it).
  ui::TNotifyEvent OnClosed;

 private:
  void Shown();
  void Closing();
  void ShowLinesFrom(size_t first);

  TSettingsSource settings_;
  TErrorLines lines_;
  ui::TFont font_;
  ui::TLabel* heading_ = nullptr;
  TZarnMemo* memo_ = nullptr;
  ui::TButton* close_ = nullptr;
};

}  // namespace kv
