#include "app/translator_edits.h"

#include <algorithm>

#include "app/preset_names.h"
#include "engine/preset.h"
#include "engine/project.h"

namespace kv {

TTransList* TranslatorTargetPreset(TPresetHandler& project, int& currentPreset) {
  if (project.GetPresetCount() == 0) {
    if (!project.AddPresetNamed(kUnnamedPresetText)) return nullptr;
    currentPreset = 0;
    TLockableTransList* preset = project.GetPreset(0);
    if (preset) preset->SetActive(true);
    return preset;
  }
  return project.GetPreset(currentPreset);
}

int AddNewTranslator(TPresetHandler& project, int& currentPreset, int itemIndex) {
  TTransList* preset = TranslatorTargetPreset(project, currentPreset);
  if (!preset) return -1;
  const int row = itemIndex < 0 ? 0 : std::min(itemIndex + 1, preset->GetCount());
  return preset->InsertTranslator(row, TTransMsg::Create(kNewTranslatorName));
}

std::vector<int> PasteTranslators(TPresetHandler& project, int& currentPreset,
                                  const std::vector<TTransMsgPtr>& translators) {
  std::vector<int> rows;
  if (translators.empty()) return rows;
  TTransList* preset = TranslatorTargetPreset(project, currentPreset);
  if (!preset) return rows;
  for (const TTransMsgPtr& t : translators) {
    preset->AddTranslator(t);
    rows.push_back(preset->GetCount() - 1);
  }
  return rows;
}

int DuplicateTranslator(TTransList& preset, int row) {
  TTransMsgPtr source = preset.GetTranslatorRef(row);
  if (!source) return -1;
  return preset.InsertTranslator(row + 1, source->Clone());
}

}  // namespace kv
