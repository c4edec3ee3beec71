// MIDI latency from the input stand-in to the output send, through the MIDI manager and the
// engine: a pass-through route and a matching translator (median and 99th percentile, in
// microseconds), and SysEx throughput through a route.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "base/ini_file.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "midi/model/alias.h"
#include "midi/manager/midi_action_sink.h"
#include "midi/system/midi_input.h"
#include "midi/manager/midi_manager.h"
#include "midi/system/midi_output.h"
#include "midi/model/router.h"
#include "midi/testing/loopback_midi.h"
#include "midi/testing/loopback_ports.h"

namespace kv {
namespace {

using Clock = std::chrono::steady_clock;

// One input and two outputs; the route passes Keys to Thru, the translator (when asked for)
// swallows note 60 and sends a controller to Synth instead.
const char* kRouteProject =
    "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n\r\n"
    "[MIDI.routes]\r\nIn0=Keys\r\nOut0=Thru\r\n";
const char* kTranslatorProject =
    "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
    "Name0=n\r\nIncoming0=MID1903Cpp\r\nOutgoing0=MID2MIDA00010005SynthB007pp\r\n"
    "Options0=Actv01Stop00OutO00\r\n";

class TRig {
 public:
  explicit TRig(const char* project) : scope_(loop_) {
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
    loop_.AddInput("Keys");
    loop_.AddOutput("Thru");
    loop_.AddOutput("Synth");
    for (const char* name : {"Keys"}) MidiAliasManager().AddAlias(name, name, makMidiIn, false);
    for (const char* name : {"Thru", "Synth"})
      MidiAliasManager().AddAlias(name, name, makMidiOut, false);
    manager_ = std::make_unique<TMidiManager>(ports_);
    manager_->Init();
    manager_->SetSuspended(false);
    manager_->OpenInput(0, true);
    manager_->OpenOutput(0, true);
    manager_->OpenOutput(1, true);
    sink_ = std::make_unique<TScopedMidiOutputSink>(*manager_);
    engine_ = std::make_unique<TTransEngine>(TEngineBindings{nullptr, manager_.get(), nullptr});
    TMemIniFile ini;
    ini.SetText(project);
    engine_->Project().ReadProject(ini, "bench.kvxp", true, false, nullptr);
    // Both fire after the output took the message, on the thread that sent it.
    manager_->SetOnThru([this](TMidiManager&) { done_.fetch_add(1, std::memory_order_release); });
    engine_->SetOnEvent([this](TTransEngine&, const TIncomingEvent&) {
      events_.fetch_add(1, std::memory_order_release);
    });
  }
  ~TRig() {
    engine_.reset();
    sink_.reset();
    manager_.reset();
    loop_.ClearSent();
    MidiAliasManager().ClearAliases();
    MidiRouter().ClearRoutes();
  }
  TLoopbackMidi& Loop() { return loop_; }
  int Done() const { return done_.load(std::memory_order_acquire); }
  int Events() const { return events_.load(std::memory_order_acquire); }

 private:
  TLoopbackMidi loop_;
  TWinmmMidiScope scope_;
  TLoopbackPortEnumerator ports_;
  std::unique_ptr<TMidiManager> manager_;
  std::unique_ptr<TScopedMidiOutputSink> sink_;
  std::unique_ptr<TTransEngine> engine_;
  std::atomic<int> done_{0}, events_{0};
};

void ReportLatency(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

template <typename Reached>
void MeasureShort(benchmark::State& state, TRig& rig, Reached reached) {
  std::vector<double> us;
  us.reserve(1 << 16);
  // The project's own events (opened, preset activated) are counted before the first message.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  int n = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    rig.Loop().FeedShort("Keys", 0x403C90);
    ++n;
    while (!reached(n)) std::this_thread::yield();
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    if (n % 4096 == 0) rig.Loop().ClearSent();
  }
  ReportLatency(state, us);
}

void BM_PassThroughRoute(benchmark::State& state) {
  TRig rig(kRouteProject);
  MeasureShort(state, rig, [&, base = rig.Done()](int n) { return rig.Done() - base >= n; });
}
BENCHMARK(BM_PassThroughRoute)->UseRealTime();

void BM_MatchingTranslator(benchmark::State& state) {
  TRig rig(kTranslatorProject);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  MeasureShort(state, rig, [&, base = rig.Events()](int n) { return rig.Events() - base >= n; });
}
BENCHMARK(BM_MatchingTranslator)->UseRealTime();

void BM_SysExThroughRoute(benchmark::State& state) {
  TRig rig(kRouteProject);
  const size_t length = static_cast<size_t>(state.range(0));
  std::vector<uint8_t> sysEx(length, 0x11);
  sysEx.front() = 0xF0;
  sysEx.back() = 0xF7;
  const int pieces = static_cast<int>((length + 1023) / 1024);  // the input's buffer size
  int expected = 0;
  for (auto _ : state) {
    rig.Loop().FeedLong("Keys", sysEx);
    expected += pieces;
    while (rig.Done() < expected) std::this_thread::yield();
    rig.Loop().ClearSent();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(length));
}
BENCHMARK(BM_SysExThroughRoute)->Arg(1024)->Arg(64 * 1024)->UseRealTime();

}  // namespace
}  // namespace kv
