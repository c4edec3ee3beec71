// The engine's hot paths: the event walk of one MIDI message through the presets, and how
// late the dispatcher runs delayed actions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "engine/action.h"
#include "engine/dispatcher.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "engine/translator.h"

// GCC 12 takes the replaced global operators below for a mismatched pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Counts heap allocations, so the walk can show it makes none.
static std::atomic<long> g_allocations{0};
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace kv {
namespace {

// Matches MIDI events whose status byte is its own; the output does nothing at level 0.
class TBenchTrigger : public TTransAction {
 public:
  explicit TBenchTrigger(uint8_t status) : TTransAction(true), status_(status) {}
  std::unique_ptr<TTransAction> Clone() const override {
    return std::make_unique<TBenchTrigger>(status_);
  }
  std::string SaveToText() const override { return "Bnc1"; }
  size_t LoadFromText(std::string_view text) override { return text.size(); }
  bool MatchIncoming(TIncomingEvent& event) override { return event.data[0] == status_; }
  int GetActionType() const override { return kActionMidi; }
  int GetExecutionLevel() const override { return kLevelAnyThread; }
  int GetDirections() const override { return kDirectionBoth; }

 private:
  uint8_t status_;
};

class TBenchOutput : public TTransAction {
 public:
  using TRan = void (*)(void* data);
  TBenchOutput(TRan ran = nullptr, void* data = nullptr)
      : TTransAction(false), ran_(ran), data_(data) {}
  std::unique_ptr<TTransAction> Clone() const override {
    return std::make_unique<TBenchOutput>(ran_, data_);
  }
  std::string SaveToText() const override { return "Bnc2"; }
  size_t LoadFromText(std::string_view text) override { return text.size(); }
  bool ExecuteOutgoing(TExecutionContext&) override {
    if (ran_) ran_(data_);
    return true;
  }
  int GetActionType() const override { return kActionMidi; }
  int GetExecutionLevel() const override { return kLevelAnyThread; }
  int GetDirections() const override { return kDirectionOutgoing; }

 private:
  TRan ran_;
  void* data_;
};

TTransMsgPtr BenchTranslator(uint8_t status) {
  TTransMsgPtr t = TTransMsg::Create("t");
  t->SetIncoming(std::make_unique<TBenchTrigger>(status));
  t->SetOutgoing(std::make_unique<TBenchOutput>());
  return t;
}

// presets x translators; only the very last translator (matchLast) or the very first
// matches the note-on the benchmark sends.
void BuildProject(TTransEngine& engine, int presets, int translators, bool matchLast) {
  for (int p = 0; p < presets; ++p) {
    TLockableTransList& preset = engine.Project().NewPreset();
    for (int t = 0; t < translators; ++t) {
      bool last = p == presets - 1 && t == translators - 1;
      bool first = p == 0 && t == 0;
      preset.AddTranslator(BenchTranslator((matchLast ? last : first) ? 0x90 : 0x80));
    }
    preset.SetActive(true);
  }
}

void EventWalk(benchmark::State& state, int presets, int translators, bool matchLast) {
  TTransEngine engine(TEngineBindings{});
  BuildProject(engine, presets, translators, matchLast);
  const uint32_t noteOn = 0x403C90;
  long allocations = 0;
  for (auto _ : state) {
    bool swallowed = false, handled = false;
    long before = g_allocations.load(std::memory_order_relaxed);
    engine.HandleShortMessage(0, noteOn, swallowed, handled);
    allocations += g_allocations.load(std::memory_order_relaxed) - before;
    benchmark::DoNotOptimize(swallowed);
  }
  const double examined = static_cast<double>(presets) * translators;
  // Time per translator examined (printed with its unit, e.g. 8n = 8 ns).
  state.counters["per_translator"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * examined,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_event"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
}

void BM_EventWalk16x64MatchLast(benchmark::State& state) {
  EventWalk(state, 16, 64, true);
}
void BM_EventWalk1x64MatchFirst(benchmark::State& state) {
  EventWalk(state, 1, 64, false);
}
BENCHMARK(BM_EventWalk16x64MatchLast);
BENCHMARK(BM_EventWalk1x64MatchFirst);

class TNullSink : public TDispatchSink {
 public:
  bool IsRunning() const override { return true; }
  void ProcessQueuedEvent(TIncomingEvent&) override {}
};

struct TLateness {
  std::mutex mutex;  // guards ranAt
  std::vector<std::chrono::steady_clock::time_point> ranAt;
  std::atomic<int> ran{0};
};

void RecordRun(void* data) {
  auto* lateness = static_cast<TLateness*>(data);
  auto now = std::chrono::steady_clock::now();
  std::lock_guard<std::mutex> guard(lateness->mutex);
  lateness->ranAt.push_back(now);
  ++lateness->ran;
}

// 1000 actions delayed by 1..100 ms: how much later than asked each ran.
void BM_DispatcherLateness(benchmark::State& state) {
  constexpr int kActions = 1000;
  std::vector<double> lateMs;
  for (auto _ : state) {
    TNullSink sink;
    TLateness lateness;
    lateness.ranAt.reserve(kActions);
    std::vector<TTransMsgPtr> translators;
    std::vector<std::chrono::steady_clock::time_point> due(kActions);
    for (int i = 0; i < kActions; ++i) {
      TTransMsgPtr t = TTransMsg::Create("d");
      t->SetIncoming(std::make_unique<TBenchTrigger>(0x90));
      // Each translator's own output records the moment it ran, in its own slot.
      t->SetOutgoing(std::make_unique<TBenchOutput>(&RecordRun, &lateness));
      translators.push_back(t);
    }
    std::vector<int> order;
    {
      TRuntimeDispatcher dispatcher(&sink);
      for (int i = 0; i < kActions; ++i) {
        int delay = 1 + (i * 37) % 100;
        TExecutionContext context;
        context.translator = translators[static_cast<size_t>(i)].get();
        due[static_cast<size_t>(i)] =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(delay);
        dispatcher.EnqueueAction(context, delay);
      }
      while (lateness.ran.load() < kActions)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Actions run in due order; the sorted due times pair with the run times in order.
    std::sort(due.begin(), due.end());
    for (int i = 0; i < kActions; ++i) {
      auto late = lateness.ranAt[static_cast<size_t>(i)] - due[static_cast<size_t>(i)];
      lateMs.push_back(std::chrono::duration<double, std::milli>(late).count());
    }
  }
  std::sort(lateMs.begin(), lateMs.end());
  state.counters["median_late_ms"] = lateMs[lateMs.size() / 2];
  state.counters["p99_late_ms"] = lateMs[lateMs.size() * 99 / 100];
  state.counters["max_late_ms"] = lateMs.back();
}
BENCHMARK(BM_DispatcherLateness)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
