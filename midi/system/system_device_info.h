#pragma once
// What the system tells about one of its MIDI devices, for the system input and output.
#include <cstdint>
#include <string>

namespace kv {

// The name from the device's capabilities (empty when they cannot be read) and its device
// interface path (empty when the system gives none, or one of 2 characters or fewer); before
// Windows Vista a USB port's name is replaced by its location text.
void GetSystemDeviceInfo(bool isOutput, int32_t id, std::string& path, std::string& name);

}  // namespace kv
