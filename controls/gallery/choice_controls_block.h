#pragma once
// The gallery's block of the window layer's choice controls and drawing: mnemonic labels, a
// radio group, a list box, a track bar and a sketch of MIDI connections.
#include "ui/form.h"

namespace kv::gallery {

// Adds the block to parent below what it holds (from client y top) and makes the form tall
// enough for it.
void AddChoiceControls(ui::TWindow& parent, ui::TForm& form, int top);

}  // namespace kv::gallery
