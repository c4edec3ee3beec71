#pragma once
// Where the program's settings live in the registry (under HKEY_CURRENT_USER), computed once
// per run and cached. The write key is always under the current company; the read key falls
// back to the legacy company's key when only that exists.
#include <string>

namespace kv {

// "\Software\<company>\<title>\<program base name>".
std::string GetSettingsRegKey(bool forReading);
// The same relative to "\Software\": "<company>\<title>\<program base name>".
std::string GetSettingsRegPath(bool forReading);
// Forgets the cached keys (program end, tests).
void ClearSettingsKeyCache();

}  // namespace kv
