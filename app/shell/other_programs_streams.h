#pragma once
// Streams that read and write through a transformation: the base of the filters, a running
// checksum (and a reader of data followed by its stored checksum), and scrambling. The
// program's presentation of its companion programs is stored through them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kv {

enum class TSeekOrigin { Beginning, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  // Each returns the number of bytes moved.
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size() = 0;
  int64_t Position() { return Seek(0, TSeekOrigin::Current); }
};

// Bytes in memory.
class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  size_t position_ = 0;
};

// Passes everything to an inner stream, which it may own.
class TCascadedStream : public TStream {
 public:
  TCascadedStream(TStream& inner, std::unique_ptr<TStream> owned = {});
  size_t Read(void* buffer, size_t count) override { return inner_.Read(buffer, count); }
  size_t Write(const void* buffer, size_t count) override { return inner_.Write(buffer, count); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    return inner_.Seek(offset, origin);
  }
  int64_t Size() override { return inner_.Size(); }

 protected:
  TStream& inner_;

 private:
  std::unique_ptr<TStream> owned_;
};

// Transforms what passes: AfterRead on the bytes read, BeforeWrite on a copy of the bytes to
// write (the caller's buffer stays as it was); position 0 resets the transformation.
class TFilteredStream : public TCascadedStream {
 public:
  using TCascadedStream::TCascadedStream;
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

 protected:
  // Derived constructors call Reset themselves (a virtual call from the base constructor would
  // not reach them).
  virtual void Reset() {}
  virtual void AfterRead(uint8_t* buffer, size_t count, int64_t position) = 0;
  virtual void BeforeWrite(uint8_t* buffer, size_t count, int64_t position) = 0;
  size_t RawRead(void* buffer, size_t count) { return inner_.Read(buffer, count); }
  size_t RawWrite(const void* buffer, size_t count) { return inner_.Write(buffer, count); }
};

// The checksum of a stretch: the sum of (byte XOR (position mod 256)), wrapping at 32 bits.
uint32_t AddToChecksum(uint32_t sum, const uint8_t* bytes, size_t count, int64_t position);

class TCRCBaseStream : public TFilteredStream {
 public:
  TCRCBaseStream(TStream& inner, std::unique_ptr<TStream> owned = {});
  uint32_t Checksum() const { return checksum_; }
  size_t Write(const void* buffer, size_t count) override;

 protected:
  void Reset() override { checksum_ = 0; }
  void AfterRead(uint8_t* buffer, size_t count, int64_t position) override;
  void BeforeWrite(uint8_t* buffer, size_t count, int64_t position) override;

  uint32_t checksum_ = 0;
};

// Data followed by the 4-byte little-endian checksum of all bytes before it.
class TCRCReadStream final : public TCRCBaseStream {
 public:
  TCRCReadStream(TStream& inner, std::unique_ptr<TStream> owned = {});
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void*, size_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  // The stored checksum was read and equals the running one.
  bool ChecksumMatches() const;

 protected:
  void Reset() override;

 private:
  void ReadStoredChecksum();

  uint8_t stored_[4] = {};
  bool storedRead_ = false;
};

// Each byte XOR (position mod 256): the same step scrambles and unscrambles.
class TScrambledStream final : public TFilteredStream {
 public:
  using TFilteredStream::TFilteredStream;

 protected:
  void AfterRead(uint8_t* buffer, size_t count, int64_t position) override;
  void BeforeWrite(uint8_t* buffer, size_t count, int64_t position) override;
};

}  // namespace kv
