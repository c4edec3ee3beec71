#pragma once
// The scaffolding every operating-system seam shares: one process-wide implementation of an
// interface, the build's own until something replaces it, and a scope that puts another in
// place for a test or a tool run and puts back what was there before.
//
// A seam is declared next to its interface, with the build's own implementation defined in
// the win/ or posix/ file beside it:
//
//   IThing& DefaultThing();  // the build's own
//   using TThingSeam = TSeam<IThing, DefaultThing>;
//   inline IThing& GetThing() { return TThingSeam::Get(); }
//   using TScopedThing = TThingSeam::TScope;
//
// Interface may be a class (usually abstract), a const class (a table of functions) or a
// function type (the seam then holds a function pointer).
//
// Atomic: current_ alone guards the seam; it is constant-initialized, so it is ready before
// any static object could ask for it. Get loads it with acquire, Set stores with release and
// Replace exchanges with acq_rel, so a thread that sees a replacement sees it fully made.
// Nothing else is shared and no lock is held. The build's own implementation is asked for on
// each Get that finds no replacement, so it is made on first use.
//
// Lifecycle: a replacement must stay alive while it is in place. Replace and restore only
// while no other thread is in the middle of a call that must see one implementation
// throughout; scopes nest, each putting back the one it found.
#include <atomic>

namespace kv {

template <class Interface, Interface& (*BuildDefault)()>
class TSeam {
 public:
  TSeam() = delete;

  static Interface& Get() {
    Interface* current = current_.load(std::memory_order_acquire);
    return current != nullptr ? *current : BuildDefault();
  }

  // Puts replacement in place; nullptr brings back the build's own.
  static void Set(Interface* replacement) {
    current_.store(replacement, std::memory_order_release);
  }

  // Set that gives back what was in place (nullptr: the build's own).
  static Interface* Replace(Interface* replacement) {
    return current_.exchange(replacement, std::memory_order_acq_rel);
  }

  // Puts an implementation in place for the scope's lifetime.
  class TScope {
   public:
    explicit TScope(Interface& replacement) : previous_(Replace(&replacement)) {}
    ~TScope() { Set(previous_); }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    Interface* const previous_;
  };

 private:
  static constinit inline std::atomic<Interface*> current_{nullptr};
};

}  // namespace kv
