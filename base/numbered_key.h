#pragma once
// Numbered settings keys: a list kept in one section as Name0, Device0, Name1, Device1, ... is
// read from 0 up to the first missing key and written renumbered from 0; whatever an earlier,
// longer list left above the new end is deleted.
#include <initializer_list>
#include <string>
#include <string_view>

namespace kv {

class TCustomIniFile;

// The key and the number in decimal: "Name" and 3 give "Name3".
std::string NumberedKey(std::string_view key, int n);

// From number `from` upward, while the first of the keys exists with that number, deletes
// every one of the keys with that number.
void DeleteNumberedKeysFrom(TCustomIniFile& ini, std::string_view section, int from,
                            std::initializer_list<std::string_view> keys);

}  // namespace kv
