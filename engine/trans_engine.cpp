#include "engine/trans_engine.h"

#include <exception>
#include <limits>

#include "engine/format.h"
#include "engine/project.h"
#include "engine/timer_manager.h"
#include "engine/translate_params.h"
#include "midi/system/midi_device.h"

namespace kv {
namespace {

// Holds a preset's read lock for one walk, released also when an error leaves it.
class TWalkLock {
 public:
  explicit TWalkLock(const TTransList& preset) : preset_(preset) { preset_.LockList(false); }
  ~TWalkLock() { preset_.UnlockList(false); }
  TWalkLock(const TWalkLock&) = delete;
  TWalkLock& operator=(const TWalkLock&) = delete;

 private:
  const TTransList& preset_;
};

int32_t ClampDelay(int64_t delayMs) {
  // Due times compare by signed 32-bit difference: a longer delay would read as overdue.
  if (delayMs > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return delayMs < 0 ? 0 : static_cast<int32_t>(delayMs);
}

}  // namespace

TTransEngine::TTransEngine()
    : TTransEngine(TEngineBindings{&GetTimerManager(), nullptr, nullptr}) {}

TTransEngine::TTransEngine(const TEngineBindings& bindings) : bindings_(bindings) {
  params_ = std::make_unique<TGlobalTranslateParams>();
  params_->SetOnEnabledChange([this](TGlobalTranslateParams&) { ProcessingEnabledChanged(); });
  project_ = std::make_unique<TPresetHandler>(
      params_.get(), [this] { ProjectOpened(); },
      [this](TPresetHandler&, TTransList& preset, int index) { PresetActivated(preset, index); },
      [this] { Unlock(); }, [this] { Lock(); });
  params_->SetProject(project_.get());
  params_->SetEngine(this);
  project_->SetTimerManager(bindings_.timers);
  dispatcher_ = std::make_unique<TRuntimeDispatcher>(this);
  dispatcher_->SetParams(params_.get());
  if (bindings_.timers)
    bindings_.timers->BindOnTimer(
        [this](TTransTimerManager&, int32_t nameId) { TimerFired(nameId); });
  if (bindings_.keys) bindings_.keys->BindEngine(this, params_.get());
  if (bindings_.midi) bindings_.midi->BindEngine(this);
  params_->SetOnPresetChangeRequest(
      [this](TTransAction*, int mode, int32_t number, const std::string& name) {
        project_->ExecutePresetChange(mode, number, name);
      });
  running_.store(true, std::memory_order_release);
}

TTransEngine::~TTransEngine() {
  // No new event is processed; the dispatcher discards what it takes out from now on.
  running_.store(false, std::memory_order_release);
  params_->SetOnPresetChangeRequest(nullptr);
  // Each unbind returns once no call into this engine is in progress on another thread.
  if (bindings_.timers) {
    bindings_.timers->BindOnTimer(nullptr);
    bindings_.timers->KillAll();
  }
  if (bindings_.keys) bindings_.keys->BindEngine(nullptr, nullptr);
  if (bindings_.midi) bindings_.midi->BindEngine(nullptr);
  // Stops the thread and releases the queued entries (and the translators they hold).
  dispatcher_.reset();
  // The project calls Lock and Unlock while it clears itself: the lock is still here.
  project_.reset();
  params_.reset();
}

void TTransEngine::ResetRuntime() {
  if (dispatcher_) dispatcher_->Flush();
  params_->Globals().Clear();
}

void TTransEngine::SetOnActivity(std::function<void(void*, uint16_t)> receiver) {
  params_->SetOnActivity(std::move(receiver));
}

void TTransEngine::ReportActivity(uint16_t activity) {
  params_->ReportActivity(this, activity);
}

std::shared_ptr<const TMidiAliasList> TTransEngine::DefaultOutPorts(
    const TTransList& preset) const {
  std::shared_ptr<const TMidiAliasList> ports = preset.DefaultOutPortsSnapshot();
  if (ports->IsEmpty() && project_) ports = project_->DefaultOutPortsSnapshot();
  return ports;
}

bool TTransEngine::WalkPreset(TIncomingEvent& event, const std::shared_ptr<TLockableTransList>& ref,
                              int32_t index, uint16_t& activity) {
  TLockableTransList& preset = *ref;
  bool reportsOwnDeactivation =
      event.kind == kActionPresetChange && event.value == 0 && event.presetNumber == index;
  if (!preset.Active() && !reportsOwnDeactivation) return false;
  event.currentPreset = &preset;
  TWalkLock walkLock(preset);
  TGlobalTranslateParams& params = *params_;
  TTransStats& stats = params.Stats();
  int count = preset.GetCountLocked();
  for (int j = 0; j < count; ++j) {
    event.translatorIndex = j;
    TTransMsg* translator = preset.GetTranslatorLocked(j);
    if (!translator || !translator->MatchIncoming(event, activity)) continue;
    stats.CountMatch(event.kind);
    if (translator->HasRules() && translator->Rules()->Execute(event)) continue;
    TTransAction* outgoing = translator->Outgoing();
    // An unknown (or empty) action never does anything: a round trip through the queue, and
    // for its level through the main thread, would only use up entries.
    if (outgoing && outgoing->GetActionType() != kActionUnknown &&
        (params.IsEnabled() || outgoing->GetActionType() == kActionSpecial)) {
      TExecutionContext context;
      context.params = &params;
      context.translatorIndex = j;
      context.translator = translator;
      context.presetIndex = index;
      context.preset = &preset;
      context.locals = &event.locals;
      int32_t delay = ClampDelay(translator->GetDelayMs(context));
      if (event.context < outgoing->GetExecutionLevel() || delay > 0) {
        if (dispatcher_) dispatcher_->EnqueueAction(context, delay, ref, DefaultOutPorts(preset));
      } else {
        translator->ExecuteOutgoing(context, activity);
      }
      stats.CountOutgoing(event.kind);
    }
    if (translator->Stop()) return true;
  }
  return false;
}

void TTransEngine::Walk(TIncomingEvent& event, uint16_t& activity) {
  if (!IsRunning()) return;
  event.params = params_.get();
  if (!project_) return;
  try {
    if (event.kind == kActionMidi && event.data && event.length > 0) {
      if (event.data[0] == 0xF8) activity |= kActivityMidiClockIn;
      if (event.data[0] == 0xFE) activity |= kActivityActiveSensingIn;
    }
    activity |= ActivityFlagForActionType(event.kind, true);
    TPresetSnapshot presets = project_->GetPresets();
    if (presets) {
      int count = static_cast<int>(presets->size());
      for (int i = 0; i < count; ++i) {
        event.presetIndex = i;
        if (WalkPreset(event, (*presets)[i], i, activity)) break;
      }
    }
  } catch (...) {
    // An error while matching or in rules ends this one event, unreported.
  }
  params_->Stats().CountEvent(event.kind);
  if (onEvent_) onEvent_(*this, event);
}

void TTransEngine::ProcessEvent(TIncomingEvent& event) {
  uint16_t activity = 0;
  Walk(event, activity);
  ReportActivity(activity);
}

void TTransEngine::PostEvent(const TIncomingEvent& event) {
  if (dispatcher_) dispatcher_->EnqueueEvent(event);
}

void TTransEngine::HandleMidiIn(int32_t source, const uint8_t* bytes, int32_t length,
                                bool& swallowed, uint8_t context) {
  if (length <= 0 || !bytes) return;
  TIncomingEvent event;
  event.kind = kActionMidi;
  event.context = context;
  event.value = source;
  event.data = bytes;
  event.length = length;
  event.realtime = (bytes[0] == 0xF8 || bytes[0] == 0xFE) ? 1 : 0;
  event.passThrough = swallowed ? 0 : 1;
  uint16_t activity = kActivityMidiIn;
  try {
    Walk(event, activity);
    swallowed = event.passThrough == 0;
  } catch (const std::exception& e) {
    if (params_->IsLogging()) params_->Log(FormatText("Error in MIDI IN: %s", {e.what()}));
  } catch (...) {
  }
  ReportActivity(activity);
}

void TTransEngine::HandleShortMessage(int32_t source, uint32_t packed, bool& swallowed,
                                      bool& handled) {
  handled = true;
  uint8_t bytes[3] = {static_cast<uint8_t>(packed & 0xFF),
                      static_cast<uint8_t>((packed >> 8) & 0xFF),
                      static_cast<uint8_t>((packed >> 16) & 0xFF)};
  HandleMidiIn(source, bytes, GetMidiMessageLength(bytes[0]), swallowed, kContextCallback);
}

void TTransEngine::HandleLongMessage(int32_t source, const uint8_t* bytes, int32_t length,
                                     bool& swallowed, bool& handled) {
  handled = true;
  HandleMidiIn(source, bytes, length, swallowed, kContextCallback);
}

void TTransEngine::OnMidiThroughActivity() {
  ReportActivity(kActivityMidiThrough);
}

void TTransEngine::TimerFired(int32_t nameId) {
  TIncomingEvent event;
  event.kind = kActionTimer;
  event.context = kContextCallback;
  event.timerId = nameId;
  ProcessEvent(event);
}

void TTransEngine::KeyEventReceived(const uint32_t keyData[4]) {
  TIncomingEvent event;
  event.kind = kActionKeystroke;
  event.context = kContextMainThread;
  for (int i = 0; i < 4; ++i) event.keyData[i] = keyData[i];
  ProcessEvent(event);
}

void TTransEngine::PresetActivated(TTransList& preset, int32_t index) {
  std::string name = preset.GetName();
  TIncomingEvent event;
  event.kind = kActionPresetChange;
  event.context = kContextCallback;
  event.value = preset.Active() ? 1 : 0;
  event.presetNumber = index;
  event.presetName = name.c_str();
  event.locals[1] = index;  // pp
  ProcessEvent(event);
}

void TTransEngine::ProcessingEnabledChanged() {
  TIncomingEvent event;
  event.kind = kActionSpecial;
  event.context = kContextDispatcher;
  event.value = params_->IsEnabled() ? kSpecialProcessingEnabled : kSpecialProcessingDisabled;
  PostEvent(event);
}

void TTransEngine::ProjectOpened() {
  TIncomingEvent event;
  event.kind = kActionSpecial;
  event.context = kContextDispatcher;
  event.value = kSpecialProjectOpened;
  PostEvent(event);
}

}  // namespace kv
