#pragma once
// TTransEngine turns incoming events into outgoing actions. Every producer (MIDI input, named
// timers, key input, preset activation, the processing switch, project opening) fills one
// TIncomingEvent and hands it to the engine on its own thread; the engine walks the project's
// presets and their translators in order, matches, runs the rules, and runs each outgoing
// action at once or hands it to the dispatcher thread. It owns the project, the engine lock,
// the dispatcher and the global translation parameters.
//
// Lifecycle: made and freed on the main thread. Construction binds the engine to the timer
// manager (OnTimer), the key-hook manager and the MIDI manager given in TEngineBindings.
// Destruction stops accepting events, unbinds from those managers (each unbind returns once no
// call into the engine is in progress), stops and flushes the dispatcher, and only then frees
// the project and the params.
//
// Threads and locks: processing runs on the main thread, the MIDI input threads, the
// multimedia timer thread and the dispatcher thread, possibly at once, and takes no engine
// lock: only each walked preset's read lock. Editing the project takes the engine lock (Lock
// and Unlock, called by the project) and each preset's write lock. The dispatcher's own lock
// is not part of Lock: it is the innermost lock and is never held while another is taken (a
// timer event queues actions under the timer manager's lock, which an edit may take to kill
// timers).
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/lock.h"
#include "engine/dispatcher.h"
#include "engine/event.h"
#include "midi/manager/midi_engine_binding.h"

namespace kv {

class TGlobalTranslateParams;
class TPresetHandler;
class TTransEngine;
class TLockableTransList;
class TTransList;
class TTTManager;

// The key-hook manager as the engine sees it: it calls KeyEventReceived on the main thread.
// BindEngine(nullptr, nullptr) unbinds.
class TEngineKeyBinding {
 public:
  virtual ~TEngineKeyBinding() = default;
  virtual void BindEngine(TTransEngine* engine, TGlobalTranslateParams* params) = 0;
};

// The managers the engine binds to (the MIDI manager through midi/midi_engine_binding.h, which
// calls the engine's HandleShortMessage and HandleLongMessage for input, and
// OnMidiThroughActivity when it passes MIDI through); each may be missing (tests, or before a manager exists).
struct TEngineBindings {
  TTTManager* timers = nullptr;
  TEngineMidiBinding* midi = nullptr;
  TEngineKeyBinding* keys = nullptr;
};

class TTransEngine : public TDispatchSink, public TMidiInputHandler {
 public:
  using TOnEvent = std::function<void(TTransEngine& engine, const TIncomingEvent& event)>;

  // The program's engine binds to the program's timer manager; tests pass their own.
  TTransEngine();
  explicit TTransEngine(const TEngineBindings& bindings);
  ~TTransEngine() override;
  TTransEngine(const TTransEngine&) = delete;
  TTransEngine& operator=(const TTransEngine&) = delete;

  TPresetHandler& Project() { return *project_; }
  TGlobalTranslateParams& Params() { return *params_; }
  TRuntimeDispatcher* Dispatcher() { return dispatcher_.get(); }

  // The project's structure lock (the project calls them around every change).
  void Lock() { lock_.Enter(); }
  void Unlock() { lock_.Leave(); }

  // Empties the dispatcher and sets the 288 global variables to 0 (a project was loaded or a
  // new one started).
  void ResetRuntime();

  void SetOnActivity(std::function<void(void* sender, uint16_t activity)> receiver);
  // Called after every processed event, on the thread that processed it. Set while no event
  // is processed (start-up).
  void SetOnEvent(TOnEvent onEvent) { onEvent_ = std::move(onEvent); }

  // Walks the presets with the event; then reports the activity.
  void ProcessEvent(TIncomingEvent& event);
  // The dispatcher processes the event on its thread.
  void PostEvent(const TIncomingEvent& event);

  // MIDI input: swallowed is in/out (the last matching translator decides).
  void HandleMidiIn(int32_t source, const uint8_t* bytes, int32_t length, bool& swallowed,
                    uint8_t context);
  // MIDI manager entry points (input slot index, packed short message: status in bits 0-7).
  void HandleShortMessage(int32_t source, uint32_t packed, bool& swallowed,
                          bool& handled) override;
  void HandleLongMessage(int32_t source, const uint8_t* bytes, int32_t length, bool& swallowed,
                         bool& handled) override;
  void OnMidiThroughActivity() override;

  void TimerFired(int32_t nameId);
  // Main thread: a key record of four words from the key-hook manager.
  void KeyEventReceived(const uint32_t keyData[4]);
  void PresetActivated(TTransList& preset, int32_t index);
  void ProcessingEnabledChanged();
  void ProjectOpened();

  bool IsRunning() const override { return running_.load(std::memory_order_acquire); }

 protected:
  void ProcessQueuedEvent(TIncomingEvent& event) override { ProcessEvent(event); }

 private:
  // The matching loop with the given activity set; false when running is off.
  void Walk(TIncomingEvent& event, uint16_t& activity);
  // One preset; true when a translator's stop flag ended the event.
  bool WalkPreset(TIncomingEvent& event, const std::shared_ptr<TLockableTransList>& preset,
                  int32_t index, uint16_t& activity);
  // What a queued MIDI action of the preset is to send to when it names no ports itself:
  // the preset's default MIDI OUT ports, else the project's, as they are now.
  std::shared_ptr<const TMidiAliasList> DefaultOutPorts(const TTransList& preset) const;
  void ReportActivity(uint16_t activity);

  TEngineBindings bindings_;
  std::unique_ptr<TGlobalTranslateParams> params_;
  std::unique_ptr<TPresetHandler> project_;
  TLock lock_;  // the engine lock: guards the project's structure against edits
  std::unique_ptr<TRuntimeDispatcher> dispatcher_;
  TOnEvent onEvent_;
  std::atomic<bool> running_{false};
};

}  // namespace kv
