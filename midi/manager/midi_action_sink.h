#pragma once
// Seam: where MIDI actions send their bytes. The MIDI manager is the program's sink: it sends
// to the outputs bound to a list of aliases, or to every open output. Tests put a recorder in
// its place.
//
// Lifecycle: the process-wide sink is set with SetMidiOutputSink by its owner once it can
// send (the MIDI manager when it is made) and cleared before that owner goes away, while no
// event is processed (the engine is freed before the MIDI manager). With no sink set, a MIDI
// action sends nothing and reports the port as closed. TScopedMidiOutputSink sets one for a
// scope (tests); scopes nest, opened and closed on one thread.
//
// Threads: the sink is called from every thread that runs outgoing actions at once (MIDI
// callbacks, virtual-port receive threads, the timer thread, the dispatcher, the main
// thread); implementations are thread-safe and never call back into the engine. The alias
// list is read during the call only.
#include <cstddef>
#include <cstdint>

namespace kv {

class TMidiAliasList;

class TMidiOutputSink {
 public:
  virtual ~TMidiOutputSink() = default;
  // A packed short message: status in bits 0-7, first data byte in bits 8-15, second in bits
  // 16-23; the port takes as many bytes as the status byte asks for. Each call returns true
  // when at least one output took the message.
  virtual bool SendShortToAll(uint32_t message) = 0;
  virtual bool SendLongToAll(const uint8_t* data, size_t length) = 0;
  // Only the aliases of kind MIDI OUT that are bound to an output count.
  virtual bool SendShortToAliases(const TMidiAliasList& aliases, uint32_t message) = 0;
  virtual bool SendLongToAliases(const TMidiAliasList& aliases, const uint8_t* data,
                                 size_t length) = 0;
};

// The process-wide sink; none until its owner sets one.
TMidiOutputSink* GetMidiOutputSink();
void SetMidiOutputSink(TMidiOutputSink* sink);

class TScopedMidiOutputSink {
 public:
  explicit TScopedMidiOutputSink(TMidiOutputSink& sink);
  ~TScopedMidiOutputSink();
  TScopedMidiOutputSink(const TScopedMidiOutputSink&) = delete;
  TScopedMidiOutputSink& operator=(const TScopedMidiOutputSink&) = delete;

 private:
  TMidiOutputSink* previous_;
};

}  // namespace kv
