#pragma once
// The windows of the two small alias dialogs: the chooser of the kind of alias to add and
// the dialog that binds an alias to a port of this machine. Both are modal.
#include <string>

#include "editor/props/alias_dialogs.h"
#include "ui/form.h"

namespace kv {

// Shows the chooser over owner; true when it closed with OK.
bool ShowAliasChooserWindow(ui::TForm* owner, TAliasChooser& chooser);
// Shows the definition dialog over owner; true when it closed with OK.
bool ShowDefineMidiAliasWindow(ui::TForm* owner, TDefineMidiAlias& dialog);
// Binds the alias of that name (and its namesake of the other direction) with the program's
// alias and MIDI managers; false without showing anything for an unknown or automatic alias.
bool DefineMidiAliasDialog(ui::TForm* owner, const std::string& aliasName);

// Called with each of these dialogs once it is showing (tests answer it from here).
void SetAliasDialogObserver(std::function<void(ui::TForm&)> observer);

}  // namespace kv
