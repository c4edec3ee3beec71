#pragma once
// The named timers: TTTManager keeps the running timers and drives them all from one
// periodic multimedia timer (2 ms period, engine/multimedia_timer.h). A due timer calls its
// own callback (keystroke auto-repeat) on the multimedia timer's thread with the manager's
// lock held, or the manager's OnTimer (the engine, which raises a timer event) on the same
// thread right after, with the manager's lock released.
//
// Lifecycle: the program's manager is made on first use (GetTimerManager) and freed at
// program end (FreeTimerManager); tests make their own with a manual timer. Creation raises
// the system timer resolution to 1 ms; destruction kills every timer, stops the multimedia
// timer synchronously with the lock released (a tick in progress finishes first) and ends the
// 1 ms resolution.
//
// Locks: lock_ (re-entrant) guards entries_, the paused flag, stopRequested_ and tickDepth_.
// Own callbacks run under it and may start and kill timers on the same thread; entries are
// only marked finished while a tick walks them and freed when it ends, so a callback never
// frees an entry the tick still uses. OnTimer runs without lock_: the engine's walk takes
// presets' read locks, which come before lock_ in the lock order (a dispatcher walk holding a
// read lock starts timers, and a waiting writer would close the circle). onTimerMutex_ is
// held for a whole tick, OnTimer calls included, so BindOnTimer waits for calls in progress;
// it comes before the presets' locks and lock_. The name set has a lock of its own, so
// GetNameId takes no manager lock (timer actions are loaded under a preset's write lock).
// Stopping the multimedia timer from another thread would wait for a tick that waits for this
// lock: such a stop is only requested, and the next tick stops the timer from its own thread.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/lock.h"
#include "engine/system/multimedia_timer.h"
#include "engine/trans_timer_manager.h"
#include "engine/variables.h"

namespace kv {

class TTransTimerAction;

// One running timer.
struct TTTManagerEntry {
  int32_t nameId = 0;
  uint32_t due = 0;       // multimedia time (ms) of the next firing
  int32_t period = 0;     // ms
  int32_t remaining = 0;  // -1 endless, 0 finished (freed at the next purge), n firings left
  TTransTimerManager::TOwnCallback ownCallback;  // none for timers of timer actions
  std::string name;
};

// Advances a due entry and returns true when it fires at now. Times compare by signed 32-bit
// difference, so the clock's wrap neither silences a timer nor fires it early. An endless
// entry skips the periods it missed (it fires once); a counted one fires on every later tick
// until it has caught up. An endless entry whose period is 0 or less fires once per tick.
bool CheckDue(TTTManagerEntry& entry, uint32_t now);

class TTTManager : public TTransTimerManager {
 public:
  static constexpr uint32_t kTickPeriodMs = 2;

  explicit TTTManager(std::unique_ptr<TMultimediaTimer> timer = CreateMultimediaTimer());
  ~TTTManager() override;
  TTTManager(const TTTManager&) = delete;
  TTTManager& operator=(const TTTManager&) = delete;

  int PurgeAndCountActive() override;
  void KillAll() override;
  void Pause() override;
  void Resume() override;
  void StartNamedTimer(std::string_view name, uint32_t delayMs, TOwnCallback callback,
                       int32_t count, int32_t periodMs) override;
  bool KillTimer(std::string_view name) override;
  int32_t GetNameId(std::string_view name, bool add) override;

  // Starts (or re-arms) the timer a timer action names, its values read now from the
  // variables (globals may be null: they read 0).
  void StartTimer(const TTransTimerAction& action, const TLocalVariables* locals,
                  const TGlobalVariables* globals);

  // Sets OnTimer under the lock: once it returns, no call of the previous receiver is in
  // progress on another thread (the engine unbinds with it before it is freed).
  void BindOnTimer(TOnTimer onTimer);

  // The tick routine the multimedia timer calls every 2 ms.
  void Tick();

  // For tests and the log: the entry of a name, copied; false when none runs.
  bool FindEntry(std::string_view name, TTTManagerEntry& out) const;
  size_t EntryCount() const;

 private:
  void WalkDueEntries(uint32_t now);  // lock_ held
  void EnsureTicking();
  void StopTicking();
  TTTManagerEntry* FindById(int32_t nameId);
  void PurgeFinished();

  TTimerResolution resolution_;
  std::mutex onTimerMutex_;      // held by a tick and by BindOnTimer; guards firing_
  std::vector<int32_t> firing_;  // name ids due in this tick, for OnTimer
  mutable TLock lock_;
  std::vector<std::unique_ptr<TTTManagerEntry>> entries_;
  bool stopRequested_ = false;  // a stop asked from outside the tick, done by the next tick
  int tickDepth_ = 0;           // > 0 while a tick walks the entries
  std::unique_ptr<TMultimediaTimer> timer_;
};

// The id of a timer name in the program-wide set of timer names (added when add is set; 0
// when missing). The set has its own lock and is never emptied, so ids stay valid for the
// program's life and every manager and timer action agrees on them.
int32_t TimerNameId(std::string_view name, bool add);

// The program's timer manager, made on first use.
TTTManager& GetTimerManager();
// Program end: frees the manager (after the engine has unbound from it).
void FreeTimerManager();
// Tests: the program's manager becomes this one (made with a manual timer); the previous one
// is freed. Call while no timer runs.
void ReplaceTimerManagerForTests(std::unique_ptr<TTTManager> manager);

}  // namespace kv
