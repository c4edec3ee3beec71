#pragma once
// Where Add, Paste and Duplicate put translators in the project. Main thread; the preset's own
// lock guards each change.
#include <vector>

#include "engine/translator.h"

namespace kv {

class TPresetHandler;
class TTransList;

// The preset that receives new translators: the current one; when the project has no presets,
// a new active preset "(unnamed)", which becomes current. None while presets exist but none is
// current: the translators would land in a preset the user did not choose.
TTransList* TranslatorTargetPreset(TPresetHandler& project, int& currentPreset);
// A translator named kNewTranslatorName after itemIndex (at the start for -1); its row, or -1.
int AddNewTranslator(TPresetHandler& project, int& currentPreset, int itemIndex);
// The translators appended at the end of the target preset; their rows.
std::vector<int> PasteTranslators(TPresetHandler& project, int& currentPreset,
                                  const std::vector<TTransMsgPtr>& translators);
// A clone of the row's translator right after it; its row, or -1.
int DuplicateTranslator(TTransList& preset, int row);

}  // namespace kv
