#pragma once
// Events of windows, menu items and actions: a callable with one subscriber. Assigning a new
// handler replaces the old one; an empty event does nothing when fired.
#include <functional>
#include <utility>

namespace kv::ui {

template <class Signature>
class TEvent;

template <class R, class... Args>
class TEvent<R(Args...)> {
 public:
  TEvent() = default;
  template <class F>
  TEvent(F&& f) : fn_(std::forward<F>(f)) {}  // NOLINT: handlers are assigned implicitly

  template <class F>
  TEvent& operator=(F&& f) {
    fn_ = std::forward<F>(f);
    return *this;
  }
  void Clear() { fn_ = nullptr; }
  explicit operator bool() const { return static_cast<bool>(fn_); }

  // Fires the event; without a subscriber returns R's default value.
  R operator()(Args... args) const {
    if (!fn_) return R();
    return fn_(std::forward<Args>(args)...);
  }

 private:
  std::function<R(Args...)> fn_;
};

using TNotifyEvent = TEvent<void()>;

}  // namespace kv::ui
