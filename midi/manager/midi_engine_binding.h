#pragma once
// The MIDI manager's join to whatever turns incoming MIDI into actions (the engine). The
// manager knows it only through these two interfaces, so the MIDI layer needs nothing above
// it; the engine implements TMidiInputHandler and binds itself through TEngineMidiBinding.
//
// Threads: the handler is called on every MIDI input thread at once (system callbacks,
// virtual-port receive threads) and must be thread-safe. BindEngine runs on the main thread;
// BindEngine(nullptr) returns once no call into the handler is in progress, so the handler
// may be freed afterwards.
#include <cstdint>

namespace kv {

class TMidiInputHandler {
 public:
  virtual ~TMidiInputHandler() = default;
  // Input slot index, packed short message (status in bits 0-7). swallowed is in/out: true
  // keeps the message from MIDI through.
  virtual void HandleShortMessage(int32_t source, uint32_t packed, bool& swallowed,
                                  bool& handled) = 0;
  virtual void HandleLongMessage(int32_t source, const uint8_t* bytes, int32_t length,
                                 bool& swallowed, bool& handled) = 0;
  // MIDI through passed a message on.
  virtual void OnMidiThroughActivity() = 0;
};

// The MIDI manager as the engine sees it: it hands input to the bound handler.
class TEngineMidiBinding {
 public:
  virtual ~TEngineMidiBinding() = default;
  virtual void BindEngine(TMidiInputHandler* engine) = 0;
};

}  // namespace kv
