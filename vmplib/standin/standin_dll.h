#pragma once
// vmplib_standin.dll (Windows test builds only): the fifteen VMPL_ exports of vmplib over a
// stand-in bus that lives inside the DLL, plus the controls below, so that tests under Wine
// can load a library by name and exchange MIDI without the bus driver. Ports are addressed by
// their index in the bus's port list. Each control returns 1 for done and 0 otherwise unless
// it says otherwise.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// 0: the bus control device is not found (as without the driver).
uint32_t VMPLSTANDIN_SetPresent(uint32_t present);
uint32_t VMPLSTANDIN_IsConnected(uint32_t index);
// What port `from` is sent arrives at port `to` as input records.
uint32_t VMPLSTANDIN_Cable(uint32_t from, uint32_t to);
// A short message of `length` bytes (the packed message's lowest first) into the port's input.
uint32_t VMPLSTANDIN_InjectShort(uint32_t index, uint32_t packed, uint32_t length, uint32_t time);
uint32_t VMPLSTANDIN_InjectSysEx(uint32_t index, const uint8_t* data, uint32_t length,
                                 uint32_t time);
// Copies up to capacity bytes of what the port was sent (oldest first) and returns how many;
// the rest waits for the next call.
uint32_t VMPLSTANDIN_TakeSent(uint32_t index, uint8_t* buffer, uint32_t capacity);

typedef uint32_t (*VMPLSTANDIN_SetPresentFn)(uint32_t);
typedef uint32_t (*VMPLSTANDIN_IsConnectedFn)(uint32_t);
typedef uint32_t (*VMPLSTANDIN_CableFn)(uint32_t, uint32_t);
typedef uint32_t (*VMPLSTANDIN_InjectShortFn)(uint32_t, uint32_t, uint32_t, uint32_t);
typedef uint32_t (*VMPLSTANDIN_InjectSysExFn)(uint32_t, const uint8_t*, uint32_t, uint32_t);
typedef uint32_t (*VMPLSTANDIN_TakeSentFn)(uint32_t, uint8_t*, uint32_t);

#ifdef __cplusplus
}
#endif
