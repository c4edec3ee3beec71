#include "app/preset_edits.h"

#include "engine/preset.h"
#include "engine/project.h"
#include "midi/alias.h"

namespace kv {

TPresetEditWatch::TPresetEditWatch(const TTransList& preset)
    : preset_(&preset), before_(Take(preset)) {}

TPresetEditWatch::TEdited TPresetEditWatch::Take(const TTransList& preset) {
  TEdited edited;
  edited.switchIgnore = preset.PresetSwitchIgnore();
  edited.inPorts = preset.GetDefaultInPorts().Items();
  edited.outPorts = preset.GetDefaultOutPorts().Items();
  return edited;
}

bool TPresetEditWatch::Changed(const TPresetHandler& project) const {
  // A preset that left the project is not looked at: it may be gone.
  if (project.IndexOfPreset(preset_) < 0) return false;
  return !(Take(*preset_) == before_);
}

}  // namespace kv
