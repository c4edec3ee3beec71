#include "midi/manager/midi_action_sink.h"

#include <atomic>

namespace kv {
namespace {

// Read by every thread that sends; written while no event is processed.
std::atomic<TMidiOutputSink*> gMidiOutputSink{nullptr};

}  // namespace

TMidiOutputSink* GetMidiOutputSink() {
  return gMidiOutputSink.load(std::memory_order_acquire);
}

void SetMidiOutputSink(TMidiOutputSink* sink) {
  gMidiOutputSink.store(sink, std::memory_order_release);
}

TScopedMidiOutputSink::TScopedMidiOutputSink(TMidiOutputSink& sink)
    : previous_(gMidiOutputSink.exchange(&sink, std::memory_order_acq_rel)) {}

TScopedMidiOutputSink::~TScopedMidiOutputSink() {
  SetMidiOutputSink(previous_);
}

}  // namespace kv
