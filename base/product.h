#pragma once
// The program's name as users and the system see it, and the base of the names its virtual
// MIDI ports get.
#include <string>

namespace kv {

inline constexpr const char* kProductName = "Zarn's Korvanta";

// The virtual-port name base the settings dialog passes to the virtual-port functions; set by
// the controller when it is made, cleared when it goes. Main thread.
void SetVirtualPortNameBase(std::u16string base);
const std::u16string& VirtualPortNameBase();

}  // namespace kv
