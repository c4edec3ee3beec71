#include "ui/timer.h"

#include <windows.h>

#include <unordered_map>

#include "ui/guard.h"

namespace kv::ui {
namespace {
// Main thread only: the running timers by their system ids.
std::unordered_map<uintptr_t, TTimer*>& Running() {
  static std::unordered_map<uintptr_t, TTimer*> map;
  return map;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  TTimer::Fire(id);
}
}  // namespace

TTimer::~TTimer() {
  Kill();
}

void TTimer::SetInterval(unsigned intervalMs) {
  if (intervalMs == interval_) return;
  interval_ = intervalMs;
  if (enabled_) Restart();
}

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) {
    Restart();
  } else {
    Kill();
  }
}

void TTimer::Restart() {
  Kill();
  if (interval_ == 0) return;
  id_ = SetTimer(nullptr, 0, interval_, &TimerProc);
  if (id_) Running()[id_] = this;
}

void TTimer::Kill() {
  if (!id_) return;
  KillTimer(nullptr, id_);
  Running().erase(id_);
  id_ = 0;
}

void TTimer::Fire(uintptr_t id) {
  auto it = Running().find(id);
  if (it == Running().end()) return;
  // The handler may stop, restart or free the timer.
  Guarded([&] { it->second->OnTimer(); });
}

}  // namespace kv::ui
