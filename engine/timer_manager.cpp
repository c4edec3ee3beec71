#include "engine/timer_manager.h"

#include <mutex>

#include "base/clock.h"
#include "base/text_helpers.h"
#include "engine/actions/timer_action.h"

namespace kv {

bool CheckDue(TTTManagerEntry& entry, uint32_t now) {
  if (!TimeReached(now, entry.due)) return false;
  entry.due += static_cast<uint32_t>(entry.period);
  if (entry.remaining < 0) {
    // Missed periods are skipped in one step: a long stall (or a period of 0 or less, which
    // never catches up) must not keep the tick looping with the lock held.
    if (entry.period > 0 && !TimeReached(entry.due, now)) {
      uint32_t behind = now - entry.due;
      uint32_t period = static_cast<uint32_t>(entry.period);
      entry.due += ((behind + period - 1) / period) * period;
    }
  } else if (entry.remaining > 0) {
    --entry.remaining;
  }
  return true;
}

TTTManager::TTTManager(std::unique_ptr<TMultimediaTimer> timer) : timer_(std::move(timer)) {
  firing_.reserve(64);
}

TTTManager::~TTTManager() {
  KillAll();
  // With the lock released, so that a tick waiting for it can finish.
  timer_->Stop();
}

TTTManagerEntry* TTTManager::FindById(int32_t nameId) {
  for (auto& entry : entries_)
    if (entry->nameId == nameId) return entry.get();
  return nullptr;
}

void TTTManager::PurgeFinished() {
  if (tickDepth_ > 0) return;  // the tick frees them when its walk is over
  for (size_t i = entries_.size(); i-- > 0;)
    if (entries_[i]->remaining == 0) entries_.erase(entries_.begin() + static_cast<long>(i));
}

int TTTManager::PurgeAndCountActive() {
  TLockGuard guard(lock_);
  PurgeFinished();
  int active = 0;
  for (auto& entry : entries_)
    if (entry->remaining != 0) ++active;
  return active;
}

void TTTManager::KillAll() {
  TLockGuard guard(lock_);
  StopTicking();
  for (auto& entry : entries_) {
    entry->remaining = 0;
    entry->ownCallback = nullptr;
  }
  PurgeFinished();
}

void TTTManager::Pause() {
  TLockGuard guard(lock_);
  SetPaused(true);
  StopTicking();
}

void TTTManager::Resume() {
  TLockGuard guard(lock_);
  SetPaused(false);
  EnsureTicking();
}

void TTTManager::StartNamedTimer(std::string_view name, uint32_t delayMs, TOwnCallback callback,
                                 int32_t count, int32_t periodMs) {
  int32_t id = TimerNameId(name, true);
  TLockGuard guard(lock_);
  TTTManagerEntry* entry = FindById(id);
  if (!entry) {
    entries_.push_back(std::make_unique<TTTManagerEntry>());
    entry = entries_.back().get();
  }
  entry->nameId = id;
  entry->due = GetTickMs() + delayMs;
  entry->period = periodMs;
  entry->remaining = count == 0 ? -1 : count;
  entry->name = std::string(name);
  entry->ownCallback = std::move(callback);
  EnsureTicking();
}

namespace {
// The entry's values from a timer action, read now from the variables.
void SetFromAction(TTTManagerEntry& entry, const TTransTimerAction& action,
                   const TLocalVariables* locals, const TGlobalVariables* globals) {
  entry.nameId = action.GetNameId();
  entry.due = GetTickMs() + static_cast<uint32_t>(
                                EvaluateNumberOrVariable(action.GetTimerDelay(), locals, globals));
  entry.period = EvaluateNumberOrVariable(action.GetPeriod(), locals, globals);
  int32_t count = EvaluateNumberOrVariable(action.GetCount(), locals, globals);
  if (count <= 0) count = action.GetCount().IsVariable() ? 0 : -1;
  entry.remaining = count;
  entry.name = action.GetTimerName();
  entry.ownCallback = nullptr;
}
}  // namespace

void TTTManager::StartTimer(const TTransTimerAction& action, const TLocalVariables* locals,
                            const TGlobalVariables* globals) {
  TLockGuard guard(lock_);
  if (TTTManagerEntry* entry = FindById(action.GetNameId())) {
    SetFromAction(*entry, action, locals, globals);
  } else {
    auto fresh = std::make_unique<TTTManagerEntry>();
    SetFromAction(*fresh, action, locals, globals);
    if (fresh->remaining != 0) entries_.push_back(std::move(fresh));
  }
  EnsureTicking();
}

bool TTTManager::KillTimer(std::string_view name) {
  int32_t id = TimerNameId(name, false);
  if (id == 0) return false;
  TLockGuard guard(lock_);
  bool removed = false;
  for (size_t i = entries_.size(); i-- > 0;) {
    TTTManagerEntry& entry = *entries_[i];
    if (entry.nameId != id) continue;
    removed = removed || entry.remaining != 0;
    entry.remaining = 0;
    entry.ownCallback = nullptr;
  }
  PurgeFinished();
  return removed;
}

int32_t TTTManager::GetNameId(std::string_view name, bool add) {
  return TimerNameId(name, add);
}

void TTTManager::BindOnTimer(TOnTimer onTimer) {
  std::lock_guard<std::mutex> calling(onTimerMutex_);
  TLockGuard guard(lock_);
  SetOnTimer(std::move(onTimer));
}

void TTTManager::EnsureTicking() {
  if (PurgeAndCountActive() == 0) return;
  stopRequested_ = false;
  if (!timer_->IsRunning()) timer_->Start(kTickPeriodMs, kTickPeriodMs, [this] { Tick(); });
}

void TTTManager::StopTicking() {
  // Holding the lock while a tick runs means this is the tick's own thread: the stop does not
  // wait. From any other thread the stop would wait for a tick blocked on this lock.
  if (tickDepth_ > 0)
    timer_->Stop();
  else if (timer_->IsRunning())
    stopRequested_ = true;
}

void TTTManager::Tick() {
  std::lock_guard<std::mutex> calling(onTimerMutex_);
  {
    TLockGuard guard(lock_);
    if (stopRequested_) {
      stopRequested_ = false;
      ++tickDepth_;
      timer_->Stop();
      --tickDepth_;
      return;
    }
    WalkDueEntries(GetTickMs());
  }
  // The engine's timer events run with the manager's lock released: a walk takes presets'
  // read locks, which come before this lock in the lock order.
  for (int32_t nameId : firing_) {
    if (!OnTimer()) break;
    try {
      OnTimer()(*this, nameId);
    } catch (...) {
      // A failing event must not stop the other timers.
    }
  }
  firing_.clear();
}

void TTTManager::WalkDueEntries(uint32_t now) {
  ++tickDepth_;
  // Timers started by a callback are appended; they are first looked at by the next tick.
  size_t count = entries_.size();
  for (size_t i = 0; i < count; ++i) {
    TTTManagerEntry& entry = *entries_[i];  // entries stay in place while tickDepth_ > 0
    if (entry.remaining == 0 || !CheckDue(entry, now) || IsPaused()) continue;
    if (!entry.ownCallback) {
      firing_.push_back(entry.nameId);
      continue;
    }
    // A copy: the callback may re-arm its own timer, which replaces the entry's callback.
    TOwnCallback callback = entry.ownCallback;
    std::string name = entry.name;
    try {
      callback(name);
    } catch (...) {
      // A failing callback must not stop the other timers.
    }
  }
  --tickDepth_;
  // Counted after the walk, so a timer a callback started keeps the ticking alive.
  if (PurgeAndCountActive() == 0) {
    ++tickDepth_;
    StopTicking();
    --tickDepth_;
  }
}

bool TTTManager::FindEntry(std::string_view name, TTTManagerEntry& out) const {
  int32_t id = TimerNameId(name, false);
  TLockGuard guard(lock_);
  for (auto& entry : entries_)
    if (entry->nameId == id && entry->remaining != 0) {
      out = *entry;
      return true;
    }
  return false;
}

size_t TTTManager::EntryCount() const {
  TLockGuard guard(lock_);
  return entries_.size();
}

namespace {
THashStringSet& TimerNames() {
  static THashStringSet names;
  return names;
}

struct TManagerHolder {
  std::mutex mutex;  // guards manager
  std::unique_ptr<TTTManager> manager;
};
TManagerHolder& Holder() {
  static TManagerHolder holder;
  return holder;
}
}  // namespace

int32_t TimerNameId(std::string_view name, bool add) {
  return TimerNames().GetId(name, add);
}

TTTManager& GetTimerManager() {
  TManagerHolder& holder = Holder();
  std::lock_guard<std::mutex> guard(holder.mutex);
  if (!holder.manager) holder.manager = std::make_unique<TTTManager>();
  return *holder.manager;
}

void FreeTimerManager() {
  std::unique_ptr<TTTManager> old;
  {
    std::lock_guard<std::mutex> guard(Holder().mutex);
    old = std::move(Holder().manager);
  }
}

void ReplaceTimerManagerForTests(std::unique_ptr<TTTManager> manager) {
  std::unique_ptr<TTTManager> old;
  {
    std::lock_guard<std::mutex> guard(Holder().mutex);
    old = std::move(Holder().manager);
    Holder().manager = std::move(manager);
  }
}

}  // namespace kv
