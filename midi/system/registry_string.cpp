#include "midi/system/registry_string.h"

#include <atomic>

namespace kv {

namespace {
std::atomic<TRegistryStringReader> gReader{nullptr};
}

bool ReadLocalMachineString(const std::string& key, const std::string& value, size_t maxChars,
                            std::string& text) {
  TRegistryStringReader reader = gReader.load(std::memory_order_acquire);
  if (!reader) reader = DefaultReadLocalMachineString;
  return reader(key, value, maxChars, text);
}

void SetRegistryStringReader(TRegistryStringReader reader) {
  gReader.store(reader, std::memory_order_release);
}

}  // namespace kv
