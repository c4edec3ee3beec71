// The native build's default device setup: no file is an .INF file and no device exists.
#include "vmplib/device_setup.h"

namespace kv::vmpl {
namespace {

class TNoDeviceSetup : public TDeviceSetup {
 public:
  bool InfFileExists(std::u16string_view) override { return false; }
  std::unique_ptr<TDeviceSet> OpenDevices(bool) override { return nullptr; }
  std::unique_ptr<TNewDevice> RegisterDevice(std::u16string_view, std::u16string_view) override {
    return nullptr;
  }
  bool UpdateDriver(std::u16string_view, std::u16string_view, bool&) override { return false; }
  void PromptRestart() override {}
  void DeleteDevConfig() override {}
};

}  // namespace

TDeviceSetup& DefaultDeviceSetup() {
  static TNoDeviceSetup setup;
  return setup;
}

}  // namespace kv::vmpl
