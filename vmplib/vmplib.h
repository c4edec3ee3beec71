#pragma once
// The exported interface of vmplib: virtual MIDI ports made by the virtual MIDI bus driver.
// Plain C functions exported by name from vmplib.dll (64-bit), plain records whose first field
// is a version number, and connection handles that are numbers.
//
// Ownership: records the caller passes (VMPL_PortDesc, VMPL_Message, the SysEx buffer, the
// data of VMPL_SendLong) stay the caller's and are only read or filled during the call.
// VMPL_PortInfo records are made by the library and go back through VMPL_DestroyInfo; never
// free any part of one yourself. A VMPL_Handle is valid from a successful VMPL_Connect until
// VMPL_Disconnect of the same handle; 0 is never a valid handle. A record, string or out-value
// at an address that cannot be read or written is answered with 1 (a name given to
// VMPL_AddPort with 8), never with a fault.
//
// Calling order: VMPL_GetPortCount, then VMPL_GetPortInfo for 0 .. count-1; VMPL_Connect with
// one of those records; VMPL_SendShort / VMPL_SendLong (output ports) or VMPL_Receive in a loop
// on a thread of its own (input ports); VMPL_Disconnect (it wakes a blocked VMPL_Receive);
// VMPL_DestroyInfo for every record obtained. Port indexes are meaningful only until the port
// list changes (VMPL_AddPort, VMPL_RemovePort). Every function may be called from any thread.
//
// Strings are zero-terminated UTF-16 (VMPL_Char; wchar_t on Windows has the same layout).
#include <stdint.h>

#ifndef __cplusplus
#include <uchar.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef char16_t VMPL_Char;

// The version every record carries and VMPL_GetVersion returns.
#define VMPL_VERSION 0x1001u

// Port types (the field `type`).
#define VMPL_PORT_OUTPUT 1u  // the application writes; other programs see a MIDI input
#define VMPL_PORT_INPUT 2u   // other programs write; the application receives
#define VMPL_PORT_BOTH 3u

// Message kinds (VMPL_Message.kind).
#define VMPL_KIND_SHORT 1u
#define VMPL_KIND_SYSEX 2u

// Result codes; 0 is success.
#define VMPL_OK 0u
#define VMPL_ERR_INVALID_PARAMETER 1u
#define VMPL_ERR_ALREADY_EXISTS 2u
#define VMPL_ERR_PORT_DOES_NOT_EXIST 3u
#define VMPL_ERR_STILL_CONNECTED 4u
#define VMPL_ERR_INVALID_HANDLE 5u
#define VMPL_ERR_NOT_OPEN_FOR_OUTPUT 6u
#define VMPL_ERR_NOT_OPEN_FOR_INPUT 7u
#define VMPL_ERR_NO_RESOURCES 8u
#define VMPL_ERR_IO 9u
#define VMPL_ERR_NO_MORE_DATA 10u
#define VMPL_ERR_ALREADY_CONNECTED 11u
#define VMPL_ERR_NOT_CONNECTED 12u
#define VMPL_ERR_BUS_CONNECT 13u
#define VMPL_ERR_BUS_INSTALL 14u
#define VMPL_ERR_BUS_REMOVE 15u
#define VMPL_ERR_BUFFER_TOO_SMALL 16u
#define VMPL_ERR_VERSION_MISMATCH 18u

// VMPL_GetPortCount's answer when the bus cannot be reached.
#define VMPL_NO_PORT_COUNT 0xFFFFFFFFu

// Made by the library (VMPL_GetPortInfo), returned through VMPL_DestroyInfo.
typedef struct VMPL_PortInfo {
  uint32_t version;             // VMPL_VERSION
  uint32_t type;                // 1, 2 or 3 as the driver reports it
  const VMPL_Char* deviceName;  // the port device's name; VMPL_Connect opens it; may be null
  const VMPL_Char* outName;     // output side's display name (types 1, 3); null when unreadable
  const VMPL_Char* inName;      // input side's display name (types 2, 3); null when unreadable
  uint32_t value;               // the value given when the port was added
  uint32_t portId;              // the driver's identifier; VMPL_RemovePort sends it back
} VMPL_PortInfo;

// The caller's description of a new port (VMPL_AddPort). Clear it whole before filling it.
typedef struct VMPL_PortDesc {
  uint32_t version;  // must be VMPL_VERSION
  uint32_t type;     // 1, 2 or 3
  const VMPL_Char* deviceName;
  const VMPL_Char* outName;  // used for types 1 and 3
  const VMPL_Char* inName;   // used for types 2 and 3
  uint32_t value;
} VMPL_PortDesc;

