#pragma once
// A toolbar of image buttons; each button follows an action (enabled, checked, hint as its
// tooltip) and executes it when clicked. It docks through the layer's alignment (top by
// default, so toolbars stack in the order they were made) and is one row of buttons high.
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
  // Fits the height to the buttons (and, when not docked top or bottom, the width).
  void AutoSize();
  // Images for the buttons of disabled actions, by the same indexes (not owned; keep the list
  // alive while it is set); null leaves the greying to the toolbar.
  void SetDisabledImages(const TImageList* images);

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

// Fills target with a greyed, lightened copy of every image of source (for disabled buttons).
void MakeDisabledImages(const TImageList& source, TImageList& target);

}  // namespace kv::ui
