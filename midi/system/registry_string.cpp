#include "midi/system/registry_string.h"

#include <type_traits>

#include "base/seam.h"

namespace kv {

namespace {
using TRead = std::remove_pointer_t<TRegistryStringReader>;
TRead& BuildReader() {
  return DefaultReadLocalMachineString;
}
using TReaderSeam = TSeam<TRead, BuildReader>;
}  // namespace

bool ReadLocalMachineString(const std::string& key, const std::string& value, size_t maxChars,
                            std::string& text) {
  return TReaderSeam::Get()(key, value, maxChars, text);
}

void SetRegistryStringReader(TRegistryStringReader reader) {
  TReaderSeam::Set(reader);
}

}  // namespace kv
