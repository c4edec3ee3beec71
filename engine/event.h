#pragma once
// The record every event producer fills (TIncomingEvent) and the record an outgoing action
// runs with (TExecutionContext), with the numbers both are described in: action kind ids,
// producer contexts and execution levels.
//
// Both records are plain values: a producer builds its event on its own stack with every
// field it does not name left zero; the dispatcher copies a queued event whole (and keeps its
// own copy of the preset name), and a queued action takes a copy of its context and of the
// ten local variables.
#include <cstdint>

#include "engine/variables.h"

namespace kv {

class TGlobalTranslateParams;
class TMidiAliasList;
class TTransList;
class TTransMsg;

// Action kind ids (9 is not assigned).
enum TActionKind : uint8_t {
  kActionUnknown = 0,
  kActionMidi = 1,
  kActionKeystroke = 2,
  kActionMouse = 3,
  kActionTimer = 4,
  kActionPresetChange = 5,
  kActionSpecial = 6,  // processing switch, project opened
  kActionNone = 7,
  kActionWindowMessage = 8,
  kActionExecuteFile = 10,
};
inline constexpr int kMaxActionKind = 10;

// Producer contexts of an incoming event.
enum TEventContext : uint8_t {
  kContextCallback = 0,    // MIDI, timer and preset events, on any thread
  kContextDispatcher = 1,  // events run by the dispatcher thread
  kContextMainThread = 2,  // keystroke events on the main thread
};

// What an outgoing action needs of the thread it runs on.
enum TExecutionLevel : uint8_t {
  kLevelAnyThread = 0,     // any thread, inside the producer's callback
  kLevelNotCallback = 1,   // not a MIDI-input or timer callback thread
  kLevelMainThread = 2,    // the main thread
  kLevelMainNotInWalk = 3  // the main thread, never while an event is being walked
};

// Values of a special (kind 6) event.
enum TSpecialEventValue : int32_t {
  kSpecialProcessingDisabled = 0,
  kSpecialProcessingEnabled = 1,
  kSpecialProjectOpened = 2,
};

struct TIncomingEvent {
  uint8_t kind = kActionUnknown;  // action kind id of the trigger
  uint8_t context = kContextCallback;
  TGlobalTranslateParams* params = nullptr;  // set by the engine when processing starts
  // MIDI: the MIDI manager's input slot index of the source port; preset event: 1 active, 0
  // deactivated; special event: a TSpecialEventValue.
  int32_t value = 0;
  int32_t presetNumber = 0;             // preset event: index of the preset that changed
  const char* presetName = nullptr;     // preset event: zero-terminated name of that preset
  TTransList* currentPreset = nullptr;  // set by the engine: the preset being walked
  int32_t presetIndex = 0;              // set by the engine
  int32_t translatorIndex = 0;          // set by the engine
  const uint8_t* data = nullptr;        // MIDI: the message bytes
  int32_t length = 0;                   // MIDI: number of bytes
  uint8_t realtime = 0;                 // MIDI: first byte is 0xF8 or 0xFE
  uint8_t passThrough = 0;              // MIDI: 1 when the message is not swallowed
  int32_t timerId = 0;                  // timer event: the name id of the timer that fired
  uint32_t keyData[4] = {};             // keystroke event: the key record, four words
  TLocalVariables locals = {};          // oo..xx; a preset event sets pp to the preset index
};

struct TExecutionContext {
  TGlobalTranslateParams* params = nullptr;  // the globals are reached through it
  int32_t translatorIndex = 0;
  TTransMsg* translator = nullptr;
  int32_t presetIndex = 0;
  TTransList* preset = nullptr;
  TLocalVariables* locals = nullptr;  // the event's own, or the dispatcher entry's copy
  // A queued action's default MIDI OUT ports: the preset's, else the project's, as its event
  // saw them (the dispatcher entry keeps the list). None: read them from the preset and the
  // project, as an action run inside its event's walk does.
  const TMidiAliasList* defaultOutPorts = nullptr;
};

}  // namespace kv
