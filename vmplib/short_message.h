#pragma once
// The two byte-count tables of short messages. They differ on purpose (0xF0 and data bytes):
// one says how many bytes of a packed message VMPL_SendShort writes, the other is the MIDI
// length a caller asks for with VMPL_GetShortMessageLength.
#include <cstdint>

namespace kv::vmpl {

// 1 to 4: the bytes of the packed message, lowest first, that a short send writes.
uint32_t ShortSendLength(uint32_t message);
// 0 to 3 by the status byte (the lowest byte).
uint32_t ShortMessageLength(uint32_t message);

}  // namespace kv::vmpl
