#pragma once
// The seam to the system's multimedia MIDI interface (midiIn*, midiOut*): the calls the
// system ports make, their callback messages and error texts, in plain records of our own so
// that portable code never sees <windows.h>.
//
// Implementations: the program uses the winmm one (midi/system/win/winmm_midi_win.cpp);
// native builds default to one without devices (midi/system/posix/winmm_midi_posix.cpp); tests
// install the loopback driver stand-in (midi/testing/loopback_midi.h).
//
// Lifecycle (base/seam.h): WinmmMidi() is the process-wide current implementation.
// SetWinmmMidi installs another (nullptr restores the default); do it only while no system
// port is open, and keep the installed object alive until it is replaced. Every call may be
// made from any thread; callbacks arrive on the implementation's own callback thread, in
// order, one at a time, never after the Close call of their handle has returned.
#include <cstdint>
#include <string>

#include "base/seam.h"

namespace kv {

// An open device as a number; 0 is no device.
using TMidiHandle = uintptr_t;
using TMmResult = uint32_t;

// Result codes as the multimedia interface numbers them.
inline constexpr TMmResult kMmNoError = 0;
inline constexpr TMmResult kMmError = 1;
inline constexpr TMmResult kMmBadDeviceId = 2;
inline constexpr TMmResult kMmAllocated = 4;
inline constexpr TMmResult kMmInvalidHandle = 5;
inline constexpr TMmResult kMmNoDriver = 6;
inline constexpr TMmResult kMmNoMem = 7;
inline constexpr TMmResult kMmNotSupported = 8;
inline constexpr TMmResult kMmInvalidParam = 11;
inline constexpr TMmResult kMidiErrUnprepared = 64;
inline constexpr TMmResult kMidiErrStillPlaying = 65;
inline constexpr TMmResult kMidiErrNotReady = 67;

// The MIDI mapper's device id.
inline constexpr uint32_t kMidiMapperId = 0xFFFFFFFFu;

// Header flags.
inline constexpr uint32_t kMidiHdrDone = 1;
inline constexpr uint32_t kMidiHdrPrepared = 2;
inline constexpr uint32_t kMidiHdrInQueue = 4;

// One SysEx buffer handed to the system. The owner keeps it alive and unmoved from Prepare
// until Unprepare succeeds; the implementation owns `system` in between.
struct TMidiHeader {
  uint8_t* data = nullptr;
  uint32_t bufferLength = 0;
  uint32_t bytesRecorded = 0;  // filled by the system for input buffers
  uintptr_t user = 0;          // the owner's
  uint32_t flags = 0;          // kMidiHdr*
  void* system = nullptr;      // the implementation's
};

// Callback messages. For OutDone, InLongData and InLongError param1 is the TMidiHeader*;
// for InData, InError and InMoreData it is the packed short message and param2 its time.
enum class TMidiMsg : uint32_t {
  OutOpen,
  OutClose,  // also sent when the system closed the device (unplugged)
  OutDone,
  InOpen,
  InClose,  // also sent when the system closed the device (unplugged)
  InData,
  InLongData,
  InError,
  InLongError,
  InMoreData,
};

using TMidiCallback = void (*)(TMidiHandle handle, TMidiMsg msg, uintptr_t instance,
                               uintptr_t param1, uintptr_t param2);

class TWinmmMidi {
 public:
  virtual ~TWinmmMidi() = default;

  virtual uint32_t OutGetNumDevs() = 0;
  // The device's name from its capabilities; id may be kMidiMapperId.
  virtual TMmResult OutGetDevName(uint32_t id, std::string& name) = 0;
  // The driver queries for the device interface path: its size in bytes (with the
  // terminating zero, in UTF-16 units of 2 bytes), then the path itself.
  virtual TMmResult OutQueryInterfaceSize(uint32_t id, uint32_t& bytes) = 0;
  virtual TMmResult OutQueryInterface(uint32_t id, uint32_t bytes, std::string& path) = 0;
  virtual TMmResult OutOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                            uintptr_t instance) = 0;
  virtual TMmResult OutClose(TMidiHandle handle) = 0;
  virtual TMmResult OutReset(TMidiHandle handle) = 0;
  virtual TMmResult OutShortMsg(TMidiHandle handle, uint32_t message) = 0;
  virtual TMmResult OutPrepareHeader(TMidiHandle handle, TMidiHeader& header) = 0;
  virtual TMmResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader& header) = 0;
  virtual TMmResult OutLongMsg(TMidiHandle handle, TMidiHeader& header) = 0;
  // False when the system has no text for the code.
  virtual bool OutGetErrorText(TMmResult code, std::string& text) = 0;

  virtual uint32_t InGetNumDevs() = 0;
  virtual TMmResult InGetDevName(uint32_t id, std::string& name) = 0;
  virtual TMmResult InQueryInterfaceSize(uint32_t id, uint32_t& bytes) = 0;
  virtual TMmResult InQueryInterface(uint32_t id, uint32_t bytes, std::string& path) = 0;
  // Opens with a callback function and status messages (more-data) enabled.
  virtual TMmResult InOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                           uintptr_t instance) = 0;
  virtual TMmResult InClose(TMidiHandle handle) = 0;
  virtual TMmResult InReset(TMidiHandle handle) = 0;
  virtual TMmResult InStart(TMidiHandle handle) = 0;
  virtual TMmResult InStop(TMidiHandle handle) = 0;
  virtual TMmResult InPrepareHeader(TMidiHandle handle, TMidiHeader& header) = 0;
  virtual TMmResult InUnprepareHeader(TMidiHandle handle, TMidiHeader& header) = 0;
  virtual TMmResult InAddBuffer(TMidiHandle handle, TMidiHeader& header) = 0;
  virtual bool InGetErrorText(TMmResult code, std::string& text) = 0;
};

// The default implementation of this build (winmm on Windows, no devices elsewhere).
TWinmmMidi& DefaultWinmmMidi();
using TWinmmMidiSeam = TSeam<TWinmmMidi, DefaultWinmmMidi>;
inline TWinmmMidi& WinmmMidi() { return TWinmmMidiSeam::Get(); }
inline void SetWinmmMidi(TWinmmMidi* api) { TWinmmMidiSeam::Set(api); }
// Installs an implementation for a scope (tests).
using TWinmmMidiScope = TWinmmMidiSeam::TScope;

// The multimedia interface's texts for its common result codes, for implementations that
// have no system to ask. False for other codes.
bool PortableMidiErrorText(TMmResult code, std::string& text);

}  // namespace kv
