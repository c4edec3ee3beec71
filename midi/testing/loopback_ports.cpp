#include "midi/testing/loopback_ports.h"

#include "midi/system/midi_input.h"
#include "midi/system/midi_output.h"

namespace kv {

void TLoopbackPortEnumerator::EnumSystemInputs(TMidiDeviceList& list) {
  TMidiInput::EnumDevices(list);
}

void TLoopbackPortEnumerator::EnumSystemOutputs(TMidiDeviceList& list, bool) {
  TMidiOutput::EnumDevices(list, false);
}

}  // namespace kv
