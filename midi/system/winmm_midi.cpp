#include "midi/system/winmm_midi.h"

namespace kv {

bool PortableMidiErrorText(TMmResult code, std::string& text) {
  switch (code) {
    case kMmError:
      text = "Unspecified error.";
      break;
    case kMmBadDeviceId:
      text = "The device ID is out of range.";
      break;
    case kMmAllocated:
      text = "The specified resource is already allocated.";
      break;
    case kMmInvalidHandle:
      text = "The device handle is invalid.";
      break;
    case kMmNoDriver:
      text = "There is no driver installed on your system.";
      break;
    case kMmNoMem:
      text = "Unable to allocate or lock memory.";
      break;
    case kMmNotSupported:
      text = "This function is not supported.";
      break;
    case kMmInvalidParam:
      text = "An invalid parameter was passed to a system function.";
      break;
    case kMidiErrUnprepared:
      text = "The header is not prepared.";
      break;
    case kMidiErrStillPlaying:
      text = "The buffer is still in the queue.";
      break;
    case kMidiErrNotReady:
      text = "The hardware is busy.";
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace kv
