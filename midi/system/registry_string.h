#pragma once
// The seam for the one registry read of the port layer: a string value under
// HKEY_LOCAL_MACHINE, read into a bounded buffer and terminated, whatever the value holds.
//
// The Windows implementation is midi/system/win/registry_string_win.cpp; natively the default
// finds nothing. Lifecycle (base/seam.h): SetRegistryStringReader installs a reader for tests
// (nullptr restores the default); install it before the ports that read it are used.
#include <cstddef>
#include <string>

namespace kv {

// True with the text when the key opens, the value is a string and fits in maxChars
// characters; false otherwise (text unchanged).
using TRegistryStringReader = bool (*)(const std::string& key, const std::string& value,
                                       size_t maxChars, std::string& text);

bool ReadLocalMachineString(const std::string& key, const std::string& value, size_t maxChars,
                            std::string& text);
void SetRegistryStringReader(TRegistryStringReader reader);

// This build's own reader.
bool DefaultReadLocalMachineString(const std::string& key, const std::string& value,
                                   size_t maxChars, std::string& text);

}  // namespace kv
