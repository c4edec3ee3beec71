#pragma once
// The message loop's side of the edit-key rule (ui/edit_keys.h); not for use outside ui/.
#include <windows.h>

#include "ui/shortcut.h"

namespace kv::ui::detail {

// Whether the window a key message is for is a text field (an edit control, the edit of an
// in-place rename or of a combo box, or an editor control that wants all keys and
// characters) that keeps this key from the form's shortcuts.
bool FocusedFieldKeepsKey(const MSG& msg, TShortCut shortCut);

}  // namespace kv::ui::detail
