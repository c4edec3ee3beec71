// kvcheck project IN OUT: load a project file, list its presets and write it back out.
#include <iostream>
#include <string>
#include <vector>

#include "engine/project.h"
#include "engine/translate_params.h"
#include "tools/kvcheck/kvcheck.h"

namespace kv::kvcheck {

namespace {

int RunProject(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() != 2) {
    std::cerr << "usage: kvcheck project IN OUT\n";
    return kExitUsage;
  }
  TGlobalTranslateParams params;
  TPresetHandler project(&params, {}, {}, {}, {});
  TCascadedErrorMessageHandler errors(
      [&out](int, const std::string& text) { out << "error=" << Escaped(text) << "\n"; });
  // A file that cannot be read at all, or that is no project, throws: status 1.
  project.LoadFromFile(args[0], false, false, &errors);

  out << "presets=" << project.GetPresetCount() << "\n";
  for (int i = 0; i < project.GetPresetCount(); ++i) {
    const TLockableTransList& preset = *project.GetPreset(i);
    out << "preset " << i << " active=" << (preset.Active() ? 1 : 0)
        << " translators=" << preset.GetCount() << " name=" << Escaped(preset.GetName()) << "\n";
  }
  project.SaveToFile(args[1]);
  return kExitOk;
}

}  // namespace

KVCHECK_SUBCOMMAND(project, "IN OUT", RunProject);

}  // namespace kv::kvcheck
