#pragma once
// The real device setup (SetupAPI, the driver update of newdev, the registry). Exposed so that
// Windows tests can keep the real device registration and scanning while standing in for the
// driver update and the restart prompt, which a test machine cannot give honestly.
#include "vmplib/device_setup.h"

namespace kv::vmpl::win {

class TWinDeviceSetup : public TDeviceSetup {
 public:
  bool InfFileExists(std::u16string_view path) override;
  std::unique_ptr<TDeviceSet> OpenDevices(bool presentOnly) override;
  std::unique_ptr<TNewDevice> RegisterDevice(std::u16string_view infPath,
                                             std::u16string_view hardwareIdList) override;
  bool UpdateDriver(std::u16string_view hardwareId, std::u16string_view infPath,
                    bool& rebootNeeded) override;
  void PromptRestart() override;
  void DeleteDevConfig() override;
};

}  // namespace kv::vmpl::win
