// The bus as a whole: VMPL_GetVersion, VMPL_GetPortCount, VMPL_GetPortInfo, VMPL_DestroyInfo,
// VMPL_AddPort, VMPL_RemovePort and VMPL_IsBusInstalled. Every call opens its own handle to
// the bus control device and closes it before returning.
#include <cstring>
#include <vector>

#include "vmplib/bus_control.h"
#include "vmplib/caller_memory.h"
#include "vmplib/guard.h"
#include "vmplib/port_info.h"
#include "vmplib/port_record.h"
#include "vmplib/vmplib.h"

namespace kv::vmpl {
namespace {

class TControlDevice {
 public:
  TControlDevice() : handle_(BusSystem().OpenBusControlDevice()) {}
  ~TControlDevice() {
    if (handle_) BusSystem().CloseDevice(handle_);
  }
  TControlDevice(const TControlDevice&) = delete;
  TControlDevice& operator=(const TControlDevice&) = delete;
  explicit operator bool() const { return handle_ != 0; }

  bool Request(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength,
               uint32_t& returned) {
    returned = 0;
    return BusSystem().BusControl(handle_, code, in, inLength, out, outLength, returned);
  }
  bool RequestU32(uint32_t code, const uint32_t* in, uint32_t& out) {
    uint32_t returned = 0;
    return Request(code, in, in ? 4 : 0, &out, 4, returned) && returned >= 4;
  }

 private:
  OsHandle handle_;
};

bool QueryCount(uint32_t& count) {
  TControlDevice device;
  return device && device.RequestU32(kBusCountPorts, nullptr, count);
}

// The longest name that fits a port record on its own.
constexpr size_t kMaxNameChars = (kMaxPortRecordSize - kPortRecordHeadSize) / 2 - 1;

// A description's strings copied out of the caller's memory; the description is pointed at
// the copies, which live as long as this object.
struct TDescStrings {
  std::u16string deviceName, outName, inName;

  bool CopyFrom(VMPL_PortDesc& desc) {
    return Copy(desc.deviceName, deviceName) && Copy(desc.outName, outName) &&
           Copy(desc.inName, inName);
  }

 private:
  static bool Copy(const VMPL_Char*& from, std::u16string& to) {
    if (!from) return true;
    if (ReadCallerString(from, kMaxNameChars, to) != TCallerString::Read) return false;
    from = to.c_str();
    return true;
  }
};

std::optional<std::u16string> ReadCategoryName(const Guid& id) {
  RegistryValue value;
  if (!BusSystem().ReadNameValue(CategoryKeyPath(id), value)) return std::nullopt;
  if (value.data.size() > kMaxNameValueBytes) value.data.resize(kMaxNameValueBytes);
  return DecodeNameValue(value);
}

}  // namespace
}  // namespace kv::vmpl

using namespace kv::vmpl;

extern "C" uint32_t VMPL_GetVersion(void) {
  return VMPL_VERSION;
}

extern "C" uint32_t VMPL_GetPortCount(void) {
  uint32_t count = 0;
  const uint32_t r = Guarded([&] { return QueryCount(count) ? VMPL_OK : VMPL_ERR_IO; });
  return r == VMPL_OK ? count : VMPL_NO_PORT_COUNT;
}

extern "C" uint32_t VMPL_IsBusInstalled(void) {
  uint32_t count = 0;
  const uint32_t r = Guarded([&] { return QueryCount(count) ? VMPL_OK : VMPL_ERR_IO; });
  return r == VMPL_OK && int32_t(count) >= 0 ? 1 : 0;
}

