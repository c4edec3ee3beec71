#pragma once
// Reading the display-name value of a port side from the local machine's registry; shared by
// the real bus system and the stand-in bus's Windows name store.
#include <string_view>

#include "vmplib/bus_system.h"

namespace kv::vmpl::win {

// The value "Name" of the key under HKEY_LOCAL_MACHINE, at most kMaxNameValueBytes; the key is
// closed in every case.
bool ReadHklmNameValue(std::u16string_view keyPath, RegistryValue& value);

}  // namespace kv::vmpl::win
