#include "controls/vk_edit_logic.h"

#include "base/text.h"

namespace kv {

namespace {
constexpr int kVkBack = 8, kVkTab = 9, kVkEnd = 35, kVkDown = 40;
}

TVKEditLogic::TVKEditLogic() {
  keys_.OnChange = [this](TKeySequence&) { UpdateText(); };
}

void TVKEditLogic::AssignKeys(const TKeySequence& source) {
  keys_.LoadFromText(source.SaveToText());
  UpdateText();
}

void TVKEditLogic::UpdateText() {
  text_ = keys_.GetDisplayText();
  ShowText(text_);
}

void TVKEditLogic::HandleKey(const TKeyData& key, bool& claimed) {
  const int vk = key.virtualKey;
  if (key.IsFirstKeyDown()) {
    pressed_.set(static_cast<size_t>(vk));
  } else if (!pressed_.test(static_cast<size_t>(vk))) {
    return;  // pressed before the focus came here: passed on, never recorded
  } else if (key.transition != 0) {
    pressed_.reset(static_cast<size_t>(vk));
  }
  if (vk == kVkTab && !WantTab) return;  // moves the focus as usual
  claimed = true;
  bool add = true;
  if (vk == kVkBack && !WantBackspace) {
    add = false;
    if (key.previousState == 0) keys_.DeleteLastKey();
  }
  if (vk >= kVkEnd && vk <= kVkDown && !WantSpecialChars) {
    add = false;
    claimed = false;
  }
  if (add) {
    OnKeyEvent(key, add);
    if (add) keys_.RecordKey(key);
  }
  if (OnDebug) OnDebug("List count=" + IntToStr(keys_.GetCount()));
  if (claimed && !add) UpdateText();
}

}  // namespace kv
