#pragma once
// The seam between the bus driver installation and the operating system's device setup:
// device information sets and their hardware ids, registering and removing a root device, the
// driver update for plug-and-play devices, the restart prompt and the driver's service key.
//
// Lifecycle (base/seam.h): one process-wide instance; the Windows build uses the real calls
// (win/device_setup_win.cpp), natively the default finds no file and no device. Tests install
// their own with SetDeviceSetup for the duration of a test. Calls come from the installing
// thread only.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/seam.h"

namespace kv::vmpl {

// A device information set; released when destroyed.
class TDeviceSet {
 public:
  virtual ~TDeviceSet() = default;
  enum class Ids {
    Ok,     // ids holds the hardware id multi-string
    None,   // the device has no hardware ids
    End,    // no device at this index
    Error,  // the property could not be read
  };
  virtual Ids HardwareIds(uint32_t index, std::vector<char16_t>& ids) = 0;
  // Asks the class installer to remove the device.
  virtual bool Remove(uint32_t index) = 0;
  // After a removal: the set's install parameters ask for a restart (false when unreadable).
  virtual bool RestartNeeded() = 0;
};

// A device registered by an install, until the install has succeeded.
class TNewDevice {
 public:
  virtual ~TNewDevice() = default;  // releases its device information list
  virtual bool Remove() = 0;        // asks the class installer to remove it
};

class TDeviceSetup {
 public:
  virtual ~TDeviceSetup() = default;
  // A file search on the path finds a file.
  virtual bool InfFileExists(std::u16string_view path) = 0;
  // Devices of all classes (present ones only, or every one ever installed); null on failure.
  virtual std::unique_ptr<TDeviceSet> OpenDevices(bool presentOnly) = 0;
  // A new root device of the .INF file's class with the hardware id list, registered with the
  // class installer; null on failure.
  virtual std::unique_ptr<TNewDevice> RegisterDevice(std::u16string_view infPath,
                                                     std::u16string_view hardwareIdList) = 0;
  // The forced driver update for plug-and-play devices with the hardware id (no window).
  virtual bool UpdateDriver(std::u16string_view hardwareId, std::u16string_view infPath,
                            bool& rebootNeeded) = 0;
  virtual void PromptRestart() = 0;
  // Deletes the "DevConfig" subkey of the driver's service key (nothing when it is missing).
  virtual void DeleteDevConfig() = 0;
};

// The build's own: the real calls on Windows, nothing found natively.
TDeviceSetup& DefaultDeviceSetup();
using TDeviceSetupSeam = TSeam<TDeviceSetup, DefaultDeviceSetup>;
inline TDeviceSetup& DeviceSetup() { return TDeviceSetupSeam::Get(); }
// nullptr restores the default.
inline void SetDeviceSetup(TDeviceSetup* setup) { TDeviceSetupSeam::Set(setup); }

// The bus and port hardware ids.
inline constexpr std::u16string_view kBusHardwareId = u"root\\zarnbus";
inline constexpr std::u16string_view kPortHardwareId = u"ZARNBUS\\ZarnMIDI";

// True when the multi-string (entries up to an empty one or the end) holds id exactly.
bool MultiStringContains(const std::vector<char16_t>& ids, std::u16string_view id);

}  // namespace kv::vmpl
