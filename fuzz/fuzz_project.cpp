// Feeds arbitrary text to the project reader as a project file. Whatever it reads must be
// written, and the written file must read back and write to the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/ini_file.h"
#include "engine/action_registry.h"
#include "engine/project.h"
#include "engine/translate_params.h"

namespace {

struct Model {
  Model() { kv::RegisterStandardTransActions(); }
  kv::TGlobalTranslateParams params;
  kv::TPresetHandler project{&params, {}, {}, {}, {}};
  kv::TCascadedErrorMessageHandler errors{[](int, const std::string&) {}};
};

std::string Write(kv::TPresetHandler& project) {
  kv::TMemIniFile ini;
  project.WriteProject(ini);
  return ini.GetText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Model model;
  kv::TMemIniFile ini;
  ini.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  model.project.ReadProject(ini, "fuzz.kvxp", true, false, &model.errors);
  for (int i = 0; i < model.project.GetPresetCount(); ++i)
    model.project.GetPreset(i)->GetDisplayName();
  model.project.ActivateNextPreset();
  const std::string first = Write(model.project);

  kv::TMemIniFile again;
  again.SetText(first);
  model.project.ReadProject(again, "fuzz.kvxp", false, false, &model.errors);
  if (Write(model.project) != first) std::abort();  // what we write must read back as itself
  return 0;
}
