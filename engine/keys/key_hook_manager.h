#pragma once
// TTransHookManager: the program-wide key-hook manager. It runs one TWatch on the key-input
// library "KVKeyIn.dll" and switches key watching on exactly while some active preset holds a
// translator whose trigger is a keystroke; reported keys become key records handed to the
// engine (TTransEngine::KeyEventReceived).
//
// Lifecycle: GetHookManager() makes the program's manager on first use, FreeHookManager()
// frees it at program end; tests make their own with a library of their own. A manager
// listens to every project's notifications from its creation to its destruction (one manager
// at a time listens).
//
// Thread: main thread only (project notifications, the receiver window's messages, the
// engine's binding). No lock.
#include <cstdint>

#include "engine/keys/key_watch.h"
#include "engine/trans_engine.h"

namespace kv {

class TGlobalTranslateParams;
class TPresetHandler;

inline constexpr const char* kKeyInLibraryName = "KVKeyIn.dll";

class TTransHookManager : public TEngineKeyBinding {
 public:
  explicit TTransHookManager(IKeyInLibrary& library = GetKeyInLibrary());
  ~TTransHookManager() override;
  TTransHookManager(const TTransHookManager&) = delete;
  TTransHookManager& operator=(const TTransHookManager&) = delete;

  void BindEngine(TTransEngine* engine, TGlobalTranslateParams* params) override;

  // Starts or stops watching as the project's active presets need it.
  void UpdateWatching(TPresetHandler& project);
  // Some active preset holds a translator with a keystroke trigger.
  static bool ProjectNeedsKeys(const TPresetHandler& project);

  // A key report: virtual key and keyboard-message flags word.
  void KeyReceived(uint32_t virtualKey, uint32_t flags);

  TWatch& Watch() { return watch_; }

 private:
  static void ProjectNotified(TPresetHandler& project);
  void Log(const std::string& line) const;

  TWatch watch_;
  TTransEngine* engine_ = nullptr;
  TGlobalTranslateParams* params_ = nullptr;
};

TTransHookManager& GetHookManager();
void FreeHookManager();

}  // namespace kv
