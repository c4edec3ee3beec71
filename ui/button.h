#pragma once
// Buttons: push button (with a modal result for dialogs), check box, radio button and group
// box, as standard controls.
#include "ui/window.h"

namespace kv::ui {

class TAction;

class TButton : public TWindow {
 public:
  TButton() = default;
  TButton(TWindow& parent, const std::string& caption, const TRect& bounds, int id = 0);
  void Create(TWindow& parent, const std::string& caption, const TRect& bounds, int id = 0);

  // Clicking sets the enclosing form's ModalResult to this (when not mrNone).
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  void SetDefault(bool isDefault);
  // Follows the action's caption, hint and enabled state; a click executes it.
  void SetAction(TAction* action);
  ~TButton() override;

  // As a user's click: OnClick, the action, the modal result.
  void Click() override;

 protected:
  bool CommandNotify(WORD code, WORD id) override;

 private:
  void ActionChanged();
  int modalResult_ = 0;
  TAction* action_ = nullptr;
  int actionClient_ = 0;
};

class TCheckBox : public TWindow {
 public:
  TCheckBox() = default;
  TCheckBox(TWindow& parent, const std::string& caption, const TRect& bounds, int id = 0);
  void Create(TWindow& parent, const std::string& caption, const TRect& bounds, int id = 0);
  bool Checked() const;
  // Changing the state in code does not fire OnClick.
  void SetChecked(bool checked);

 protected:
  bool CommandNotify(WORD code, WORD id) override;
};

class TRadioButton : public TCheckBox {
 public:
  TRadioButton() = default;
  // The first button of a group passes firstOfGroup (the dialog manager's group start).
  TRadioButton(TWindow& parent, const std::string& caption, const TRect& bounds, bool firstOfGroup,
               int id = 0);
  void Create(TWindow& parent, const std::string& caption, const TRect& bounds, bool firstOfGroup,
              int id = 0);
};

class TGroupBox : public TWindow {
 public:
  TGroupBox() = default;
  TGroupBox(TWindow& parent, const std::string& caption, const TRect& bounds);
  void Create(TWindow& parent, const std::string& caption, const TRect& bounds);
};

}  // namespace kv::ui
