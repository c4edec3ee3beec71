#pragma once
// The scaffolding every operating-system seam shares: one process-wide implementation of an
// interface, the build's own until something replaces it, and a scope that puts another in
// place for a test or a tool run and puts back what was there before.
//
// A seam is declared next to its interface as an accessor returning its TSeam, defined where
// the interface is, over a constinit TSeam so that it is ready before any static object of
// another file could ask for it:
//
//   TSeam<IThing>& ThingSeam();
//   inline IThing& GetThing() { return ThingSeam().Get(); }
//   using TScopedThing = TSeamScope<IThing, ThingSeam>;
//
// Interface may be a class (usually abstract), a const class (a table of functions) or a
// function type (the seam then holds a function pointer).
//
// Atomic: current_ alone guards the seam. Get loads it with acquire, Set stores with release
// and Replace exchanges with acq_rel, so a thread that sees a replacement sees it fully made.
// Nothing else is shared and no lock is held. The build's own implementation is asked for on
// each Get that finds no replacement, so it is made on first use.
//
// Lifecycle: a replacement must stay alive while it is in place. Replace and restore only
// while no other thread is in the middle of a call that must see one implementation
// throughout; scopes nest, each putting back the one it found.
#include <atomic>

namespace kv {

template <class Interface>
class TSeam {
 public:
  using TBuildDefault = Interface& (*)();

  explicit constexpr TSeam(TBuildDefault buildDefault) : buildDefault_(buildDefault) {}
  TSeam(const TSeam&) = delete;
  TSeam& operator=(const TSeam&) = delete;

  Interface& Get() const {
    Interface* current = current_.load(std::memory_order_acquire);
    return current != nullptr ? *current : buildDefault_();
  }

  // Puts replacement in place; nullptr brings back the build's own.
  void Set(Interface* replacement) { current_.store(replacement, std::memory_order_release); }

  // Set that gives back what was in place (nullptr: the build's own).
  Interface* Replace(Interface* replacement) {
    return current_.exchange(replacement, std::memory_order_acq_rel);
  }

 private:
  std::atomic<Interface*> current_{nullptr};
  const TBuildDefault buildDefault_;
};

// Puts an implementation in place of the seam SeamOf gives for the scope's lifetime.
template <class Interface, TSeam<Interface>& (*SeamOf)()>
class TSeamScope {
 public:
  explicit TSeamScope(Interface& replacement) : previous_(SeamOf().Replace(&replacement)) {}
  ~TSeamScope() { SeamOf().Set(previous_); }
  TSeamScope(const TSeamScope&) = delete;
  TSeamScope& operator=(const TSeamScope&) = delete;

 private:
  Interface* const previous_;
};

}  // namespace kv
