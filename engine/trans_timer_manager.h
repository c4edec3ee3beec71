#pragma once
// The named-timer manager as the rest of the engine sees it: an abstract interface, so that
// the project can kill every timer when it is cleared or opened without knowing how timers
// tick. The process-wide implementation is made by the runtime (the multimedia-timer driven
// manager); tests use fakes.
//
// Lifecycle: the engine hands the manager to the project (TPresetHandler::SetTimerManager)
// when both exist and clears it before the manager is freed at program end.
//
// Threads: every operation may be called from any thread; an implementation guards its
// entries with its own re-entrant lock and runs timer callbacks under it (they may start and
// kill timers on the same thread).
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace kv {

class TPresetHandler;
class TTransAction;

class TTransTimerManager {
 public:
  // (manager, name id): a timer started by a timer action is due. Set by the engine before
  // any timer runs.
  using TOnTimer = std::function<void(TTransTimerManager& manager, int32_t nameId)>;
  // (timer name): a timer started with a callback of its own is due (keystroke auto-repeat).
  using TOwnCallback = std::function<void(const std::string& name)>;

  virtual ~TTransTimerManager() = default;

  // Frees finished entries; returns the number of the others.
  virtual int PurgeAndCountActive() = 0;
  // Stops ticking and frees every entry.
  virtual void KillAll() = 0;
  // While paused, due timers advance but call nothing.
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Starts (or re-arms) the named timer; count 0 runs endlessly.
  virtual void StartNamedTimer(std::string_view name, uint32_t delayMs, TOwnCallback callback,
                               int32_t count, int32_t periodMs) = 0;
  // Removes every entry of that name; true when one was removed.
  virtual bool KillTimer(std::string_view name) = 0;
  // The id of the name in the manager's name set, added when add is set (0 when missing).
  virtual int32_t GetNameId(std::string_view name, bool add) = 0;

  void SetOnTimer(TOnTimer onTimer) { onTimer_ = std::move(onTimer); }
  const TOnTimer& OnTimer() const { return onTimer_; }
  bool IsPaused() const { return paused_; }

 protected:
  void SetPaused(bool paused) { paused_ = paused; }

 private:
  TOnTimer onTimer_;     // set once by the engine before timers run
  bool paused_ = false;  // guarded by the implementation's lock
};

// The program-wide receiver of timer-name registrations: a timer action whose name takes a
// new id reports (action, name, id) here, and the project it is installed for records the
// name among the timers in use. The project installs itself when it is made and removes
// itself when it is freed.
//
// Lock: a mutex guards the receiver; it is not held while the receiver runs.
using TTimerNameReceiver = void (*)(TPresetHandler* project, const TTransAction* action,
                                    const std::string& name, int32_t id);

namespace timer_names_detail {
struct Registration {
  std::mutex mutex;  // guards project and receiver
  TPresetHandler* project = nullptr;
  TTimerNameReceiver receiver = nullptr;
};
inline Registration& Get() {
  static Registration registration;
  return registration;
}
}  // namespace timer_names_detail

// Installs the receiver for the project; a null receiver removes it.
inline void SetTimerNameChangeHandler(TTimerNameReceiver receiver, TPresetHandler* project) {
  auto& r = timer_names_detail::Get();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.receiver = receiver;
  r.project = receiver ? project : nullptr;
}

// Removes the receiver only when it is installed for this project.
inline void ClearTimerNameChangeHandler(TPresetHandler* project) {
  auto& r = timer_names_detail::Get();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.project == project) {
    r.receiver = nullptr;
    r.project = nullptr;
  }
}

// Called by the timer action when its name takes a new id.
inline void ReportTimerNameChange(const TTransAction* action, const std::string& name, int32_t id) {
  auto& r = timer_names_detail::Get();
  TTimerNameReceiver receiver;
  TPresetHandler* project;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    receiver = r.receiver;
    project = r.project;
  }
  if (receiver) receiver(project, action, name, id);
}

}  // namespace kv
