#include "engine/dispatcher.h"

#include <chrono>
#include <thread>

#include "base/clock.h"
#include "base/exception.h"
#include "base/main_thread.h"
#include "base/platform.h"
#include "engine/dispatcher_hold.h"
#include "engine/translate_params.h"

namespace kv {

namespace {
struct THandlerHolder {
  std::mutex mutex;  // guards handler
  TRuntimeMessageHandler handler;
};
THandlerHolder& Handler() {
  static THandlerHolder holder;
  return holder;
}
// One full-queue report waits for the main thread at a time: under a flood, the main
// thread's queue must not fill with copies of the same message.
std::atomic<bool> g_queueFullPending{false};
}  // namespace

void SetRuntimeMessageHandler(TRuntimeMessageHandler handler) {
  std::lock_guard<std::mutex> guard(Handler().mutex);
  Handler().handler = std::move(handler);
}

void PostRuntimeMessage(const std::string& message) {
  TMainThreadCalls::Instance().Queue([message] {
    TRuntimeMessageHandler handler;
    {
      std::lock_guard<std::mutex> guard(Handler().mutex);
      handler = Handler().handler;
    }
    if (handler) handler(nullptr, 0, message);
  });
}

TRuntimeDispatcher::TRuntimeDispatcher(TDispatchSink* sink, bool startThread)
    : sink_(sink), pool_(std::make_unique<std::array<TDispatchEntry, kPoolSize>>()) {
  // Chained in index order, entry 0 first.
  for (size_t i = kPoolSize; i-- > 0;) {
    TDispatchEntry& entry = (*pool_)[i];
    entry.presetName.reserve(64);
    entry.next = free_;
    free_ = &entry;
  }
  freeCount_ = kPoolSize;
  if (startThread) Start();
}

TRuntimeDispatcher::~TRuntimeDispatcher() {
  Stop();
  TDispatchEntry* due;
  TDispatchEntry* immediate;
  {
    std::lock_guard<std::mutex> guard(lock_);
    due = dueHead_;
    immediate = immediateHead_;
    dueHead_ = immediateHead_ = immediateTail_ = nullptr;
  }
  ReleaseChain(due);
  ReleaseChain(immediate);
}

TDispatchEntry* TRuntimeDispatcher::TakeFree() {
  TDispatchEntry* entry = free_;
  if (entry) {
    free_ = entry->next;
    entry->next = nullptr;
    --freeCount_;
  }
  return entry;
}

void TRuntimeDispatcher::InsertDue(TDispatchEntry* entry) {
  // After every entry that is not due later than the new one.
  TDispatchEntry** link = &dueHead_;
  while (*link && TimeReached(entry->due, (*link)->due)) link = &(*link)->next;
  entry->next = *link;
  *link = entry;
}

void TRuntimeDispatcher::QueueFull() {
  if (!g_queueFullPending.exchange(true)) {
    TMainThreadCalls::Instance().Queue([] {
      g_queueFullPending.store(false);
      TRuntimeMessageHandler handler;
      {
        std::lock_guard<std::mutex> guard(Handler().mutex);
        handler = Handler().handler;
      }
      if (handler) handler(nullptr, 0, kQueueFullMessage);
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool TRuntimeDispatcher::EnqueueAction(const TExecutionContext& context, int32_t delayMs,
                                       std::shared_ptr<void> keepPreset,
                                       std::shared_ptr<const TMidiAliasList> defaultOutPorts) {
  if (Terminated()) return false;
  TDispatchEntry* entry;
  {
    std::lock_guard<std::mutex> guard(lock_);
    entry = TakeFree();
    if (entry) {
      // Taking references only bumps counters: no lock, no call out.
      HoldQueuedAction(context, entry->holdTranslator);
      entry->holdPreset = std::move(keepPreset);
      entry->kind = TDispatchEntry::kAction;
      entry->context = context;
      if (context.locals)
        entry->locals = *context.locals;
      else
        entry->locals = {};
      entry->context.locals = &entry->locals;
      entry->holdOutPorts = std::move(defaultOutPorts);
      entry->context.defaultOutPorts = entry->holdOutPorts.get();
      if (delayMs > 0) {
        entry->due = GetTickMs() + static_cast<uint32_t>(delayMs);
        InsertDue(entry);
      } else {
        entry->due = 0;
        if (immediateTail_)
          immediateTail_->next = entry;
        else
          immediateHead_ = entry;
        immediateTail_ = entry;
      }
    }
  }
  if (!entry) {
    keepPreset.reset();  // dropped outside the lock, like every release
    defaultOutPorts.reset();
    QueueFull();
    return false;
  }
  wake_.Signal();
  return true;
}

bool TRuntimeDispatcher::EnqueueEvent(const TIncomingEvent& event) {
  if (Terminated()) return false;
  TDispatchEntry* entry;
  {
    std::lock_guard<std::mutex> guard(lock_);
    entry = TakeFree();
    if (entry) {
      entry->kind = TDispatchEntry::kEvent;
      entry->due = 0;
      entry->event = event;
      if (event.presetName) {
        entry->presetName.assign(event.presetName);
        entry->event.presetName = entry->presetName.c_str();
      }
      if (immediateTail_)
        immediateTail_->next = entry;
      else
        immediateHead_ = entry;
      immediateTail_ = entry;
    }
  }
  if (!entry) {
    QueueFull();
    return false;
  }
  wake_.Signal();
  return true;
}

void TRuntimeDispatcher::Release(TDispatchEntry* entry) {
  if (entry->kind == TDispatchEntry::kAction) {
    entry->context = {};
    // May free the translator or the preset: no lock is held here.
    entry->holdTranslator.reset();
    entry->holdPreset.reset();
    entry->holdOutPorts.reset();
  } else {
    entry->event = {};
    entry->presetName.clear();
  }
  std::lock_guard<std::mutex> guard(lock_);
  entry->next = free_;
  free_ = entry;
  ++freeCount_;
}

void TRuntimeDispatcher::ReleaseChain(TDispatchEntry* head) {
  while (head) {
    TDispatchEntry* next = head->next;
    Release(head);
    head = next;
  }
}

void TRuntimeDispatcher::Flush() {
  TDispatchEntry* due;
  TDispatchEntry* immediate;
  {
    std::lock_guard<std::mutex> guard(lock_);
    due = dueHead_;
    immediate = immediateHead_;
    dueHead_ = immediateHead_ = immediateTail_ = nullptr;
  }
  ReleaseChain(due);
  ReleaseChain(immediate);
}

size_t TRuntimeDispatcher::FreeEntries() const {
  std::lock_guard<std::mutex> guard(lock_);
  return freeCount_;
}

int32_t TRuntimeDispatcher::ProcessNext(bool fromDueQueue) {
  TDispatchEntry* entry = nullptr;
  int32_t result = -1;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (!fromDueQueue) {
      entry = immediateHead_;
      if (entry) {
        immediateHead_ = entry->next;
        if (!immediateHead_) immediateTail_ = nullptr;
      }
    } else if (dueHead_) {
      int32_t remaining = static_cast<int32_t>(dueHead_->due - GetTickMs());
      if (remaining < 1) {
        entry = dueHead_;
        dueHead_ = entry->next;
      } else {
        result = remaining;
      }
    }
  }
  if (!entry) return result;
  entry->next = nullptr;
  if (sink_ && sink_->IsRunning()) Run(*entry);
  Release(entry);
  return 0;
}

void TRuntimeDispatcher::Run(TDispatchEntry& entry) {
  if (entry.kind == TDispatchEntry::kEvent) {
    try {
      sink_->ProcessQueuedEvent(entry.event);
    } catch (const std::exception& e) {
      PostRuntimeMessage(e.what());
    }
    return;
  }
  if (QueuedActionLevel(entry.context) > kLevelNotCallback) {
    // The main thread runs it; the entry stays ours until the call has returned.
    try {
      Synchronize([this, &entry] { RunAction(entry); });
    } catch (const std::exception& e) {
      PostRuntimeMessage(e.what());
    }
  } else {
    RunAction(entry);
  }
}

void TRuntimeDispatcher::RunAction(TDispatchEntry& entry) {
  uint16_t activity = 0;
  try {
    RunQueuedAction(entry.context, activity);
    if (TGlobalTranslateParams* params = params_.load()) params->ReportActivity(this, activity);
  } catch (const std::exception& e) {
    PostRuntimeMessage(e.what());
  }
}

uint32_t TRuntimeDispatcher::RunPending() {
  while (ProcessNext(false) == 0) {
  }
  int32_t wait;
  while ((wait = ProcessNext(true)) == 0) {
  }
  return wait < 1 ? kIdleWaitMs : static_cast<uint32_t>(wait);
}

void TRuntimeDispatcher::Execute() {
  SetCurrentThreadPriority(ThreadPriority::TimeCritical);
  while (!Terminated()) {
    uint32_t wait = RunPending();
    bool immediateEmpty;
    {
      std::lock_guard<std::mutex> guard(lock_);
      immediateEmpty = immediateHead_ == nullptr;
    }
    if (immediateEmpty && !Terminated()) wake_.WaitFor(wait);
  }
}

}  // namespace kv
