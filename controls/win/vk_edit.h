#pragma once
// The key-recording edit: a read-only edit box that, while it has the focus, takes every
// key through the thread keyboard hook and shows the recorded key sequence.
#include "controls/keyboard_hook.h"
#include "controls/vk_edit_logic.h"
#include "ui/edit.h"

namespace kv {

class TVKEdit : public ui::TEdit, public TVKEditLogic {
 public:
  TVKEdit();
  TVKEdit(ui::TWindow& parent, const ui::TRect& bounds, int id = 0);
  ~TVKEdit() override;
  void Create(ui::TWindow& parent, const ui::TRect& bounds, int id = 0);
  const TKeyboardHook& Hook() const { return hook_; }

 protected:
  void FocusChanged(bool gotFocus) override;
  void ShowText(const std::string& text) override;

 private:
  TKeyboardHook hook_;
};

}  // namespace kv
