#pragma once
// Events that several listeners hear. Subscribe returns a TSubscription: resetting or
// destroying it unsubscribes. Listeners are called in the order they subscribed.
//
// Firing is safe against what listeners do while it runs: a listener unsubscribed during a
// call (itself or another) is not called any more, and the one running stays alive until it
// returns; a listener subscribed during a call is first heard by the next firing; the event
// itself may be destroyed by a listener, and the firing then ends after that listener.
// A subscription may outlive its event (it then unsubscribes nothing).
//
// Main thread only: there is no lock. An exception from a listener ends the firing and
// reaches the caller.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kv::ui {

namespace detail {
// What a subscription needs of its event's listener list.
class TListenerRegistry {
 public:
  virtual ~TListenerRegistry() = default;
  virtual void Remove(uint64_t id) = 0;
  virtual bool Contains(uint64_t id) const = 0;
};
}  // namespace detail

class TSubscription {
 public:
  TSubscription() = default;
  ~TSubscription() { Reset(); }
  TSubscription(TSubscription&& other) noexcept
      : registry_(std::move(other.registry_)), id_(std::exchange(other.id_, 0)) {}
  TSubscription& operator=(TSubscription&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = std::move(other.registry_);
      id_ = std::exchange(other.id_, 0);
    }
    return *this;
  }
  TSubscription(const TSubscription&) = delete;
  TSubscription& operator=(const TSubscription&) = delete;

  // Unsubscribes now (nothing when already done or the event is gone).
  void Reset() {
    if (auto registry = registry_.lock()) registry->Remove(id_);
    registry_.reset();
    id_ = 0;
  }
  // Whether the listener is still subscribed to a living event.
  bool Active() const {
    auto registry = registry_.lock();
    return registry && registry->Contains(id_);
  }

 private:
  template <class>
  friend class TMultiEvent;
  TSubscription(std::weak_ptr<detail::TListenerRegistry> registry, uint64_t id)
      : registry_(std::move(registry)), id_(id) {}

  std::weak_ptr<detail::TListenerRegistry> registry_;
  uint64_t id_ = 0;
};

template <class Signature>
class TMultiEvent;

template <class... Args>
class TMultiEvent<void(Args...)> {
 public:
  using TListener = std::function<void(Args...)>;

  TMultiEvent() = default;
  ~TMultiEvent() { list_->Close(); }
  TMultiEvent(const TMultiEvent&) = delete;
  TMultiEvent& operator=(const TMultiEvent&) = delete;

  [[nodiscard]] TSubscription Subscribe(TListener listener) {
    uint64_t id = list_->Add(std::move(listener));
    return TSubscription(list_, id);
  }
  size_t Count() const { return list_->entries.size(); }
  explicit operator bool() const { return !list_->entries.empty(); }

  // Calls every listener subscribed before the call and still subscribed when its turn comes.
  void operator()(Args... args) const {
    std::shared_ptr<TList> list = list_;  // outlives the event if a listener frees it
    std::vector<std::shared_ptr<TEntry>> snapshot = list->entries;
    for (const std::shared_ptr<TEntry>& entry : snapshot) {
      if (list->closed) return;
      if (!entry->removed) entry->fn(args...);
    }
  }

 private:
  struct TEntry {
    uint64_t id;
    TListener fn;
    bool removed = false;
  };
  struct TList : detail::TListenerRegistry {
    std::vector<std::shared_ptr<TEntry>> entries;
    uint64_t nextId = 1;
    bool closed = false;

    uint64_t Add(TListener fn) {
      uint64_t id = nextId++;
      entries.push_back(std::make_shared<TEntry>(TEntry{id, std::move(fn)}));
      return id;
    }
    void Remove(uint64_t id) override {
      for (auto it = entries.begin(); it != entries.end(); ++it) {
        if ((*it)->id == id) {
          (*it)->removed = true;  // a firing's snapshot may still hold it
          entries.erase(it);
          return;
        }
      }
    }
    bool Contains(uint64_t id) const override {
      for (const auto& e : entries) {
        if (e->id == id) return true;
      }
      return false;
    }
    void Close() {
      closed = true;
      for (const auto& e : entries) e->removed = true;
      entries.clear();
    }
  };

  std::shared_ptr<TList> list_ = std::make_shared<TList>();
};

}  // namespace kv::ui
