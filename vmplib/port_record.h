#pragma once
// The wire record the bus control device exchanges for one port (VMPL_PortRecord): a 76-byte
// head, little-endian, then the UTF-16 strings packed in the order device name, output name,
// input name, each with its terminator.
//
//   0 size   4 version   8 type   12/16 device name length/offset   20/24 output name
//   28/32 input name   36 portId   40 value   44 output name identifier   60 input name id
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vmplib/bus_system.h"
#include "vmplib/vmplib.h"

namespace kv::vmpl {

constexpr uint32_t kPortRecordHeadSize = 76;
// Driver records larger than this are refused rather than allocated.
constexpr uint32_t kMaxPortRecordSize = 0x100000;

using Guid = uint8_t[16];

// The record head as fields (strings apart).
struct PortRecordHead {
  uint32_t size = 0;
  uint32_t version = 0;
  uint32_t type = 0;
  uint32_t portId = 0;
  uint32_t value = 0;
  uint8_t outId[16] = {};
  uint8_t inId[16] = {};
};

// The add request's record for a description; nullopt when it would be too large. The name
// identifiers are left zero.
std::optional<std::vector<uint8_t>> BuildPortRecord(const VMPL_PortDesc& desc);
// Stores an identifier in a built record (kind: output or input side).
void SetRecordOutId(std::vector<uint8_t>& record, const Guid& id);
void SetRecordInId(std::vector<uint8_t>& record, const Guid& id);
void SetRecordPortId(std::vector<uint8_t>& record, uint32_t portId);
// The 76-byte head of a remove request.
std::vector<uint8_t> BuildRemoveRecord(uint32_t type, uint32_t portId);

// A decoded driver record: every offset and length checked against the bytes returned.
struct DecodedPortRecord {
  PortRecordHead head;
  std::optional<std::u16string> deviceName;
  // The record's own strings 2 and 3 (the library takes display names from the registry).
  std::optional<std::u16string> recordOutName, recordInName;
};
// 0 and the record, or 1 (unreadable) or 18 (wrong version, shorter than its size claims).
uint32_t DecodePortRecord(const uint8_t* bytes, uint32_t bytesReturned, DecodedPortRecord& out);

// "SYSTEM\CurrentControlSet\Control\MediaCategories\{XXXXXXXX-XXXX-...}" for an identifier.
std::u16string CategoryKeyPath(const Guid& id);
// A display name from its registry value: only a plain string is taken; the text ends at its
// first zero or at the end of the data.
std::optional<std::u16string> DecodeNameValue(const RegistryValue& value);

// Zero-terminated UTF-16 helpers for the records' strings.
size_t U16Length(const VMPL_Char* s);
std::u16string U16FromAscii(std::string_view s);

}  // namespace kv::vmpl
