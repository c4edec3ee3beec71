#pragma once
// VMPL_PortInfo records as the library makes and frees them. Every record handed out is
// remembered, so that VMPL_DestroyInfo refuses (code 1) a pointer the library never made
// instead of freeing it.
//
// Lock: one mutex guards the set of records handed out.
#include <optional>
#include <string>

#include "vmplib/vmplib.h"

namespace kv::vmpl {

VMPL_PortInfo* MakePortInfo(uint32_t type, uint32_t value, uint32_t portId,
                            const std::optional<std::u16string>& deviceName,
                            const std::optional<std::u16string>& outName,
                            const std::optional<std::u16string>& inName);
// 0, 1 (null, or not one of ours) or 18 (version changed; the record is kept).
uint32_t DestroyPortInfo(VMPL_PortInfo* info);
size_t LivePortInfoCount();

}  // namespace kv::vmpl
