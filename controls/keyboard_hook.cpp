#include "controls/keyboard_hook.h"

#include <algorithm>
#include <vector>

namespace kv {

namespace {

struct HookState {
  std::vector<TKeyboardHook*> subscribers;  // in order; not owned
  bool installed = false;
};

HookState& State() {
  static HookState state;
  return state;
}

bool Listed(const TKeyboardHook* hook) {
  const auto& list = State().subscribers;
  return std::find(list.begin(), list.end(), hook) != list.end();
}

}  // namespace

TKeyboardHook::~TKeyboardHook() {
  Unsubscribe();
}

void TKeyboardHook::Subscribe() {
  HookState& s = State();
  if (!Listed(this)) s.subscribers.push_back(this);
  if (!s.installed) s.installed = InstallThreadKeyboardHook();
}

void TKeyboardHook::Unsubscribe() {
  HookState& s = State();
  s.subscribers.erase(std::remove(s.subscribers.begin(), s.subscribers.end(), this),
                      s.subscribers.end());
  if (s.subscribers.empty() && s.installed) {
    RemoveThreadKeyboardHook();
    s.installed = false;
  }
}

bool TKeyboardHook::Subscribed() const {
  return Listed(this);
}

bool TKeyboardHook::DispatchKey(const TKeyData& key) {
  // The walk goes over a copy, and each subscriber is looked up again before its call:
  // callbacks may subscribe, unsubscribe or destroy hooks (their own or others).
  const std::vector<TKeyboardHook*> walk = State().subscribers;
  bool claimedAny = false;
  for (TKeyboardHook* hook : walk) {
    if (!Listed(hook) || !hook->OnKey) continue;
    bool claimed = false;
    try {
      hook->OnKey(*hook, key, claimed);
    } catch (...) {
      // A failing subscriber must not take the key from the others, nor reach the system's
      // hook chain.
    }
    claimedAny = claimedAny || claimed;
  }
  return claimedAny;
}

bool TKeyboardHook::HookInstalled() {
  return State().installed;
}

int TKeyboardHook::SubscriberCount() {
  return static_cast<int>(State().subscribers.size());
}

}  // namespace kv
