#pragma once
// Windows test helpers for installing the bus: a minimal driver package .INF in a folder of
// the test's own, and counting the machine's devices with a hardware id.
#include <string>

namespace kv::vmpl::test {

// A fresh folder under the temporary folder named after the calling test program, holding
// "zarnbus.inf"; returns the .INF's full path. The folder is emptied first.
std::wstring WriteTestInf();
// Devices of all classes whose hardware ids hold id (present ones only, or all).
int CountDevices(const std::u16string& id, bool presentOnly);
// Removes every device with the id, so a test starts from a machine without the bus.
void RemoveDevices(const std::u16string& id);

}  // namespace kv::vmpl::test
