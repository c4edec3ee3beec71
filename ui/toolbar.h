#pragma once
// A toolbar of image buttons; each button follows an action (enabled, checked, hint as its
// tooltip) and executes it when clicked.
#include <vector>

#include "ui/window.h"

namespace kv::ui {

class TAction;
class TImageList;

class TToolBar : public TWindow {
 public:
  TToolBar() = default;
  TToolBar(TWindow& parent, const TImageList& images, int id = 0);
  ~TToolBar() override;
  void Create(TWindow& parent, const TImageList& images, int id = 0);

  // A button showing the action's image; a check button toggles with the action's Checked.
  int AddButton(TAction& action, bool checkButton = false);
  void AddSeparator();
  int ButtonCount() const;
  // The toolbar's own state of a button (for tests and layout).
  bool ButtonEnabled(int index) const;
  bool ButtonChecked(int index) const;
  // Fits the toolbar to its parent's width (after the parent was resized).
  void AutoSize();

 protected:
  bool CommandNotify(WORD code, WORD id) override;
  bool Notify(NMHDR* header, LRESULT& result) override;

 private:
  struct Button {
    int command;
    TAction* action;
    int client;
  };
  void ActionChanged(const Button& button);
  std::vector<Button> buttons_;
  std::string tipText_;
  std::wstring tipWide_;
};

}  // namespace kv::ui
