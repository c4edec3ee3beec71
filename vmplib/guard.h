#pragma once
// No exception may cross the library's C interface: an exported function runs its body here.
// Running out of memory is code 8; anything else unexpected is code 9.
#include <cstdint>
#include <new>

#include "vmplib/vmplib.h"

namespace kv::vmpl {

template <typename Fn>
uint32_t Guarded(Fn&& fn) {
  try {
    return fn();
  } catch (const std::bad_alloc&) {
    return VMPL_ERR_NO_RESOURCES;
  } catch (...) {
    return VMPL_ERR_IO;
  }
}

}  // namespace kv::vmpl
