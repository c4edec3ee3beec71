#include "midi/system/midi_header.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace kv {

TMidiHdrBase::TMidiHdrBase(size_t size) : data_(std::make_unique<uint8_t[]>(size)) {
  record_.data = data_.get();
  record_.bufferLength = static_cast<uint32_t>(size);
  record_.user = reinterpret_cast<uintptr_t>(this);
}

TMidiOutHdr::TMidiOutHdr(const uint8_t* bytes, size_t length) : TMidiHdrBase(length) {
  if (length > 0) std::memcpy(Data(), bytes, length);
}

TMmResult TMidiOutHdr::Prepare(TMidiHandle handle) {
  return WinmmMidi().OutPrepareHeader(handle, Record());
}

TMmResult TMidiOutHdr::Unprepare(TMidiHandle handle) {
  return WinmmMidi().OutUnprepareHeader(handle, Record());
}

TMmResult TMidiInHdr::Prepare(TMidiHandle handle) {
  return WinmmMidi().InPrepareHeader(handle, Record());
}

TMmResult TMidiInHdr::Unprepare(TMidiHandle handle) {
  return WinmmMidi().InUnprepareHeader(handle, Record());
}

TMmResult TMidiInHdr::AddBuffer(TMidiHandle handle) {
  return WinmmMidi().InAddBuffer(handle, Record());
}

namespace {

struct TParkedHeaders {
  std::mutex mutex;  // guards headers
  std::vector<std::unique_ptr<TMidiHdrBase>> headers;
};

TParkedHeaders& Parked() {
  static TParkedHeaders parked;  // lives until program end
  return parked;
}

}  // namespace

bool UnprepareAndFree(std::unique_ptr<TMidiHdrBase> header, TMidiHandle handle) {
  if (!header) return true;
  // A header that was never prepared (or no longer is) is no longer the system's.
  if ((header->Record().flags & kMidiHdrPrepared) && header->Unprepare(handle) != kMmNoError) {
    ParkMidiHeader(std::move(header));
    return false;
  }
  return true;
}

void ParkMidiHeader(std::unique_ptr<TMidiHdrBase> header) {
  TParkedHeaders& parked = Parked();
  std::lock_guard<std::mutex> lock(parked.mutex);
  parked.headers.push_back(std::move(header));
}

size_t ParkedMidiHeaderCount() {
  TParkedHeaders& parked = Parked();
  std::lock_guard<std::mutex> lock(parked.mutex);
  return parked.headers.size();
}

}  // namespace kv
