#include "controls/win/vk_edit.h"

namespace kv {

TVKEdit::TVKEdit() {
  hook_.OnKey = [this](TKeyboardHook&, const TKeyData& key, bool& claimed) {
    HandleKey(key, claimed);
  };
}

TVKEdit::TVKEdit(ui::TWindow& parent, const ui::TRect& bounds, int id) : TVKEdit() {
  Create(parent, bounds, id);
}

TVKEdit::~TVKEdit() {
  hook_.Unsubscribe();
  DestroyHandle();
}

void TVKEdit::Create(ui::TWindow& parent, const ui::TRect& bounds, int id) {
  ui::TEditOptions o;
  o.readOnly = true;
  TEdit::Create(parent, bounds, o, id);
}

void TVKEdit::FocusChanged(bool gotFocus) {
  ForgetHeldKeys();
  if (gotFocus) {
    hook_.Subscribe();
  } else {
    hook_.Unsubscribe();
  }
  TEdit::FocusChanged(gotFocus);
}

void TVKEdit::ShowText(const std::string& text) {
  if (HandleAllocated() && ui::TEdit::Text() != text) SetText(text);
}

}  // namespace kv
