#pragma once
// Which keys a focused text field keeps from its form's shortcuts: typing, deleting, caret
// moves, the clipboard and undo keys of edit controls, and Enter and Escape that end an
// in-place rename. Without this rule a shortcut such as Del (delete the selected rows) would
// fire while the user edits a name and delete the rows instead of a character.
#include "ui/shortcut.h"

namespace kv::ui {

// multiLine: the field takes Enter, page and Ctrl+arrow keys as its own (a multi-line edit or
// an editor control).
bool EditKeepsShortCut(TShortCut shortCut, bool multiLine);

}  // namespace kv::ui
