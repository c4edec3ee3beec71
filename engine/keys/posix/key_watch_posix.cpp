// Natively there is no key-input library: loading it always fails, so key input is off.
#include "engine/keys/key_watch.h"

namespace kv {
namespace {

class TMissingKeyInLibrary : public IKeyInLibrary {
 public:
  bool Load(const std::string&) override { return false; }
  bool IsLoaded() const override { return false; }
  bool BindExports() override { return false; }
  bool IsBound() const override { return false; }
  TWindowHandle CreateReceiver(THandler) override { return 0; }
  void Unload() override {}
  int32_t StartWatching(int32_t) override { return 0; }
  int32_t StopWatching(int32_t) override { return 0; }
  int32_t IsWatching(int32_t) override { return 0; }
  bool StillWatching() override { return false; }
  void StopAll() override {}
  bool SetReceiver(TWindowHandle) override { return false; }
  TWindowHandle GetReceiver() override { return 0; }
  void ShowInformation(const std::string&) override {}
  std::string GetWindowTitle(TWindowHandle) override { return {}; }
  bool IsOwnMainWindow(TWindowHandle) override { return false; }
};

}  // namespace

IKeyInLibrary& DefaultKeyInLibrary() {
  static TMissingKeyInLibrary library;
  return library;
}

}  // namespace kv
