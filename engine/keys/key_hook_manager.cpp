#include "engine/keys/key_hook_manager.h"

#include <memory>

#include "engine/format.h"
#include "engine/keys/key_events.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translate_params.h"
#include "engine/translator.h"

namespace kv {

namespace {
TTransHookManager* gListening = nullptr;  // main thread: the manager that gets notifications
std::unique_ptr<TTransHookManager> gProgramManager;
}  // namespace

TTransHookManager::TTransHookManager(IKeyInLibrary& library) : watch_(library) {
  watch_.SetFileName(kKeyInLibraryName);
  watch_.OnKey = [this](TWatch&, uint32_t virtualKey, uint32_t flags) {
    KeyReceived(virtualKey, flags);
  };
  gListening = this;
  TPresetHandler::AddProjectListener(&TTransHookManager::ProjectNotified);
}

TTransHookManager::~TTransHookManager() {
  TPresetHandler::RemoveProjectListener(&TTransHookManager::ProjectNotified);
  if (gListening == this) gListening = nullptr;
}

void TTransHookManager::ProjectNotified(TPresetHandler& project) {
  if (gListening != nullptr) gListening->UpdateWatching(project);
}

void TTransHookManager::BindEngine(TTransEngine* engine, TGlobalTranslateParams* params) {
  engine_ = engine;
  params_ = params;
}

void TTransHookManager::Log(const std::string& line) const {
  if (params_ != nullptr && params_->IsLogging()) params_->Log(line);
}

bool TTransHookManager::ProjectNeedsKeys(const TPresetHandler& project) {
  const TPresetSnapshot presets = project.GetPresets();
  if (!presets) return false;
  for (const TPresetRef& preset : *presets) {
    if (!preset || !preset->Active()) continue;
    const int count = preset->GetCount();
    for (int i = 0; i < count; ++i) {
      const TTransMsgPtr translator = preset->GetTranslatorRef(i);
      if (translator && translator->GetIncomingType() == kActionKeystroke) return true;
    }
  }
  return false;
}

void TTransHookManager::UpdateWatching(TPresetHandler& project) {
  const bool wanted = ProjectNeedsKeys(project);
  if (wanted) {
    if (watch_.IsWatchingKind(kWatchKeys) != 0) return;
    watch_.Start(kWatchKeys);
    if (watch_.IsWatchingKind(kWatchKeys) < 1) {
      Log(watch_.IsLoaded()
              ? std::string("Cannot activate keystroke input.")
              : FormatText("Could not load %s: key input is disabled.", {watch_.FileName()}));
    }
    return;
  }
  // Asking whether keys are watched loads the library: when it is not loaded, nothing is.
  if (watch_.IsLoaded() && watch_.IsWatchingKind(kWatchKeys) > 0) watch_.Stop(kWatchKeys);
}

void TTransHookManager::KeyReceived(uint32_t virtualKey, uint32_t flags) {
  if (engine_ == nullptr) return;
  TKeyData record;
  record.virtualKey = static_cast<uint8_t>(virtualKey & 0xFF);
  DecodeKeyMessage(record, flags);
  uint32_t words[4];
  KeyDataToWords(record, words);
  engine_->KeyEventReceived(words);
}

TTransHookManager& GetHookManager() {
  if (!gProgramManager) gProgramManager = std::make_unique<TTransHookManager>();
  return *gProgramManager;
}

void FreeHookManager() {
  gProgramManager.reset();
}

}  // namespace kv
