#pragma once
// One keyboard hook of the main thread shared by every subscriber: installed when the first
// subscriber subscribes, removed when the last leaves. Each key message of the thread is
// decoded into a TKeyData and offered to every subscriber; one that claims it keeps it from
// its window. A subscriber may unsubscribe (or be destroyed) inside its own callback, and a
// callback that throws costs only its own call. Main thread only; no lock.
#include <functional>

#include "engine/keys/key_events.h"

namespace kv {

class TKeyboardHook {
 public:
  using TKeyCallback = std::function<void(TKeyboardHook& hook, const TKeyData& key, bool& claimed)>;

  TKeyboardHook() = default;
  ~TKeyboardHook();
  TKeyboardHook(const TKeyboardHook&) = delete;
  TKeyboardHook& operator=(const TKeyboardHook&) = delete;

  TKeyCallback OnKey;

  void Subscribe();
  void Unsubscribe();
  bool Subscribed() const;

  // The hook procedure's work for one decoded key: every subscriber in order; true when any
  // claimed it.
  static bool DispatchKey(const TKeyData& key);
  static bool HookInstalled();
  static int SubscriberCount();
};

// The operating system's part (controls/win/keyboard_hook_win.cpp; a stand-in elsewhere):
// installs the thread keyboard hook that calls DispatchKey; false when it cannot.
bool InstallThreadKeyboardHook();
void RemoveThreadKeyboardHook();

}  // namespace kv
