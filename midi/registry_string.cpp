#include "midi/registry_string.h"

#include <type_traits>

#include "base/seam.h"

namespace kv {

namespace {
using TRead = std::remove_pointer_t<TRegistryStringReader>;
TRead& BuildReader() {
  return DefaultReadLocalMachineString;
}
constinit TSeam<TRead> gReader{BuildReader};
}  // namespace

bool ReadLocalMachineString(const std::string& key, const std::string& value, size_t maxChars,
                            std::string& text) {
  return gReader.Get()(key, value, maxChars, text);
}

void SetRegistryStringReader(TRegistryStringReader reader) {
  gReader.Set(reader);
}

}  // namespace kv