extern "C" uint32_t VMPL_GetPortInfo(uint32_t index, VMPL_PortInfo** info) {
  return Guarded([&]() -> uint32_t {
    if (!info) return VMPL_ERR_INVALID_PARAMETER;
    TControlDevice device;
    if (!device) return VMPL_ERR_BUS_CONNECT;
    uint32_t size = 0;
    if (!device.RequestU32(kBusRecordSize, &index, size)) return VMPL_ERR_IO;
    if (size > kMaxPortRecordSize) return VMPL_ERR_NO_RESOURCES;
    std::vector<uint8_t> record(size, 0);
    uint32_t returned = 0;
    if (!device.Request(kBusRecord, &index, 4, record.data(), size, returned)) return VMPL_ERR_IO;
    if (!WriteCaller(info, static_cast<VMPL_PortInfo*>(nullptr))) {
      return VMPL_ERR_INVALID_PARAMETER;
    }
    DecodedPortRecord decoded;
    if (uint32_t code =
            DecodePortRecord(record.data(), returned < size ? returned : size, decoded)) {
      return code;
    }
    const PortRecordHead& h = decoded.head;
    std::optional<std::u16string> outName, inName;
    if (h.type == VMPL_PORT_OUTPUT || h.type == VMPL_PORT_BOTH) outName = ReadCategoryName(h.outId);
    if (h.type == VMPL_PORT_INPUT || h.type == VMPL_PORT_BOTH) inName = ReadCategoryName(h.inId);
    VMPL_PortInfo* made =
        MakePortInfo(h.type, h.value, h.portId, decoded.deviceName, outName, inName);
    if (!WriteCaller(info, made)) {
      DestroyPortInfo(made);
      return VMPL_ERR_INVALID_PARAMETER;
    }
    return VMPL_OK;
  });
}

extern "C" uint32_t VMPL_DestroyInfo(VMPL_PortInfo* info) {
  return Guarded([&] { return DestroyPortInfo(info); });
}

extern "C" uint32_t VMPL_AddPort(const VMPL_PortDesc* desc) {
  return Guarded([&]() -> uint32_t {
    VMPL_PortDesc d;
    if (!desc || !ReadCaller(desc, d)) return VMPL_ERR_INVALID_PARAMETER;
    if (d.version != VMPL_VERSION) return VMPL_ERR_VERSION_MISMATCH;
    if (d.type < VMPL_PORT_OUTPUT || d.type > VMPL_PORT_BOTH) return VMPL_ERR_INVALID_PARAMETER;
    TControlDevice device;
    if (!device) return VMPL_ERR_BUS_CONNECT;
    // Names that cannot be copied fail the record's making, as running out of memory does.
    TDescStrings strings;
    if (!strings.CopyFrom(d)) return VMPL_ERR_NO_RESOURCES;
    std::optional<std::vector<uint8_t>> record = BuildPortRecord(d);
    if (!record) return VMPL_ERR_NO_RESOURCES;
    TBusSystem& bus = BusSystem();
    Guid id;
    if (d.type == VMPL_PORT_OUTPUT || d.type == VMPL_PORT_BOTH) {
      if (!bus.CreateIdentifier(id)) return VMPL_ERR_NO_RESOURCES;
      SetRecordOutId(*record, id);
    }
    if (d.type == VMPL_PORT_INPUT || d.type == VMPL_PORT_BOTH) {
      if (!bus.CreateIdentifier(id)) return VMPL_ERR_NO_RESOURCES;
      SetRecordInId(*record, id);
    }
    uint32_t returned = 0;
    if (!device.Request(kBusAddPort, record->data(), uint32_t(record->size()), nullptr, 0,
                        returned)) {
      return VMPL_ERR_IO;
    }
    return VMPL_OK;
  });
}

extern "C" uint32_t VMPL_RemovePort(const VMPL_PortInfo* info) {
  return Guarded([&]() -> uint32_t {
    VMPL_PortInfo i;
    if (!info || !ReadCaller(info, i)) return VMPL_ERR_INVALID_PARAMETER;
    if (i.version != VMPL_VERSION) return VMPL_ERR_VERSION_MISMATCH;
    TControlDevice device;
    if (!device) return VMPL_ERR_BUS_CONNECT;
    const std::vector<uint8_t> head = BuildRemoveRecord(i.type, i.portId);
    uint32_t returned = 0;
    if (!device.Request(kBusRemovePort, head.data(), uint32_t(head.size()), nullptr, 0, returned)) {
      return VMPL_ERR_PORT_DOES_NOT_EXIST;
    }
    return VMPL_OK;
  });
}
