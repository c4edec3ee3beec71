#pragma once
// Control codes of the bus control device (device type 0x2A, buffered, any access) and the
// identifier of the device interface class under which the bus driver publishes it.
#include <cstdint>

namespace kv::vmpl {

constexpr uint32_t kBusAddPort = 0x2A2000;     // in: a port record of `size` bytes
constexpr uint32_t kBusRemovePort = 0x2A2004;  // in: a 76-byte record head
constexpr uint32_t kBusCountPorts = 0x2A2008;  // out: u32 count
constexpr uint32_t kBusRecordSize = 0x2A200C;  // in: u32 index; out: u32 size
constexpr uint32_t kBusRecord = 0x2A2010;      // in: u32 index; out: the port's record

// {D9DA05C6-6732-4324-94DD-F736CC270FD5}
struct BusInterfaceGuid {
  uint32_t data1 = 0xD9DA05C6;
  uint16_t data2 = 0x6732;
  uint16_t data3 = 0x4324;
  uint8_t data4[8] = {0x94, 0xDD, 0xF7, 0x36, 0xCC, 0x27, 0x0F, 0xD5};
};

}  // namespace kv::vmpl
