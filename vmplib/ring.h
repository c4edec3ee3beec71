#pragma once
// The shared 64 KB blocks through which vmplib and the bus driver exchange MIDI bytes, used as
// circular buffers. Layout (little-endian): data offset (16) at 0, read position at 4 (moved
// only by the consumer), write position at 8 (moved only by the producer), reserved at 12, then
// kRingDataSize bytes of data. Equal positions mean empty; one byte always stays free so that a
// full ring never reads as empty, which is why at most kRingMaxWrite bytes fit. Positions are
// read and published atomically; data is written before its position is published.
//
// Each function is called by one side only (write: the producer, read/peek/skip: the
// consumer); the caller serialises the calls of its side.
#include <cstdint>

namespace kv::vmpl {

constexpr uint32_t kRingDataOffset = 16;
constexpr uint32_t kRingDataSize = 65520;
constexpr uint32_t kRingMaxWrite = kRingDataSize - 1;

// The input ring's record header: magic, data length, time word, kind.
constexpr uint32_t kRecordMagic = 0x4D644E5A;  // "ZNdM"
constexpr uint32_t kRecordHeaderSize = 16;
struct RingRecordHeader {
  uint32_t magic = 0;
  uint32_t length = 0;
  uint32_t time = 0;
  uint32_t kind = 0;
};

// Writes the data offset and clears both positions.
void RingInit(uint8_t* block);

uint32_t RingReadPosition(const uint8_t* block);
uint32_t RingWritePosition(const uint8_t* block);
// Bytes the consumer can take / room the producer has left.
uint32_t RingAvailable(const uint8_t* block);
uint32_t RingFree(const uint8_t* block);

// Writes all n bytes and publishes them, or writes nothing and returns false.
bool RingWrite(uint8_t* block, const void* bytes, uint32_t n);
// Copies n bytes starting `skip` bytes past the read position without consuming; false (and
// nothing copied) when fewer than skip + n are available.
bool RingPeek(const uint8_t* block, uint32_t skip, void* destination, uint32_t n);
// Consumes n bytes, copying them when destination is not null; false (nothing consumed) when
// fewer than n are available.
bool RingRead(uint8_t* block, void* destination, uint32_t n);

// Test and driver-side helper: sets both positions (to place data near the wrap).
void RingSetPositions(uint8_t* block, uint32_t read, uint32_t write);

}  // namespace kv::vmpl
