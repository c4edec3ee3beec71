#include "app/shell/other_programs_streams.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/exception.h"

namespace kv {

size_t TMemoryStream::Read(void* buffer, size_t count) {
  const size_t n = position_ < bytes_.size() ? std::min(count, bytes_.size() - position_) : 0;
  if (n) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  if (count) std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t target = offset;
  if (origin == TSeekOrigin::Current) target = static_cast<int64_t>(position_) + offset;
  if (origin == TSeekOrigin::End) target = Size() + offset;
  position_ = static_cast<size_t>(std::max<int64_t>(0, target));
  return static_cast<int64_t>(position_);
}

TCascadedStream::TCascadedStream(TStream& inner, std::unique_ptr<TStream> owned)
    : inner_(inner), owned_(std::move(owned)) {}

size_t TFilteredStream::Read(void* buffer, size_t count) {
  const int64_t position = inner_.Position();
  const size_t n = inner_.Read(buffer, count);
  AfterRead(static_cast<uint8_t*>(buffer), n, position);
  return n;
}

size_t TFilteredStream::Write(const void* buffer, size_t count) {
  std::vector<uint8_t> copy(static_cast<const uint8_t*>(buffer),
                            static_cast<const uint8_t*>(buffer) + count);
  BeforeWrite(copy.data(), count, inner_.Position());
  return inner_.Write(copy.data(), count);
}

int64_t TFilteredStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t position = inner_.Seek(offset, origin);
  if (position == 0) Reset();
  return position;
}

uint32_t AddToChecksum(uint32_t sum, const uint8_t* bytes, size_t count, int64_t position) {
  for (size_t i = 0; i < count; ++i)
    sum += static_cast<uint32_t>(bytes[i] ^ static_cast<uint8_t>((position + i) & 0xFF));
  return sum;
}

TCRCBaseStream::TCRCBaseStream(TStream& inner, std::unique_ptr<TStream> owned)
    : TFilteredStream(inner, std::move(owned)) {
  Reset();
}

void TCRCBaseStream::AfterRead(uint8_t* buffer, size_t count, int64_t position) {
  checksum_ = AddToChecksum(checksum_, buffer, count, position);
}

void TCRCBaseStream::BeforeWrite(uint8_t* buffer, size_t count, int64_t position) {
  checksum_ = AddToChecksum(checksum_, buffer, count, position);
}

size_t TCRCBaseStream::Write(const void* buffer, size_t count) {
  checksum_ = AddToChecksum(checksum_, static_cast<const uint8_t*>(buffer), count,
                            inner_.Position());
  return RawWrite(buffer, count);
}

TCRCReadStream::TCRCReadStream(TStream& inner, std::unique_ptr<TStream> owned)
    : TCRCBaseStream(inner, std::move(owned)) {
  Reset();
}

void TCRCReadStream::Reset() {
  TCRCBaseStream::Reset();
  std::memset(stored_, 0, sizeof stored_);
  storedRead_ = false;
}

int64_t TCRCReadStream::Size() {
  return std::max<int64_t>(0, inner_.Size() - 4);
}

void TCRCReadStream::ReadStoredChecksum() {
  // Once per pass: a read that comes back to the end again finds the checksum taken already.
  if (storedRead_) return;
  if (RawRead(stored_, 4) < 4) throw Exception("Unable to read CRC");
  storedRead_ = true;
}

size_t TCRCReadStream::Read(void* buffer, size_t count) {
  const int64_t position = inner_.Position();
  const int64_t left = Size() - position;
  const size_t n = left > 0 ? static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(count))) : 0;
  const size_t got = n ? TFilteredStream::Read(buffer, n) : 0;
  if (got < count || position + static_cast<int64_t>(got) >= Size()) ReadStoredChecksum();
  return got;
}

int64_t TCRCReadStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t position = inner_.Position();
  int64_t target = offset;
  if (origin == TSeekOrigin::Current) target = position + offset;
  if (origin == TSeekOrigin::End) target = Size() - offset;
  if (origin == TSeekOrigin::Current && offset == 0) return position;
  if (target < position) TFilteredStream::Seek(0, TSeekOrigin::Beginning);
  if (target >= Size()) return inner_.Seek(target, TSeekOrigin::Beginning);
  uint8_t piece[64];
  for (int64_t at = inner_.Position(); at < target; at = inner_.Position()) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(64, target - at));
    if (TFilteredStream::Read(piece, n) == 0) break;
  }
  return target;
}

bool TCRCReadStream::ChecksumMatches() const {
  const uint32_t stored = static_cast<uint32_t>(stored_[0]) | static_cast<uint32_t>(stored_[1]) << 8 |
                          static_cast<uint32_t>(stored_[2]) << 16 |
                          static_cast<uint32_t>(stored_[3]) << 24;
  return storedRead_ && stored == checksum_;
}

void TScrambledStream::AfterRead(uint8_t* buffer, size_t count, int64_t position) {
  for (size_t i = 0; i < count; ++i) buffer[i] ^= static_cast<uint8_t>((position + i) & 0xFF);
}

void TScrambledStream::BeforeWrite(uint8_t* buffer, size_t count, int64_t position) {
  AfterRead(buffer, count, position);
}

}  // namespace kv

