// No registry natively.
#include "midi/system/registry_string.h"

namespace kv {

bool DefaultReadLocalMachineString(const std::string&, const std::string&, size_t, std::string&) {
  return false;
}

}  // namespace kv
