#include <windows.h>

#include "base/platform.h"
#include "engine/system/execute_file_system.h"

namespace kv {
namespace {

class TWinExecuteSystem : public IExecuteSystem {
 public:
  bool Execute(const std::string& file, const std::string& parameters) override {
    const auto owner = reinterpret_cast<uintptr_t>(GetForegroundWindow());
    return ShellOpen(owner, file, parameters, "");
  }
};

}  // namespace

IExecuteSystem& DefaultExecuteSystem() {
  static TWinExecuteSystem system;
  return system;
}

}  // namespace kv
