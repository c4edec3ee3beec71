#include "vmplib/ring.h"

#include <atomic>
#include <cstring>

namespace kv::vmpl {
namespace {

constexpr uint32_t kReadPosOffset = 4;
constexpr uint32_t kWritePosOffset = 8;

uint32_t LoadPos(const uint8_t* block, uint32_t offset) {
  // The other side is another thread or the driver: the block is only ever reached through
  // atomic operations on these two words.
  auto* word = reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(block + offset));
  return std::atomic_ref<uint32_t>(*word).load(std::memory_order_acquire);
}

void StorePos(uint8_t* block, uint32_t offset, uint32_t value) {
  auto* word = reinterpret_cast<uint32_t*>(block + offset);
  std::atomic_ref<uint32_t>(*word).store(value, std::memory_order_release);
}

// A position the other side published, cut into range so that a corrupt block can never move
// a copy outside the data area.
uint32_t Clamp(uint32_t pos) {
  return pos < kRingDataSize ? pos : 0;
}

uint32_t Used(uint32_t read, uint32_t write) {
  return write >= read ? write - read : kRingDataSize - read + write;
}

void CopyOut(const uint8_t* data, uint32_t from, uint8_t* to, uint32_t n) {
  const uint32_t first = n < kRingDataSize - from ? n : kRingDataSize - from;
  std::memcpy(to, data + from, first);
  std::memcpy(to + first, data, n - first);
}

}  // namespace

void RingInit(uint8_t* block) {
  const uint32_t dataOffset = kRingDataOffset;
  std::memcpy(block, &dataOffset, 4);
  StorePos(block, kReadPosOffset, 0);
  StorePos(block, kWritePosOffset, 0);
  std::memset(block + 12, 0, 4);
}

uint32_t RingReadPosition(const uint8_t* block) {
  return Clamp(LoadPos(block, kReadPosOffset));
}

uint32_t RingWritePosition(const uint8_t* block) {
  return Clamp(LoadPos(block, kWritePosOffset));
}

uint32_t RingAvailable(const uint8_t* block) {
  return Used(RingReadPosition(block), RingWritePosition(block));
}

uint32_t RingFree(const uint8_t* block) {
  return kRingMaxWrite - RingAvailable(block);
}

bool RingWrite(uint8_t* block, const void* bytes, uint32_t n) {
  const uint32_t w = RingWritePosition(block);
  const uint32_t r = RingReadPosition(block);
  if (n > kRingMaxWrite - Used(r, w)) return false;
  uint8_t* data = block + kRingDataOffset;
  const auto* src = static_cast<const uint8_t*>(bytes);
  const uint32_t first = n < kRingDataSize - w ? n : kRingDataSize - w;
  std::memcpy(data + w, src, first);
  std::memcpy(data, src + first, n - first);
  StorePos(block, kWritePosOffset, (w + n) % kRingDataSize);
  return true;
}

bool RingPeek(const uint8_t* block, uint32_t skip, void* destination, uint32_t n) {
  const uint32_t r = RingReadPosition(block);
  const uint32_t available = Used(r, RingWritePosition(block));
  if (skip > available || n > available - skip) return false;
  CopyOut(block + kRingDataOffset, (r + skip) % kRingDataSize, static_cast<uint8_t*>(destination),
          n);
  return true;
}

bool RingRead(uint8_t* block, void* destination, uint32_t n) {
  const uint32_t r = RingReadPosition(block);
  if (n > Used(r, RingWritePosition(block))) return false;
  if (destination) CopyOut(block + kRingDataOffset, r, static_cast<uint8_t*>(destination), n);
  StorePos(block, kReadPosOffset, (r + n) % kRingDataSize);
  return true;
}

void RingSetPositions(uint8_t* block, uint32_t read, uint32_t write) {
  StorePos(block, kReadPosOffset, read % kRingDataSize);
  StorePos(block, kWritePosOffset, write % kRingDataSize);
}

}  // namespace kv::vmpl
