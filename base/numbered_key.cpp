#include "base/numbered_key.h"

#include "base/ini_file.h"
#include "base/text.h"

namespace kv {

std::string NumberedKey(std::string_view key, int n) {
  return std::string(key) + IntToStr(n);
}

void DeleteNumberedKeysFrom(TCustomIniFile& ini, std::string_view section, int from,
                            std::initializer_list<std::string_view> keys) {
  if (keys.size() == 0) return;
  for (int n = from; ini.ValueExists(section, NumberedKey(*keys.begin(), n)); ++n) {
    for (std::string_view key : keys) ini.DeleteKey(section, NumberedKey(key, n));
  }
}

}  // namespace kv
