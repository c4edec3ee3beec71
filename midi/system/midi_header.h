#pragma once
// SysEx buffers handed to the system MIDI interface: a header record and the data buffer it
// points at, freed together. The record's user field holds the header object.
//
// A buffer the system still holds (its header cannot be unprepared, for example because the
// device vanished with it queued) must not be freed, since the driver may still write into
// it: ParkMidiHeader keeps such headers until the program ends.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "midi/system/winmm_midi.h"

namespace kv {

class TMidiHdrBase {
 public:
  explicit TMidiHdrBase(size_t size);
  virtual ~TMidiHdrBase() = default;
  TMidiHdrBase(const TMidiHdrBase&) = delete;
  TMidiHdrBase& operator=(const TMidiHdrBase&) = delete;

  TMidiHeader& Record() { return record_; }
  uint8_t* Data() { return data_.get(); }
  size_t Size() const { return record_.bufferLength; }
  // The header object a record handed back by the system belongs to.
  static TMidiHdrBase* FromRecord(const TMidiHeader* record) {
    return reinterpret_cast<TMidiHdrBase*>(record->user);
  }

  virtual TMmResult Prepare(TMidiHandle handle) = 0;
  virtual TMmResult Unprepare(TMidiHandle handle) = 0;

 private:
  std::unique_ptr<uint8_t[]> data_;
  TMidiHeader record_;
};

// An output SysEx: a copy of the bytes to send.
class TMidiOutHdr final : public TMidiHdrBase {
 public:
  TMidiOutHdr(const uint8_t* bytes, size_t length);
  TMmResult Prepare(TMidiHandle handle) override;
  TMmResult Unprepare(TMidiHandle handle) override;
};

// An input SysEx buffer the system fills.
class TMidiInHdr final : public TMidiHdrBase {
 public:
  explicit TMidiInHdr(size_t size) : TMidiHdrBase(size) {}
  TMmResult Prepare(TMidiHandle handle) override;
  TMmResult Unprepare(TMidiHandle handle) override;
  TMmResult AddBuffer(TMidiHandle handle);
};

// Frees the header when it unprepares, else parks it. True when it was freed.
bool UnprepareAndFree(std::unique_ptr<TMidiHdrBase> header, TMidiHandle handle);
// Keeps a header the system may still hold until the program ends. Guarded by its own mutex.
void ParkMidiHeader(std::unique_ptr<TMidiHdrBase> header);
size_t ParkedMidiHeaderCount();

}  // namespace kv
