#include "vmplib/standin/standin_names.h"

namespace kv::vmpl {

RegistryValue StringValue(std::u16string_view text) {
  RegistryValue v;
  v.type = kRegTypeString;
  for (char16_t c : text) {
    v.data.push_back(uint8_t(c));
    v.data.push_back(uint8_t(c >> 8));
  }
  v.data.push_back(0);
  v.data.push_back(0);
  return v;
}

}  // namespace kv::vmpl
