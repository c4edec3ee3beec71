#pragma once
// TRuntimeDispatcher: the engine's own worker thread (time-critical priority). It runs
// outgoing actions that must wait (a delay is set) or must not run on the producer's thread,
// and incoming events that are processed on it (processing switched on or off, project
// opened). Actions of execution level 2 and 3 are handed on to the main thread.
//
// Queuing never allocates: a fixed pool of 1000 entries of equal size feeds two queues, an
// immediate FIFO and a due queue sorted by due time (compared by signed 32-bit difference, so
// the clock may wrap; equal due times leave in the order they came). A full pool drops the
// item and posts "Message queue is full (actions are discarded)" to the runtime message
// handler on the main thread; the producer never waits for the main thread.
//
// A queued action holds a reference to its translator and to its preset, so neither is freed
// while the entry waits, also when both are deleted from the project meanwhile; and to the
// default MIDI OUT ports its event saw, which the main thread may replace meanwhile.
//
// Lifecycle: made by the engine, which sets the params and the end notification; the thread
// starts at once. Destruction asks the thread to end, waits for it (on the main thread it
// keeps serving main-thread calls, so an action handed there can finish) and releases every
// entry still queued.
//
// Lock: lock_ guards the pool, the free list and both queues. It is the innermost lock of
// the program: it is held only to move entries, never while an action or event runs, a
// translator or preset is released, or a message is reported.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "base/lock.h"
#include "base/thread.h"
#include "engine/event.h"

namespace kv {

class TGlobalTranslateParams;

// What the dispatcher calls back into: the engine.
class TDispatchSink {
 public:
  virtual ~TDispatchSink() = default;
  // False while events are not processed: entries taken out are then only discarded.
  virtual bool IsRunning() const = 0;
  // Processes a queued event on the dispatcher thread.
  virtual void ProcessQueuedEvent(TIncomingEvent& event) = 0;
};

// One pool slot.
struct TDispatchEntry {
  enum TKind : uint8_t { kAction = 0, kEvent = 1 };

  TDispatchEntry* next = nullptr;
  uint8_t kind = kAction;
  uint32_t due = 0;  // ms of the clock at which a delayed action is due; 0 otherwise
  // Action: the context, its variables pointer aimed at the entry's own copy.
  TExecutionContext context;
  TLocalVariables locals{};
  // References that keep the action's translator and preset alive while it waits.
  std::shared_ptr<void> holdTranslator;
  std::shared_ptr<void> holdPreset;
  // The default MIDI OUT ports the action's event saw; the context points at them.
  std::shared_ptr<const TMidiAliasList> holdOutPorts;
  // Event: a copy of the whole event, its preset name aimed at the entry's own copy.
  TIncomingEvent event;
  std::string presetName;  // capacity reserved at construction, so short names never allocate
};

// The process-wide receiver of the engine's runtime messages (sender, code, text), set by the
// controller; it is always called on the main thread.
using TRuntimeMessageHandler =
    std::function<void(void* sender, int code, const std::string& message)>;
void SetRuntimeMessageHandler(TRuntimeMessageHandler handler);
// Any thread: posts the message to the handler on the main thread and returns at once.
void PostRuntimeMessage(const std::string& message);

class TRuntimeDispatcher : public TThread {
 public:
  static constexpr size_t kPoolSize = 1000;
  static constexpr uint32_t kIdleWaitMs = 1000;
  static constexpr const char* kQueueFullMessage = "Message queue is full (actions are discarded)";

  // The sink must outlive the dispatcher. startThread false is for tests that run the queue
  // themselves (RunPending).
  explicit TRuntimeDispatcher(TDispatchSink* sink, bool startThread = true);
  ~TRuntimeDispatcher() override;

  void SetParams(TGlobalTranslateParams* params) { params_.store(params); }

  // Any thread. Queues the context's outgoing action to run after delayMs (at once for 0 or
  // less); false when it was dropped (thread ending, or pool full). keepPreset is a reference
  // to the context's preset that the entry holds while it waits; defaultOutPorts, the default
  // MIDI OUT ports the action is to use (the queued context points at the entry's reference;
  // none: the action reads them when it runs).
  bool EnqueueAction(const TExecutionContext& context, int32_t delayMs,
                     std::shared_ptr<void> keepPreset = {},
                     std::shared_ptr<const TMidiAliasList> defaultOutPorts = {});
  // Any thread. Queues an incoming event; false when it was dropped. The event is copied
  // whole and its preset name into the entry; bytes its data pointer names are not copied, so
  // only events without data (processing switch, project opened) are queued.
  bool EnqueueEvent(const TIncomingEvent& event);
  // Returns every queued entry to the pool; none of them runs.
  void Flush();

  size_t FreeEntries() const;
  size_t QueuedEntries() const { return kPoolSize - FreeEntries(); }

  // Tests without the thread: runs the immediate queue and every due entry; returns the wait
  // the thread would now make (ms).
  uint32_t RunPending();

 protected:
  void Execute() override;
  void TerminateRequested() override { wake_.Signal(); }

 private:
  TDispatchEntry* TakeFree();             // lock_ held
  void InsertDue(TDispatchEntry* entry);  // lock_ held
  void QueueFull();
  // Takes the next entry of one queue and runs it: 0 when one ran, else the ms until the due
  // queue's head is due, or -1 when that queue is empty.
  int32_t ProcessNext(bool fromDueQueue);
  void Run(TDispatchEntry& entry);
  void RunAction(TDispatchEntry& entry);
  // Drops what the entry holds (lock_ not held), then returns it to the free list.
  void Release(TDispatchEntry* entry);
  void ReleaseChain(TDispatchEntry* head);

  TDispatchSink* sink_;
  std::atomic<TGlobalTranslateParams*> params_{nullptr};
  TEvent wake_;

  mutable std::mutex lock_;  // guards pool_, free_, the queues
  std::unique_ptr<std::array<TDispatchEntry, kPoolSize>> pool_;
  TDispatchEntry* free_ = nullptr;
  TDispatchEntry* immediateHead_ = nullptr;
  TDispatchEntry* immediateTail_ = nullptr;
  TDispatchEntry* dueHead_ = nullptr;
  size_t freeCount_ = 0;
};

}  // namespace kv