// The caller's record that VMPL_Receive fills.
typedef struct VMPL_Message {
  uint32_t kind;      // set on success: 1 short message, 2 SysEx
  uint32_t time;      // set on success: the driver's time word, unchanged
  uint32_t shortMsg;  // kind 1: the bytes in order, status lowest, unused bytes 0
  uint8_t* buffer;    // caller: where SysEx is stored; may be null when no SysEx is wanted
  uint32_t received;  // kind 2: bytes stored in buffer
  uint32_t capacity;  // caller: size of buffer
} VMPL_Message;

typedef uintptr_t VMPL_Handle;

uint32_t VMPL_GetVersion(void);
// Ports on the bus; VMPL_NO_PORT_COUNT when the bus cannot be reached or refuses the count.
uint32_t VMPL_GetPortCount(void);
// On 0, *info holds a new record; on another code *info is null or as the caller set it.
uint32_t VMPL_GetPortInfo(uint32_t index, VMPL_PortInfo** info);
// 0; 1 for null or a record this library did not make; 18 for a changed version (not freed).
uint32_t VMPL_DestroyInfo(VMPL_PortInfo* info);
uint32_t VMPL_AddPort(const VMPL_PortDesc* desc);
uint32_t VMPL_RemovePort(const VMPL_PortInfo* info);
// On 0, *handle is the new connection; otherwise it is 0.
uint32_t VMPL_Connect(const VMPL_PortInfo* info, VMPL_Handle* handle);
uint32_t VMPL_Disconnect(VMPL_Handle handle);
// The packed message: status lowest, then data 1, data 2 and a fourth byte.
uint32_t VMPL_SendShort(VMPL_Handle handle, uint32_t message);
// 1 to 65519 bytes, sent whole or not at all.
uint32_t VMPL_SendLong(VMPL_Handle handle, const uint8_t* data, uint32_t length);
// Blocks until a message arrives (0) or the connection closes (10).
uint32_t VMPL_Receive(VMPL_Handle handle, VMPL_Message* message);
// Length of a short message by its status byte (the lowest byte), 0 to 3.
uint32_t VMPL_GetShortMessageLength(uint32_t message);
// 1 when the bus control device opens and answers the count request, else 0.
uint32_t VMPL_IsBusInstalled(void);
// Needs administrator rights. 0 installed or updated, 1 no such .INF file, 14 failed.
// rebootNeeded may be null; otherwise it is set to 0 first and to 1 when a restart is needed.
uint32_t VMPL_InstallBusDriver(const VMPL_Char* infPath, int32_t* rebootNeeded);
// Needs administrator rights. 0 removed, 15 no bus device was found to remove.
uint32_t VMPL_UninstallBusDriver(void);

// Function types for callers that look the exports up by name.
typedef uint32_t (*VMPL_GetVersionFn)(void);
typedef uint32_t (*VMPL_GetPortCountFn)(void);
typedef uint32_t (*VMPL_GetPortInfoFn)(uint32_t, VMPL_PortInfo**);
typedef uint32_t (*VMPL_DestroyInfoFn)(VMPL_PortInfo*);
typedef uint32_t (*VMPL_AddPortFn)(const VMPL_PortDesc*);
typedef uint32_t (*VMPL_RemovePortFn)(const VMPL_PortInfo*);
typedef uint32_t (*VMPL_ConnectFn)(const VMPL_PortInfo*, VMPL_Handle*);
typedef uint32_t (*VMPL_DisconnectFn)(VMPL_Handle);
typedef uint32_t (*VMPL_SendShortFn)(VMPL_Handle, uint32_t);
typedef uint32_t (*VMPL_SendLongFn)(VMPL_Handle, const uint8_t*, uint32_t);
typedef uint32_t (*VMPL_ReceiveFn)(VMPL_Handle, VMPL_Message*);
typedef uint32_t (*VMPL_GetShortMessageLengthFn)(uint32_t);
typedef uint32_t (*VMPL_IsBusInstalledFn)(void);
typedef uint32_t (*VMPL_InstallBusDriverFn)(const VMPL_Char*, int32_t*);
typedef uint32_t (*VMPL_UninstallBusDriverFn)(void);

#ifdef __cplusplus
}
#endif
