#include "vmplib/port_record.h"

#include <cstring>

namespace kv::vmpl {
namespace {

uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Bytes a present string takes with its terminator.
uint64_t StringBytes(const VMPL_Char* s) {
  return s ? (uint64_t(U16Length(s)) + 1) * 2 : 0;
}

void PutString(std::vector<uint8_t>& record, uint32_t slot, uint32_t& at, const VMPL_Char* s) {
  if (!s) return;
  const uint32_t bytes = uint32_t(StringBytes(s));
  for (uint32_t i = 0; i < bytes / 2; ++i) {
    record[at + 2 * i] = uint8_t(s[i]);
    record[at + 2 * i + 1] = uint8_t(s[i] >> 8);
  }
  PutU32(&record[slot], bytes);
  PutU32(&record[slot + 4], at);
  at += bytes;
}

// One string slot of a driver record: 1 when it points outside the record.
bool DecodeString(const uint8_t* bytes, uint32_t size, uint32_t slot,
                  std::optional<std::u16string>& out) {
  const uint32_t length = GetU32(bytes + slot);
  const uint32_t offset = GetU32(bytes + slot + 4);
  if (length == 0) return true;
  if (offset < kPortRecordHeadSize || offset > size || length > size - offset) return false;
  std::u16string s;
  for (uint32_t i = 0; i + 1 < length; i += 2) {
    const char16_t c = char16_t(bytes[offset + i] | bytes[offset + i + 1] << 8);
    if (c == 0) break;
    s.push_back(c);
  }
  out = std::move(s);
  return true;
}

}  // namespace

size_t U16Length(const VMPL_Char* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

std::u16string U16FromAscii(std::string_view s) {
  return std::u16string(s.begin(), s.end());
}

std::optional<std::vector<uint8_t>> BuildPortRecord(const VMPL_PortDesc& desc) {
  const uint64_t size = kPortRecordHeadSize + StringBytes(desc.deviceName) +
                        StringBytes(desc.outName) + StringBytes(desc.inName);
  if (size > kMaxPortRecordSize) return std::nullopt;
  std::vector<uint8_t> record(size, 0);
  PutU32(&record[0], uint32_t(size));
  PutU32(&record[4], desc.version);
  PutU32(&record[8], desc.type);
  PutU32(&record[40], desc.value);
  uint32_t at = kPortRecordHeadSize;
  PutString(record, 12, at, desc.deviceName);
  PutString(record, 20, at, desc.outName);
  PutString(record, 28, at, desc.inName);
  return record;
}

void SetRecordOutId(std::vector<uint8_t>& record, const Guid& id) {
  std::memcpy(&record[44], id, 16);
}

void SetRecordInId(std::vector<uint8_t>& record, const Guid& id) {
  std::memcpy(&record[60], id, 16);
}

void SetRecordPortId(std::vector<uint8_t>& record, uint32_t portId) {
  PutU32(&record[36], portId);
}

std::vector<uint8_t> BuildRemoveRecord(uint32_t type, uint32_t portId) {
  std::vector<uint8_t> record(kPortRecordHeadSize, 0);
  PutU32(&record[0], kPortRecordHeadSize);
  PutU32(&record[4], VMPL_VERSION);
  PutU32(&record[8], type);
  PutU32(&record[36], portId);
  return record;
}

uint32_t DecodePortRecord(const uint8_t* bytes, uint32_t bytesReturned, DecodedPortRecord& out) {
  out = DecodedPortRecord{};
  if (!bytes || bytesReturned < 8) return VMPL_ERR_INVALID_PARAMETER;
  PortRecordHead& h = out.head;
  h.size = GetU32(bytes);
  h.version = GetU32(bytes + 4);
  if (h.version != VMPL_VERSION || h.size > bytesReturned) return VMPL_ERR_VERSION_MISMATCH;
  if (h.size < kPortRecordHeadSize) return VMPL_ERR_INVALID_PARAMETER;
  h.type = GetU32(bytes + 8);
  h.portId = GetU32(bytes + 36);
  h.value = GetU32(bytes + 40);
  std::memcpy(h.outId, bytes + 44, 16);
  std::memcpy(h.inId, bytes + 60, 16);
  if (!DecodeString(bytes, h.size, 12, out.deviceName) ||
      !DecodeString(bytes, h.size, 20, out.recordOutName) ||
      !DecodeString(bytes, h.size, 28, out.recordInName)) {
    out = DecodedPortRecord{};
    return VMPL_ERR_INVALID_PARAMETER;
  }
  return VMPL_OK;
}

std::u16string CategoryKeyPath(const Guid& id) {
  static const char kHex[] = "0123456789ABCDEF";
  std::u16string path = u"SYSTEM\\CurrentControlSet\\Control\\MediaCategories\\{";
  auto hex = [&](int byteIndex) {
    path.push_back(char16_t(kHex[id[byteIndex] >> 4]));
    path.push_back(char16_t(kHex[id[byteIndex] & 15]));
  };
  // The first three groups are stored little-endian; the last eight bytes in order.
  for (int i : {3, 2, 1, 0}) hex(i);
  path.push_back(u'-');
  for (int i : {5, 4}) hex(i);
  path.push_back(u'-');
  for (int i : {7, 6}) hex(i);
  path.push_back(u'-');
  for (int i : {8, 9}) hex(i);
  path.push_back(u'-');
  for (int i = 10; i < 16; ++i) hex(i);
  path.push_back(u'}');
  return path;
}

std::optional<std::u16string> DecodeNameValue(const RegistryValue& value) {
  if (value.type != kRegTypeString) return std::nullopt;
  std::u16string s;
  for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
    const char16_t c = char16_t(value.data[i] | value.data[i + 1] << 8);
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

}  // namespace kv::vmpl
